// SPDX-License-Identifier: MIT
// The 7-bit JIS encoder: escape sequences at every change of character set,
// eight pairs at a time with SSE2.
#include "codec/export_context.h"

#include <bit>

#include "codec/cp932.h"
#include "codec/pair_tables.h"
#include "codec/sjis_lanes_sse2.h"

namespace kotoha::encode {

namespace {

#ifdef __SSE2__
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
#endif

enum class JisMode { ASCII, KANA, KANJI };

}  // namespace

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
            if (const char32_t ch = c.ExtensionCharAt(p)) {
                const std::uint16_t code = c.LegacyCodeOf(ch);
                const std::uint16_t jis = detail::SjisPairToJis(
                    static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code));
                if (jis == 0x2121 && code != 0x8140)
                    ++c.substituted;
                out = PutCode(out, jis);
                p += 2;
                continue;
            }
#ifdef __SSE2__
            if (end - p >= 16 && c.table() == nullptr) {
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
        } else if (b >= 0x80 || b == kEsc) {
            // A stray 8-bit byte has no JIS form, and an ESC would read as
            // the start of a designation.
            ++c.substituted;
            enter(JisMode::KANJI, '$', 'B');
            out = PutCode(out, 0x2121);
            ++p;
        } else {
            enter(JisMode::ASCII, '(', 'B');
            out = c.Output(out, b);
            ++p;
        }
    }
    return out;
}

}  // namespace kotoha::encode
