// SPDX-License-Identifier: MIT
#include "shell/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace kotoha {

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire(const std::string& path) {
    Release();
    if (path.empty())
        return false;
    // Not followed through a link and never a pipe that would block: what
    // another user planted there is not touched.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::string InstanceLock::DefaultPath(const char* runtimeDir, const char* cacheHome,
                                      const char* home) {
    constexpr const char* kName = "/kotoha.lock";
    if (runtimeDir != nullptr && runtimeDir[0] == '/' && ::access(runtimeDir, W_OK) == 0)
        return std::string(runtimeDir) + kName;
    std::string cache;
    if (cacheHome != nullptr && cacheHome[0] == '/')
        cache = cacheHome;
    else if (home != nullptr && home[0] == '/')
        cache = std::string(home) + "/.cache";
    else
        return {};
    std::error_code ignored;
    std::filesystem::create_directories(cache, ignored);
    return cache + kName;
}

std::string InstanceLock::DefaultPath() {
    return DefaultPath(std::getenv("XDG_RUNTIME_DIR"), std::getenv("XDG_CACHE_HOME"),
                       std::getenv("HOME"));
}

}  // namespace kotoha
