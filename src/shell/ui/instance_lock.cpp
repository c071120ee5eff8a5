#include "shell/ui/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace kotoha {

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire(const std::string& path) {
    Release();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
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

std::string InstanceLock::DefaultPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && ::access(runtime, W_OK) == 0)
        return std::string(runtime) + "/kotoha-hPrevInstance.lock";
    std::error_code error;
    std::string temp = std::filesystem::temp_directory_path(error).string();
    if (error || temp.empty())
        temp = "/tmp";
    return temp + "/kotoha-hPrevInstance-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace kotoha
