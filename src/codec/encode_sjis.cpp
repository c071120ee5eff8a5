// SPDX-License-Identifier: MIT
// The Shift-JIS encoder: unchanged runs copied 64 bytes at a time.
#include "codec/export_context.h"

#include <bit>

#include "codec/block_scan.h"
#include "codec/cp932.h"

namespace kotoha::encode {

std::uint8_t* EncodeSjis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen) {
    std::uint8_t* out = c.Start();
    const bool translatesLf = c.TranslatesLf();
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        if (end - p >= static_cast<std::ptrdiff_t>(detail::kBlockSize)) {
            // Most of the text is written as it is: copy the block up to the
            // first single byte that changes other than a translated line
            // feed (a stray 8-bit byte, a half-width katakana when
            // widening), line by line when line feeds are translated.
            const detail::Block block(p);
            const std::uint64_t firsts =
                detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
            const unsigned taken = detail::WholeCharBytes(firsts);
            const std::uint64_t singles = ~(firsts | (firsts << 1));
            std::uint64_t changed = block.High();
            if (!widen)
                changed &= ~block.InRange(0xA1, 0xDF);
            changed &= singles;
            // Codes of the extension table are written as CP932 codes.
            if (c.table() != nullptr)
                changed |= firsts & block.InRange(0xF0, 0xF9);
            const unsigned runBytes =
                changed != 0 ? static_cast<unsigned>(std::countr_zero(changed)) : taken;
            // A line feed is never part of a pair.
            std::uint64_t breaks = translatesLf ? block.Equal(kLf) & detail::LowBits(runBytes) : 0;
            // The block's lines are copied 64 bytes at a time; near the end
            // of the text from a copy of the block, so that no copy reads
            // past the text.
            std::uint8_t lines[2 * detail::kBlockSize];
            const std::uint8_t* from64 = p;
            if (breaks != 0 && end - p < static_cast<std::ptrdiff_t>(2 * detail::kBlockSize)) {
                std::memcpy(lines, p, detail::kBlockSize);
                from64 = lines;
            }
            unsigned from = 0;
            for (;;) {
                const unsigned to =
                    breaks != 0 ? static_cast<unsigned>(std::countr_zero(breaks)) : runBytes;
                // Only to - from bytes of the copy count.
                std::memcpy(out, from64 + from, detail::kBlockSize);
                out += to - from;
                if (to == runBytes)
                    break;
                out = c.LineBreak(out);
                from = to + 1;
                breaks &= breaks - 1;
            }
            p += runBytes;
            if (changed == 0)
                continue;
        }
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                out = PutCode(out, WidenKanaAt(p, end));
            } else {
                *out++ = b;
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            if (const char32_t ch = c.ExtensionCharAt(p)) {
                out = PutCode(out, c.LegacyCodeOf(ch));
            } else {
                out[0] = p[0];
                out[1] = p[1];
                out += 2;
            }
            p += 2;
        } else {
            // A stray 8-bit byte came from a Shift-JIS file: it goes back as
            // it came.
            out = c.Output(out, b);
            ++p;
        }
    }
    return out;
}

}  // namespace kotoha::encode
