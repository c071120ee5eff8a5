// SPDX-License-Identifier: MIT
#include "conv_io.h"

#include "base/whole_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

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

const std::uint8_t* Input::data() const {
    return mapped_.data() != nullptr ? mapped_.data() : bytes_.data();
}

std::uint32_t Input::size() const {
    return mapped_.data() != nullptr ? static_cast<std::uint32_t>(mapped_.size())
                                     : bytes_.capacity();
}

bool Input::changed() const {
    if (mapped_.changed())
        return true;
    if (path_.empty())
        return false;
    // Another file under the name, another size or modification time.
    struct stat now {};
    return stat(path_.c_str(), &now) != 0 || now.st_dev != before_.st_dev ||
           now.st_ino != before_.st_ino || now.st_size != before_.st_size ||
           now.st_mtim.tv_sec != before_.st_mtim.tv_sec ||
           now.st_mtim.tv_nsec != before_.st_mtim.tv_nsec;
}

std::string Input::ChangedError() const {
    return "cannot read " + name_ + ": the file changed while it was read";
}

namespace {

// Whether the output the command writes is the file info describes.
bool IsOutputFile(const struct stat& info, const std::string& output) {
    struct stat target {};
    const bool known = output.empty() || output == "-" ? fstat(STDOUT_FILENO, &target) == 0
                                                       : stat(output.c_str(), &target) == 0;
    return known && target.st_dev == info.st_dev && target.st_ino == info.st_ino;
}

}  // namespace

bool ReadInput(const std::string& path, const std::string& output, Input& input,
               std::string& error) {
    const bool isStdin = path == "-";
    const std::string name = isStdin ? std::string("standard input") : Quoted(path);
    input.name_ = name;
    // Non-blocking, so that a pipe without a writer is refused instead of
    // waited on.
    const int fd =
        isStdin ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = "cannot read " + name + ": " + ErrnoText(errno);
        return false;
    }
    struct stat info {};
    const bool known = fstat(fd, &info) == 0;
    // A pipe named as the file (<(command), /dev/stdin) is read as a stream,
    // like standard input, waiting for its writer as cat does: the same
    // descriptor (what a writer wrote and closed before is in it), made
    // blocking, waits until a writer has written or gone.
    if (!isStdin && known && S_ISFIFO(info.st_mode)) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        pollfd ready{fd, POLLIN, 0};
        while (poll(&ready, 1, -1) < 0 && errno == EINTR) {
        }
    }
    ScopedFd closer(isStdin ? -1 : fd);
    const bool stream = isStdin || (known && S_ISFIFO(info.st_mode));
    // A regular file is watched for changes while it is read.
    if (!isStdin && known && S_ISREG(info.st_mode)) {
        input.path_ = path;
        input.before_ = info;
    }
    if (known) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot read " + name + ": " + ErrnoText(EISDIR);
            return false;
        }
        if (!stream && !S_ISREG(info.st_mode)) {
            error = "cannot read " + name + ": not a regular file";
            return false;
        }
    }
    // A file that announces no size may still have content (/proc): read.
    if (!isStdin && known && S_ISREG(info.st_mode) && info.st_size > 0 &&
        !IsOutputFile(info, output)) {
        if (static_cast<std::uint64_t>(info.st_size) > kMaxInputBytes) {
            error =
                name + " is too long: the limit is " + std::to_string(kMaxInputBytes) + " bytes";
            return false;
        }
        // Mapped, the file is read straight from the page cache; a file that
        // cannot be mapped is read instead.
        int mapError = 0;
        if (input.mapped_.Map(fd, mapError))
            return true;
    }
    int readError = 0;
    switch (ReadWholeFile(fd, input.bytes_, readError)) {
        case WholeFileStatus::Ok:
            // What was read into the block stays what it is: the file is
            // looked at once more, and no longer watched (the output may
            // be written into it).
            if (input.changed()) {
                error = input.ChangedError();
                return false;
            }
            input.path_.clear();
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

namespace {

// The descriptor a name of this process's open descriptors stands for, or -1.
int DescriptorNamedBy(const std::string& path) {
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!path.starts_with(prefix) || path.size() == prefix.size())
            continue;
        int fd = 0;
        for (const char c : std::string_view(path).substr(prefix.size())) {
            if (c < '0' || c > '9' || fd > 100000)
                return -1;
            fd = fd * 10 + (c - '0');
        }
        return fcntl(fd, F_GETFD) != -1 ? fd : -1;
    }
    return -1;
}

}  // namespace

bool WriteOutputFile(const std::string& path, const std::function<bool(ByteSink& sink)>& write,
                     std::string& error) {
    if (const int fd = DescriptorNamedBy(path); fd >= 0) {
        FdSink sink(fd);
        if (write(sink) && sink.Flush())
            return true;
        error = "cannot write " + Quoted(path) + ": " +
                ErrnoText(sink.error() != 0 ? sink.error() : EIO);
        return false;
    }
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
