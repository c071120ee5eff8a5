// SPDX-License-Identifier: MIT
#include "base/file_replace.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
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
    ReplaceResult result;
    result.error = error != 0 ? error : EIO;
    result.stage = stage;
    result.inPlace = inPlace;
    return result;
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

// WriteAndFlush on fd, then closes it; 0 or the errno of the first failure.
int WriteFlushAndClose(int fd, bool regular, const std::function<bool(FdSink& sink)>& write) {
    int error = WriteAndFlush(fd, regular, write);
    if (close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
}

// Copies the first size bytes of from over the start of to; 0 or errno.
int CopyContents(int from, int to, std::uint64_t size) {
    std::vector<std::uint8_t> buffer(std::size_t{1} << 20);
    for (std::uint64_t offset = 0; offset < size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
        const ssize_t got = pread(from, buffer.data(), want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? errno : EIO;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put =
                pwrite(to, buffer.data() + done, static_cast<std::size_t>(got - done),
                       static_cast<off_t>(offset) + done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put < 0 ? errno : EIO;
            done += put;
        }
        offset += static_cast<std::uint64_t>(got);
    }
    return 0;
}

// Makes fd hold the first size bytes of contents and nothing more, on disk;
// 0 or errno.
int OverwriteWith(int fd, int contents, std::uint64_t size) {
    if (const int error = CopyContents(contents, fd, size); error != 0)
        return error;
    if (ftruncate(fd, static_cast<off_t>(size)) != 0 || fsync(fd) != 0)
        return errno;
    return 0;
}

// A temporary file for the in-place write's copies: in the target's folder
// when it may be written there, else in $TMPDIR or /tmp. Removed when it
// goes out of scope unless kept.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& directory) {
        const char* tmp = std::getenv("TMPDIR");
        for (const std::string& folder :
             {directory, std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp")}) {
            std::string pattern = folder + "/.kotoha-XXXXXX";
            path_.assign(pattern.begin(), pattern.end());
            path_.push_back('\0');
            fd_ = mkostemp(path_.data(), O_CLOEXEC);
            if (fd_ >= 0) {
                (void)fchmod(fd_, 0600);
                return;
            }
            error_ = errno;
        }
    }
    ~ScratchFile() {
        if (fd_ >= 0)
            close(fd_);
        if (fd_ >= 0 && !kept_)
            unlink(path_.data());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    int fd() const { return fd_; }
    int error() const { return error_; }
    const char* path() const { return path_.data(); }
    std::string Keep() {
        kept_ = true;
        return path_.data();
    }

  private:
    std::vector<char> path_;
    int fd_ = -1;
    int error_ = 0;
    bool kept_ = false;
};

// The limit on the size of a file this process may write.
std::uint64_t FileSizeLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return UINT64_MAX;
    return limit.rlim_cur;
}

// A pipe or device: opened (without truncating) and written as it is.
ReplaceResult WriteSpecialFile(const std::string& target,
                               const std::function<bool(FdSink& sink)>& write,
                               const ReplaceOptions& options) {
    int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    if (!options.waitForSpecialFiles)
        flags |= O_NONBLOCK;
    const int fd = open(target.c_str(), flags);
    if (fd < 0)
        return Failure(errno, ReplaceResult::Stage::Create);
    if (flags & O_NONBLOCK)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (const int error = WriteFlushAndClose(fd, false, write); error != 0)
        return Failure(error, ReplaceResult::Stage::Write, true);
    return {};
}

// A regular file that cannot be replaced by a rename, written in place
// without ever losing its old contents: the new contents are written into
// a scratch file first, the whole new size is reserved in the target
// (posix_fallocate, the file size limit checked) before its first byte is
// overwritten, and where no reservation can be made a copy of the old
// contents is kept aside and put back on failure. Only when even that
// fails is the target left damaged, with the copy kept and named.
ReplaceResult WriteRegularInPlace(const std::string& target, const struct stat& existing,
                                  const std::function<bool(FdSink& sink)>& write) {
    using Stage = ReplaceResult::Stage;
    ScratchFile fresh(DirectoryOf(target));
    if (fresh.fd() < 0)
        return Failure(fresh.error(), Stage::Create);
    PendingTempGuard guard(fresh.path());
    if (const int error = WriteAndFlush(fresh.fd(), false, write); error != 0)
        return Failure(error, Stage::Write);
    struct stat written {};
    if (fstat(fresh.fd(), &written) != 0)
        return Failure(errno, Stage::Write);
    const auto newSize = static_cast<std::uint64_t>(written.st_size);
    if (newSize > FileSizeLimit())
        return Failure(EFBIG, Stage::Write);

    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0)
        return Failure(errno, Stage::Create);
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat opened {};
    if (fstat(fd, &opened) != 0)
        return Failure(errno, Stage::Create);
    if (opened.st_dev != existing.st_dev || opened.st_ino != existing.st_ino)
        return Failure(EAGAIN, Stage::Create);
    const auto oldSize = static_cast<std::uint64_t>(opened.st_size);

    const int reserved = newSize == 0 ? 0 : posix_fallocate(fd, 0, static_cast<off_t>(newSize));
    std::unique_ptr<ScratchFile> old;
    if (reserved != 0) {
        if (reserved != EOPNOTSUPP && reserved != EINVAL) {
            // Nothing of the old contents was overwritten; a file the
            // reservation lengthened is cut back.
            struct stat now {};
            if (fstat(fd, &now) == 0 && static_cast<std::uint64_t>(now.st_size) != oldSize)
                (void)ftruncate(fd, static_cast<off_t>(oldSize));
            return Failure(reserved, Stage::Write);
        }
        // No reservation here: the old contents are kept aside first.
        old = std::make_unique<ScratchFile>(DirectoryOf(target));
        if (old->fd() < 0)
            return Failure(old->error(), Stage::Write);
        const int input = open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        int error = input < 0 ? errno : CopyContents(input, old->fd(), oldSize);
        if (input >= 0)
            close(input);
        if (error == 0 && fsync(old->fd()) != 0)
            error = errno;
        if (error != 0)
            return Failure(error, Stage::Write);
    }
    if ((existing.st_mode & 06000) != 0)
        (void)fchmod(fd, existing.st_mode & 01777);
    const int error = OverwriteWith(fd, fresh.fd(), newSize);
    if (error == 0)
        return {};
    ReplaceResult result = Failure(error, Stage::Write, true);
    if (old != nullptr && OverwriteWith(fd, old->fd(), oldSize) == 0) {
        result.inPlace = false;
        return result;
    }
    result.damaged = true;
    // What is left whole: the old contents when they were kept aside, else
    // the new ones.
    result.keptCopy = old != nullptr ? old->Keep() : fresh.Keep();
    return result;
}

