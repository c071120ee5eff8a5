// SPDX-License-Identifier: MIT
// The UTF-16 decoder, either byte order: characters to their CP932 codes or
// the extension table's; an unpaired surrogate or a cut-off unit to one
// blank.
#include "codec/import_context.h"

namespace kotoha::decode {

namespace {

char32_t UnitAt(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? static_cast<char32_t>((p[0] << 8) | p[1])
                     : static_cast<char32_t>((p[1] << 8) | p[0]);
}

// U+E000-U+E757 are CP932's user-defined codes.
template <bool BigEndian>
void ReserveUnreadUtf16(ImportContext& c) {
    for (std::size_t i = c.pos; i + 1 < c.length; i += 2) {
        const char32_t unit = UnitAt(c.source + i, BigEndian);
        std::uint16_t code;
        if (unit >= 0xE000 && unit <= 0xE757 && ExactCp932Code(unit, code))
            c.table->Reserve(code);
    }
}

}  // namespace

void DecodeUtf16(ImportContext& c, bool bigEndian) {
    c.reserveUnread = bigEndian ? ReserveUnreadUtf16<true> : ReserveUnreadUtf16<false>;
    c.exactCodes = ExactCp932Codes();
    const std::uint8_t* s = c.source;
    // Each unit is read before its output is written, and no unit gives
    // more bytes than it has (a pair of units at most two), so converting in
    // place is safe.
    while (c.pos + 1 < c.length) {
        const char32_t unit = UnitAt(s + c.pos, bigEndian);
        const bool hasNext = c.pos + 3 < c.length;
        const char32_t next = hasNext ? UnitAt(s + c.pos + 2, bigEndian) : 0;
        if (unit == kCr) {
            if (hasNext && next == kLf) {
                ++c.crLfPairs;
                c.pos += 4;
            } else {
                ++c.loneCrs;
                c.pos += 2;
            }
            c.LineBreak();
        } else if (unit == kLf) {
            ++c.loneLfs;
            c.pos += 2;
            c.LineBreak();
        } else if (unit < 0x80) {
            c.pos += 2;
            c.Put(static_cast<std::uint8_t>(unit));
        } else if (unit >= 0xD800 && unit <= 0xDBFF && hasNext && next >= 0xDC00 &&
                   next <= 0xDFFF) {
            c.pos += 4;
            c.PutChar(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            c.pos += 2;
            c.PutUndecodable();
        } else {
            c.pos += 2;
            c.PutChar(unit);
        }
    }
    if (c.pos < c.length) {
        ++c.pos;
        c.PutUndecodable();
    }
}

}  // namespace kotoha::decode
