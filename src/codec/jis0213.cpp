// SPDX-License-Identifier: MIT
#include "codec/jis0213.h"

#include "codec/code_of_chars.h"

namespace kotoha {

namespace {

// kJis0213FirstData and kJis0213SecondData by plane, row and cell,
// kJis0213FromUnicodeData sorted by characters; generated at build time from
// resources/tables/jis0213.txt.
#include "jis0213_tables.inc"

constexpr unsigned kCells = 94 * 94;

}  // namespace

Jis0213Chars Jis0213ToUnicode(unsigned plane, std::uint16_t jis) {
    const unsigned row = (jis >> 8) - 0x21u;
    const unsigned cell = (jis & 0xFFu) - 0x21u;
    if ((plane != 1 && plane != 2) || row >= 94 || cell >= 94)
        return {};
    const unsigned index = (plane - 1) * kCells + row * 94 + cell;
    return {kJis0213FirstData[index], kJis0213SecondData[index]};
}

std::uint32_t UnicodeToJis0213(char32_t first, char32_t second) {
    return FindCodeOfChars(kJis0213FromUnicodeData, first, second);
}

}  // namespace kotoha
