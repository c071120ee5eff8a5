// SPDX-License-Identifier: MIT
// libFuzzer target for the conversion command's pieces: the input, in the
// kind and to the kind its first byte chooses, converted through the call
// the command makes, in pieces of the size its second byte chooses, writes
// the same bytes and counts the same losses as in one piece.

#include <cstddef>
#include <cstdint>
#include <string>

#include "conv_pieces.h"
#include "fuzz_check.h"

namespace {

using namespace kotoha;
using namespace kotoha::conv;
using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    PieceConversion conversion;
    conversion.from = kEveryEncodingKind[data[0] % 7];
    conversion.to = kEveryEncodingKind[(data[0] / 7) % 7];
    conversion.widen = (data[0] & 0x80) != 0;
    conversion.eol = data[1] & 1 ? EolChoice::Keep : EolChoice::WIN;
    const std::uint32_t length = static_cast<std::uint32_t>(size - 2);
    const std::uint8_t* text = data + 2;

    conversion.pieceBytes = UINT32_MAX;
    StringSink whole;
    Unwritable wholeLost;
    Check(ConvertPieces(conversion, text, length, &whole, wholeLost) == PiecesResult::Done);

    conversion.pieceBytes = 1 + data[1] / 2;
    StringSink pieces;
    Unwritable piecesLost;
    Check(ConvertPieces(conversion, text, length, &pieces, piecesLost) == PiecesResult::Done);
    Check(pieces.bytes == whole.bytes);
    Check(piecesLost.unreadable.count == wholeLost.unreadable.count &&
          piecesLost.unreadable.firstLine == wholeLost.unreadable.firstLine &&
          piecesLost.unwritable.count == wholeLost.unwritable.count &&
          piecesLost.unwritable.firstLine == wholeLost.unwritable.firstLine);
    // The counting pass (--strict) counts what the writing one does.
    Unwritable counted;
    Check(ConvertPieces(conversion, text, length, nullptr, counted) == PiecesResult::Done);
    Check(counted.count() == piecesLost.count());
    return 0;
}
