// SPDX-License-Identifier: MIT
#include "codec/block_scan.h"

#include <gtest/gtest.h>

#include <random>

namespace kotoha::detail {
namespace {

// Walking the block byte by byte: an opening byte and the byte after it form
// a character.
std::uint64_t PairStartsByteByByte(std::uint64_t openers) {
    std::uint64_t starts = 0;
    for (unsigned i = 0; i < 64;) {
        if ((openers >> i) & 1) {
            starts |= std::uint64_t{1} << i;
            i += 2;
        } else {
            ++i;
        }
    }
    return starts;
}

TEST(BlockScanTest, PairStartsMatchesAByteWalk) {
    std::mt19937_64 rng(1);
    for (std::uint64_t m : {std::uint64_t{0}, ~std::uint64_t{0}, kEvenBits, kOddBits,
                            std::uint64_t{1} << 63, ~std::uint64_t{0} >> 1})
        EXPECT_EQ(PairStarts(m), PairStartsByteByByte(m)) << m;
    for (int round = 0; round < 100000; ++round) {
        // Dense and sparse masks, for long and short runs.
        std::uint64_t m = rng();
        m = round % 3 == 0 ? m | rng() : round % 3 == 1 ? m & rng() : m;
        ASSERT_EQ(PairStarts(m), PairStartsByteByByte(m)) << m;
        ASSERT_EQ(CountBits(m), static_cast<unsigned>(__builtin_popcountll(m)));
    }
}

TEST(BlockScanTest, ClassesMatchBytes) {
    std::mt19937 rng(2);
    std::uint8_t bytes[64];
    for (int round = 0; round < 2000; ++round) {
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(rng());
        const Block block(bytes);
        const auto lo = static_cast<std::uint8_t>(rng());
        const auto hi = static_cast<std::uint8_t>(lo + rng() % (256 - lo));
        std::uint64_t inRange = 0, equal = 0, high = 0;
        for (unsigned i = 0; i < 64; ++i) {
            inRange |= std::uint64_t{bytes[i] >= lo && bytes[i] <= hi} << i;
            equal |= std::uint64_t{bytes[i] == bytes[0]} << i;
            high |= std::uint64_t{bytes[i] >= 0x80} << i;
        }
        ASSERT_EQ(block.InRange(lo, hi), inRange) << int{lo} << " " << int{hi};
        ASSERT_EQ(block.Equal(bytes[0]), equal);
        ASSERT_EQ(block.High(), high);
    }
}

}  // namespace
}  // namespace kotoha::detail
