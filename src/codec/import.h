// Conversion of raw file bytes into the internal text form: Shift-JIS,
// every line break a single LF.
#pragma once

#include <cstdint>

#include "codec/byte_class.h"

namespace kotoha {

// Converts source[0, length) in the given encoding (JIS, EUC, anything else
// Shift-JIS) into the internal form at destination and returns the number of
// bytes written. Undecodable bytes become one blank each; it never fails.
//
// With emitCrLf off the output is never longer than the input, and
// destination may equal source (conversion in place). With emitCrLf on every
// line break is written as CR LF, so a lone CR or LF takes two bytes: the
// destination must then hold twice the input, or the input must hold no lone
// CR or LF when converting in place.
//
// lineBreakKindOut and kanaCountOut, when not null, receive the kind of the
// line breaks met and the number of half-width katakana written.
std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut);

}  // namespace kotoha
