// SPDX-License-Identifier: MIT
// A regular file mapped into memory whole, for reading it once from start to
// end without copying it into a block of its own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kotoha {

// The bytes of an open regular file, mapped read-only with its pages read in
// up front. One mapping at a time is guarded: if the file shrinks while it
// is mapped, reading the pages it lost gives zeros instead of ending the
// process, and changed() tells the reader that what it read is not the file.
class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps fd, a regular file, from its start to its announced size (an
    // empty file gives an empty mapping). False with the errno in error
    // when it cannot be mapped, or when another mapping is guarded: the
    // caller then reads the file instead.
    bool Map(int fd, int& error);

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Whether some page of the file was gone when it was read.
    bool changed() const;

  private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mappedBytes_ = 0;
};

}  // namespace kotoha
