// The UTF-8 encoder, through the CP932 table and the extension table.
#include "codec/export_context.h"

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
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        const char32_t ch = NextUnicodeChar(c, p, end, widen);
        out = ch < 0x80 ? c.Output(out, static_cast<std::uint8_t>(ch)) : PutUtf8(out, ch);
    }
    return out;
}

}  // namespace kotoha::encode
