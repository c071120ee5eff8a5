// SPDX-License-Identifier: MIT
// Reading an open file whole into one block, until its end.
#pragma once

#include "base/global_array.h"

namespace kotoha {

enum class WholeFileStatus {
    Ok,
    ReadError,    // read() failed; the errno is returned beside
    TooLong,      // longer than the 32-bit lengths of the text can hold
    OutOfMemory,  // no block for the bytes
};

// Reads fd from where it stands to its end into bytes (replacing what it
// held), whatever size the file announced: a file can grow while it is read,
// and some report 0 but have content (/proc). A regular file's announced
// size sizes the block up front, so that it is read with no reallocation.
// On failure bytes is empty and error holds the errno of a ReadError.
WholeFileStatus ReadWholeFile(int fd, GlobalArray<std::uint8_t>& bytes, int& error);

}  // namespace kotoha
