// SPDX-License-Identifier: MIT
// Guessing a raw buffer's encoding, and the line-break kind from the counts
// an import keeps.
#pragma once

#include <cstdint>

#include "codec/byte_class.h"

namespace kotoha {

// Detection bits, combined in the choice and the candidates of a result.
inline constexpr std::uint16_t kDetectSjis = 1;
inline constexpr std::uint16_t kDetectJis = 2;
inline constexpr std::uint16_t kDetectEuc = 4;
inline constexpr std::uint16_t kDetectUtf8 = 8;
inline constexpr std::uint16_t kDetectUtf8Bom = 16;
inline constexpr std::uint16_t kDetectUtf16Le = 32;
inline constexpr std::uint16_t kDetectUtf16Be = 64;

// Packed detection result: choice in the high 16 bits, candidates in the low.
using DetectionResult = std::uint32_t;

constexpr DetectionResult MakeDetectionResult(std::uint16_t choice, std::uint16_t candidates) {
    return (static_cast<std::uint32_t>(choice) << 16) | candidates;
}
constexpr std::uint16_t DetectionChoice(DetectionResult r) {
    return static_cast<std::uint16_t>(r >> 16);
}
constexpr std::uint16_t DetectionCandidates(DetectionResult r) {
    return static_cast<std::uint16_t>(r);
}
// Certain when nothing but the choice remains plausible.
constexpr bool IsDetectionCertain(DetectionResult r) {
    return DetectionChoice(r) == DetectionCandidates(r);
}
// The kind a choice reads as: JIS for 2, EUC for 4, the Unicode kinds for
// their bits, SJIS for anything else.
constexpr EncodingKind EncodingKindFromChoice(std::uint16_t choice) {
    switch (choice) {
        case kDetectJis:
            return EncodingKind::JIS;
        case kDetectEuc:
            return EncodingKind::EUC;
        case kDetectUtf8:
            return EncodingKind::UTF8;
        case kDetectUtf8Bom:
            return EncodingKind::UTF8BOM;
        case kDetectUtf16Le:
            return EncodingKind::UTF16LE;
        case kDetectUtf16Be:
            return EncodingKind::UTF16BE;
        default:
            return EncodingKind::SJIS;
    }
}

// The detection bit of a kind.
constexpr std::uint16_t DetectionBitOf(EncodingKind kind) {
    switch (kind) {
        case EncodingKind::JIS:
            return kDetectJis;
        case EncodingKind::EUC:
            return kDetectEuc;
        case EncodingKind::UTF8:
            return kDetectUtf8;
        case EncodingKind::UTF8BOM:
            return kDetectUtf8Bom;
        case EncodingKind::UTF16LE:
            return kDetectUtf16Le;
        case EncodingKind::UTF16BE:
            return kDetectUtf16Be;
        default:
            return kDetectSjis;
    }
}

// Examines every byte of bytes[0, length) and returns the chosen encoding and
// the encodings still plausible. preferWinText breaks ties towards Shift-JIS.
// Allocates nothing; never fails (an empty buffer gives (0, 0)).
DetectionResult DetectEncoding(const std::uint8_t* bytes, std::uint32_t length, bool preferWinText);

// DetectEncoding with Unicode first when detectUnicode is set: a UTF-8 or
// UTF-16 byte-order mark decides for certain; a buffer that is valid UTF-8
// throughout with at least one multibyte sequence is UTF-8, certain with four
// or more, else uncertain with DetectEncoding's candidates beside it. Every
// other buffer, and every buffer without detectUnicode, gets DetectEncoding's
// result unchanged.
DetectionResult DetectTextEncoding(const std::uint8_t* bytes, std::uint32_t length,
                                   bool preferWinText, bool detectUnicode);

// Length of the byte-order mark a text of that kind starts with (UTF-8 with
// BOM 3, UTF-16 2; none for the others) when bytes start with it, else 0.
std::uint32_t ByteOrderMarkLength(EncodingKind kind, const std::uint8_t* bytes,
                                  std::uint32_t length);

// Line-break kind of a text from its counts of CR LF pairs, lone CRs and lone
// LFs: the one kind present, WIN when none, MIXED when more than one.
LineBreakKind LineBreakKindFromCounts(std::uint32_t crLfPairs, std::uint32_t loneCrs,
                                      std::uint32_t loneLfs);

// Which kinds of line break a text holds; the scan below may stop at the
// second kind it finds.
struct LineBreaksSeen {
    bool crLfPairs = false;
    bool loneCrs = false;
    bool loneLfs = false;
};

// The line breaks of bytes[0, length) in the given encoding as ImportText
// counts them, without converting: UTF-16 is read by units after its
// byte-order mark, every other kind by bytes (a CR or LF byte is never part
// of a character there). Two parts of a text split just after a line feed
// give together what the whole gives.
LineBreaksSeen ScanLineBreaks(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length);

// LineBreakKindFromCounts of what ScanLineBreaks finds.
LineBreakKind ScanLineBreakKind(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length);

// A figure as a whole percentage of total: per mille truncated, then rounded
// half up; 0 when total is 0.
std::uint32_t ShareOf(std::uint32_t figure, std::uint32_t total);

}  // namespace kotoha
