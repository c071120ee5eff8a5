#include "codec/utf8_scan.h"

#include "codec/word_scan.h"

namespace kotoha {

std::size_t ReadUtf8Sequence(const std::uint8_t* p, const std::uint8_t* end, char32_t& ch) {
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
