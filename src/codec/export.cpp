#include "codec/export.h"

#include <bit>
#include <cstring>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "codec/block_scan.h"
#include "codec/cp932.h"
#include "codec/pair_tables.h"

namespace kotoha {

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

// The staging buffer in front of the sink, and the line-break translation.
//
// Encoders write straight into the buffer through a position they keep, and
// call Ready before each step: one character, or a run of at most
// kMaxStepBytes bytes. Once a full chunk is staged, Ready hands it to the
// sink and keeps the rest. A step only happens while input is left, and every
// character writes at least one byte, so the sink sees exactly the chunks it
// would see if each chunk were written the moment it filled up and a byte
// followed it.
class ExportContext {
  public:
    // The most one step stages: a run from a whole block of input, whose
    // last 16-byte piece may start at offset 63, and then one character of
    // up to 2 bytes; or an escape sequence and a two-byte code.
    static constexpr std::size_t kMaxStepBytes = 96;

    ExportContext(ByteSink& sink, LineBreakKind lineBreakKind) : sink_(sink) {
        if (lineBreakKind == LineBreakKind::WIN) {
            lineBreak_[0] = kCr;
            lineBreak_[1] = kLf;
            lineBreakBytes_ = 2;
        } else if (lineBreakKind == LineBreakKind::MAC) {
            lineBreak_[0] = kCr;
        }
    }

    std::uint8_t* Start() { return buffer_; }

    // The position to write the next step at, or nullptr once the sink has
    // failed (nothing is written to it after that).
    std::uint8_t* Ready(std::uint8_t* out) {
        return out < buffer_ + kExportChunkSize ? out : Spill(out);
    }

    // Whether an LF is written as anything else than LF.
    bool TranslatesLf() const { return lineBreakBytes_ != 1 || lineBreak_[0] != kLf; }

    // Writes the translation of one LF at out.
    std::uint8_t* LineBreak(std::uint8_t* out) const {
        out[0] = lineBreak_[0];
        out[1] = lineBreak_[1];  // overwritten later when not part of it
        return out + lineBreakBytes_;
    }
    // One byte of encoded text, translating LF.
    std::uint8_t* Output(std::uint8_t* out, std::uint8_t b) const {
        if (b == kLf)
            return LineBreak(out);
        *out = b;
        return out + 1;
    }

    // After the last step (out is nullptr when a step found the sink
    // failed): hands the staged bytes to the sink, as a full chunk and the
    // rest when there is more than a chunk. The last chunk may be empty.
    bool Finish(std::uint8_t* out) {
        if (out == nullptr)
            return false;
        if (out > buffer_ + kExportChunkSize) {
            out = Spill(out);
            if (out == nullptr)
                return false;
        }
        return sink_.Write(buffer_, static_cast<std::size_t>(out - buffer_));
    }

  private:
    std::uint8_t* Spill(std::uint8_t* out) {
        if (!sink_.Write(buffer_, kExportChunkSize))
            return nullptr;
        const auto rest = static_cast<std::size_t>(out - (buffer_ + kExportChunkSize));
        std::memcpy(buffer_, buffer_ + kExportChunkSize, rest);
        return buffer_ + rest;
    }

