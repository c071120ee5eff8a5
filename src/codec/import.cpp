#include "codec/import.h"

#include <cstring>

#include "codec/detect.h"
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

// Without CR LF emission the Shift-JIS decoder leaves every byte as it is
// except CR and a lead byte without its trail byte. Moves the run from pos
// up to the first such byte in one go, counting its LFs and half-width
// katakana on the way.
void CopyUnchangedSjis(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint32_t kana = 0;
    std::uint32_t lineFeeds = 0;
    while (i < n) {
        const std::uint8_t b = s[i];
        if (b < 0x80) {
            if (b == kCr)
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
        if (!c.emitCrLf) {
            CopyUnchangedSjis(c);
            if (c.pos >= c.length)
                break;
        }
        // Every 7-bit byte but CR and LF is copied as it is.
        std::size_t runEnd = detail::SkipSevenBitExcept<kCr, kLf>(c.source, c.pos, c.length);
        if (runEnd != c.pos) {
            c.CopyRun(runEnd);
            continue;
        }
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, false))
            continue;
        if (IsLeadByte(b)) {
            if (c.HasNext() && IsTrailByte(c.source[c.pos + 1])) {
                const std::uint8_t trail = c.source[c.pos + 1];
                c.Put(b);
                c.Put(trail);
                c.pos += 2;
            } else {
                c.Put(kBlank);
                ++c.pos;
            }
        } else {
            if (IsHalfWidthKana(b))
                ++c.kanaCount;
            c.Put(b);
            ++c.pos;
        }
    }
}

bool IsEucByte(std::uint8_t b) {
    return b >= 0xA1 && b <= 0xFE;
}

// Converts the run from pos of what EUC text mostly holds: 7-bit bytes other
// than CR (LF only without CR LF emission), kanji pairs and single-shift-2
// katakana; stops at the first byte that needs the full decoder. Each pair
// is read before its bytes are written, so converting in place is safe.
void ConvertPlainEuc(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint8_t* d = c.destination;
    std::uint32_t kana = 0;
    std::uint32_t lineFeeds = 0;
    while (i < n) {
        const std::uint8_t b = s[i];
        if (b < 0x80) {
            if (b == kCr || (b == kLf && c.emitCrLf))
                break;
            lineFeeds += b == kLf;
            *d++ = b;
            ++i;
        } else if (IsEucByte(b) && i + 1 < n && IsEucByte(s[i + 1])) {
            const std::uint16_t code =
                JisToSjis(static_cast<std::uint16_t>(((b & 0x7Fu) << 8) | (s[i + 1] & 0x7Fu)));
            d[0] = static_cast<std::uint8_t>(code >> 8);
            d[1] = static_cast<std::uint8_t>(code);
            d += 2;
            i += 2;
        } else if (b == kSingleShift2 && i + 1 < n && IsHalfWidthKana(s[i + 1])) {
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
    const std::uint8_t a = p[0], b = p[1];
    if (a == '(' && (b == 'B' || b == 'J')) {
        mode = JisMode::ASCII;
    } else if (a == '(' && b == 'I') {
        mode = JisMode::KANA;
    } else if (a == '$' && (b == '@' || b == 'B')) {
        mode = JisMode::KANJI;
    } else {
        return false;
    }
    return true;
}

// Converts the run of complete kanji pairs (both bytes 0x21-0x7E) from pos
// in KANJI mode; anything else is left to the full decoder.
void ConvertKanjiRun(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint8_t* d = c.destination;
    while (i + 1 < n && IsJisByte(s[i]) && IsJisByte(s[i + 1])) {
        const std::uint16_t code =
            JisToSjis(static_cast<std::uint16_t>((static_cast<unsigned>(s[i]) << 8) | s[i + 1]));
        d[0] = static_cast<std::uint8_t>(code >> 8);
        d[1] = static_cast<std::uint8_t>(code);
        d += 2;
        i += 2;
    }
    c.destination = d;
    c.pos = i;
}

void DecodeJis(ImportContext& c) {
    JisMode mode = JisMode::ASCII;
    while (c.pos < c.length) {
        if (mode == JisMode::ASCII) {
            std::size_t runEnd =
                detail::SkipSevenBitExcept<kCr, kLf, kEsc>(c.source, c.pos, c.length);
            if (runEnd != c.pos) {
                c.CopyRun(runEnd);
                continue;
            }
        }
        if (mode == JisMode::KANJI) {
            ConvertKanjiRun(c);
            if (c.pos >= c.length)
                break;
        }
        const std::uint8_t b = c.source[c.pos];
        if (c.ControlStep(b, true))
            continue;
        if (b == kEsc) {
            if (c.pos + 2 < c.length && ReadDesignation(c.source + c.pos + 1, mode)) {
                c.pos += 3;
            } else {
                c.Put(kBlank);
                ++c.pos;
            }
            continue;
        }
        switch (mode) {
            case JisMode::ASCII:
                c.Put(b < 0x80 ? b : kBlank);
                ++c.pos;
                break;
            case JisMode::KANA: {
                const std::uint8_t kana = static_cast<std::uint8_t>(b | 0x80);
                if (IsHalfWidthKana(kana)) {
                    c.Put(kana);
                    ++c.kanaCount;
                } else {
                    c.Put(kBlank);
                }
                ++c.pos;
                break;
            }
            case JisMode::KANJI:
                if (IsJisByte(b) && c.HasNext() && IsJisByte(c.source[c.pos + 1])) {
                    const unsigned jis = (static_cast<unsigned>(b) << 8) | c.source[c.pos + 1];
                    c.PutCode(JisToSjis(static_cast<std::uint16_t>(jis)));
                    c.pos += 2;
                } else {
                    c.Put(kBlank);
                    ++c.pos;
                }
                break;
        }
    }
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
