// SPDX-License-Identifier: MIT
// Where streamed bytes go: the export conversion writes through it, and the
// file writers below it provide sinks over file descriptors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kotoha {

// Write either takes all count bytes and returns true, or fails and returns
// false.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const std::uint8_t* bytes, std::size_t count) = 0;
};

// Collects everything written into bytes.
class StringSink final : public ByteSink {
  public:
    bool Write(const std::uint8_t* data, std::size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
        return true;
    }
    std::string bytes;
};

}  // namespace kotoha
