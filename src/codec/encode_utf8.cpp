// The UTF-8 encoder, through the CP932 table.
#include "codec/export_context.h"

#include <string>

#include "codec/cp932.h"

namespace kotoha::encode {

std::uint8_t* EncodeUtf8(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen) {
    std::uint8_t* out = c.Start();
    std::string utf8;
    auto outputChar = [&](std::uint16_t code) {
        utf8.clear();
        AppendUtf8(utf8, Cp932ToUnicode(code));
        for (char byte : utf8)
            out = c.Output(out, static_cast<std::uint8_t>(byte));
    };
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                outputChar(WidenKanaAt(p, end));
            } else {
                outputChar(b);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            outputChar(CodeAt(p));
            p += 2;
        } else {
            out = c.Output(out, b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
    return out;
}

}  // namespace kotoha::encode
