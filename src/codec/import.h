// SPDX-License-Identifier: MIT
// Conversion of raw file bytes into the internal text form: Shift-JIS,
// every line break a single LF.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "codec/byte_class.h"
#include "codec/extension_table.h"

namespace kotoha {

// What an import could not carry over: characters that got no code (written
// as 0x8145) and undecodable bytes or units (written as one blank each), and
// the output offset of the first of either.
struct ImportLosses {
    static constexpr std::uint32_t kNone = UINT32_MAX;
    std::uint32_t noCodeLeft = 0;
    std::uint32_t undecodable = 0;
    std::uint32_t firstOffset = kNone;
    std::uint32_t total() const { return noCodeLeft + undecodable; }
};

// Converts source[0, length) in the given encoding (JIS, EUC, UTF-8 with or
// without its byte-order mark, UTF-16LE or BE, anything else Shift-JIS) into
// the internal form at destination and returns the number of bytes written.
// A byte-order mark the kind has is not part of the text. Undecodable bytes
// (an invalid UTF-8 byte, an unpaired surrogate, a cut-off UTF-16 unit) become
// one blank each; it never fails.
//
// A character CP932 cannot hold exactly (Unicode input, and EUC's JIS X 0212
// characters) gets a code of table, one the text does not use itself; when
// there is no table or no free code it becomes 0x8145. Both kinds of loss
// are counted in lossesOut, when not null.
//
// With emitCrLf off the output is never longer than the input, and
// destination may equal source (conversion in place). With emitCrLf on every
// line break is written as CR LF, so a lone CR or LF takes two bytes: the
// destination must then hold twice the input, or the input must hold no lone
// CR or LF when converting in place.
//
// lineBreakKindOut and kanaCountOut, when not null, receive the kind of the
// line breaks met and the number of half-width katakana written.
std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut,
                         ExtensionTable* table = nullptr, ImportLosses* lossesOut = nullptr);

namespace decode {
struct ImportContext;
}

// Where a piece of a text starts: offset 0 (the text's start, before any
// byte-order mark) or just after a line feed, and the character set the JIS
// decoder is in there.
struct PieceStart {
    std::uint32_t offset = 0;
    std::uint8_t jisCharset = 0;
};

// Where the piece after the one that starts at start begins (its end, as
// ImportPieces::Next(pieceBytes) chooses it), found without converting: so
// that pieces can be imported apart, on other threads.
PieceStart NextPieceStart(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                          PieceStart start, std::uint32_t pieceBytes);

// ImportText without CR LF emission, a piece at a time into a buffer of its
// own: each piece ends just after a line feed (or at the end of the input),
// so that a long text can be converted and written while its piece is still
// in the cache, and its whole internal form is never held. The pieces
// together are ImportText's output, except that a character of table may get
// another free code: the first code taken reserves every code the whole
// input uses.
class ImportPieces {
  public:
    ImportPieces(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                 ExtensionTable* table = nullptr);
    // The pieces from start on, as if the text before it had been imported
    // (the counts then cover only what this object converts).
    ImportPieces(EncodingKind kind, const std::uint8_t* source, std::uint32_t length,
                 ExtensionTable* table, PieceStart start);
    ~ImportPieces();
    ImportPieces(const ImportPieces&) = delete;
    ImportPieces& operator=(const ImportPieces&) = delete;

    // Converts the next piece: the input up to the last line feed among the
    // next pieceBytes bytes, or up to the first one after them when there is
    // none. Returns false, with an empty piece, once the input is used up.
    bool Next(std::uint32_t pieceBytes);
    // Converts the next piece up to end, an offset NextPieceStart gave: the
    // call that converts pieces apart, so that a piece ends where the
    // piece after it starts, whatever the byte-order mark before the first.
    bool NextTo(PieceStart end);
    // Called when the table has no free code left in the middle of a piece,
    // with the output so far (a prefix of the piece, ending between
    // characters): the handler consumes it with the table as it stands;
    // then every code the table gave is given back (those the text uses
    // itself stay reserved), the piece goes on, and data() holds the rest.
    // So that a conversion that never keeps its whole text gives every
    // character a code, however many distinct ones the text has.
    using TableFullHandler = void (*)(void* owner, const std::uint8_t* data, std::uint32_t size);
    void OnTableFull(TableFullHandler handler, void* owner);
    const std::uint8_t* data() const { return buffer_.data(); }
    std::uint32_t size() const { return size_; }
    // Bytes of output before this piece.
    std::uint32_t offset() const { return offset_; }
    // Hands out the block holding this piece (its first size() bytes) and
    // takes recycled, any block, to convert the next piece into: so that
    // pieces reuse one block instead of allocating one each.
    std::vector<std::uint8_t> ExchangeBuffer(std::vector<std::uint8_t> recycled);

    // What the pieces so far held: line breaks of each kind, their total (the
    // line feeds written), half-width katakana and losses.
    LineBreakKind lineBreakKind() const;
    std::uint32_t lineBreaks() const;
    std::uint32_t kanaCount() const;
    ImportLosses losses() const;

  private:
    static void FlushFull(void* self);
    bool ConvertTo(std::uint32_t end);

    EncodingKind kind_;
    TableFullHandler tableFull_ = nullptr;
    void* tableFullOwner_ = nullptr;
    std::unique_ptr<decode::ImportContext> c_;
    std::vector<std::uint8_t> buffer_;
    std::uint32_t size_ = 0;
    std::uint32_t offset_ = 0;
    std::uint32_t firstLoss_ = ImportLosses::kNone;
};

}  // namespace kotoha
