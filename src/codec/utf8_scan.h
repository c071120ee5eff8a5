// SPDX-License-Identifier: MIT
// Reading UTF-8 by RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kotoha {

// Length (2-4) of the valid multibyte sequence at p (p < end) and its
// character in ch; 0 when the bytes at p start no valid sequence or it is
// cut off by end. ASCII bytes give 0 too: callers test them first.
inline std::size_t ReadUtf8Sequence(const std::uint8_t* p, const std::uint8_t* end, char32_t& ch) {
    const std::uint8_t b = p[0];
    std::size_t need;
    char32_t minimum;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 2;
        minimum = 0x80;
        ch = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 3;
        minimum = 0x800;
        ch = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 4;
        minimum = 0x10000;
        ch = b & 0x07u;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < need)
        return 0;
    for (std::size_t k = 1; k < need; ++k) {
        if ((p[k] & 0xC0u) != 0x80)
            return 0;
        ch = (ch << 6) | (p[k] & 0x3Fu);
    }
    if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return 0;
    return need;
}

// Whether bytes[0, length) is valid UTF-8 throughout, and how many multibyte
// sequences it holds (counting stops at limit).
struct Utf8Scan {
    bool valid = false;
    std::uint32_t multibyte = 0;
};
Utf8Scan ScanUtf8(const std::uint8_t* bytes, std::size_t length, std::uint32_t limit);

}  // namespace kotoha
