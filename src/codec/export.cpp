#include "codec/export.h"

#include <cstring>

#include "codec/cp932.h"
#include "codec/export_context.h"

namespace kotoha {

bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen) {
    return ExportText(EncodingKind::UTF8, lineBreakKind, sink, base, startOffset, endOffset, widen);
}

bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen, const ExtensionTable* table, std::uint32_t* substitutedOut) {
    encode::ExportContext c(sink, lineBreakKind, table);
    const std::uint8_t* p = base + startOffset;
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    std::uint8_t* out = nullptr;
    switch (kind) {
        case EncodingKind::JIS:
            out = encode::EncodeJis(c, p, end, widen);
            break;
        case EncodingKind::EUC:
            out = encode::EncodeEuc(c, p, end, widen);
            break;
        case EncodingKind::UTF8:
        case EncodingKind::UTF8BOM:
            out = encode::EncodeUtf8(c, p, end, widen, kind == EncodingKind::UTF8BOM);
            break;
        case EncodingKind::UTF16LE:
        case EncodingKind::UTF16BE:
            out = encode::EncodeUtf16(c, p, end, widen, kind == EncodingKind::UTF16BE);
            break;
        default:
            out = encode::EncodeSjis(c, p, end, widen);
            break;
    }
    if (substitutedOut)
        *substitutedOut = c.substituted;
    return c.Finish(out);
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
