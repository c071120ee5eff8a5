// SPDX-License-Identifier: MIT
// A deliberately simple, slow reference of the codec: every operation walks
// its input one byte at a time with plain range comparisons, so that the fast
// code can be checked against it on random input. Byte strings are held in
// std::string.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "base/byte_sink.h"
#include "codec/byte_class.h"
#include "codec/detect.h"

namespace kotoha::reference {

std::uint16_t JisToSjis(std::uint16_t jis);
std::uint16_t SjisToJis(std::uint16_t sjis);

// Collects what an export writes.
using kotoha::StringSink;

struct ImportResult {
    std::string text;
    LineBreakKind lineBreak;
    std::uint32_t kanaCount;
};
ImportResult Import(EncodingKind kind, bool emitCrLf, const std::string& input);

// The whole text as one string; a lead byte that ends the text is written as
// a stray 8-bit byte.
std::string Export(EncodingKind kind, LineBreakKind lineBreak, const std::string& text, bool widen);
std::string Widen(const std::string& text);
// Half-width katakana that start a character (a trail byte in their range
// does not count).
std::uint32_t CountKana(const std::string& text);
DetectionResult Detect(const std::string& bytes, bool preferWinText);

// Raw file bytes biased towards what the decoders and the detector single
// out: escape sequences, 0x8E, lead and trail bytes, EUC pairs, CR and
// LF, half-width katakana and sound marks, NUL.
std::string RandomRawBytes(std::mt19937& rng, std::size_t maxLength);

// Which parts of the internal form random text may hold.
struct TextOptions {
    bool strayBytes = true;   // 0x80, 0xA0, 0xFD-0xFF
    bool userDefined = true;  // lead bytes 0xF0-0xFC
    bool esc = true;
};
// Valid internal text: every lead byte followed by a trail byte, LF line
// breaks, no CR.
std::string RandomInternalText(std::mt19937& rng, std::size_t maxLength, TextOptions options = {});

}  // namespace kotoha::reference
