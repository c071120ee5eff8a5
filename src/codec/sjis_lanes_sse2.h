// SPDX-License-Identifier: MIT
// Shift-JIS pairs to JIS codes eight at a time, for the EUC and JIS encoders.
#pragma once

#ifdef __SSE2__
#include <emmintrin.h>

namespace kotoha::encode {

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

}  // namespace kotoha::encode
#endif
