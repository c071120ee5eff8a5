// SPDX-License-Identifier: MIT
#include "base/file_replace.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace kotoha {

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kCleanupSignalCount = sizeof kCleanupSignals / sizeof kCleanupSignals[0];

// The temporary file being written, for the signal handler; empty when there
// is none. Only changed while the cleanup signals are blocked, so that the
// handler never sees half a name.
char pendingTemp[PATH_MAX] = "";
struct sigaction previousActions[kCleanupSignalCount];
bool handlerInstalled[kCleanupSignalCount];

extern "C" void RemovePendingTempAndResignal(int signalNumber) {
    if (pendingTemp[0] != '\0')
        unlink(pendingTemp);
    pendingTemp[0] = '\0';
    for (int i = 0; i < kCleanupSignalCount; ++i) {
        if (kCleanupSignals[i] == signalNumber)
            sigaction(signalNumber, &previousActions[i], nullptr);
    }
    // Delivered once this handler returns, to what was there before (by
    // default: the end of the process).
    raise(signalNumber);
}

// Removes the temporary file when the process is interrupted while it
// exists. Signals the program ignores (nohup) stay ignored.
class PendingTempGuard {
  public:
    explicit PendingTempGuard(const char* path) {
        if (std::strlen(path) >= sizeof pendingTemp)
            return;  // never cut short: that could name another file
        BlockScope block;
        std::strcpy(pendingTemp, path);
        for (int i = 0; i < kCleanupSignalCount; ++i) {
            struct sigaction current = {};
            sigaction(kCleanupSignals[i], nullptr, &current);
            handlerInstalled[i] = current.sa_handler != SIG_IGN;
            if (!handlerInstalled[i])
                continue;
            previousActions[i] = current;
            struct sigaction action = {};
            action.sa_handler = RemovePendingTempAndResignal;
            sigemptyset(&action.sa_mask);
            sigaction(kCleanupSignals[i], &action, nullptr);
        }
        active_ = true;
    }
    ~PendingTempGuard() {
        if (!active_)
            return;
        BlockScope block;
        pendingTemp[0] = '\0';
        for (int i = 0; i < kCleanupSignalCount; ++i) {
            if (handlerInstalled[i])
                sigaction(kCleanupSignals[i], &previousActions[i], nullptr);
            handlerInstalled[i] = false;
        }
    }
    PendingTempGuard(const PendingTempGuard&) = delete;
    PendingTempGuard& operator=(const PendingTempGuard&) = delete;

  private:
    struct BlockScope {
        sigset_t previous;
        BlockScope() {
            sigset_t block;
            sigemptyset(&block);
            for (int signalNumber : kCleanupSignals)
                sigaddset(&block, signalNumber);
            sigprocmask(SIG_BLOCK, &block, &previous);
        }
        ~BlockScope() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
    };
    bool active_ = false;
};

void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Best effort: the file itself is already on disk.
    (void)fsync(fd);
    close(fd);
}

ReplaceResult Failure(int error, ReplaceResult::Stage stage, bool inPlace = false) {
    return {error != 0 ? error : EIO, stage, inPlace};
}

bool IsPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Runs write on fd and flushes the file; 0 or the errno of the failure.
int WriteAndFlush(int fd, bool regular, const std::function<bool(FdSink& sink)>& write) {
    FdSink sink(fd);
    if (!write(sink) || !sink.Flush())
        return sink.error() != 0 ? sink.error() : EIO;
    // Pipes and terminals cannot be flushed to a disk.
    if (regular && fsync(fd) != 0)
        return errno;
    return 0;
}

ReplaceResult WriteInPlace(const std::string& target, const struct stat& existing,
                           const std::function<bool(FdSink& sink)>& write,
                           const ReplaceOptions& options) {
    const bool special = !S_ISREG(existing.st_mode);
    int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_TRUNC;
    if (special && !options.waitForSpecialFiles)
        flags |= O_NONBLOCK;
    const int fd = open(target.c_str(), flags);
    if (fd < 0)
        return Failure(errno, ReplaceResult::Stage::Create);
    if (flags & O_NONBLOCK)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!special && (existing.st_mode & 06000) != 0)
        (void)fchmod(fd, existing.st_mode & 01777);
    int error = WriteAndFlush(fd, !special, write);
    if (close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0)
        return Failure(error, ReplaceResult::Stage::Write, true);
    return {};
}

}  // namespace

