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
// The kind a choice reads as: JIS for 2, EUC for 4, SJIS for anything else.
constexpr EncodingKind EncodingKindFromChoice(std::uint16_t choice) {
    return choice == kDetectJis   ? EncodingKind::JIS
           : choice == kDetectEuc ? EncodingKind::EUC
                                  : EncodingKind::SJIS;
}

// Examines every byte of bytes[0, length) and returns the chosen encoding and
// the encodings still plausible. preferWinText breaks ties towards Shift-JIS.
// Allocates nothing; never fails (an empty buffer gives (0, 0)).
DetectionResult DetectEncoding(const std::uint8_t* bytes, std::uint32_t length, bool preferWinText);

// Line-break kind of a text from its counts of CR LF pairs, lone CRs and lone
// LFs: the one kind present, WIN when none, MIXED when more than one.
LineBreakKind LineBreakKindFromCounts(std::uint32_t crLfPairs, std::uint32_t loneCrs,
                                      std::uint32_t loneLfs);

// A figure as a whole percentage of total: per mille truncated, then rounded
// half up; 0 when total is 0.
std::uint32_t ShareOf(std::uint32_t figure, std::uint32_t total);

}  // namespace kotoha
