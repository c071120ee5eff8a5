// SPDX-License-Identifier: MIT
// Conversion of internal text (Shift-JIS, LF line breaks) back into a file
// encoding and line-break convention, streamed to a byte sink.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/byte_sink.h"
#include "codec/byte_class.h"
#include "codec/extension_table.h"

namespace kotoha {

// Size of the staging buffer: the sink receives chunks of this many bytes,
// then one last chunk of whatever is left (possibly empty).
inline constexpr std::size_t kExportChunkSize = 512;

// Writes base[startOffset, endOffset) in the given encoding (JIS, EUC, UTF-8
// with or without its byte-order mark, UTF-16LE or BE always with theirs, any
// other value SJIS), each LF written as the line-break kind says (WIN CR LF,
// MAC CR, anything else LF), widening half-width katakana when widen is set.
// Returns false as soon as the sink fails; what was written before stays.
// A stray 8-bit byte (0x80, 0xA0, 0xFD-0xFF, or a lead byte without its
// second byte inside the range) is written as itself in Shift-JIS, as the
// full-width space in EUC and JIS (so is an ESC in JIS) and as U+FFFD in
// Unicode, those counted in substitutedOut; nothing outside the range is
// read.
//
// Codes of table are written as their characters in the Unicode encodings;
// in EUC a JIS X 0212 character after single shift 3; otherwise as the
// nearest CP932 character, or the full-width space when the encoding holds
// none, counted in substitutedOut.
bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen, const ExtensionTable* table = nullptr,
                std::uint32_t* substitutedOut = nullptr);

// ExportText of text[0, length) for a text written piece by piece after its
// first piece: no byte-order mark before it. A piece that ends after a line
// break writes what the same bytes write inside the whole text.
bool ExportTextContinued(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                         const std::uint8_t* text, std::uint32_t length, bool widen,
                         const ExtensionTable* table = nullptr,
                         std::uint32_t* substitutedOut = nullptr);

// Writes base[startOffset, endOffset) as UTF-8 through the CP932 table, with
// the same line-break translation, widening and stray-byte rule as ExportText.
bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen);

// The characters of text[0, length) that ExportText in kind would write as a
// substitute (the full-width space, or U+FFFD): CP932's NEC and IBM
// extensions and user-defined characters in EUC and JIS, characters of
// table none of the legacy encodings' rules can place, and stray bytes in
// every encoding but Shift-JIS. firstOffset, when not null,
// receives the offset of the first one (length when there is none).
std::uint32_t CountUnwritableCharacters(EncodingKind kind, const std::uint8_t* text,
                                        std::uint32_t length, const ExtensionTable* table,
                                        std::uint32_t* firstOffset = nullptr);

// Copies source[0, length) to destination with every half-width katakana
// widened (folding a following sound mark) and returns the bytes written.
// destination must hold length + the number of half-width katakana in the
// source and must not overlap it.
std::uint32_t WidenKana(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t length);

}  // namespace kotoha
