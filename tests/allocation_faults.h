// SPDX-License-Identifier: MIT
// Making the movable blocks' allocations fail on purpose.
#pragma once

#include <cstdint>

#include "base/global_array.h"

namespace kotoha::testing {

// Makes allocations fail for the life of the scope.
class AllocationFaultScope {
  public:
    AllocationFaultScope(std::uint32_t allowFirst, std::uint32_t failCount,
                         std::size_t failAboveBytes = SIZE_MAX) {
        SetAllocationFaults(allowFirst, failCount, failAboveBytes);
    }
    ~AllocationFaultScope() { ClearAllocationFaults(); }
};

}  // namespace kotoha::testing
