#include "conv_io.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "document/safe_file.h"

namespace kotoha::conv {
namespace {

constexpr std::size_t kReadChunkBytes = 64 * 1024;

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

// The temporary file being written, for RemovePendingAndDie; empty when
// there is none. Only changed while the signals below are blocked, so the
// handler never sees half a name.
char pendingTemp[PATH_MAX] = "";
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemovePendingAndDie(int signalNumber) {
    if (pendingTemp[0] != '\0')
        unlink(pendingTemp);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// Sets the name RemovePendingAndDie removes; installs the handler the first
// time a name is set.
void SetPendingTemp(const std::string& path) {
    static bool installed = false;
    sigset_t block, previous;
    sigemptyset(&block);
    for (int signalNumber : kCleanupSignals)
        sigaddset(&block, signalNumber);
    sigprocmask(SIG_BLOCK, &block, &previous);
    if (!installed && !path.empty()) {
        for (int signalNumber : kCleanupSignals) {
            struct sigaction action = {};
            action.sa_handler = RemovePendingAndDie;
            sigaction(signalNumber, &action, nullptr);
        }
        installed = true;
    }
    // A name too long to hold is not cut short (that could name another
    // file): the temporary file is then left behind instead.
    const std::size_t length = path.size() < sizeof pendingTemp ? path.size() : 0;
    std::memcpy(pendingTemp, path.data(), length);
    pendingTemp[length] = '\0';
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

bool ReadWholeInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const bool isStdin = path == "-";
    const std::string name = isStdin ? std::string("standard input") : Quoted(path);
    const int fd = isStdin ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + name + ": " + ErrnoText(errno);
        return false;
    }
    ScopedFd closer(isStdin ? -1 : fd);
    const std::string tooLong =
        name + " is too long: the limit is " + std::to_string(kMaxInputBytes) + " bytes";

    struct stat info;
    if (fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot read " + name + ": " + ErrnoText(EISDIR);
            return false;
        }
        // A regular file announces its size: refuse an oversized one before
        // reading a byte, and read the rest without reallocating.
        if (S_ISREG(info.st_mode)) {
            if (static_cast<std::uint64_t>(info.st_size) > kMaxInputBytes) {
                error = tooLong;
                return false;
            }
            bytes.reserve(static_cast<std::size_t>(info.st_size) + kReadChunkBytes);
        }
    }

    // Pipes and files whose size is not known are read until the end, but
    // never further than one byte past the limit.
    for (;;) {
        const std::size_t used = bytes.size();
        const std::size_t chunk = static_cast<std::size_t>(
            std::min<std::uint64_t>(kReadChunkBytes, kMaxInputBytes + 1 - used));
        bytes.resize(used + chunk);
        const ssize_t got = read(fd, bytes.data() + used, chunk);
        if (got < 0) {
            const int err = errno;
            bytes.resize(used);
            if (err == EINTR)
                continue;
            error = "cannot read " + name + ": " + ErrnoText(err);
            return false;
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0)
            return true;
        if (bytes.size() > kMaxInputBytes) {
            error = tooLong;
            return false;
        }
    }
}

bool FdSink::Write(const std::uint8_t* bytes, std::size_t count) {
    if (error_ != 0)
        return false;
    while (count > 0) {
        const ssize_t written = write(fd_, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error_ = errno;
            return false;
        }
        if (written == 0) {
            error_ = EIO;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
        SetPendingTemp("");
    }
}

bool OutputFile::Open(std::string& error) {
    struct stat target;
    const bool exists = stat(path_.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) {
        error = "cannot write " + Quoted(path_) + ": " + ErrnoText(EISDIR);
        return false;
    }
    // A symbolic link stays a link: the file it points to is what gets
    // replaced.
    target_ = path_;
    if (exists) {
        if (char* resolved = realpath(path_.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
    }
    if (exists && !S_ISREG(target.st_mode)) {
        // A device or a pipe cannot be replaced by renaming (and /dev/null
        // must never be): write to it as it is.
        fd_ = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) {
            error = "cannot write " + Quoted(path_) + ": " + ErrnoText(errno);
            return false;
        }
        sink_ = FdSink(fd_);
        return true;
    }

    std::string pattern = DirectoryOf(target_) + "/.kotoha-conv.XXXXXX";
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error = "cannot write " + Quoted(path_) + ": " + ErrnoText(errno);
        return false;
    }
    tempPath_ = pattern;
    SetPendingTemp(tempPath_);
    // mkstemp creates the file readable by its owner only; give it the mode
    // the target has, or the one a newly created file would get.
    const mode_t mode = exists ? (target.st_mode & 0777) : NewFileMode();
    if (fchmod(fd_, mode) != 0) {
        error = "cannot write " + Quoted(path_) + ": " + ErrnoText(errno);
        Discard();
        return false;
    }
    sink_ = FdSink(fd_);
    return true;
}

std::string OutputFile::WriteError() const {
    return "cannot write " + Quoted(path_) + ": " + ErrnoText(sink_.error());
}

bool OutputFile::Commit(std::string& error) {
    auto fail = [&](int err) {
        error = "cannot write " + Quoted(path_) + ": " + ErrnoText(err);
        Discard();
        return false;
    };
    if (tempPath_.empty()) {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0 && errno != EINTR)
            return fail(errno);
        return true;
    }
    // The data must be on disk before the rename makes it the target, or a
    // crash could leave an empty file under the target's name.
    if (fsync(fd_) != 0)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 && errno != EINTR)
        return fail(errno);
    if (rename(tempPath_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    tempPath_.clear();

    // Make the rename itself durable. The new content is in place already,
    // so a directory that cannot be synced is no reason to fail.
    const int dirFd = open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

}  // namespace kotoha::conv
