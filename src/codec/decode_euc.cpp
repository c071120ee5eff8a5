// SPDX-License-Identifier: MIT
// The EUC-JP decoder: kanji pairs and single-shift-2 katakana to Shift-JIS.
#include "codec/import_context.h"

#include "codec/jis0212.h"
#include "codec/pair_tables.h"
#include "codec/word_scan.h"

namespace kotoha::decode {

namespace {

constexpr std::uint8_t kSingleShift3 = 0x8F;

// Kanji pairs of rows 0xF5-0xFE are CP932's user-defined codes; every pair
// position is looked at, which may reserve a code too many.
void ReserveUnreadEuc(ImportContext& c) {
    for (std::size_t i = c.pos; i + 1 < c.length; ++i) {
        const std::uint8_t b = c.source[i];
        if (b >= 0xF5 && b <= 0xFE && IsEucByte(c.source[i + 1])) {
            c.table->Reserve(JisToSjis(
                static_cast<std::uint16_t>(((b & 0x7Fu) << 8) | (c.source[i + 1] & 0x7Fu))));
        }
    }
}

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
            // A CR LF pair, the usual line break, is taken here too.
            if (b == kCr && s[i + 1] == kLf && !c.emitCrLf) {
                *d++ = kLf;
                ++c.crLfPairs;
                i += 2;
                continue;
            }
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
    c.reserveUnread = ReserveUnreadEuc;
    while (c.pos < c.length) {
        ConvertPlainEuc(c);
        if (c.pos >= c.length)
            break;
        if (c.CopySevenBitRun())
            continue;
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, false))
            continue;
        if (b == kSingleShift2) {
            if (c.HasNext() && IsHalfWidthKana(c.source[c.pos + 1])) {
                c.Put(c.source[c.pos + 1]);
                ++c.kanaCount;
                c.pos += 2;
            } else {
                c.PutUndecodable();
                ++c.pos;
            }
        } else if (IsEucByte(b)) {
            if (c.HasNext() && IsEucByte(c.source[c.pos + 1])) {
                const unsigned jis = ((b & 0x7Fu) << 8) | (c.source[c.pos + 1] & 0x7Fu);
                c.PutCode(JisToSjis(static_cast<std::uint16_t>(jis)));
                c.pos += 2;
            } else {
                c.PutUndecodable();
                ++c.pos;
            }
        } else if (b == kSingleShift3 && c.pos + 2 < c.length && IsEucByte(c.source[c.pos + 1]) &&
                   IsEucByte(c.source[c.pos + 2])) {
            // A JIS X 0212 character: always a code of the table, so that it
            // is written back as the same three bytes.
            const char32_t ch = Jis0212ToUnicode(static_cast<std::uint16_t>(
                ((c.source[c.pos + 1] & 0x7Fu) << 8) | (c.source[c.pos + 2] & 0x7Fu)));
            c.pos += 3;
            if (ch != 0) {
                c.PutExtension(ch);
            } else {
                c.PutUndecodable();
            }
        } else if (IsLeadByte(b)) {
            // 0x81-0x8D and 0x8F-0x9F, a single shift 3 without its two
            // bytes among them: the bytes after it are decoded afresh.
            c.PutUndecodable();
            ++c.pos;
        } else {
            c.Put(b);
            ++c.pos;
        }
    }
}

}  // namespace kotoha::decode
