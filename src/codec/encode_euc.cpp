// SPDX-License-Identifier: MIT
// The EUC-JP encoder: pairs converted by arithmetic, 16 bytes at a time with
// SSE2.
#include "codec/export_context.h"

#include <bit>

#include "codec/block_scan.h"
#include "codec/cp932.h"
#include "codec/jis0212.h"
#include "codec/pair_tables.h"
#include "codec/sjis_lanes_sse2.h"

namespace kotoha::encode {

namespace {

#ifdef __SSE2__
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

// Input the EUC block step may read: a block and the byte after its last
// 16-byte piece, which may start at offset 63.
constexpr std::size_t kEucBlockReach = detail::kBlockSize + 16;
#endif

constexpr std::uint8_t kSingleShift3 = 0x8F;

// An extension character: its JIS X 0212 code after single shift 3, else the
// nearest CP932 character JIS X 0208 holds, else the full-width space.
std::uint8_t* PutExtension(ExportContext& c, std::uint8_t* out, char32_t ch) {
    if (const std::uint16_t jis = UnicodeToJis0212(ch)) {
        out[0] = kSingleShift3;
        return PutCode(out + 1, static_cast<std::uint16_t>(jis | 0x8080));
    }
    const std::uint16_t code = c.LegacyCodeOf(ch);
    const std::uint16_t jis = detail::SjisPairToJis(static_cast<std::uint8_t>(code >> 8),
                                                    static_cast<std::uint8_t>(code));
    if (jis == 0x2121 && code != 0x8140)
        ++c.substituted;
    return PutCode(out, static_cast<std::uint16_t>(jis | 0x8080));
}

}  // namespace

std::uint8_t* EncodeEuc(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                        bool widen) {
    std::uint8_t* out = c.Start();
    while (p < end) {
        out = c.Ready(out);
        if (out == nullptr)
            return nullptr;
#ifdef __SSE2__
        if (end - p >= static_cast<std::ptrdiff_t>(kEucBlockReach) && c.table() == nullptr) {
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
            // A translated line break, the usual stop, is written here.
            if (*p == kLf) {
                out = c.LineBreak(out);
                ++p;
                continue;
            }
        }
#endif
        const std::uint8_t b = *p;
        if (IsPairAt(p, end)) {
            if (const char32_t ch = c.ExtensionCharAt(p)) {
                out = PutExtension(c, out, ch);
            } else {
                // No JIS code gives the full-width space 0xA1A1.
                out = PutCode(out,
                              static_cast<std::uint16_t>(detail::SjisPairToJis(b, p[1]) | 0x8080));
            }
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
            // A stray 8-bit byte has no EUC-JP form.
            ++c.substituted;
            out = PutCode(out, 0xA1A1);
            ++p;
        }
    }
    return out;
}

}  // namespace kotoha::encode
