// SPDX-License-Identifier: MIT
#include "base/global_array.h"

#include <cstdlib>

namespace kotoha {

namespace {

// Single-threaded program: plain globals are enough for the test hook.
struct AllocationFaults {
    std::uint32_t allowFirst = 0;
    std::uint32_t failCount = 0;
    std::size_t failAboveBytes = SIZE_MAX;
};
AllocationFaults gFaults;

bool ShouldFail(std::size_t bytes) {
    if (bytes > gFaults.failAboveBytes)
        return true;
    if (gFaults.failCount == 0)
        return false;
    if (gFaults.allowFirst > 0) {
        --gFaults.allowFirst;
        return false;
    }
    --gFaults.failCount;
    return true;
}

}  // namespace

void* ResizeBlock(void* block, std::size_t bytes) noexcept {
    if (bytes == 0 || ShouldFail(bytes))
        return nullptr;
    return std::realloc(block, bytes);
}

void ReleaseBlock(void* block) noexcept {
    std::free(block);
}

void SetAllocationFaults(std::uint32_t allowFirst, std::uint32_t failCount,
                         std::size_t failAboveBytes) noexcept {
    gFaults = {allowFirst, failCount, failAboveBytes};
}

void ClearAllocationFaults() noexcept {
    gFaults = {};
}

}  // namespace kotoha
