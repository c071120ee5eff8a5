// SPDX-License-Identifier: MIT
#include "codec/detect.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

#include "base/side_by_side.h"
#include "codec/block_scan.h"
#include "codec/utf8_scan.h"
#include "codec/word_scan.h"

namespace kotoha {

namespace {

bool IsRecognisedEscape(const std::uint8_t* p) {
    return DesignationOf(p[0], p[1]) != JisDesignation::None;
}

// Whether bytes[from, length) read as EUC-JP; stops at the first failure.
bool PassesEucTest(const std::uint8_t* bytes, std::size_t from, std::size_t length) {
    std::size_t i = from;
    // Whole blocks first: 0x8E and 0xA1-0xFE open a pair whose second byte
    // must lie in 0xA1-0xFE, and no other 8-bit byte may stand alone.
    while (i + detail::kBlockSize <= length) {
        const detail::Block block(bytes + i);
        const std::uint64_t firsts =
            detail::PairStarts(block.Equal(kSingleShift2) | block.InRange(0xA1, 0xFE));
        const unsigned taken = detail::WholeCharBytes(firsts);
        const std::uint64_t seconds = (firsts << 1) & detail::LowBits(taken);
        const std::uint64_t singles = ~(firsts | seconds) & detail::LowBits(taken);
        if ((seconds & ~block.InRange(0xA1, 0xFE)) != 0 || (singles & block.High()) != 0)
            return false;
        i += taken;
    }
    while (i < length) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            // Japanese text holds short 7-bit runs; skip long ones by words.
            i = detail::SkipSevenBitExcept<>(bytes, i + 1, length);
            continue;
        }
        if (b != kSingleShift2 && !IsEucByte(b))
            return false;
        if (i + 1 < length && !IsEucByte(bytes[i + 1]))
            return false;
        i += 2;
    }
    return true;
}

// What the scan of every byte gathers, and the Shift-JIS test's outcome and
// counts (which matter only while it passes).
struct ScanFigures {
    std::uint32_t escapeBytes = 0;
    std::uint32_t eightBitCount = 0;
    std::size_t firstEightBit = 0;
    bool sjis = true;
    std::uint32_t kanaBytes = 0;
    std::uint32_t pairs = 0;
};

