// SPDX-License-Identifier: MIT
// Reading the whole input and writing the output file of the conversion
// command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/file_replace.h"
#include "base/global_array.h"

namespace kotoha::conv {

// The longest input the codec's 32-bit lengths can hold, in bytes.
inline constexpr std::uint64_t kMaxInputBytes = 0xFFFFFFFFu;

// Reads the whole of path ("-" for standard input) into bytes, until the end
// of the file whatever size it announced. On failure returns false and sets
// error to one line naming the input and the cause; an input longer than
// kMaxInputBytes is a failure, and so is a named file that is not a regular
// file (a pipe, a socket, a device): it is refused without waiting on it.
bool ReadWholeInput(const std::string& path, GlobalArray<std::uint8_t>& bytes, std::string& error);

// Writes the output named by -o through write with ReplaceFileContents: the
// target holds its old contents or the whole new ones; a pipe or device is
// written as it is (waiting for a reader, as the shell's ">" does), and an
// existing file that may not be written is refused. On failure returns false
// and sets error to one line naming the file and the cause.
bool WriteOutputFile(const std::string& path, const std::function<bool(ByteSink& sink)>& write,
                     std::string& error);

}  // namespace kotoha::conv
