// SPDX-License-Identifier: MIT
// The UTF-8 encoder, through the CP932 table and the extension table.
#include "codec/export_context.h"

#include <cstring>

namespace kotoha::encode {

namespace {

std::uint8_t* PutUtf8(std::uint8_t* out, char32_t ch) {
    if (ch < 0x800) {
        out[0] = static_cast<std::uint8_t>(0xC0 | (ch >> 6));
        out[1] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
        return out + 2;
    }
    if (ch < 0x10000) {
        out[0] = static_cast<std::uint8_t>(0xE0 | (ch >> 12));
        out[1] = static_cast<std::uint8_t>(0x80 | ((ch >> 6) & 0x3F));
        out[2] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
        return out + 3;
    }
    out[0] = static_cast<std::uint8_t>(0xF0 | (ch >> 18));
    out[1] = static_cast<std::uint8_t>(0x80 | ((ch >> 12) & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | ((ch >> 6) & 0x3F));
    out[3] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
    return out + 4;
}

}  // namespace

std::uint8_t* EncodeUtf8(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen, bool bom) {
    std::uint8_t* out = c.Start();
    c.toUnicode = Cp932ToUnicodeTable();
    if (bom) {
        out[0] = 0xEF;
        out[1] = 0xBB;
        out[2] = 0xBF;
        out += 3;
    }
    // Every pair's UTF-8 form as four bytes (sequence, then length), so
    // that a pair costs one four-byte copy.
    const std::uint8_t* const pairsAsUtf8 = Cp932Utf8Forms();
    const bool hasTable = c.table() != nullptr;
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        // What a Japanese text mostly holds, a step of up to 30 pairs (90
        // bytes at most) in a loop on locals; codes of the extension table
        // and anything else go through the general step.
        int pairs = 0;
        while (pairs < 30 && end - p >= 2 && IsLeadByte(p[0]) &&
               !(hasTable && p[0] >= 0xF0 && p[0] <= 0xF9)) {
            // Four bytes are copied, the length byte among them, which the
            // next write covers; the step's room holds them.
            const std::uint8_t* form = pairsAsUtf8 + 4 * CodeAt(p);
            std::memcpy(out, form, 4);
            out += form[3];
            p += 2;
            ++pairs;
        }
        if (pairs != 0)
            continue;
        // A run of 7-bit bytes but LF, written as they are.
        int bytes = 0;
        while (bytes < 90 && p < end && *p < 0x80 && *p != kLf) {
            *out++ = *p++;
            ++bytes;
        }
        if (bytes != 0)
            continue;
        const char32_t ch = NextUnicodeChar(c, p, end, widen);
        out = ch < 0x80 ? c.Output(out, static_cast<std::uint8_t>(ch)) : PutUtf8(out, ch);
    }
    return out;
}

}  // namespace kotoha::encode
