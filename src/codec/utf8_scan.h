// Reading UTF-8 by RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kotoha {

// Length (2-4) of the valid multibyte sequence at p (p < end) and its
// character in ch; 0 when the bytes at p start no valid sequence or it is
// cut off by end. ASCII bytes give 0 too: callers test them first.
std::size_t ReadUtf8Sequence(const std::uint8_t* p, const std::uint8_t* end, char32_t& ch);

// Whether bytes[0, length) is valid UTF-8 throughout, and how many multibyte
// sequences it holds (counting stops at limit).
struct Utf8Scan {
    bool valid = false;
    std::uint32_t multibyte = 0;
};
Utf8Scan ScanUtf8(const std::uint8_t* bytes, std::size_t length, std::uint32_t limit);

}  // namespace kotoha