FdSink::~FdSink() {
    Flush();
}

bool FdSink::Write(const std::uint8_t* bytes, std::size_t count) {
    if (error_ != 0)
        return false;
    if (used_ + count > kBufferSize && !Flush())
        return false;
    if (count >= kBufferSize)
        return WriteThrough(bytes, count);
    if (!buffer_) {
        // Without memory for the buffer every write goes straight through.
        buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
        if (!buffer_)
            return WriteThrough(bytes, count);
    }
    std::memcpy(buffer_.get() + used_, bytes, count);
    used_ += count;
    return true;
}

bool FdSink::Flush() {
    if (error_ != 0)
        return false;
    const std::size_t count = used_;
    used_ = 0;
    return count == 0 || WriteThrough(buffer_.get(), count);
}

bool FdSink::WriteThrough(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd_, bytes, count);
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

mode_t NewFileMode() {
    // The umask can only be read by setting it.
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool IsReadOnlyFile(const std::string& path, const struct stat& st) {
    // A file without any write permission bit is read-only even for the
    // superuser, whom access() would let write anything.
    return (st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

bool FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t length = readlink(target.c_str(), buffer.data(), buffer.size() - 1);
        if (length < 0)
            return true;
        std::string next(buffer.data(), static_cast<std::size_t>(length));
        if (next.empty())
            return true;
        target = next.front() == '/' ? next : DirectoryOf(target) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

ReplaceResult ReplaceFileContents(const std::string& path,
                                  const std::function<bool(FdSink& sink)>& write,
                                  const ReplaceOptions& options) {
    using Stage = ReplaceResult::Stage;
    if (path.empty())
        return Failure(ENOENT, Stage::Create);
    std::string target;
    if (!FollowLinks(path, target))
        return Failure(errno, Stage::Create);

    struct stat st;
    const bool exists = stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return Failure(errno, Stage::Create);
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return Failure(EISDIR, Stage::Create);
        if (IsReadOnlyFile(target, st))
            return Failure(EACCES, Stage::Create);
        // Other names must see the new text, and a pipe or device is never
        // replaced by a regular file.
        if (!S_ISREG(st.st_mode) || st.st_nlink > 1)
            return WriteInPlace(target, st, write, options);
    }

    // A short fixed pattern always fits the name limit, however long the
    // target's own name is.
    const std::string directory = DirectoryOf(target);
    std::string pattern = directory + "/.kotoha-XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        // A writable file in a folder the user may not write can still be
        // written in place.
        if (exists && IsPermissionError(errno))
            return WriteInPlace(target, st, write, options);
        return Failure(errno, Stage::Create);
    }
    PendingTempGuard guard(temp.data());
    const auto abandon = [&](int error, Stage stage) {
        close(fd);
        unlink(temp.data());
        return Failure(error, stage);
    };

    if (exists && (st.st_uid != geteuid() || st.st_gid != getegid()) &&
        fchown(fd, st.st_uid, st.st_gid) != 0) {
        // A rename would hand the file to the saver: keep its owner by
        // writing it in place instead.
        close(fd);
        unlink(temp.data());
        return WriteInPlace(target, st, write, options);
    }
    // mkstemp creates the file readable by its owner only.
    const mode_t mode = exists                     ? (st.st_mode & 01777)
                        : options.newFileMode != 0 ? options.newFileMode
                                                   : NewFileMode();
    if (fchmod(fd, mode) != 0)
        return abandon(errno, Stage::Create);

    if (const int error = WriteAndFlush(fd, true, write); error != 0)
        return abandon(error, Stage::Write);
    if (close(fd) != 0) {
        const int error = errno;
        unlink(temp.data());
        return Failure(error, Stage::Write);
    }
    if (rename(temp.data(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temp.data());
        return Failure(error, Stage::Write);
    }
    SyncDirectory(directory);
    return {};
}

}  // namespace kotoha
