// The EUC-JP decoder: kanji pairs and single-shift-2 katakana to Shift-JIS.
#include "codec/import_context.h"

#include "codec/pair_tables.h"
#include "codec/word_scan.h"

namespace kotoha::decode {

namespace {

// Converts the run from pos of what EUC text mostly holds: kanji pairs,
// 7-bit bytes other than CR (LF only without CR LF emission) and
// single-shift-2 katakana; stops at the first byte that needs the full
// decoder, and before the last byte. Each pair is read before its bytes are
// written, so converting in place is safe.
void ConvertPlainEuc(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t last = c.length - 1;  // length > pos here
    std::size_t i = c.pos;
    std::uint8_t* d = c.destination;
    std::uint32_t kana = 0;
    std::uint32_t lineFeeds = 0;
    while (i < last) {
        const std::uint8_t b = s[i];
        if (b >= 0xA1) {
            const std::uint8_t second = s[i + 1];
            if (b == 0xFF || !IsEucByte(second))
                break;
            detail::PutJisPairAsSjis(d, b & 0x7Fu, second & 0x7Fu);
            d += 2;
            i += 2;
        } else if (b < 0x80) {
            if (b == kCr || (b == kLf && c.emitCrLf))
                break;
            lineFeeds += b == kLf;
            *d++ = b;
            ++i;
        } else if (b == kSingleShift2 && IsHalfWidthKana(s[i + 1])) {
            *d++ = s[i + 1];
            ++kana;
            i += 2;
        } else {
            break;
        }
    }
    c.kanaCount += kana;
    c.loneLfs += lineFeeds;
    c.destination = d;
    c.pos = i;
}

}  // namespace

void DecodeEuc(ImportContext& c) {
    while (c.pos < c.length) {
        ConvertPlainEuc(c);
        if (c.pos >= c.length)
            break;
        std::size_t runEnd = detail::SkipSevenBitExcept<kCr, kLf>(c.source, c.pos, c.length);
        if (runEnd != c.pos) {
            c.CopyRun(runEnd);
            continue;
        }
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, false))
            continue;
        if (b == kSingleShift2) {
            if (c.HasNext() && IsHalfWidthKana(c.source[c.pos + 1])) {
                c.Put(c.source[c.pos + 1]);
                ++c.kanaCount;
                c.pos += 2;
            } else {
                c.Put(kBlank);
                ++c.pos;
            }
        } else if (IsEucByte(b)) {
            if (c.HasNext() && IsEucByte(c.source[c.pos + 1])) {
                const unsigned jis = ((b & 0x7Fu) << 8) | (c.source[c.pos + 1] & 0x7Fu);
                c.PutCode(JisToSjis(static_cast<std::uint16_t>(jis)));
                c.pos += 2;
            } else {
                c.Put(kBlank);
                ++c.pos;
            }
        } else if (IsLeadByte(b)) {
            // 0x81-0x8D and 0x8F-0x9F, single shift 3 among them: the bytes
            // after it are decoded afresh.
            c.Put(kBlank);
            ++c.pos;
        } else {
            c.Put(b);
            ++c.pos;
        }
    }
}

}  // namespace kotoha::decode
