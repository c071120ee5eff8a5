// SPDX-License-Identifier: MIT
// JIS X 0213 (both planes) to Unicode and back, compiled in from the table
// kept in the tree: the character sets of Shift_JIS-2004, EUC-JIS-2004 and
// ISO-2022-JP-2004.
#pragma once

#include <cstdint>

namespace kotoha {

// A code stands for one character or, for a few kana and letters with a
// combining mark, for two.
struct Jis0213Chars {
    char32_t first = 0;  // 0 when the code has no character
    char32_t second = 0;
};

// The characters of plane (1 or 2), row and cell bytes (0x21-0x7E each).
Jis0213Chars Jis0213ToUnicode(unsigned plane, std::uint16_t jis);

// The code of the characters as plane << 16 | row << 8 | cell, or 0 when
// JIS X 0213 does not hold them.
std::uint32_t UnicodeToJis0213(char32_t first, char32_t second = 0);

}  // namespace kotoha
