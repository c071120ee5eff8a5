#include "document/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace kotoha {

namespace {

FileResult Failure(int error, FileAccess access) {
    return {ClassifyErrno(error), access};
}

// Where the bytes really go: the file a symbolic link names, so that the link
// itself survives the rename.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Best effort: the file itself is already on disk.
    (void)fsync(fd);
    close(fd);
}

}  // namespace

// The permission bits a newly created file gets from open(): 0666 less the
// process's umask (which can only be read by setting it).
mode_t NewFileMode() {
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

bool FileSink::Write(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd_, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error_ = errno;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

FileResult WriteFileSafely(const std::string& path,
                           const std::function<bool(FileSink& sink)>& write) {
    if (path.empty())
        return Failure(ENOENT, FileAccess::Create);
    const std::string target = ResolveTarget(path);
    mode_t mode = NewFileMode();
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Failure(EISDIR, FileAccess::Create);
        if (IsReadOnlyFile(target, st))
            return Failure(EACCES, FileAccess::Create);
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return Failure(errno, FileAccess::Create);
    }

    const std::string directory = DirectoryOf(target);
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = directory + "/." + base + ".XXXXXX";
    if (pattern.size() >= PATH_MAX)
        pattern = directory + "/.kotoha.XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure(errno, FileAccess::Create);

    const auto abandon = [&](FileResult result) {
        close(fd);
        unlink(temp.data());
        return result;
    };
    if (fchmod(fd, mode) != 0)
        return abandon(Failure(errno, FileAccess::Create));

    FileSink sink(fd);
    if (!write(sink)) {
        return abandon(sink.error() != 0 ? Failure(sink.error(), FileAccess::Write)
                                         : FileResult{FileErrorKind::Generic, FileAccess::Write});
    }
    if (fsync(fd) != 0)
        return abandon(Failure(errno, FileAccess::Write));
    if (close(fd) != 0) {
        const int error = errno;
        unlink(temp.data());
        return Failure(error, FileAccess::Write);
    }
    if (rename(temp.data(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temp.data());
        return Failure(error, FileAccess::Write);
    }
    SyncDirectory(directory);
    return {};
}

}  // namespace kotoha
