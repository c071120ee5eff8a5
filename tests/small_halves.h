// SPDX-License-Identifier: MIT
// Lowers the length from which a block is split between two threads while
// a test runs, so that the two-thread paths run on small texts.
#pragma once

#include <cstdint>

#include "base/side_by_side.h"

namespace kotoha {

class SmallHalves {
  public:
    explicit SmallHalves(std::uint32_t bytes) : saved_(SideBySideBytes()) {
        SetSideBySideBytes(bytes);
    }
    ~SmallHalves() { SetSideBySideBytes(saved_); }
    SmallHalves(const SmallHalves&) = delete;
    SmallHalves& operator=(const SmallHalves&) = delete;

  private:
    std::uint32_t saved_;
};

}  // namespace kotoha
