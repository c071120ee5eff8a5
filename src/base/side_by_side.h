// SPDX-License-Identifier: MIT
// One pass over a long block split in two halves that run on two threads.
#pragma once

#include <cstdint>
#include <functional>
#include <system_error>
#include <thread>

namespace kotoha {

// A block at least this long is worth a second thread for its second half:
// 16 MiB unless set otherwise. Tests set a small length to run the
// two-thread paths on small texts.
std::uint32_t SideBySideBytes();
void SetSideBySideBytes(std::uint32_t bytes);

// Runs second on a thread of its own while first runs on this one, and
// returns when both are done; one after the other when no thread can be
// had. Neither may throw.
template <typename First, typename Second>
void RunSideBySide(First&& first, Second&& second) {
    std::thread helper;
    try {
        helper = std::thread(std::ref(second));
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    first();
    helper.join();
}

}  // namespace kotoha
