// Reading a whole file and writing one without ever losing the old copy.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

#include "codec/export.h"
#include "document/file_error.h"

namespace kotoha {

// The permission bits a newly created file gets from open(): 0666 less the
// process's umask.
mode_t NewFileMode();

// The folder part of path: "." when path names none, "/" for a file
// directly under the root.
std::string DirectoryOf(const std::string& path);

// Whether the existing file at path (whose status is st) may not be written:
// it has no write permission bit at all, or this process may not write it.
bool IsReadOnlyFile(const std::string& path, const struct stat& st);

// A failure of a file operation: what went wrong, and at which stage (so
// that the right message can be chosen). kind None means success.
struct FileResult {
    FileErrorKind kind = FileErrorKind::None;
    FileAccess access = FileAccess::Read;

    bool ok() const { return kind == FileErrorKind::None; }
};

// A byte sink over a file descriptor; remembers the errno of a failed write.
class FileSink : public ByteSink {
  public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool Write(const std::uint8_t* bytes, std::size_t count) override;
    int error() const { return error_; }

  private:
    int fd_;
    int error_ = 0;
};

// Writes the file at path (UTF-8) safely: a temporary file is created beside
// it (same folder), filled by write, flushed to disk and renamed over path,
// so that path holds either its old contents or the complete new ones. On any
// failure the temporary file is removed and path is untouched. An existing
// target keeps its permission bits (a symbolic link is written through to
// the file it names); a new file gets 0666 less the umask. A target that
// exists but may not be written fails with AccessDenied, as opening it for
// writing would. write returns false when it failed; the errno of the sink's
// failed write, if any, classifies the failure, otherwise it is Generic.
FileResult WriteFileSafely(const std::string& path,
                           const std::function<bool(FileSink& sink)>& write);

}  // namespace kotoha
