// The UTF-8 decoder: characters to their CP932 codes or the extension
// table's, an invalid byte to one blank.
#include "codec/import_context.h"

#include <cstring>

#include "codec/utf8_scan.h"
#include "codec/word_scan.h"

namespace kotoha::decode {

namespace {

// Private-use characters U+E000-U+E757 (EE 80 80 - EE 9D 97) are CP932's
// user-defined codes.
void ReserveUnreadUtf8(ImportContext& c) {
    const std::uint8_t* end = c.source + c.length;
    for (const std::uint8_t* p = c.source + c.pos; p < end; ++p) {
        p = static_cast<const std::uint8_t*>(
            std::memchr(p, 0xEE, static_cast<std::size_t>(end - p)));
        if (p == nullptr)
            break;
        char32_t ch;
        std::uint16_t code;
        if (ReadUtf8Sequence(p, end, ch) == 3 && ExactCp932Code(ch, code))
            c.table->Reserve(code);
    }
}

}  // namespace

void DecodeUtf8(ImportContext& c) {
    c.reserveUnread = ReserveUnreadUtf8;
    c.exactCodes = ExactCp932Codes();
    const std::uint8_t* end = c.source + c.length;
    while (c.pos < c.length) {
        if (c.CopySevenBitRun())
            continue;
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, false))
            continue;
        char32_t ch;
        const std::size_t n = ReadUtf8Sequence(c.source + c.pos, end, ch);
        if (n == 0) {
            c.PutUndecodable();
            ++c.pos;
            continue;
        }
        // Read before written: n >= 2 bytes become at most 2.
        c.pos += n;
        c.PutChar(ch);
    }
}

}  // namespace kotoha::decode
