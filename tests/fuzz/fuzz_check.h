// SPDX-License-Identifier: MIT
// What every fuzz target does with a broken invariant: trap, so that
// libFuzzer keeps the input that broke it.
#pragma once

namespace kotoha::fuzz {

inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

}  // namespace kotoha::fuzz