    ByteSink& sink_;
    std::uint8_t lineBreak_[2] = {kLf, 0};
    std::size_t lineBreakBytes_ = 1;
    // One spare byte for the second byte LineBreak always stores.
    std::uint8_t buffer_[kExportChunkSize + kMaxStepBytes + 1];
};

// True when the character at p is a lead byte with its second byte in range.
bool IsPairAt(const std::uint8_t* p, const std::uint8_t* end) {
    return IsLeadByte(*p) && p + 1 < end;
}

std::uint16_t CodeAt(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::uint8_t* PutCode(std::uint8_t* out, std::uint16_t code) {
    out[0] = static_cast<std::uint8_t>(code >> 8);
    out[1] = static_cast<std::uint8_t>(code);
    return out + 2;
}

#ifdef __SSE2__
// SjisPairToJis of every 16-bit lane of v (first byte in the low byte), the
// JIS code stored first byte first; meaningless where a lane holds no pair.
inline __m128i SjisLanesToJis(__m128i v) {
    auto above = [](__m128i x, int limit) { return _mm_cmpgt_epi16(x, _mm_set1_epi16(limit)); };
    auto below = [](__m128i x, int limit) { return _mm_cmplt_epi16(x, _mm_set1_epi16(limit)); };
    const __m128i s1 = _mm_and_si128(v, _mm_set1_epi16(0xFF));
    const __m128i s2 = _mm_srli_epi16(v, 8);
    // Row pair index: 0x81-0x9F give 0-30, 0xE0-0xFC 31-59.
    const __m128i a = _mm_sub_epi16(_mm_sub_epi16(s1, _mm_set1_epi16(0x81)),
                                    _mm_and_si128(above(s1, 0xDF), _mm_set1_epi16(0x40)));
    // From 0x9F the second byte lies in the even row of the pair (the
    // comparisons give -1 for true).
    const __m128i evenRow = above(s2, 0x9E);
    const __m128i j1 =
        _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(a, a), _mm_set1_epi16(0x21)), evenRow);
    const __m128i j2Odd = _mm_add_epi16(_mm_sub_epi16(s2, _mm_set1_epi16(0x1F)), above(s2, 0x7E));
    const __m128i j2Even = _mm_sub_epi16(s2, _mm_set1_epi16(0x7E));
    const __m128i j2 =
        _mm_or_si128(_mm_and_si128(evenRow, j2Even), _mm_andnot_si128(evenRow, j2Odd));
    // A trail byte, and a row within JIS X 0208; else the full-width space.
    const __m128i valid =
        _mm_and_si128(_mm_andnot_si128(_mm_cmpeq_epi16(s2, _mm_set1_epi16(0x7F)),
                                       _mm_and_si128(above(s2, 0x3F), below(s2, 0xFD))),
                      below(j1, 0x7F));
    return _mm_or_si128(_mm_and_si128(valid, _mm_or_si128(j1, _mm_slli_epi16(j2, 8))),
                        _mm_andnot_si128(valid, _mm_set1_epi16(0x2121)));
}

// Converts the eight pairs at p (p + 16 <= end) and stores all 16 bytes, with
// xorMask applied to every JIS code, at out. Returns how many of them are
// characters: the pairs up to the first lane whose first byte is no lead byte
// (at least 1 when *p is one); the bytes after those are left for the next
// step to overwrite. Inlined: as a call it costs more than it saves.
[[gnu::always_inline]] inline unsigned StageSjisPairsAsJis(const std::uint8_t* p, std::uint8_t* out,
                                                           std::uint16_t xorMask) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_xor_si128(SjisLanesToJis(v), _mm_set1_epi16(static_cast<short>(xorMask))));
    const __m128i s1 = _mm_and_si128(v, _mm_set1_epi16(0xFF));
    auto inRange = [&](int lo, int hi) {
        return _mm_and_si128(_mm_cmpgt_epi16(s1, _mm_set1_epi16(lo - 1)),
                             _mm_cmplt_epi16(s1, _mm_set1_epi16(hi + 1)));
    };
    const __m128i leads = _mm_or_si128(inRange(0x81, 0x9F), inRange(0xE0, 0xFC));
    const unsigned leadLanes = static_cast<unsigned>(_mm_movemask_epi8(leads));
    return static_cast<unsigned>(std::countr_zero(~leadLanes)) / 2;
}

// A byte mask of 16 bytes from their 16 bits.
inline __m128i ExpandBits(unsigned bits) {
    __m128i m = _mm_cvtsi32_si128(static_cast<int>(bits));
    m = _mm_unpacklo_epi8(m, m);
    m = _mm_unpacklo_epi16(m, m);
    m = _mm_unpacklo_epi32(m, m);  // the low 8 bits in bytes 0-7, the high 8 in 8-15
    const __m128i bit = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    return _mm_cmpeq_epi8(_mm_and_si128(m, bit), bit);
}

