// SPDX-License-Identifier: MIT
// Writing the document's file without ever losing the old copy, and the
// failure record its messages are chosen from.
#pragma once

#include <functional>
#include <string>

#include "base/file_replace.h"
#include "document/file_error.h"

namespace kotoha {

// A failure of a file operation: what went wrong, and at which stage (so
// that the right message can be chosen). kind None means success.
struct FileResult {
    FileResult() = default;
    FileResult(FileErrorKind kind, FileAccess access) : kind(kind), access(access) {}

    FileErrorKind kind = FileErrorKind::None;
    FileAccess access = FileAccess::Read;
    // A file written in place that failed and could not be put back: where
    // its old contents (or the new ones) were kept.
    std::string damagedCopy;

    bool ok() const { return kind == FileErrorKind::None; }
};

// Writes the file at path (UTF-8) with ReplaceFileContents: the old contents
// stay whole on any failure unless the file had to be written in place. A
// pipe or device target without a reader fails at once. The errno of the
// failure classifies it; a failed write callback without one is Generic.
FileResult WriteFileSafely(const std::string& path, const std::function<bool(FdSink& sink)>& write);

}  // namespace kotoha
