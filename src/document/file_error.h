// SPDX-License-Identifier: MIT
// File errors: the kinds the user is told about, how an errno falls into
// them, and which message reports each kind for a read, a create or a write.
#pragma once

#include "base/string_ids.h"

namespace kotoha {

enum class FileErrorKind {
    None,
    NotFound,        // no such file, bad path
    IsFolder,        // a folder where a file was wanted
    ReadOnlyMedium,  // a read-only file system
    AccessDenied,    // permission, busy executable
    DiskFull,        // no space, quota exceeded
    Generic,         // any other system error (too many files, I/O error, ...)
    Other,           // not a system error: out of memory, file ended early
};

// ENOENT/ENOTDIR/ENAMETOOLONG NotFound; EISDIR IsFolder; EROFS
// ReadOnlyMedium; EACCES/EPERM/ETXTBSY AccessDenied; ENOSPC/EDQUOT DiskFull;
// anything else Generic.
FileErrorKind ClassifyErrno(int error);

enum class FileAccess {
    Read,    // opening or reading a file
    Create,  // creating the file to write
    Write,   // writing, flushing, closing or putting the file in place
};

// The message that reports kind during access. Messages other than
// kDiskFull, kOpenFailed, kInvalidFileName and kSaveFailed take the path as
// their argument.
StringId::Id FileErrorMessage(FileErrorKind kind, FileAccess access);

}  // namespace kotoha
