#include "codec/import.h"

#include "codec/detect.h"
#include "codec/import_context.h"

namespace kotoha {

std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut) {
    decode::ImportContext c{destination, source, length, 0, emitCrLf};
    switch (kind) {
        case EncodingKind::JIS:
            decode::DecodeJis(c);
            break;
        case EncodingKind::EUC:
            decode::DecodeEuc(c);
            break;
        default:
            decode::DecodeSjis(c);
            break;
    }
    if (lineBreakKindOut)
        *lineBreakKindOut = LineBreakKindFromCounts(c.crLfPairs, c.loneCrs, c.loneLfs);
    if (kanaCountOut)
        *kanaCountOut = c.kanaCount;
    return static_cast<std::uint32_t>(c.destination - destination);
}

}  // namespace kotoha