// A new file whose temporary file's name would be too long: created and
// written under its own name, removed again on failure.
ReplaceResult CreateInPlace(const std::string& target,
                            const std::function<bool(FdSink& sink)>& write,
                            const ReplaceOptions& options) {
    const mode_t mode = options.newFileMode != 0 ? options.newFileMode : NewFileMode();
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0)
        return Failure(errno, ReplaceResult::Stage::Create);
    const int error = WriteFlushAndClose(fd, true, write);
    if (error == 0)
        return {};
    unlink(target.c_str());
    return Failure(error, ReplaceResult::Stage::Write);
}

ReplaceResult WriteInPlace(const std::string& target, const struct stat& existing,
                           const std::function<bool(FdSink& sink)>& write,
                           const ReplaceOptions& options) {
    if (!S_ISREG(existing.st_mode))
        return WriteSpecialFile(target, write, options);
    return WriteRegularInPlace(target, existing, write);
}

// Writes the temporary file fd (named temp) and renames it over target
// (existing: its status, or nullptr when there is none); sets inPlace,
// with nothing done, when the target must be written in place instead.
ReplaceResult WriteAndRename(int fd, const char* temp, const std::string& target,
                             const struct stat* existing,
                             const std::function<bool(FdSink& sink)>& write,
                             const ReplaceOptions& options, bool& inPlace) {
    using Stage = ReplaceResult::Stage;
    PendingTempGuard guard(temp);
    const bool exists = existing != nullptr;
    const auto abandon = [&](int error, Stage stage) {
        close(fd);
        unlink(temp);
        return Failure(error, stage);
    };
    if (exists && (existing->st_uid != geteuid() || existing->st_gid != getegid()) &&
        fchown(fd, existing->st_uid, existing->st_gid) != 0) {
        // A rename would hand the file to the saver: keep its owner by
        // writing it in place instead.
        close(fd);
        unlink(temp);
        inPlace = true;
        return {};
    }
    // mkstemp creates the file readable by its owner only.
    const mode_t mode = exists                     ? (existing->st_mode & 01777)
                        : options.newFileMode != 0 ? options.newFileMode
                                                   : NewFileMode();
    if (fchmod(fd, mode) != 0)
        return abandon(errno, Stage::Create);

    if (const int error = WriteAndFlush(fd, true, write); error != 0)
        return abandon(error, Stage::Write);
    if (close(fd) != 0) {
        const int error = errno;
        unlink(temp);
        return Failure(error, Stage::Write);
    }
    if (rename(temp, target.c_str()) != 0) {
        const int error = errno;
        unlink(temp);
        // A file mounted on its own cannot be renamed over: written in place.
        inPlace = exists && error == EBUSY;
        if (inPlace)
            return {};
        return Failure(error, Stage::Write);
    }
    SyncDirectory(DirectoryOf(target));
    return {};
}

}  // namespace

FdSink::~FdSink() {
    Flush();
}

bool FdSink::Write(const std::uint8_t* bytes, std::size_t count) {
    if (error_ != 0)
        return false;
    // An empty text may come with no bytes at all.
    if (count == 0)
        return true;
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
        // A file on a read-only medium says so, not that it is protected.
        if (access(target.c_str(), W_OK) != 0 && errno == EROFS)
            return Failure(EROFS, Stage::Create);
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
        // written in place, and so can one whose name leaves no room for
        // the temporary file's under the length limit of a path.
        if (exists && (IsPermissionError(errno) || errno == ENAMETOOLONG))
            return WriteInPlace(target, st, write, options);
        if (!exists && errno == ENAMETOOLONG)
            return CreateInPlace(target, write, options);
        return Failure(errno, Stage::Create);
    }
    bool inPlace = false;
    const ReplaceResult result =
        WriteAndRename(fd, temp.data(), target, exists ? &st : nullptr, write, options, inPlace);
    // The temporary file's guard has ended: the in-place write has its own.
    return inPlace ? WriteInPlace(target, st, write, options) : result;
}

}  // namespace kotoha
