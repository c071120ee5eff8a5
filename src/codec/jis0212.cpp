// SPDX-License-Identifier: MIT
#include "codec/jis0212.h"

#include "codec/code_of_chars.h"

namespace kotoha {

namespace {

// kJis0212ToUnicodeData by row and cell, kJis0212FromUnicodeData sorted by
// character; generated at build time from resources/tables/jis0212.txt.
#include "jis0212_tables.inc"

}  // namespace

char32_t Jis0212ToUnicode(std::uint16_t jis) {
    const unsigned row = (jis >> 8) - 0x21u;
    const unsigned cell = (jis & 0xFFu) - 0x21u;
    if (row >= 94 || cell >= 94)
        return 0;
    return kJis0212ToUnicodeData[row * 94 + cell];
}

std::uint16_t UnicodeToJis0212(char32_t ch) {
    return static_cast<std::uint16_t>(FindCodeOfChars(kJis0212FromUnicodeData, ch));
}

}  // namespace kotoha
