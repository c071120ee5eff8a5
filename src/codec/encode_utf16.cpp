// SPDX-License-Identifier: MIT
// The UTF-16 encoder, either byte order, after its byte-order mark (unless
// the text continues one already written);
// line breaks are written as units of their own.
#include "codec/export_context.h"

namespace kotoha::encode {

std::uint8_t* EncodeUtf16(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                          bool widen, bool bigEndian, bool bom) {
    std::uint8_t* out = c.Start();
    c.toUnicode = Cp932ToUnicodeTable();
    auto unit = [&](char32_t u) {
        out[bigEndian ? 0 : 1] = static_cast<std::uint8_t>(u >> 8);
        out[bigEndian ? 1 : 0] = static_cast<std::uint8_t>(u);
        out += 2;
    };
    if (bom)
        unit(0xFEFF);
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        const char32_t ch = NextUnicodeChar(c, p, end, widen);
        if (ch == kLf) {
            const LineBreakKind kind = c.lineBreakKind();
            if (kind == LineBreakKind::WIN || kind == LineBreakKind::MAC)
                unit(kCr);
            if (kind != LineBreakKind::MAC)
                unit(kLf);
        } else if (ch >= 0x10000) {
            unit(0xD800 + ((ch - 0x10000) >> 10));
            unit(0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            unit(ch);
        }
    }
    return out;
}

}  // namespace kotoha::encode
