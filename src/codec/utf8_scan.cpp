// SPDX-License-Identifier: MIT
#include "codec/utf8_scan.h"

#include "codec/word_scan.h"

namespace kotoha {

Utf8Scan ScanUtf8(const std::uint8_t* bytes, std::size_t length, std::uint32_t limit) {
    Utf8Scan scan;
    const std::uint8_t* end = bytes + length;
    std::size_t i = 0;
    while (true) {
        i = detail::SkipSevenBitExcept<>(bytes, i, length);
        if (i >= length)
            break;
        char32_t ch;
        const std::size_t n = ReadUtf8Sequence(bytes + i, end, ch);
        if (n == 0)
            return scan;
        if (scan.multibyte < limit)
            ++scan.multibyte;
        i += n;
    }
    scan.valid = true;
    return scan;
}

}  // namespace kotoha