// The Shift-JIS test from i (a character boundary) to the end, byte by byte.
bool SjisTestTail(const std::uint8_t* bytes, std::size_t i, std::size_t length, ScanFigures& f) {
    while (i < length) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            i = detail::SkipSevenBitExcept<>(bytes, i + 1, length);
            continue;
        }
        const std::uint8_t flags = ByteClass(b);
        if (flags & (KanaLetter | KanaPunct)) {
            ++f.kanaBytes;
            ++i;
        } else if (flags & LeadByte) {
            if (i + 1 < length && !IsTrailByte(bytes[i + 1]))
                return false;
            ++f.pairs;
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// One pass over the buffer: escapes and 8-bit bytes everywhere, and, while
// it holds, the Shift-JIS test. Starting that test at the first byte equals
// starting it at the first 8-bit byte: 7-bit bytes pass and count nothing.
// A recognised escape is ESC and two 7-bit bytes other than ESC, so testing
// every ESC on its own finds the same escapes as stepping over them, and
// counting 8-bit bytes over the whole buffer equals counting them outside
// the escapes.
ScanFigures ScanBuffer(const std::uint8_t* bytes, std::size_t length) {
    ScanFigures f;
    f.firstEightBit = length;
    std::size_t i = 0;
    while (i + detail::kBlockSize <= length) {
        const detail::Block block(bytes + i);
        unsigned step = detail::kBlockSize;
        const std::uint64_t blockHigh = block.High();
        // A block of 7-bit bytes passes the test and counts nothing.
        if (f.sjis && blockHigh != 0) {
            // Every byte at a pair's second position must be a trail byte;
            // every other 8-bit byte that opens no pair a half-width
            // katakana.
            std::uint64_t firsts =
                detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
            const unsigned taken = detail::WholeCharBytes(firsts);
            firsts &= detail::LowBits(taken);  // a lead byte left over counts in the next block
            const std::uint64_t seconds = firsts << 1;
            const std::uint64_t singles = ~(firsts | seconds) & detail::LowBits(taken);
            const std::uint64_t trails = block.InRange(0x40, 0xFC) & ~block.Equal(0x7F);
            const std::uint64_t kanaBits = block.InRange(0xA1, 0xDF) & singles;
            if ((seconds & ~trails) != 0 || (singles & blockHigh & ~kanaBits) != 0) {
                f.sjis = false;
            } else {
                f.kanaBytes += detail::CountBits(kanaBits);
                f.pairs += detail::CountBits(firsts);
                step = taken;
            }
        }
        const std::uint64_t inStep = detail::LowBits(step);
        const std::uint64_t high = blockHigh & inStep;
        if (high != 0) {
            if (f.firstEightBit == length)
                f.firstEightBit = i + static_cast<std::size_t>(std::countr_zero(high));
            f.eightBitCount += detail::CountBits(high);
        }
        // JIS text has an ESC every few words: visit only the ESC bytes.
        for (std::uint64_t escs = block.Equal(kEsc) & inStep; escs != 0; escs &= escs - 1) {
            const std::size_t k = i + static_cast<std::size_t>(std::countr_zero(escs));
            if (k + 2 < length && IsRecognisedEscape(bytes + k + 1))
                f.escapeBytes += 3;
        }
        i += step;
    }
    if (f.sjis)
        f.sjis = SjisTestTail(bytes, i, length, f);
    for (; i < length; ++i) {
        const std::uint8_t b = bytes[i];
        if (b == kEsc && i + 2 < length && IsRecognisedEscape(bytes + i + 1)) {
            f.escapeBytes += 3;
        } else if (b >= 0x80) {
            if (f.firstEightBit == length)
                f.firstEightBit = i;
            ++f.eightBitCount;
        }
    }
    return f;
}

// What a part of the buffer gives: the scan's figures, and whether the part
// reads as EUC-JP from its first 8-bit byte on.
struct PartFigures {
    ScanFigures scan;
    bool euc = true;
};

PartFigures ExaminePart(const std::uint8_t* bytes, std::size_t length) {
    PartFigures part;
    part.scan = ScanBuffer(bytes, length);
    part.euc = PassesEucTest(bytes, part.scan.firstEightBit, length);
    return part;
}

// ExaminePart of the whole buffer. A long one is split just after a line
// feed near its middle, which starts a character in every legacy encoding
// and is never inside an escape sequence; the tests and counts of the two
// halves then add up to those of the whole.
PartFigures ExamineBuffer(const std::uint8_t* bytes, std::size_t length) {
    const void* lineFeed = length >= SideBySideBytes() ? memrchr(bytes, 0x0A, length / 2) : nullptr;
    if (lineFeed == nullptr)
        return ExaminePart(bytes, length);
    const auto middle =
        static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) - bytes) + 1;
    PartFigures whole;
    PartFigures second;
    RunSideBySide([&] { whole = ExaminePart(bytes, middle); },
                  [&] { second = ExaminePart(bytes + middle, length - middle); });
    ScanFigures& f = whole.scan;
    f.escapeBytes += second.scan.escapeBytes;
    f.eightBitCount += second.scan.eightBitCount;
    if (f.firstEightBit == middle)
        f.firstEightBit = middle + second.scan.firstEightBit;
    f.sjis = f.sjis && second.scan.sjis;
    f.kanaBytes += second.scan.kanaBytes;
    f.pairs += second.scan.pairs;
    whole.euc = whole.euc && second.euc;
    return whole;
}

}  // namespace

std::uint32_t ShareOf(std::uint32_t figure, std::uint32_t total) {
    if (total == 0)
        return 0;
    std::uint64_t perMille = static_cast<std::uint64_t>(figure) * 1000 / total;
    return static_cast<std::uint32_t>((perMille + 5) / 10);
}

DetectionResult DetectEncoding(const std::uint8_t* bytes, std::uint32_t length,
                               bool preferWinText) {
    const PartFigures examined = ExamineBuffer(bytes, length);
    const ScanFigures& f = examined.scan;
    const std::uint32_t escapeShare = ShareOf(f.escapeBytes, length);
    const std::uint32_t eightBitShare = ShareOf(f.eightBitCount, length);
    const bool escapes = f.escapeBytes != 0;

    if (f.eightBitCount == 0)
        return escapes ? MakeDetectionResult(kDetectJis, kDetectJis) : 0;

    const bool euc = examined.euc;
    const bool sjis = f.sjis;
    const std::uint32_t kanaShare = sjis ? ShareOf(f.kanaBytes, f.kanaBytes + 2 * f.pairs) : 0;

    if (escapes && !euc && !sjis)
        return MakeDetectionResult(kDetectJis, kDetectJis);
    if (!escapes && euc && !sjis)
        return MakeDetectionResult(kDetectEuc, kDetectEuc);
    if (!escapes && !euc && sjis)
        return MakeDetectionResult(kDetectSjis, kDetectSjis);

    const std::uint16_t candidates =
        escapes ? (kDetectSjis | kDetectJis | kDetectEuc) : (kDetectSjis | kDetectEuc);
    std::uint16_t choice;
    if (sjis && preferWinText) {
        choice = kDetectSjis;
    } else if (escapes && escapeShare >= eightBitShare) {
        choice = kDetectJis;
    } else if (sjis && euc) {
        choice = kanaShare >= 40 ? kDetectEuc : kDetectSjis;
    } else if (euc) {
        choice = kDetectEuc;
    } else {
        choice = kDetectSjis;
    }
    return MakeDetectionResult(choice, candidates);
}

