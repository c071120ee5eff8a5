#include "codec/export.h"

#include <cstring>

#include "codec/cp932.h"
#include "codec/export_context.h"
#include "codec/jis0212.h"
#include "codec/pair_tables.h"

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

std::uint32_t CountUnwritableCharacters(EncodingKind kind, const std::uint8_t* text,
                                        std::uint32_t length, const ExtensionTable* table,
                                        std::uint32_t* firstOffset) {
    if (firstOffset)
        *firstOffset = length;
    if (IsUnicodeKind(kind))
        return 0;
    const bool jisRows = kind == EncodingKind::EUC || kind == EncodingKind::JIS;
    // A CP932 code the encoding holds: any in Shift-JIS, in EUC and JIS only
    // those with a JIS X 0208 row (the full-width space itself among them).
    auto holds = [&](std::uint16_t code) {
        if (!jisRows)
            return true;
        return code == 0x8140 || detail::SjisPairToJis(static_cast<std::uint8_t>(code >> 8),
                                                       static_cast<std::uint8_t>(code)) != 0x2121;
    };
    std::uint32_t count = 0;
    const std::uint8_t* end = text + length;
    for (const std::uint8_t* p = text; p < end;) {
        if (!encode::IsPairAt(p, end)) {
            ++p;
            continue;
        }
        const auto code = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
        const char32_t ch = table != nullptr ? table->CharOf(code) : 0;
        bool written = true;
        if (ch != 0) {
            std::uint16_t nearest = 0;
            written = (kind == EncodingKind::EUC && UnicodeToJis0212(ch) != 0) ||
                      (UnicodeToCp932(ch, nearest) && nearest >= 0x100 &&
                       UserCodeIndex(nearest) < 0 && holds(nearest));
        } else {
            written = holds(code);
        }
        if (!written) {
            if (count == 0 && firstOffset)
                *firstOffset = static_cast<std::uint32_t>(p - text);
            ++count;
        }
        p += 2;
    }
    return count;
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
