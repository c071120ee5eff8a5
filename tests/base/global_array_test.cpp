// SPDX-License-Identifier: MIT
#include "base/global_array.h"

#include <gtest/gtest.h>

#include "allocation_faults.h"

namespace kotoha {
namespace {

using testing::AllocationFaultScope;

TEST(GlobalArray, NewArrayIsEmpty) {
    GlobalArray<std::uint32_t> a;
    EXPECT_EQ(a.capacity(), 0u);
    EXPECT_EQ(a.count(), 0u);
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.growBy(), 0u);
}

TEST(GlobalArray, AppendGrowsByGrowByPlusOne) {
    GlobalArray<std::uint32_t> one;
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(one.Append(i * 10), i);
        EXPECT_EQ(one.capacity(), i + 1);
    }
    GlobalArray<std::uint32_t> wide(32);
    ASSERT_TRUE(wide.SetSize(32));
    for (std::uint32_t i = 0; i < 32; ++i)
        wide.Append(i);
    EXPECT_EQ(wide.capacity(), 32u);
    EXPECT_EQ(wide.Append(32), 32u);
    EXPECT_EQ(wide.capacity(), 65u);
    for (std::uint32_t i = 0; i < 33; ++i)
        EXPECT_EQ(wide[i], i);
}

TEST(GlobalArray, SetSize) {
    GlobalArray<std::uint8_t> a;
    ASSERT_TRUE(a.SetSize(4));
    a.Append(1);
    a.Append(2);
    a.Append(3);
    std::uint8_t* before = a.data();
    EXPECT_TRUE(a.SetSize(4));  // same capacity: nothing changes
    EXPECT_EQ(a.data(), before);
    EXPECT_EQ(a.count(), 3u);
    EXPECT_TRUE(a.SetSize(2));  // count follows the capacity down
    EXPECT_EQ(a.count(), 2u);
    EXPECT_EQ(a[1], 2);
    EXPECT_TRUE(a.SetSize(0));  // releases the block
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.count(), 0u);
}

TEST(GlobalArray, FreeKeepsGrowBy) {
    GlobalArray<std::uint8_t> a(7);
    a.Append(1);
    a.Free();
    EXPECT_EQ(a.capacity(), 0u);
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.count(), 0u);
    EXPECT_EQ(a.growBy(), 7u);
}

TEST(GlobalArray, DetachAndAttachHandOverWithoutCopying) {
    GlobalArray<std::uint8_t> from;
    ASSERT_TRUE(from.SetSize(3));
    from[0] = 'x';
    std::uint8_t* block = from.data();
    ByteBlock handed = from.Detach();
    EXPECT_EQ(from.data(), nullptr);
    EXPECT_EQ(from.capacity(), 0u);
    EXPECT_EQ(handed.data(), block);
    EXPECT_EQ(handed.capacity(), 3u);

    GlobalArray<std::uint8_t> to;
    ASSERT_TRUE(to.SetSize(10));  // a block it had is released first
    to.Attach(std::move(handed), 2);
    EXPECT_EQ(to.data(), block);
    EXPECT_EQ(to.capacity(), 2u);
    EXPECT_EQ(to[0], 'x');
    EXPECT_TRUE(handed.empty());

    to.Attach(ByteBlock(), 0);
    EXPECT_EQ(to.data(), nullptr);
}

TEST(GlobalArray, FailedResizeLeavesArrayUnchanged) {
    GlobalArray<std::uint32_t> a;
    ASSERT_TRUE(a.SetSize(2));
    a.Append(5);
    a.Append(6);
    std::uint32_t* before = a.data();
    {
        AllocationFaultScope fail(0, 1);
        EXPECT_FALSE(a.Append(7).has_value());
    }
    EXPECT_EQ(a.data(), before);
    EXPECT_EQ(a.capacity(), 2u);
    EXPECT_EQ(a.count(), 2u);
    EXPECT_EQ(a[1], 6u);
    {
        AllocationFaultScope fail(0, 0, 100);  // only large blocks fail
        EXPECT_FALSE(a.SetSize(1000));
        EXPECT_TRUE(a.SetSize(3));
    }
    EXPECT_EQ(a[0], 5u);

    GlobalArray<std::uint8_t> empty;
    AllocationFaultScope fail(0, 1);
    EXPECT_FALSE(empty.SetSize(8));
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_EQ(empty.capacity(), 0u);
}

TEST(GlobalArray, AppendNeverWrapsTheCapacity) {
    GlobalArray<std::uint8_t> a(UINT32_MAX);
    a.Append(1);  // capacity 0 + growBy + 1 overflows: refused
    EXPECT_EQ(a.capacity(), 0u);
}

}  // namespace
}  // namespace kotoha
