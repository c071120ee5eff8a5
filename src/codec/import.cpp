#include "codec/import.h"

#include <bit>
#include <cstring>

#include "codec/block_scan.h"
#include "codec/detect.h"
#include "codec/pair_tables.h"
#include "codec/word_scan.h"

namespace kotoha {

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kBlank = 0x20;

// State of one import call. Reads always happen before the writes they
// allow, so destination may trail the source within the same buffer.
struct ImportContext {
    std::uint8_t* destination;
    const std::uint8_t* source;
    std::size_t length;
    std::size_t pos = 0;
    bool emitCrLf;
    std::uint32_t kanaCount = 0;
    std::uint32_t crLfPairs = 0;
    std::uint32_t loneCrs = 0;
    std::uint32_t loneLfs = 0;

    void Put(std::uint8_t b) { *destination++ = b; }
    void PutCode(std::uint16_t code) {
        destination[0] = static_cast<std::uint8_t>(code >> 8);
        destination[1] = static_cast<std::uint8_t>(code);
        destination += 2;
    }
    bool HasNext() const { return pos + 1 < length; }

    // Copies the run of bytes from pos up to end unchanged.
    void CopyRun(std::size_t end) {
        const std::uint8_t* from = source + pos;
        std::size_t count = end - pos;
        if (destination != from)
            std::memmove(destination, from, count);
        destination += count;
        pos = end;
    }

    void LineBreak() {
        if (emitCrLf)
            Put(kCr);
        Put(kLf);
    }

    // The control step shared by the decoders: takes NUL, CR, LF and the
    // other control bytes (ESC only when keepEsc is false). Returns whether
    // it consumed the byte at pos.
    bool ControlStep(std::uint8_t b, bool keepEsc) {
        if (b == kCr) {
            if (HasNext() && source[pos + 1] == kLf) {
                ++crLfPairs;
                pos += 2;
            } else {
                ++loneCrs;
                ++pos;
            }
            LineBreak();
            return true;
        }
        if (b == kLf) {
            ++loneLfs;
            ++pos;
            LineBreak();
            return true;
        }
        if (b == kEsc && keepEsc)
            return false;
        if (b < 0x20 || b == 0x7F) {
            Put(b);
            ++pos;
            return true;
        }
        return false;
    }
};

// The Shift-JIS decoder leaves every byte as it is except CR, LF when CR LF
// is emitted, and a lead byte without its trail byte. Moves the run from pos
// up to the first such byte in one go, counting its LFs and half-width
// katakana on the way.
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
        // A bad second byte stops the run at the lead byte before it.
        std::uint64_t stops = block.Equal(kCr) | ((seconds & ~trails) >> 1);
        if (c.emitCrLf)
            stops |= lineFeedBits;
        const unsigned runBytes =
            stops != 0 ? static_cast<unsigned>(std::countr_zero(stops)) : taken;
        const std::uint64_t run = detail::LowBits(runBytes);
        kana += detail::CountBits(block.InRange(0xA1, 0xDF) & ~seconds & run);
        lineFeeds += detail::CountBits(lineFeedBits & run);
        i += runBytes;
        if (stops != 0) {
            stopped = true;
            break;
        }
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

void DecodeSjis(ImportContext& c) {
    while (c.pos < c.length) {
        CopyUnchangedSjis(c);
        if (c.pos >= c.length)
            break;
        // The run stopped at a line break or at a lead byte without its
        // trail byte, which becomes a blank.
        if (c.ControlStep(c.source[c.pos], false))
            continue;
        c.Put(kBlank);
        ++c.pos;
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

enum class JisMode { ASCII, KANA, KANJI };

bool IsJisByte(std::uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

// Mode set by the designation after an ESC at pos, or false when the two
// bytes after it designate nothing JIS import knows.
bool ReadDesignation(const std::uint8_t* p, JisMode& mode) {
    switch (DesignationOf(p[0], p[1])) {
        case JisDesignation::Ascii:
            mode = JisMode::ASCII;
            return true;
        case JisDesignation::Kana:
            mode = JisMode::KANA;
            return true;
        case JisDesignation::Kanji:
            mode = JisMode::KANJI;
            return true;
        case JisDesignation::None:
            break;
    }
    return false;
}

void DecodeJis(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint8_t* d = c.destination;
    JisMode mode = JisMode::ASCII;
    while (i < n) {
        // What JIS text mostly holds, in tight loops: kanji pairs in KANJI
        // mode, printable bytes in ASCII mode. Each pair is read before it
        // is written, so converting in place is safe.
        if (mode == JisMode::KANJI) {
            while (i + 1 < n && IsJisByte(s[i]) && IsJisByte(s[i + 1])) {
                detail::PutJisPairAsSjis(d, s[i], s[i + 1]);
                d += 2;
                i += 2;
            }
        } else if (mode == JisMode::ASCII) {
            while (i < n && s[i] >= 0x20 && s[i] < 0x7F)
                *d++ = s[i++];
        }
        if (i >= n)
            break;
        c.destination = d;
        c.pos = i;
        const std::uint8_t b = s[i];
        if (c.ControlStep(b, true)) {
            // Line breaks and control bytes; the mode stays.
        } else if (b == kEsc) {
            if (i + 2 < n && ReadDesignation(s + i + 1, mode)) {
                c.pos += 3;
            } else {
                c.Put(kBlank);
                ++c.pos;
            }
        } else if (mode == JisMode::KANA) {
            const std::uint8_t kana = static_cast<std::uint8_t>(b | 0x80);
            if (IsHalfWidthKana(kana)) {
                c.Put(kana);
                ++c.kanaCount;
            } else {
                c.Put(kBlank);
            }
            ++c.pos;
        } else {
            // An 8-bit byte in ASCII mode, or in KANJI mode a byte that
            // starts no complete pair.
            c.Put(b < 0x80 && mode == JisMode::ASCII ? b : kBlank);
            ++c.pos;
        }
        d = c.destination;
        i = c.pos;
    }
    c.destination = d;
    c.pos = i;
}

}  // namespace

std::uint32_t ImportText(EncodingKind kind, bool emitCrLf, std::uint8_t* destination,
                         const std::uint8_t* source, std::uint32_t length,
                         LineBreakKind* lineBreakKindOut, std::uint32_t* kanaCountOut) {
    ImportContext c{destination, source, length, 0, emitCrLf};
    switch (kind) {
        case EncodingKind::JIS:
            DecodeJis(c);
            break;
        case EncodingKind::EUC:
            DecodeEuc(c);
            break;
        default:
            DecodeSjis(c);
            break;
    }
    if (lineBreakKindOut)
        *lineBreakKindOut = LineBreakKindFromCounts(c.crLfPairs, c.loneCrs, c.loneLfs);
    if (kanaCountOut)
        *kanaCountOut = c.kanaCount;
    return static_cast<std::uint32_t>(c.destination - destination);
}

}  // namespace kotoha
