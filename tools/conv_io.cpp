// SPDX-License-Identifier: MIT
#include "conv_io.h"

#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kotoha::conv {
namespace {

std::string ErrnoText(int err) {
    return std::strerror(err);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Closes a descriptor this file opened when the scope ends.
class ScopedFd {
  public:
    explicit ScopedFd(int fd) : fd_(fd) {}
    ~ScopedFd() {
        if (fd_ >= 0)
            close(fd_);
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;

  private:
    int fd_;
};

}  // namespace

bool ReadWholeInput(const std::string& path, GlobalArray<std::uint8_t>& bytes, std::string& error) {
    const bool isStdin = path == "-";
    const std::string name = isStdin ? std::string("standard input") : Quoted(path);
    // Non-blocking, so that a pipe without a writer is refused instead of
    // waited on.
    const int fd =
        isStdin ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = "cannot read " + name + ": " + ErrnoText(errno);
        return false;
    }
    ScopedFd closer(isStdin ? -1 : fd);
    struct stat info;
    if (fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot read " + name + ": " + ErrnoText(EISDIR);
            return false;
        }
        if (!isStdin && !S_ISREG(info.st_mode)) {
            error = "cannot read " + name + ": not a regular file";
            return false;
        }
    }
    int readError = 0;
    switch (ReadWholeFile(fd, bytes, readError)) {
        case WholeFileStatus::Ok:
            return true;
        case WholeFileStatus::ReadError:
            error = "cannot read " + name + ": " + ErrnoText(readError);
            return false;
        case WholeFileStatus::TooLong:
            error =
                name + " is too long: the limit is " + std::to_string(kMaxInputBytes) + " bytes";
            return false;
        case WholeFileStatus::OutOfMemory:
            break;
    }
    error = "out of memory";
    return false;
}

bool WriteOutputFile(const std::string& path, const std::function<bool(ByteSink& sink)>& write,
                     std::string& error) {
    ReplaceOptions options;
    options.waitForSpecialFiles = true;
    const ReplaceResult result = ReplaceFileContents(
        path, [&](FdSink& sink) { return write(sink); }, options);
    if (result.ok())
        return true;
    error = "cannot write " + Quoted(path) + ": " + ErrnoText(result.error);
    return false;
}

}  // namespace kotoha::conv
