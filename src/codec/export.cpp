#include "codec/export.h"

#include <cstring>

#include "codec/cp932.h"
#include "codec/export_context.h"

namespace kotoha {

bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen) {
    encode::ExportContext c(sink, lineBreakKind);
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    return c.Finish(encode::EncodeUtf8(c, base + startOffset, end, widen));
}

bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen) {
    encode::ExportContext c(sink, lineBreakKind);
    const std::uint8_t* p = base + startOffset;
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    switch (kind) {
        case EncodingKind::JIS:
            return c.Finish(encode::EncodeJis(c, p, end, widen));
        case EncodingKind::EUC:
            return c.Finish(encode::EncodeEuc(c, p, end, widen));
        default:
            return c.Finish(encode::EncodeSjis(c, p, end, widen));
    }
}

std::uint32_t WidenKana(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t length) {
    const std::uint8_t* p = source;
    const std::uint8_t* end = source + length;
    std::uint8_t* out = destination;
    while (p < end) {
        // Copy the run up to the next half-width katakana in one go.
        const std::uint8_t* run = p;
        while (p < end && !IsHalfWidthKana(*p))
            p += encode::IsPairAt(p, end) ? 2 : 1;
        std::memcpy(out, run, static_cast<std::size_t>(p - run));
        out += p - run;
        if (p == end)
            break;
        const std::uint16_t code = WidenKanaAt(p, end);
        out[0] = static_cast<std::uint8_t>(code >> 8);
        out[1] = static_cast<std::uint8_t>(code);
        out += 2;
    }
    return static_cast<std::uint32_t>(out - destination);
}

}  // namespace kotoha
