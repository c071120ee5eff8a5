#include "base/global_array.h"

#include <sys/mman.h>

#include <cstdint>
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

// A large block (a whole file) is touched page by page as it is read: asking
// for huge pages turns thousands of page faults into a few dozen. Only the
// whole 2 MiB pages inside the block are advised; where the system has no
// such pages the advice is ignored.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kAdviseAbove = 4 * kHugePage;

void AdviseHugePages(void* block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
    if (last > first)
        (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace

void* ResizeBlock(void* block, std::size_t bytes) noexcept {
    if (bytes == 0 || ShouldFail(bytes))
        return nullptr;
    void* resized = std::realloc(block, bytes);
    if (resized != nullptr && bytes >= kAdviseAbove)
        AdviseHugePages(resized, bytes);
    return resized;
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
