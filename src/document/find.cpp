// SPDX-License-Identifier: MIT
#include "document/find.h"

#include <algorithm>
#include <cstring>

#include "codec/byte_class.h"

namespace kotoha {

namespace {

bool IsAsciiPunctuation(std::uint8_t b) {
    return (b >= 0x21 && b <= 0x2F) || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) ||
           (b >= 0x7B && b <= 0x7E);
}

bool IsWordByte(std::uint8_t b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
           (b >= 0xA6 && b <= 0xDF);
}

// One character as a comparable unit: a single byte, or a lead byte in the
// high 8 bits and its second byte in the low 8 bits (with a length of 2).
struct CharUnit {
    std::uint16_t code;
    std::uint8_t bytes;
};

CharUnit UnitAt(const std::uint8_t* p, std::size_t available) {
    if (IsLeadByte(p[0]) && available > 1) {
        return {static_cast<std::uint16_t>(p[0] << 8 | p[1]), 2};
    }
    return {p[0], 1};
}

std::uint16_t Fold(CharUnit unit) {
    if (unit.bytes == 1 && unit.code >= 'A' && unit.code <= 'Z')
        return unit.code + 0x20;
    if (unit.bytes == 2 && unit.code >= 0x8260 && unit.code <= 0x8279)
        return unit.code + 0x21;
    return unit.code;
}

// Compares the characters of pattern with the text at b, character by
// character; the caller guarantees b + pattern length <= text length.
bool CharactersMatch(const std::uint8_t* text, std::uint32_t b, std::uint32_t length,
                     std::string_view pattern, bool matchCase) {
    const auto* t = reinterpret_cast<const std::uint8_t*>(pattern.data());
    std::size_t i = 0;
    std::uint32_t p = b;
    while (i < pattern.size()) {
        const CharUnit want = UnitAt(t + i, pattern.size() - i);
        const CharUnit have = UnitAt(text + p, length - p);
        if (want.bytes != have.bytes)
            return false;
        if (matchCase ? want.code != have.code : Fold(want) != Fold(have))
            return false;
        i += want.bytes;
        p += have.bytes;
    }
    return true;
}

// Whether a character of the pattern has another form that folding maps to
// the same unit: the ASCII letters and the full-width Latin letters.
bool HasFoldingForms(CharUnit unit) {
    if (unit.bytes == 1)
        return (unit.code >= 'A' && unit.code <= 'Z') || (unit.code >= 'a' && unit.code <= 'z');
    return (unit.code >= 0x8260 && unit.code <= 0x8279) ||
           (unit.code >= 0x8281 && unit.code <= 0x829A);
}

// Finds, for a search down, the offsets worth comparing at all, with the C
// library's fast scans instead of a comparison at every byte. A match is
// always the pattern's own bytes when case matters or nothing in the pattern
// folds; otherwise its first byte is still the pattern's first byte, or for
// an ASCII letter that letter in the other case (a full-width letter keeps
// its lead byte when folded).
class CandidateScan {
  public:
    CandidateScan(const std::uint8_t* text, std::uint32_t length, std::string_view pattern,
                  bool matchCase)
        : text_(text), length_(length), pattern_(pattern) {
        const auto* t = reinterpret_cast<const std::uint8_t*>(pattern.data());
        exact_ = matchCase;
        if (!exact_) {
            exact_ = true;
            for (std::size_t i = 0; i < pattern.size() && exact_;) {
                const CharUnit unit = UnitAt(t + i, pattern.size() - i);
                exact_ = !HasFoldingForms(unit);
                i += unit.bytes;
            }
        }
        first_ = t[0];
        other_ = first_;
        const CharUnit unit = UnitAt(t, pattern.size());
        if (unit.bytes == 1 && HasFoldingForms(unit))
            other_ = static_cast<std::uint8_t>(first_ ^ 0x20);
        // Candidates end where the pattern would run past the text.
        end_ = length - static_cast<std::uint32_t>(pattern.size()) + 1;
    }

    // The first candidate at or after b, or end() when there is none.
    std::uint32_t Next(std::uint32_t b) {
        if (b >= end_)
            return end_;
        if (exact_) {
            const void* hit = memmem(text_ + b, length_ - b, pattern_.data(), pattern_.size());
            return hit ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(hit) - text_)
                       : end_;
        }
        if (!scanned_ || nextFirst_ < b)
            nextFirst_ = Scan(first_, b);
        if (!scanned_ || nextOther_ < b)
            nextOther_ = first_ == other_ ? nextFirst_ : Scan(other_, b);
        scanned_ = true;
        return std::min(nextFirst_, nextOther_);
    }
    std::uint32_t end() const { return end_; }

  private:
    std::uint32_t Scan(std::uint8_t byte, std::uint32_t b) const {
        const void* hit = std::memchr(text_ + b, byte, end_ - b);
        return hit ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(hit) - text_)
                   : end_;
    }

    const std::uint8_t* text_;
    std::uint32_t length_;
    std::string_view pattern_;
    bool exact_ = false;
    std::uint8_t first_ = 0;
    std::uint8_t other_ = 0;
    std::uint32_t end_ = 0;
    // The last scans' results, kept while they still lie ahead.
    bool scanned_ = false;
    std::uint32_t nextFirst_ = 0;
    std::uint32_t nextOther_ = 0;
};

}  // namespace

bool IsDelimiterAt(const LayoutText& layout, std::uint32_t offset) {
    if (offset >= layout.length)
        return true;
    if (IsTrailByteAt(layout, offset))
        --offset;
    const std::uint8_t b = layout.text[offset];
    if (IsAsciiPunctuation(b))
        return true;
    return !IsWordByte(b);
}

bool IsWholeWord(const LayoutText& layout, std::uint32_t begin, std::uint32_t end) {
    return (begin == 0 || IsDelimiterAt(layout, begin - 1)) && IsDelimiterAt(layout, end);
}

bool FindText(const LayoutText& layout, std::uint32_t& offset, std::string_view pattern, bool down,
              bool matchCase, bool wholeWord) {
    const std::uint32_t length = layout.length;
    const std::uint64_t m = pattern.size();
    if (length == 0 || m == 0 || length < m)
        return false;
    const auto matchesAt = [&](std::uint32_t b) {
        return CharactersMatch(layout.text, b, length, pattern, matchCase) &&
               !IsTrailByteAt(layout, b) &&
               (!wholeWord || IsWholeWord(layout, b, b + static_cast<std::uint32_t>(m)));
    };
    std::uint32_t b = offset;
    if (down) {
        if (b + m > length)
            return false;
        // Only the offsets the scan proposes can match; at any other the
        // comparison of the characters fails.
        CandidateScan scan(layout.text, length, pattern, matchCase);
        for (b = scan.Next(b); b < scan.end(); b = scan.Next(b + 1)) {
            if (matchesAt(b)) {
                offset = b;
                return true;
            }
        }
        return false;
    }
    if (b + m > length)
        b = length - static_cast<std::uint32_t>(m);
    for (;; --b) {
        if (matchesAt(b)) {
            offset = b;
            return true;
        }
        if (b == 0)
            return false;
    }
}

}  // namespace kotoha
