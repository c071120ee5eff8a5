// SPDX-License-Identifier: MIT
#include "base/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace kotoha {

namespace {

// The guarded mapping, as the SIGBUS handler sees it.
std::atomic<std::uintptr_t> guardedBegin{0};
std::atomic<std::uintptr_t> guardedEnd{0};
std::atomic<bool> guardedChanged{false};
std::atomic<bool> handlerInstalled{false};

// A page of the mapping the file no longer has: map zeros over it and the
// rest, so that the access that faulted reads them; any other bus error
// ends the process as it would have without the handler.
void OnBusError(int, siginfo_t* info, void*) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    const std::uintptr_t begin = guardedBegin.load();
    const std::uintptr_t end = guardedEnd.load();
    if (begin != 0 && address >= begin && address < end) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const std::uintptr_t from = address - address % page;
        if (mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            guardedChanged.store(true);
            return;
        }
    }
    signal(SIGBUS, SIG_DFL);
}

bool InstallHandler() {
    if (handlerInstalled.load())
        return true;
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGBUS, &action, nullptr) != 0)
        return false;
    handlerInstalled.store(true);
    return true;
}

}  // namespace

MappedFile::~MappedFile() {
    if (mappedBytes_ == 0)
        return;
    guardedBegin.store(0);
    guardedEnd.store(0);
    munmap(const_cast<std::uint8_t*>(data_), mappedBytes_);
}

bool MappedFile::Map(int fd, int& error) {
    error = 0;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = ENODEV;
        return false;
    }
    if (st.st_size == 0)
        return true;
    if (guardedBegin.load() != 0 || !InstallHandler()) {
        error = EBUSY;
        return false;
    }
    const auto bytes = static_cast<std::size_t>(st.st_size);
    void* mapped = mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapped == MAP_FAILED) {
        error = errno;
        return false;
    }
    data_ = static_cast<const std::uint8_t*>(mapped);
    size_ = bytes;
    mappedBytes_ = bytes;
    guardedChanged.store(false);
    guardedEnd.store(reinterpret_cast<std::uintptr_t>(data_) + bytes);
    guardedBegin.store(reinterpret_cast<std::uintptr_t>(data_));
    return true;
}

bool MappedFile::changed() const {
    return mappedBytes_ != 0 && guardedChanged.load();
}

}  // namespace kotoha
