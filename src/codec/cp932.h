// The CP932 (Windows Shift-JIS) to Unicode table and its reverse, for
// showing internal text on screen and exchanging it with Unicode text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kotoha {

// Shown for a code with no Unicode mapping (KATAKANA MIDDLE DOT).
inline constexpr char16_t kUnmappedChar = u'\u30FB';
// Written for a Unicode character CP932 cannot hold.
inline constexpr char kUnrepresentableChar = '?';

// Unicode of a CP932 character: a single byte (code < 0x100) or a lead byte
// in the high 8 bits and its second byte in the low 8 bits. Codes without a
// mapping (stray 8-bit bytes, empty cells) give kUnmappedChar.
char16_t Cp932ToUnicode(std::uint16_t code);

// CP932 code of a Unicode character (a single byte when < 0x100), or false
// when CP932 cannot hold it.
bool UnicodeToCp932(char32_t ch, std::uint16_t& code);

// Byte length of the Shift-JIS character at bytes[0] within length (1 or 2);
// a lead byte with nothing after it counts as one byte.
inline std::size_t SjisCharLength(const std::uint8_t* bytes, std::size_t length);

// Every character of the Shift-JIS text becomes exactly one UTF-16 unit, so
// a column count of the text is a position in the result.
std::u16string SjisToUtf16(const std::uint8_t* bytes, std::size_t length);
std::string SjisToUtf8(const std::uint8_t* bytes, std::size_t length);
inline std::string SjisToUtf8(std::string_view sjis) {
    return SjisToUtf8(reinterpret_cast<const std::uint8_t*>(sjis.data()), sjis.size());
}

// Unicode text to Shift-JIS bytes; each character CP932 cannot hold, and
// each malformed UTF-8 sequence or lone surrogate, becomes "?".
std::string Utf16ToSjis(std::u16string_view text);
std::string Utf8ToSjis(std::string_view text);

// Appends the UTF-8 form of ch to out.
void AppendUtf8(std::string& out, char32_t ch);

}  // namespace kotoha

#include "codec/byte_class.h"

inline std::size_t kotoha::SjisCharLength(const std::uint8_t* bytes, std::size_t length) {
    return IsLeadByte(bytes[0]) && length > 1 ? 2 : 1;
}
