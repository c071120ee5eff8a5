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
    // when another process holds it or the file cannot be opened (a later
    // instance either way).
    bool Acquire(const std::string& path);
    void Release();
    bool held() const { return fd_ >= 0; }

    // $XDG_RUNTIME_DIR/kotoha-hPrevInstance.lock, or, without that folder,
    // the temporary folder's kotoha-hPrevInstance-UID.lock.
    static std::string DefaultPath();

  private:
    int fd_ = -1;
};

}  // namespace kotoha
