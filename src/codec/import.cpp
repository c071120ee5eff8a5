// SPDX-License-Identifier: MIT
#include "codec/import.h"

#include "codec/detect.h"
#include "codec/import_context.h"

namespace kotoha {

std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut,
                         ExtensionTable* table, ImportLosses* lossesOut) {
    decode::ImportContext c{destination, source, length, 0, emitCrLf};
    c.table = table;
    c.outputStart = destination;
    c.pos = ByteOrderMarkLength(kind, source, length);
    switch (kind) {
        case EncodingKind::JIS:
            decode::DecodeJis(c);
            break;
        case EncodingKind::EUC:
            decode::DecodeEuc(c);
            break;
        case EncodingKind::UTF8:
        case EncodingKind::UTF8BOM:
            decode::DecodeUtf8(c);
            break;
        case EncodingKind::UTF16LE:
        case EncodingKind::UTF16BE:
            decode::DecodeUtf16(c, kind == EncodingKind::UTF16BE);
            break;
        default:
            decode::DecodeSjis(c);
            break;
    }
    if (lineBreakKindOut)
        *lineBreakKindOut = LineBreakKindFromCounts(c.crLfPairs, c.loneCrs, c.loneLfs);
    if (kanaCountOut)
        *kanaCountOut = c.kanaCount;
    if (lossesOut) {
        lossesOut->noCodeLeft = c.replaced;
        lossesOut->undecodable = c.undecodable;
        lossesOut->firstOffset = c.firstLoss != nullptr
                                     ? static_cast<std::uint32_t>(c.firstLoss - destination)
                                     : ImportLosses::kNone;
    }
    return static_cast<std::uint32_t>(c.destination - destination);
}

}  // namespace kotoha
