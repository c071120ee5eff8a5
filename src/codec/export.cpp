// SPDX-License-Identifier: MIT
#include "codec/export.h"

#include <bit>
#include <cstring>

#include "codec/block_scan.h"
#include "codec/cp932.h"
#include "codec/export_context.h"
#include "codec/jis0212.h"
#include "codec/pair_tables.h"

namespace kotoha {

bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen) {
    return ExportText(EncodingKind::UTF8, lineBreakKind, sink, base, startOffset, endOffset, widen);
}

namespace {

// ExportText, the byte-order mark written only when bom is set.
bool ExportRange(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                 const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                 bool widen, const ExtensionTable* table, std::uint32_t* substitutedOut, bool bom) {
    encode::ExportContext c(sink, lineBreakKind, table);
    const std::uint8_t* p = base + startOffset;
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    std::uint8_t* out = nullptr;
    switch (kind) {
        case EncodingKind::JIS:
            out = encode::EncodeJis(c, p, end, widen);
            break;
        case EncodingKind::EUC:
            out = encode::EncodeEuc(c, p, end, widen);
            break;
        case EncodingKind::UTF8:
        case EncodingKind::UTF8BOM:
            out = encode::EncodeUtf8(c, p, end, widen, bom && kind == EncodingKind::UTF8BOM);
            break;
        case EncodingKind::UTF16LE:
        case EncodingKind::UTF16BE:
            out = encode::EncodeUtf16(c, p, end, widen, kind == EncodingKind::UTF16BE, bom);
            break;
        default:
            out = encode::EncodeSjis(c, p, end, widen);
            break;
    }
    if (substitutedOut)
        *substitutedOut = c.substituted;
    return c.Finish(out);
}

}  // namespace

bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen, const ExtensionTable* table, std::uint32_t* substitutedOut) {
    return ExportRange(kind, lineBreakKind, sink, base, startOffset, endOffset, widen, table,
                       substitutedOut, true);
}

bool ExportTextContinued(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                         const std::uint8_t* text, std::uint32_t length, bool widen,
                         const ExtensionTable* table, std::uint32_t* substitutedOut) {
    return ExportRange(kind, lineBreakKind, sink, text, 0, length, widen, table, substitutedOut,
                       false);
}

namespace {

// A single byte no encoding but Shift-JIS can write: an 8-bit byte that
// is neither a lead byte with its second byte nor a half-width katakana
// (0x80, 0xA0, 0xFD-0xFF, a lead byte at the end), and in JIS the ESC.
bool IsStrayByte(EncodingKind kind, std::uint8_t b) {
    return (b >= 0x80 && !IsHalfWidthKana(b)) || (b == kEsc && kind == EncodingKind::JIS);
}

// The count of a text without extension characters, 64 bytes at a time:
// stray bytes, and for EUC and JIS the pairs without a JIS X 0208 code
// (exactly those whose first byte is 0xF0 or above or whose second byte is
// no trail byte).
std::uint32_t CountBlocksWithoutTable(EncodingKind kind, bool jisRows, const std::uint8_t*& p,
                                      const std::uint8_t* end, const std::uint8_t* text,
                                      std::uint32_t* firstOffset) {
    std::uint32_t count = 0;
    while (end - p >= static_cast<std::ptrdiff_t>(detail::kBlockSize)) {
        const detail::Block block(p);
        std::uint64_t firsts =
            detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
        const unsigned taken = detail::WholeCharBytes(firsts);
        firsts &= detail::LowBits(taken);
        const std::uint64_t singles = ~(firsts | (firsts << 1)) & detail::LowBits(taken);
        std::uint64_t stray = block.High() & ~block.InRange(0xA1, 0xDF);
        if (kind == EncodingKind::JIS)
            stray |= block.Equal(kEsc);
        std::uint64_t lost = stray & singles;
        if (jisRows) {
            const std::uint64_t noTrail =
                block.InRange(0x00, 0x3F) | block.Equal(0x7F) | block.InRange(0xFD, 0xFF);
            lost |= (firsts & block.InRange(0xF0, 0xFC)) | ((noTrail & (firsts << 1)) >> 1);
        }
        if (lost != 0) {
            if (count == 0 && firstOffset)
                *firstOffset = static_cast<std::uint32_t>(p - text) +
                               static_cast<std::uint32_t>(std::countr_zero(lost));
            count += detail::CountBits(lost);
        }
        p += taken;
    }
    return count;
}

}  // namespace

std::uint32_t CountUnwritableCharacters(EncodingKind kind, const std::uint8_t* text,
                                        std::uint32_t length, const ExtensionTable* table,
                                        std::uint32_t* firstOffset) {
    if (firstOffset)
        *firstOffset = length;
    const bool unicode = IsUnicodeKind(kind);
    // The Unicode encodings hold every character of the table.
    if (table != nullptr && (table->empty() || unicode))
        table = nullptr;
    const bool jisRows = kind == EncodingKind::EUC || kind == EncodingKind::JIS;
    // Shift-JIS holds every CP932 code and every stray byte: only extension
    // characters can fail.
    const bool sjis = !jisRows && !unicode;
    if (sjis && table == nullptr)
        return 0;
    // A CP932 code the encoding holds: any in Shift-JIS and Unicode, in EUC
    // and JIS only those with a JIS X 0208 row (the full-width space itself
    // among them).
    auto holds = [&](std::uint16_t code) {
        if (!jisRows)
            return true;
        return code == 0x8140 || detail::SjisPairToJis(static_cast<std::uint8_t>(code >> 8),
                                                       static_cast<std::uint8_t>(code)) != 0x2121;
    };
    const std::uint8_t* end = text + length;
    const std::uint8_t* p = text;
    std::uint32_t count = 0;
    if (table == nullptr)
        count = CountBlocksWithoutTable(kind, jisRows, p, end, text, firstOffset);
    const auto lose = [&] {
        if (count == 0 && firstOffset)
            *firstOffset = static_cast<std::uint32_t>(p - text);
        ++count;
    };
    while (p < end) {
        if (!encode::IsPairAt(p, end)) {
            if (!sjis && IsStrayByte(kind, *p))
                lose();
            ++p;
            continue;
        }
        const auto code = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
        const char32_t ch = table != nullptr ? table->CharOf(code) : 0;
        bool written = true;
        if (ch != 0) {
            std::uint16_t nearest = 0;
            written = (kind == EncodingKind::EUC && UnicodeToJis0212(ch) != 0) ||
                      (UnicodeToCp932(ch, nearest) && nearest >= 0x100 &&
                       UserCodeIndex(nearest) < 0 && holds(nearest));
        } else {
            written = holds(code);
        }
        if (!written)
            lose();
        p += 2;
    }
    return count;
}

std::uint32_t WidenKana(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t length) {
    const std::uint8_t* p = source;
    const std::uint8_t* end = source + length;
    std::uint8_t* out = destination;
    while (p < end) {
        // Copy the run up to the next half-width katakana in one go.
        const std::uint8_t* run = p;
        while (p < end && !IsHalfWidthKana(*p))
            p += encode::IsPairAt(p, end) ? 2 : 1;
        std::memcpy(out, run, static_cast<std::size_t>(p - run));
        out += p - run;
        if (p == end)
            break;
        const std::uint16_t code = WidenKanaAt(p, end);
        out[0] = static_cast<std::uint8_t>(code >> 8);
        out[1] = static_cast<std::uint8_t>(code);
        out += 2;
    }
    return static_cast<std::uint32_t>(out - destination);
}

}  // namespace kotoha
