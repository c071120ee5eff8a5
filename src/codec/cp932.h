// SPDX-License-Identifier: MIT
// The CP932 (Windows Shift-JIS) to Unicode table and its reverse, for
// showing internal text on screen and exchanging it with Unicode text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kotoha {

class ExtensionTable;

// Shown for a code with no Unicode mapping (KATAKANA MIDDLE DOT).
inline constexpr char16_t kUnmappedChar = u'\u30FB';
// Written for a Unicode character CP932 cannot hold.
inline constexpr char kUnrepresentableChar = '?';

// Unicode of a CP932 character: a single byte (code < 0x100) or a lead byte
// in the high 8 bits and its second byte in the low 8 bits. Codes without a
// mapping (stray 8-bit bytes, empty cells) give kUnmappedChar.
char16_t Cp932ToUnicode(std::uint16_t code);
// The same table by code, 0 where Cp932ToUnicode gives kUnmappedChar (and
// for code 0 itself).
const char16_t* Cp932ToUnicodeTable();

// The UTF-8 form of every code (as Cp932ToUnicode gives it, unmapped codes
// as kUnmappedChar's) as four bytes by code: the sequence, then its length.
const std::uint8_t* Cp932Utf8Forms();

// CP932 code of a Unicode character (a single byte when < 0x100), or false
// when CP932 cannot hold it.
bool UnicodeToCp932(char32_t ch, std::uint16_t& code);

// The CP932 code of ch when CP932 maps that code back to ch itself (not a
// vendor variant): ASCII, half-width katakana or a double-byte character.
bool ExactCp932Code(char32_t ch, std::uint16_t& code);
// The same for every BMP character at once, by character: 0 where there is
// no exact code (U+0000 itself has code 0).
const std::uint16_t* ExactCp932Codes();

// The Unicode character of an internal code: the extension table's, when it
// has the code, else Cp932ToUnicode.
char32_t InternalCharOf(std::uint16_t code, const ExtensionTable* table);

// Byte length of the Shift-JIS character at bytes[0] within length (1 or 2);
// a lead byte with nothing after it counts as one byte.
inline std::size_t SjisCharLength(const std::uint8_t* bytes, std::size_t length);

// Every character of the Shift-JIS text becomes exactly one UTF-16 unit, so
// a column count of the text is a position in the result; only a character
// of the extension table beyond U+FFFF takes two (its surrogate pair).
std::u16string SjisToUtf16(const std::uint8_t* bytes, std::size_t length,
                           const ExtensionTable* table = nullptr);
std::string SjisToUtf8(const std::uint8_t* bytes, std::size_t length,
                       const ExtensionTable* table = nullptr);
inline std::string SjisToUtf8(std::string_view sjis, const ExtensionTable* table = nullptr) {
    return SjisToUtf8(reinterpret_cast<const std::uint8_t*>(sjis.data()), sjis.size(), table);
}

// Unicode text to Shift-JIS bytes: a character's exact CP932 code, else its
// code in table (when given), else its nearest CP932 code (WAVE DASH gives
// the full-width tilde); each character with none of these, and each
// malformed UTF-8 sequence or lone surrogate, becomes "?".
std::string Utf16ToSjis(std::u16string_view text, const ExtensionTable* table = nullptr);
std::string Utf8ToSjis(std::string_view text, const ExtensionTable* table = nullptr);

// Unicode text to internal bytes keeping every character: its exact CP932
// code, else a code of table, given to it when it has none. A character that
// finds no free code becomes 0x8145 and is counted in replaced; a lone
// surrogate becomes "?", counted in replaced too.
std::string Utf16ToInternal(std::u16string_view text, ExtensionTable& table,
                            std::uint32_t* replaced = nullptr);

// Appends the UTF-8 form of ch to out.
void AppendUtf8(std::string& out, char32_t ch);

}  // namespace kotoha

#include "codec/byte_class.h"

inline std::size_t kotoha::SjisCharLength(const std::uint8_t* bytes, std::size_t length) {
    return IsLeadByte(bytes[0]) && length > 1 ? 2 : 1;
}
