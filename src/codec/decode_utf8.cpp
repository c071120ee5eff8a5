// SPDX-License-Identifier: MIT
// The UTF-8 decoder: characters to their CP932 codes or the extension
// table's, an invalid byte to one blank.
#include "codec/import_context.h"

#include <cstring>

#include "codec/utf8_scan.h"
#include "codec/word_scan.h"

namespace kotoha::decode {

namespace {

// Private-use characters U+E000-U+E757 (EE 80 80 - EE 9D 97) are CP932's
// user-defined codes.
void ReserveUnreadUtf8(ImportContext& c) {
    const std::uint8_t* end = c.source + c.length;
    for (const std::uint8_t* p = c.source + c.pos; p < end; ++p) {
        p = static_cast<const std::uint8_t*>(
            std::memchr(p, 0xEE, static_cast<std::size_t>(end - p)));
        if (p == nullptr)
            break;
        char32_t ch;
        std::uint16_t code;
        if (ReadUtf8Sequence(p, end, ch) == 3 && ExactCp932Code(ch, code))
            c.table->Reserve(code);
    }
}

// Decodes the run of three-byte sequences at c.pos that CP932 holds exactly
// (most of a Japanese text) in a loop on locals, so that no store through
// the destination makes the compiler reload the context. Stops before
// anything else, which the general step then takes.
void DecodeThreeByteRun(ImportContext& c) {
    const std::uint8_t* s = c.source + c.pos;
    const std::uint8_t* const end = c.source + c.length;
    std::uint8_t* d = c.destination;
    const std::uint16_t* const codes = c.exactCodes;
    std::uint32_t kana = 0;
    while (end - s >= 3) {
        const unsigned b0 = s[0];
        const unsigned b1 = s[1];
        const unsigned b2 = s[2];
        if ((b0 & 0xF0u) != 0xE0 || (b1 & 0xC0u) != 0x80 || (b2 & 0xC0u) != 0x80)
            break;
        const unsigned ch = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        // Overlong forms and surrogates are the general step's to reject.
        if (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF))
            break;
        const std::uint16_t code = codes[ch];
        if (code >= 0x100) {
            d[0] = static_cast<std::uint8_t>(code >> 8);
            d[1] = static_cast<std::uint8_t>(code);
            d += 2;
        } else if (code != 0) {
            // Only the half-width katakana have single-byte codes up here.
            kana += IsHalfWidthKana(static_cast<std::uint8_t>(code));
            *d++ = static_cast<std::uint8_t>(code);
        } else {
            break;
        }
        s += 3;
    }
    c.kanaCount += kana;
    c.destination = d;
    c.pos = static_cast<std::size_t>(s - c.source);
}

}  // namespace

void DecodeUtf8(ImportContext& c) {
    c.reserveUnread = ReserveUnreadUtf8;
    c.exactCodes = ExactCp932Codes();
    const std::uint8_t* end = c.source + c.length;
    while (c.pos < c.length) {
        if (c.CopySevenBitRun())
            continue;
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, false))
            continue;
        if ((b & 0xF0u) == 0xE0) {
            const std::size_t before = c.pos;
            DecodeThreeByteRun(c);
            if (c.pos != before)
                continue;
        }
        char32_t ch;
        const std::size_t n = ReadUtf8Sequence(c.source + c.pos, end, ch);
        if (n == 0) {
            c.PutUndecodable();
            ++c.pos;
            continue;
        }
        // Read before written: n >= 2 bytes become at most 2.
        c.pos += n;
        c.PutChar(ch);
    }
}

}  // namespace kotoha::decode
