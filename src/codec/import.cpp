// SPDX-License-Identifier: MIT
#include "codec/import.h"

#include "codec/detect.h"
#include "codec/import_context.h"

#include <cstring>
#include <utility>

namespace kotoha {

namespace {

// Runs the decoder of kind on c from c.pos to c.length.
void Decode(EncodingKind kind, decode::ImportContext& c) {
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
}

}  // namespace

std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut,
                         ExtensionTable* table, ImportLosses* lossesOut) {
    decode::ImportContext c{destination, source, length, 0, emitCrLf};
    c.table = table;
    c.outputStart = destination;
    c.pos = ByteOrderMarkLength(kind, source, length);
    Decode(kind, c);
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

ImportPieces::ImportPieces(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                           ExtensionTable* table)
    : kind_(kind),
      c_(std::make_unique<decode::ImportContext>(
          decode::ImportContext{nullptr, source, 0, 0, false})) {
    c_->table = table;
    c_->wholeSource = source;
    c_->wholeLength = length;
    c_->pos = ByteOrderMarkLength(kind, source, length);
    c_->length = c_->pos;
}

ImportPieces::~ImportPieces() = default;

std::uint32_t ImportPieces::PieceEnd(std::uint32_t pieceBytes) const {
    const std::uint8_t* s = c_->wholeSource;
    const std::size_t start = c_->pos;
    const std::size_t total = c_->wholeLength;
    if (pieceBytes == 0 || total - start <= pieceBytes)
        return static_cast<std::uint32_t>(total);
    const std::size_t limit = start + pieceBytes;
    if (kind_ == EncodingKind::UTF16LE || kind_ == EncodingKind::UTF16BE) {
        // Just after an LF unit; pieces start on unit boundaries.
        const std::size_t high = kind_ == EncodingKind::UTF16BE ? 0 : 1;
        auto isLf = [&](std::size_t i) { return s[i + 1 - high] == 0x0A && s[i + high] == 0; };
        std::size_t i = limit - (limit - start) % 2;
        while (i > start) {
            i -= 2;
            if (isLf(i))
                return static_cast<std::uint32_t>(i + 2);
        }
        for (i = limit - (limit - start) % 2; i + 1 < total; i += 2) {
            if (isLf(i))
                return static_cast<std::uint32_t>(i + 2);
        }
        return static_cast<std::uint32_t>(total);
    }
    // A line feed byte is a character of its own in every other kind.
    if (const void* lf = memrchr(s + start, 0x0A, pieceBytes))
        return static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(lf) - s + 1);
    if (const void* lf = std::memchr(s + limit, 0x0A, total - limit))
        return static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(lf) - s + 1);
    return static_cast<std::uint32_t>(total);
}

bool ImportPieces::Next(std::uint32_t pieceBytes) {
    decode::ImportContext& c = *c_;
    offset_ += size_;
    size_ = 0;
    if (c.pos >= c.wholeLength)
        return false;
    c.length = PieceEnd(pieceBytes);
    // Without CR LF emission a piece's output is never longer than it.
    const std::size_t most = c.length - c.pos;
    if (buffer_.size() < most)
        buffer_.resize(most);
    c.destination = buffer_.data();
    c.outputStart = buffer_.data();
    Decode(kind_, c);
    size_ = static_cast<std::uint32_t>(c.destination - buffer_.data());
    if (c.firstLoss != nullptr && firstLoss_ == ImportLosses::kNone)
        firstLoss_ = offset_ + static_cast<std::uint32_t>(c.firstLoss - buffer_.data());
    return true;
}

std::vector<std::uint8_t> ImportPieces::ExchangeBuffer(std::vector<std::uint8_t> recycled) {
    std::swap(buffer_, recycled);
    return recycled;
}

LineBreakKind ImportPieces::lineBreakKind() const {
    return LineBreakKindFromCounts(c_->crLfPairs, c_->loneCrs, c_->loneLfs);
}

std::uint32_t ImportPieces::lineBreaks() const {
    return c_->crLfPairs + c_->loneCrs + c_->loneLfs;
}

std::uint32_t ImportPieces::kanaCount() const {
    return c_->kanaCount;
}

ImportLosses ImportPieces::losses() const {
    ImportLosses losses;
    losses.noCodeLeft = c_->replaced;
    losses.undecodable = c_->undecodable;
    losses.firstOffset = firstLoss_;
    return losses;
}

}  // namespace kotoha
