// SPDX-License-Identifier: MIT
// The Shift-JIS decoder: runs of unchanged text moved 64 bytes at a time.
#include "codec/import_context.h"

#include <bit>

#include "codec/block_scan.h"

namespace kotoha::decode {

namespace {

// The Shift-JIS decoder leaves every byte as it is except CR, LF when CR LF
// is emitted, and a lead byte without its trail byte. Moves the run from pos
// up to the first such byte in one go, counting its LFs and half-width
// katakana on the way; CR LF pairs on the way become their LF.
void CopyUnchangedSjis(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint32_t kana = 0;
    std::uint32_t lineFeeds = 0;
    bool stopped = false;
    while (i + detail::kBlockSize <= n) {
        const detail::Block block(s + i);
        const std::uint64_t firsts =
            detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
        const unsigned taken = detail::WholeCharBytes(firsts);
        const std::uint64_t seconds = (firsts << 1) & detail::LowBits(taken);
        const std::uint64_t trails = block.InRange(0x40, 0xFC) & ~block.Equal(0x7F);
        const std::uint64_t lineFeedBits = block.Equal(kLf);
        const std::uint64_t crs = block.Equal(kCr);
        // CR LF pairs inside the block, the usual line break, become their
        // LF on the way (a CR in the last byte is left to the byte loop).
        const std::uint64_t pairCrs = c.emitCrLf ? 0 : crs & (lineFeedBits >> 1);
        // A bad second byte stops the run at the lead byte before it.
        std::uint64_t stops = (crs & ~pairCrs) | ((seconds & ~trails) >> 1);
        if (c.emitCrLf)
            stops |= lineFeedBits;
        const unsigned runBytes =
            stops != 0 ? static_cast<unsigned>(std::countr_zero(stops)) : taken;
        const std::uint64_t run = detail::LowBits(runBytes);
        kana += detail::CountBits(block.InRange(0xA1, 0xDF) & ~seconds & run);
        lineFeeds += detail::CountBits(lineFeedBits & run & ~(pairCrs << 1));
        // The LF of a pair in the run lies in the run too: neither an LF nor
        // the byte after a CR stops it.
        for (std::uint64_t pairs = pairCrs & run; pairs != 0; pairs &= pairs - 1) {
            const std::size_t cr = i + static_cast<unsigned>(std::countr_zero(pairs));
            c.CopyRun(cr);
            c.Put(kLf);
            ++c.crLfPairs;
            c.pos = cr + 2;
        }
        i += runBytes;
        if (stops == 0)
            continue;
        // A CR LF pair across two blocks becomes its LF here and the blocks
        // go on after it.
        if (s[i] == kCr && i + 1 < n && s[i + 1] == kLf && !c.emitCrLf) {
            c.CopyRun(i);
            c.Put(kLf);
            ++c.crLfPairs;
            i += 2;
            c.pos = i;
            continue;
        }
        stopped = true;
        break;
    }
    while (!stopped && i < n) {
        const std::uint8_t b = s[i];
        if (b < 0x80) {
            if (b == kCr || (b == kLf && c.emitCrLf))
                break;
            lineFeeds += b == kLf;
            ++i;
        } else if (IsLeadByte(b)) {
            if (i + 1 >= n || !IsTrailByte(s[i + 1]))
                break;
            i += 2;
        } else {
            kana += IsHalfWidthKana(b);
            ++i;
        }
    }
    c.kanaCount += kana;
    c.loneLfs += lineFeeds;
    c.CopyRun(i);
}

}  // namespace

void DecodeSjis(ImportContext& c) {
    while (c.pos < c.length) {
        CopyUnchangedSjis(c);
        if (c.pos >= c.length)
            break;
        // The run stopped at a line break or at a lead byte without its
        // trail byte, which becomes a blank.
        if (c.ControlStep(c.source[c.pos], false))
            continue;
        c.PutUndecodable();
        ++c.pos;
    }
}

}  // namespace kotoha::decode
