// SPDX-License-Identifier: MIT
// Classifying 64 bytes at a time into bit masks (bit i stands for byte i),
// and finding where double-byte characters start within such a block.
//
// The block loops built on this do per block what the byte loops do per
// byte, so they give the same results; they leave the last partial block
// to the byte loops.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kotoha::detail {

inline constexpr std::size_t kBlockSize = 64;

// Bits at even and at odd positions.
inline constexpr std::uint64_t kEvenBits = 0x5555555555555555ull;
inline constexpr std::uint64_t kOddBits = ~kEvenBits;

// Number of set bits. Written out because the build targets the baseline
// instruction set, where std::popcount becomes a library call.
constexpr unsigned CountBits(std::uint64_t x) {
    x = x - ((x >> 1) & kEvenBits);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<unsigned>((x * 0x0101010101010101ull) >> 56);
}

// The n lowest bits (n <= 64).
constexpr std::uint64_t LowBits(unsigned n) {
    return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

// 64 bytes, loaded once and tested against byte ranges.
class Block {
  public:
    explicit Block(const std::uint8_t* p) {
#ifdef __SSE2__
        for (int k = 0; k < 4; ++k)
            v_[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
#else
        for (std::size_t k = 0; k < kBlockSize; ++k)
            bytes_[k] = p[k];
#endif
    }

    // Bytes of 0x80 or above.
    std::uint64_t High() const {
#ifdef __SSE2__
        return Gather(_mm_movemask_epi8(v_[0]), _mm_movemask_epi8(v_[1]), _mm_movemask_epi8(v_[2]),
                      _mm_movemask_epi8(v_[3]));
#else
        return InRange(0x80, 0xFF);
#endif
    }

    // Bytes equal to b.
    std::uint64_t Equal(std::uint8_t b) const {
#ifdef __SSE2__
        const __m128i x = _mm_set1_epi8(static_cast<char>(b));
        return Gather(_mm_movemask_epi8(_mm_cmpeq_epi8(v_[0], x)),
                      _mm_movemask_epi8(_mm_cmpeq_epi8(v_[1], x)),
                      _mm_movemask_epi8(_mm_cmpeq_epi8(v_[2], x)),
                      _mm_movemask_epi8(_mm_cmpeq_epi8(v_[3], x)));
#else
        return InRange(b, b);
#endif
    }

    // Bytes in [lo, hi].
    std::uint64_t InRange(std::uint8_t lo, std::uint8_t hi) const {
#ifdef __SSE2__
        // b - lo, wrapping, is at most hi - lo exactly for b in [lo, hi].
        const __m128i l = _mm_set1_epi8(static_cast<char>(lo));
        const __m128i w = _mm_set1_epi8(static_cast<char>(hi - lo));
        int m[4];
        for (int k = 0; k < 4; ++k) {
            const __m128i d = _mm_sub_epi8(v_[k], l);
            m[k] = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, w), d));
        }
        return Gather(m[0], m[1], m[2], m[3]);
#else
        std::uint64_t mask = 0;
        for (std::size_t k = 0; k < kBlockSize; ++k)
            mask |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(bytes_[k] - lo) <=
                                               static_cast<std::uint8_t>(hi - lo))
                    << k;
        return mask;
#endif
    }

  private:
#ifdef __SSE2__
    static std::uint64_t Gather(int m0, int m1, int m2, int m3) {
        return static_cast<std::uint64_t>(static_cast<std::uint16_t>(m0)) |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(m1)) << 16 |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(m2)) << 32 |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(m3)) << 48;
    }
    __m128i v_[4];
#else
    std::uint8_t bytes_[kBlockSize];
#endif
};

// First bytes of the double-byte characters of a block that starts at a
// character boundary, given the bytes that open a double-byte character
// wherever one starts (and take the byte after them, whatever it is).
//
// Any other byte ends its character, so each run of opening bytes starts at
// a boundary and its bytes alternate first byte, second byte; the byte after
// an odd-length run is the second byte of the run's last character. Adding a
// run's lowest bit to the mask clears exactly that run, which sorts the runs
// by whether they start at an even or an odd position.
constexpr std::uint64_t PairStarts(std::uint64_t openers) {
    const std::uint64_t runStarts = openers & ~(openers << 1);
    const std::uint64_t evenRuns = openers & ~(openers + (runStarts & kEvenBits));
    const std::uint64_t oddRuns = openers & ~evenRuns;
    return (evenRuns & kEvenBits) | (oddRuns & kOddBits);
}

// Bytes a block loop may take from a block whose pair starts are given: all
// 64, or 63 when the last byte opens a character whose second byte lies in
// the next block (so every block loop starts at a boundary).
constexpr unsigned WholeCharBytes(std::uint64_t pairStarts) {
    return pairStarts >> 63 ? 63 : 64;
}

}  // namespace kotoha::detail
