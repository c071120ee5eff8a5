// SPDX-License-Identifier: MIT
// Writing a whole file so that a failure never costs the old contents: the
// one writer behind the viewer's save, the conversion command's -o and the
// profile.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

#include "base/byte_sink.h"

namespace kotoha {

// A sink over a file descriptor it does not own. Writes are collected in a
// buffer of kBufferSize bytes and handed to the descriptor in one write()
// when it is full (a write of at least that size goes straight through), so
// that a stream of small chunks costs few system calls. Short writes are
// continued and interrupted ones retried; a failure (or a write that makes
// no progress) is kept in error() and every later Write fails at once.
// Flush must be called (and checked) after the last Write; the destructor
// only flushes what a caller forgot, without a word.
class FdSink : public ByteSink {
  public:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    explicit FdSink(int fd) : fd_(fd) {}
    ~FdSink() override;
    FdSink(const FdSink&) = delete;
    FdSink& operator=(const FdSink&) = delete;

    bool Write(const std::uint8_t* bytes, std::size_t count) override;
    // Writes what is buffered; false when that or an earlier write failed.
    bool Flush();
    // errno of the first failed write; 0 while every write succeeded.
    int error() const { return error_; }

  private:
    bool WriteThrough(const std::uint8_t* bytes, std::size_t count);

    int fd_;
    int error_ = 0;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t used_ = 0;
};

// The permission bits a newly created file gets from open(): 0666 less the
// process's umask.
mode_t NewFileMode();

// The folder part of path: "." when path names none, "/" for a file
// directly under the root.
std::string DirectoryOf(const std::string& path);

// Whether the existing file at path (whose status is st) may not be written:
// it has no write permission bit at all, or this process may not write it.
bool IsReadOnlyFile(const std::string& path, const struct stat& st);

// path with every symbolic link along its last component followed, also a
// link whose target does not exist yet (so that writing creates the file the
// link names). Returns false with errno ELOOP for a cycle.
bool FollowLinks(const std::string& path, std::string& target);

struct ReplaceOptions {
    // Open a pipe or device target blocking (a shell's ">" does); otherwise
    // one without a reader fails at once instead of hanging.
    bool waitForSpecialFiles = false;
    // Permission bits of a file that did not exist; 0 means NewFileMode().
    mode_t newFileMode = 0;
};

// How a replacement failed: errno (EIO for a write callback that failed
// without one) and whether the file was being created or written. When
// inPlace is set the target itself was being written; damaged says its old
// contents could not be put back, and keptCopy names the file that holds
// them (or, when they could not be kept aside, the new contents).
struct ReplaceResult {
    enum class Stage { Create, Write };
    int error = 0;
    Stage stage = Stage::Create;
    bool inPlace = false;
    bool damaged = false;
    std::string keptCopy;

    bool ok() const { return error == 0; }
};

// Writes the file at path through write. Normally into a temporary file of a
// short fixed pattern in the target's folder, flushed to disk and renamed over
// the target, so that the target holds its old or its whole new contents; the
// temporary file is removed on every failure and on SIGINT, SIGTERM and
// SIGHUP. An existing target keeps its owner, group and mode, less the
// set-user-id and set-group-id bits; a new file gets options.newFileMode.
// The target is written in place instead when it is not a regular file (a
// pipe, a device: written as it is), has other hard links, cannot keep its
// owner through a rename, sits in a folder where no temporary file can be
// created, or cannot be renamed over (a file mounted on its own). A regular
// file written in place keeps its old contents on failure: the new ones are
// written aside first and the whole new size reserved in the target before
// its first byte is overwritten (or, where nothing can be reserved, a copy
// of the old contents is put back). Symbolic links are followed (FollowLinks), so a link
// stays a link. A folder fails with EISDIR; an existing file this process may
// not write fails with EACCES before anything is touched.
ReplaceResult ReplaceFileContents(const std::string& path,
                                  const std::function<bool(FdSink& sink)>& write,
                                  const ReplaceOptions& options = {});

}  // namespace kotoha
