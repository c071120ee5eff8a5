// SPDX-License-Identifier: MIT
// Converting a whole input piece by piece, so that the converted text is
// never held whole: two threads convert pieces side by side, and the pieces
// are written in order.
#pragma once

#include <cstdint>

#include "base/byte_sink.h"
#include "codec/byte_class.h"
#include "conv_options.h"

namespace kotoha::conv {

// The line-break kind the export writes. Keeping a mixed input's breaks is
// impossible once they are all LF, so such a text is written with LF.
LineBreakKind OutputLineBreak(EolChoice eol, LineBreakKind input);

// What a conversion is: the input's kind, the output's, whether half-width
// katakana are widened, how line breaks are written (with Keep, as the
// input's own, which a scan finds before the first byte is written).
// pieceBytes is the input a piece takes (small in tests, so that a short
// text has many pieces).
struct PieceConversion {
    static constexpr std::uint32_t kDefaultPieceBytes = 256 * 1024;
    EncodingKind from = EncodingKind::SJIS;
    EncodingKind to = EncodingKind::SJIS;
    bool widen = false;
    EolChoice eol = EolChoice::Keep;
    std::uint32_t pieceBytes = kDefaultPieceBytes;
};

// A number of characters, and the line (1-based) of the first.
struct LossCount {
    std::uint32_t count = 0;
    std::uint32_t firstLine = 0;
};

// What a conversion lost: bytes of the input no character could be read
// from (each written as a blank), and characters the output cannot hold.
struct Unwritable {
    LossCount unreadable;
    LossCount unwritable;
    std::uint32_t count() const { return unreadable.count + unwritable.count; }
};

enum class PiecesResult { Done, SinkFailed, OutOfMemory };

// Imports text[0, length) piece by piece and counts into unwritable what
// could not be read and what the output kind cannot hold. With a sink each piece is also exported,
// and the pieces are written to the sink in order, from the calling thread; a second thread
// converts pieces too. When the sink fails, or memory runs out, the conversion stops; nothing is
// thrown, so that a caller writing a file can clean up.
PiecesResult ConvertPieces(const PieceConversion& conversion, const std::uint8_t* text,
                           std::uint32_t length, ByteSink* sink, Unwritable& unwritable);

}  // namespace kotoha::conv
