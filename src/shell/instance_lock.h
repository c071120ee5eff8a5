// SPDX-License-Identifier: MIT
// Tells the first running instance from later ones: an advisory lock on a
// file in the user's runtime folder, held for the life of the process and
// dropped by the kernel when it ends, even after a crash.
#pragma once

#include <string>

namespace kotoha {

class InstanceLock {
  public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock at path. True when this process now holds it; false
    // when another process holds it, or the file cannot be opened or is not
    // a regular file of this user's (a symbolic link is never followed): a
    // later instance either way.
    bool Acquire(const std::string& path);
    void Release();
    bool held() const { return fd_ >= 0; }

    // kotoha.lock in a folder only the user writes:
    // $XDG_RUNTIME_DIR, else $XDG_CACHE_HOME, else ~/.cache (created when
    // missing). Never the shared temporary folder; "" when no folder is known.
    static std::string DefaultPath();
    // The same from the given variables (nullptr for unset).
    static std::string DefaultPath(const char* runtimeDir, const char* cacheHome, const char* home);

  private:
    int fd_ = -1;
};

}  // namespace kotoha
