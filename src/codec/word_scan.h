// SPDX-License-Identifier: MIT
// Word-at-a-time helpers for skipping runs of 7-bit bytes quickly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kotoha::detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

inline std::uint64_t LoadWord(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Non-zero when some byte of w is zero.
constexpr std::uint64_t HasZeroByte(std::uint64_t w) {
    return (w - kOnes) & ~w & kHighBits;
}

// Index of the first byte at or after i (i <= length) that is 0x80 or above or
// equals one of Stops, or length when there is none.
template <std::uint8_t... Stops>
std::size_t SkipSevenBitExcept(const std::uint8_t* bytes, std::size_t i, std::size_t length) {
    while (i + 8 <= length) {
        std::uint64_t w = LoadWord(bytes + i);
        std::uint64_t hit = w & kHighBits;
        ((hit |= HasZeroByte(w ^ (kOnes * Stops))), ...);
        if (hit != 0)
            break;
        i += 8;
    }
    while (i < length && bytes[i] < 0x80 && ((bytes[i] != Stops) && ...))
        ++i;
    return i;
}

}  // namespace kotoha::detail
