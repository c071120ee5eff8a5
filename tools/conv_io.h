// SPDX-License-Identifier: MIT
// Reading the whole input and writing the output file of the conversion
// command.
#pragma once

#include <sys/stat.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/file_replace.h"
#include "base/global_array.h"
#include "base/mapped_file.h"

namespace kotoha::conv {

// The longest input the codec's 32-bit lengths can hold, in bytes.
inline constexpr std::uint64_t kMaxInputBytes = 0xFFFFFFFFu;

// The whole input in memory: a named regular file mapped, standard input (or
// a file that cannot be mapped) read into a block until its end, whatever
// size it announced.
class Input {
  public:
    const std::uint8_t* data() const;
    std::uint32_t size() const;
    // The block the input was read into, which the caller may convert in
    // place; nullptr for a mapped file.
    TextStore* block() { return mapped_.data() != nullptr ? nullptr : &bytes_; }
    // Whether the named file changed while it was read (it shrank under its
    // mapping, or its name now leads to another file, or its size or
    // modification time moved): what was read is not the file, and must not
    // be passed off as its conversion.
    bool changed() const;
    // The one line that reports a changed input.
    std::string ChangedError() const;

  private:
    friend bool ReadInput(const std::string& path, const std::string& output, Input& input,
                          std::string& error);
    std::string name_;
    std::string path_;       // empty for standard input
    struct stat before_ {};  // the named file's status when it was opened
    MappedFile mapped_;
    TextStore bytes_;
};

// Reads path ("-" for standard input) into input. On failure returns false
// and sets error to one line naming the input and the cause; an input longer
// than kMaxInputBytes is a failure, and so is a named file that is neither a
// regular file nor a pipe (a socket, a device, a folder): it is refused
// without waiting on it. A named pipe is read as a stream, like standard
// input. A file that is also the output (output names it, through any link, or
// standard output is it when output is empty or "-") is read whole, never
// mapped: the output may be written into it in place.
bool ReadInput(const std::string& path, const std::string& output, Input& input,
               std::string& error);

// Writes the output named by -o through write with ReplaceFileContents: the
// target holds its old contents or the whole new ones; a pipe or device is
// written as it is (waiting for a reader, as the shell's ">" does), and an
// existing file that may not be written is refused. A name of an open
// descriptor (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N) means
// that descriptor, written as it is (an append stays an append). On failure returns false
// and sets error to one line naming the file and the cause.
bool WriteOutputFile(const std::string& path, const std::function<bool(ByteSink& sink)>& write,
                     std::string& error);

}  // namespace kotoha::conv
