// SPDX-License-Identifier: MIT
// Where streamed bytes go: the export conversion writes through it, and the
// file writers below it provide sinks over file descriptors.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kotoha {

// Write either takes all count bytes and returns true, or fails and returns
// false.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const std::uint8_t* bytes, std::size_t count) = 0;
};

}  // namespace kotoha