// Writes the 16 bytes at p as EUC at the same positions at out, given which
// of them open a pair (bit i for byte i); every other byte is 7-bit and is
// copied. Reads p[16]. Returns 15 when the last byte opens a pair, whose
// second byte the next piece must include, else 16.
[[gnu::always_inline]] inline unsigned StageEucPiece(const std::uint8_t* p, std::uint8_t* out,
                                                     unsigned firsts) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i shifted = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8080));
    // Pairs at even offsets fill the lanes of v; those at odd offsets the
    // lanes of v read one byte later, moved back into place.
    const __m128i evenPairs = _mm_xor_si128(SjisLanesToJis(v), flip);
    const __m128i oddPairs = _mm_slli_si128(_mm_xor_si128(SjisLanesToJis(shifted), flip), 1);
    const unsigned evenFirsts = firsts & 0x5555;
    const unsigned oddFirsts = firsts & 0xAAAA;
    const __m128i evenMask = ExpandBits(evenFirsts | evenFirsts << 1);
    const __m128i oddMask = ExpandBits((oddFirsts | oddFirsts << 1) & 0xFFFF);
    const __m128i result = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(evenMask, evenPairs), _mm_and_si128(oddMask, oddPairs)),
        _mm_andnot_si128(_mm_or_si128(evenMask, oddMask), v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), result);
    return 16 - (oddFirsts >> 15);
}
#endif

// Every encoder returns the position after what it staged, or nullptr when
// the sink failed.

