#include "document/find.h"

#include <algorithm>

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
        for (; b + m <= length; ++b) {
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

FindStart FindNextStart(const LayoutText& layout, bool down, bool hasSelection,
                        DisplayPos selectionLo, std::int32_t topLine, std::int32_t visibleLines) {
    const std::int32_t n = layout.LineCount();
    if (hasSelection && topLine <= selectionLo.line && selectionLo.line < topLine + visibleLines) {
        const std::uint32_t s = PosToOffset(layout, selectionLo);
        if (down)
            return {s + 1, false};
        if (s == 0)
            return {0, true};
        return {s - 1, false};
    }
    if (down)
        return {PosToOffset(layout, {0, topLine}), false};
    const std::int32_t lastLine = std::clamp(topLine + visibleLines - 1, 0, n);
    return {PosToOffset(layout, {layout.wrapColumn + 1, lastLine}), false};
}

MatchSelection SelectionOfMatch(const LayoutText& layout, std::uint32_t offset,
                                std::uint32_t length) {
    MatchSelection match{OffsetToPos(layout, offset), OffsetToPos(layout, offset + length)};
    if (match.end.column == 0 && match.end.line > 0) {
        match.end = {layout.wrapColumn + 1, match.end.line - 1};
    }
    return match;
}

std::int32_t TopLineForMatch(std::int32_t topLine, std::int32_t visibleLines,
                             const MatchSelection& match) {
    std::int32_t top = topLine;
    if (match.end.line >= topLine + visibleLines)
        top = match.end.line - visibleLines + 1;
    if (match.anchor.line < top)
        top = match.anchor.line;
    return top;
}

std::int32_t LeftColumnForMatch(std::int32_t leftColumn, std::int32_t columnWidth,
                                std::int32_t clientWidth, std::int32_t left, std::int32_t right) {
    if (columnWidth <= 0)
        return leftColumn;
    std::int32_t column = leftColumn;
    if (columnWidth * column + clientWidth - 10 < right) {
        column = (columnWidth + right - clientWidth + 9) / columnWidth;
    }
    if (left < columnWidth * column)
        column = left / columnWidth;
    return column;
}

}  // namespace kotoha