DetectionResult DetectTextEncoding(const std::uint8_t* bytes, std::uint32_t length,
                                   bool preferWinText, bool detectUnicode) {
    if (detectUnicode) {
        for (EncodingKind kind :
             {EncodingKind::UTF8BOM, EncodingKind::UTF16LE, EncodingKind::UTF16BE}) {
            if (ByteOrderMarkLength(kind, bytes, length) != 0)
                return MakeDetectionResult(DetectionBitOf(kind), DetectionBitOf(kind));
        }
        constexpr std::uint32_t kCertainSequences = 4;
        const Utf8Scan scan = ScanUtf8(bytes, length, kCertainSequences);
        if (scan.valid && scan.multibyte >= kCertainSequences)
            return MakeDetectionResult(kDetectUtf8, kDetectUtf8);
        if (scan.valid && scan.multibyte > 0) {
            const DetectionResult legacy = DetectEncoding(bytes, length, preferWinText);
            return MakeDetectionResult(kDetectUtf8, kDetectUtf8 | DetectionCandidates(legacy));
        }
    }
    return DetectEncoding(bytes, length, preferWinText);
}

std::uint32_t ByteOrderMarkLength(EncodingKind kind, const std::uint8_t* bytes,
                                  std::uint32_t length) {
    auto startsWith = [&](std::initializer_list<std::uint8_t> mark) {
        return length >= mark.size() && std::equal(mark.begin(), mark.end(), bytes);
    };
    switch (kind) {
        case EncodingKind::UTF8BOM:
            return startsWith({0xEF, 0xBB, 0xBF}) ? 3 : 0;
        case EncodingKind::UTF16LE:
            return startsWith({0xFF, 0xFE}) ? 2 : 0;
        case EncodingKind::UTF16BE:
            return startsWith({0xFE, 0xFF}) ? 2 : 0;
        default:
            return 0;
    }
}

LineBreakKind LineBreakKindFromCounts(std::uint32_t crLfPairs, std::uint32_t loneCrs,
                                      std::uint32_t loneLfs) {
    const int kinds = (crLfPairs != 0) + (loneCrs != 0) + (loneLfs != 0);
    if (kinds > 1)
        return LineBreakKind::MIXED;
    if (loneCrs != 0)
        return LineBreakKind::MAC;
    if (loneLfs != 0)
        return LineBreakKind::UX;
    return LineBreakKind::WIN;
}

LineBreaksSeen ScanLineBreaks(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length) {
    constexpr std::uint8_t kCr = 0x0D;
    constexpr std::uint8_t kLf = 0x0A;
    // Only which kinds occur matters, not how often.
    bool pair = false;
    bool loneCr = false;
    bool loneLf = false;
    const auto mixed = [&] { return pair + loneCr + loneLf > 1; };
    if (kind == EncodingKind::UTF16LE || kind == EncodingKind::UTF16BE) {
        const unsigned high = kind == EncodingKind::UTF16BE ? 0 : 1;
        bool afterCr = false;
        for (std::uint32_t i = ByteOrderMarkLength(kind, bytes, length); i + 1 < length; i += 2) {
            const unsigned unit = bytes[i + high] == 0 ? bytes[i + 1 - high] : 0x100;
            pair |= afterCr && unit == kLf;
            loneCr |= afterCr && unit != kLf;
            loneLf |= !afterCr && unit == kLf;
            afterCr = unit == kCr;
        }
        loneCr |= afterCr;
        return {pair, loneCr, loneLf};
    }
    const std::uint8_t* p = bytes;
    const std::uint8_t* end = bytes + length;
    std::uint64_t carry = 0;  // the byte before p is a CR
    while (end - p >= static_cast<std::ptrdiff_t>(detail::kBlockSize)) {
        const detail::Block block(p);
        p += detail::kBlockSize;
        const std::uint64_t cr = block.Equal(kCr);
        const std::uint64_t lf = block.Equal(kLf);
        if ((cr | lf | carry) == 0)
            continue;
        const std::uint64_t crBefore = (cr << 1) | carry;
        pair |= (lf & crBefore) != 0;
        loneLf |= (lf & ~crBefore) != 0;
        // A CR in the last byte is decided by the next block's first.
        loneCr |= (crBefore & ~lf & ~std::uint64_t{1}) != 0 || (carry != 0 && (lf & 1) == 0);
        carry = cr >> 63;
        if (mixed())
            return {pair, loneCr, loneLf};
    }
    for (; p < end; ++p) {
        pair |= carry && *p == kLf;
        loneCr |= carry && *p != kLf;
        loneLf |= !carry && *p == kLf;
        carry = *p == kCr;
    }
    loneCr |= carry != 0;
    return {pair, loneCr, loneLf};
}

LineBreakKind ScanLineBreakKind(EncodingKind kind, const std::uint8_t* bytes,
                                std::uint32_t length) {
    const LineBreaksSeen seen = ScanLineBreaks(kind, bytes, length);
    return LineBreakKindFromCounts(seen.crLfPairs, seen.loneCrs, seen.loneLfs);
}

}  // namespace kotoha
