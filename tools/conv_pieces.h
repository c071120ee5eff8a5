// SPDX-License-Identifier: MIT
// Converting a whole input piece by piece, so that the converted text is
// never held whole: one thread imports the pieces while another writes them.
#pragma once

#include <cstdint>
#include <functional>

#include "base/byte_sink.h"
#include "codec/byte_class.h"

namespace kotoha::conv {

// What a conversion is: the input's kind, the output's, whether half-width
// katakana are widened.
struct PieceConversion {
    EncodingKind from = EncodingKind::SJIS;
    EncodingKind to = EncodingKind::SJIS;
    bool widen = false;
};

// Characters the output cannot hold, and the line (1-based) of the first.
struct Unwritable {
    std::uint32_t count = 0;
    std::uint32_t firstLine = 0;
};

enum class PiecesResult { Done, SinkFailed, OutOfMemory };

// Imports text[0, length) piece by piece and counts into unwritable what the
// output kind cannot hold. With a sink each piece is also exported to it, on
// the calling thread, while a second thread imports the pieces after it;
// lineBreakOf, called on the calling thread before the first piece is
// written, says how line feeds are written (its work overlaps the first
// imports). When the sink fails, or memory runs out, the import stops too;
// nothing is thrown, so that a caller writing a file can clean up.
PiecesResult ConvertPieces(const PieceConversion& conversion, const std::uint8_t* text,
                           std::uint32_t length, const std::function<LineBreakKind()>& lineBreakOf,
                           ByteSink* sink, Unwritable& unwritable);

}  // namespace kotoha::conv
