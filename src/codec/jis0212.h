// SPDX-License-Identifier: MIT
// JIS X 0212 (the supplementary kanji EUC-JP writes after single shift 3)
// to Unicode and back, compiled in from the table kept in the tree.
#pragma once

#include <cstdint>

namespace kotoha {

// Unicode of the JIS X 0212 code (both bytes 0x21-0x7E), 0 when it has none.
char32_t Jis0212ToUnicode(std::uint16_t jis);

// JIS X 0212 code of ch, or 0 when JIS X 0212 does not hold it.
std::uint16_t UnicodeToJis0212(char32_t ch);

}  // namespace kotoha
