// SPDX-License-Identifier: MIT
#include "base/side_by_side.h"

#include <atomic>

namespace kotoha {

namespace {

std::atomic<std::uint32_t> sideBySideBytes{16u << 20};

}  // namespace

std::uint32_t SideBySideBytes() {
    return sideBySideBytes.load(std::memory_order_relaxed);
}

void SetSideBySideBytes(std::uint32_t bytes) {
    sideBySideBytes.store(bytes, std::memory_order_relaxed);
}

}  // namespace kotoha
