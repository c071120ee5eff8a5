// SPDX-License-Identifier: MIT
// Lookup tables for converting double-byte characters between JIS X 0208
// and Shift-JIS, built at compile time from JisToSjis and SjisToJis. The
// arithmetic branches on the parity of the row and the range of the second
// byte, which random kanji mispredict; a table load does not.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "codec/byte_class.h"

namespace kotoha::detail {

// JIS X 0208: rows and cells 0x21-0x7E.
inline constexpr unsigned kJisCells = 94;

// The two Shift-JIS bytes of each JIS X 0208 code, in output order, so that
// a conversion copies them with one two-byte move.
struct BytePair {
    std::uint8_t bytes[2];
};

inline constexpr auto kJisToSjisTable = [] {
    std::array<BytePair, kJisCells * kJisCells> table{};
    for (unsigned row = 0; row < kJisCells; ++row) {
        for (unsigned cell = 0; cell < kJisCells; ++cell) {
            const std::uint16_t sjis =
                JisToSjis(static_cast<std::uint16_t>(((row + 0x21) << 8) | (cell + 0x21)));
            table[row * kJisCells + cell] = {
                {static_cast<std::uint8_t>(sjis >> 8), static_cast<std::uint8_t>(sjis)}};
        }
    }
    return table;
}();

// Writes JisToSjis of the pair j1 j2 (both 0x21-0x7E) at out.
inline void PutJisPairAsSjis(std::uint8_t* out, unsigned j1, unsigned j2) {
    std::memcpy(out, kJisToSjisTable[(j1 - 0x21) * kJisCells + (j2 - 0x21)].bytes, 2);
}

// Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC as 0-59; second bytes from
// 0x40 to 0xFF as 0-191 (below 0x40 none has a JIS code).
inline constexpr unsigned kSjisLeads = 60;
inline constexpr unsigned kSjisSeconds = 192;

// The JIS code of each Shift-JIS pair, with 0x2121 (the full-width space)
// where SjisToJis gives none: what both encoders write in that case.
inline constexpr auto kSjisToJisTable = [] {
    std::array<std::uint16_t, kSjisLeads * kSjisSeconds> table{};
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<std::uint8_t>(lead)))
            continue;
        const unsigned index = lead < 0xA0 ? lead - 0x81 : lead - 0xC1;
        for (unsigned second = 0x40; second <= 0xFF; ++second) {
            const std::uint16_t jis = SjisToJis(static_cast<std::uint16_t>((lead << 8) | second));
            table[index * kSjisSeconds + second - 0x40] = jis != 0 ? jis : 0x2121;
        }
    }
    return table;
}();

// SjisToJis of the lead byte s1 and the byte s2 after it, or 0x2121 when
// the pair has no JIS code.
inline std::uint16_t SjisPairToJis(std::uint8_t s1, std::uint8_t s2) {
    if (s2 < 0x40)
        return 0x2121;
    const unsigned lead = s1 < 0xA0 ? s1 - 0x81u : s1 - 0xC1u;
    return kSjisToJisTable[lead * kSjisSeconds + (s2 - 0x40u)];
}

}  // namespace kotoha::detail
