// SPDX-License-Identifier: MIT
#include "codec/import.h"

#include "codec/detect.h"
#include "codec/import_context.h"

#include <algorithm>
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

// The end of the piece that starts at start: just after the last line feed
// among its first pieceBytes bytes, else just after the first one after them,
// else the end of the text.
std::uint32_t PieceEnd(EncodingKind kind, const std::uint8_t* s, std::size_t total,
                       std::size_t start, std::uint32_t pieceBytes) {
    if (pieceBytes == 0 || total - start <= pieceBytes)
        return static_cast<std::uint32_t>(total);
    const std::size_t limit = start + pieceBytes;
    if (kind == EncodingKind::UTF16LE || kind == EncodingKind::UTF16BE) {
        // Just after an LF unit; pieces start on unit boundaries.
        const std::size_t high = kind == EncodingKind::UTF16BE ? 0 : 1;
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

// The JIS decoder's character set after source[from, to), given the one at
// from: that of the last designation in it (the decoder keeps its set
// across line breaks, and only a designation changes it).
std::uint8_t JisCharsetAfter(const std::uint8_t* source, std::size_t from, std::size_t to,
                             std::uint8_t charset) {
    for (std::size_t end = to; end > from;) {
        const void* found = memrchr(source + from, 0x1B, end - from);
        if (found == nullptr)
            break;
        const std::size_t esc =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - source);
        if (esc + 2 < to) {
            switch (DesignationOf(source[esc + 1], source[esc + 2])) {
                case JisDesignation::Ascii:
                    return static_cast<std::uint8_t>(decode::JisMode::ASCII);
                case JisDesignation::Kana:
                    return static_cast<std::uint8_t>(decode::JisMode::KANA);
                case JisDesignation::Kanji:
                    return static_cast<std::uint8_t>(decode::JisMode::KANJI);
                case JisDesignation::None:
                    break;
            }
        }
        end = esc;
    }
    return charset;
}

}  // namespace

PieceStart NextPieceStart(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                          PieceStart start, std::uint32_t pieceBytes) {
    std::size_t from = start.offset;
    if (from == 0)
        from = ByteOrderMarkLength(kind, source, length);
    if (from >= length)
        return {length, start.jisCharset};
    const std::uint32_t end = PieceEnd(kind, source, length, from, pieceBytes);
    return {end, kind == EncodingKind::JIS ? JisCharsetAfter(source, from, end, start.jisCharset)
                                           : start.jisCharset};
}

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

ImportPieces::ImportPieces(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                           ExtensionTable* table, PieceStart start)
    : ImportPieces(kind, source, length, table) {
    if (start.offset != 0) {
        c_->pos = std::min(start.offset, length);
        c_->length = c_->pos;
    }
    c_->jisMode = start.jisCharset;
}

ImportPieces::~ImportPieces() = default;

bool ImportPieces::Next(std::uint32_t pieceBytes) {
    const decode::ImportContext& c = *c_;
    if (c.pos >= c.wholeLength)
        return ConvertTo(c.pos);
    return ConvertTo(PieceEnd(kind_, c.wholeSource, c.wholeLength, c.pos, pieceBytes));
}

bool ImportPieces::NextTo(PieceStart end) {
    return ConvertTo(std::clamp<std::uint32_t>(end.offset, static_cast<std::uint32_t>(c_->pos),
                                               static_cast<std::uint32_t>(c_->wholeLength)));
}

void ImportPieces::OnTableFull(TableFullHandler handler, void* owner) {
    tableFull_ = handler;
    tableFullOwner_ = owner;
    c_->tableFull = handler != nullptr ? &ImportPieces::FlushFull : nullptr;
    c_->tableFullOwner = this;
}

void ImportPieces::FlushFull(void* self) {
    auto& pieces = *static_cast<ImportPieces*>(self);
    decode::ImportContext& c = *pieces.c_;
    const auto size = static_cast<std::uint32_t>(c.destination - pieces.buffer_.data());
    if (c.firstLoss != nullptr && pieces.firstLoss_ == ImportLosses::kNone)
        pieces.firstLoss_ =
            pieces.offset_ + static_cast<std::uint32_t>(c.firstLoss - pieces.buffer_.data());
    pieces.size_ = size;
    pieces.tableFull_(pieces.tableFullOwner_, pieces.buffer_.data(), size);
    pieces.size_ = 0;
    pieces.offset_ += size;
    c.destination = pieces.buffer_.data();
    c.outputStart = pieces.buffer_.data();
    c.table->ReleaseCodes();
}

bool ImportPieces::ConvertTo(std::uint32_t end) {
    decode::ImportContext& c = *c_;
    offset_ += size_;
    size_ = 0;
    if (c.pos >= c.wholeLength)
        return false;
    c.length = end;
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