std::uint8_t* EncodeSjis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen) {
    std::uint8_t* out = c.Start();
    const bool translatesLf = c.TranslatesLf();
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        if (end - p >= static_cast<std::ptrdiff_t>(detail::kBlockSize)) {
            // Most of the text is written as it is: copy whole blocks up to
            // the first single byte that changes (an LF that is translated,
            // a stray 8-bit byte, a half-width katakana when widening).
            const detail::Block block(p);
            const std::uint64_t firsts =
                detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
            const unsigned taken = detail::WholeCharBytes(firsts);
            const std::uint64_t singles = ~(firsts | (firsts << 1));
            std::uint64_t changed = block.High();
            if (!widen)
                changed &= ~block.InRange(0xA1, 0xDF);
            if (translatesLf)
                changed |= block.Equal(kLf);
            changed &= singles;
            const unsigned runBytes =
                changed != 0 ? static_cast<unsigned>(std::countr_zero(changed)) : taken;
            std::memcpy(out, p, detail::kBlockSize);  // only runBytes of it count
            out += runBytes;
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
            out[0] = p[0];
            out[1] = p[1];
            out += 2;
            p += 2;
        } else {
            out = c.Output(out, b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
    return out;
}

#ifdef __SSE2__
// Input the EUC block step may read: a block and the byte after its last
// 16-byte piece, which may start at offset 63.
constexpr std::size_t kEucBlockReach = detail::kBlockSize + 16;
#endif

std::uint8_t* EncodeEuc(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                        bool widen) {
    std::uint8_t* out = c.Start();
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
#ifdef __SSE2__
        if (end - p >= static_cast<std::ptrdiff_t>(kEucBlockReach)) {
            // Pairs keep their length and so do 7-bit bytes but LF: convert
            // whole blocks up to the first single byte that changes length
            // or value (a translated LF, a half-width katakana, a stray
            // 8-bit byte) in 16-byte pieces, each byte staying in place.
            const detail::Block block(p);
            std::uint64_t firsts =
                detail::PairStarts(block.InRange(0x81, 0x9F) | block.InRange(0xE0, 0xFC));
            const unsigned taken = detail::WholeCharBytes(firsts);
            firsts &= detail::LowBits(taken);
            const std::uint64_t singles = ~(firsts | (firsts << 1)) & detail::LowBits(taken);
            std::uint64_t changed = block.High();
            if (c.TranslatesLf())
                changed |= block.Equal(kLf);
            changed &= singles;
            const unsigned runBytes =
                changed != 0 ? static_cast<unsigned>(std::countr_zero(changed)) : taken;
            for (unsigned k = 0; k < runBytes;)
                k += StageEucPiece(p + k, out + k, static_cast<unsigned>(firsts >> k));
            out += runBytes;
            p += runBytes;
            if (changed == 0)
                continue;
        }
#endif
        const std::uint8_t b = *p;
        if (IsPairAt(p, end)) {
            // No JIS code gives the full-width space 0xA1A1.
            out = PutCode(out, static_cast<std::uint16_t>(detail::SjisPairToJis(b, p[1]) | 0x8080));
            p += 2;
        } else if (b < 0x80) {
            out = c.Output(out, b);
            ++p;
        } else if (IsHalfWidthKana(b)) {
            if (widen) {
                const std::uint16_t jis = SjisToJis(WidenKanaAt(p, end));
                out = PutCode(out, jis == 0 ? 0xA1A1 : static_cast<std::uint16_t>(jis | 0x8080));
            } else {
                out[0] = kSingleShift2;
                out[1] = b;
                out += 2;
                ++p;
            }
        } else {
            *out++ = 0x00;
            ++p;
        }
    }
    return out;
}

enum class JisMode { ASCII, KANA, KANJI };

std::uint8_t* EncodeJis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                        bool widen) {
    std::uint8_t* out = c.Start();
    JisMode mode = JisMode::ASCII;
    // Writes the escape sequence into wanted when the mode is another.
    auto enter = [&](JisMode wanted, std::uint8_t a, std::uint8_t b) {
        if (mode == wanted)
            return;
        mode = wanted;
        out[0] = kEsc;
        out[1] = a;
        out[2] = b;
        out += 3;
    };
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        const std::uint8_t b = *p;
        if (IsPairAt(p, end)) {
            enter(JisMode::KANJI, '$', 'B');
#ifdef __SSE2__
            if (end - p >= 16) {
                const unsigned pairs = StageSjisPairsAsJis(p, out, 0);
                out += 2 * pairs;
                p += 2 * pairs;
                continue;
            }
#endif
            out = PutCode(out, detail::SjisPairToJis(b, p[1]));
            p += 2;
        } else if (IsHalfWidthKana(b)) {
            if (widen) {
                enter(JisMode::KANJI, '$', 'B');
                out = PutCode(out, SjisToJis(WidenKanaAt(p, end)));
            } else {
                enter(JisMode::KANA, '(', 'I');
                *out++ = b & 0x7F;
                ++p;
            }
        } else {
            enter(JisMode::ASCII, '(', 'B');
            out = c.Output(out, b >= 0x80 || b == kEsc ? 0x00 : b);
            ++p;
        }
    }
    return out;
}

std::uint8_t* EncodeUtf8(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen) {
    std::uint8_t* out = c.Start();
    std::string utf8;
    auto outputChar = [&](std::uint16_t code) {
        utf8.clear();
        AppendUtf8(utf8, Cp932ToUnicode(code));
        for (char byte : utf8)
            out = c.Output(out, static_cast<std::uint8_t>(byte));
    };
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                outputChar(WidenKanaAt(p, end));
            } else {
                outputChar(b);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            outputChar(CodeAt(p));
            p += 2;
        } else {
            out = c.Output(out, b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
    return out;
}

}  // namespace

bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen) {
    ExportContext c(sink, lineBreakKind);
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    return c.Finish(EncodeUtf8(c, base + startOffset, end, widen));
}

bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen) {
    ExportContext c(sink, lineBreakKind);
    const std::uint8_t* p = base + startOffset;
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    switch (kind) {
        case EncodingKind::JIS:
            return c.Finish(EncodeJis(c, p, end, widen));
        case EncodingKind::EUC:
            return c.Finish(EncodeEuc(c, p, end, widen));
        default:
            return c.Finish(EncodeSjis(c, p, end, widen));
    }
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
            p += IsPairAt(p, end) ? 2 : 1;
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
