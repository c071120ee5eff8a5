// SPDX-License-Identifier: MIT
#include "base/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kotoha {

namespace {

constexpr std::uint32_t kGrowBytes = 1 << 20;

// read() that retries an interrupted call; -1 with errno set on failure.
ssize_t ReadSome(int fd, void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = read(fd, buffer, count);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

}  // namespace

WholeFileStatus ReadWholeFile(int fd, GlobalArray<std::uint8_t>& bytes, int& error) {
    bytes.Free();
    error = 0;
    const auto fail = [&](WholeFileStatus status) {
        bytes.Free();
        return status;
    };
    struct stat st;
    std::uint64_t announced = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        announced = static_cast<std::uint64_t>(st.st_size);
    if (announced > UINT32_MAX)
        return WholeFileStatus::TooLong;
    if (announced > 0 && !bytes.SetSize(static_cast<std::uint32_t>(announced)))
        return WholeFileStatus::OutOfMemory;

    std::uint32_t done = 0;
    for (;;) {
        if (done == bytes.capacity()) {
            // Full: see whether the file goes on before growing the block, so
            // that a file of exactly its announced size is never copied.
            std::uint8_t probe[64 * 1024];
            const ssize_t got = ReadSome(fd, probe, sizeof probe);
            if (got < 0) {
                error = errno;
                return fail(WholeFileStatus::ReadError);
            }
            if (got == 0)
                break;
            const std::uint64_t wanted = std::uint64_t{done} + static_cast<std::uint64_t>(got);
            if (wanted > UINT32_MAX)
                return fail(WholeFileStatus::TooLong);
            const std::uint64_t grown = std::min<std::uint64_t>(
                UINT32_MAX,
                std::max<std::uint64_t>(wanted, std::uint64_t{done} + done / 2 + kGrowBytes));
            if (!bytes.SetSize(static_cast<std::uint32_t>(grown)))
                return fail(WholeFileStatus::OutOfMemory);
            std::memcpy(bytes.data() + done, probe, static_cast<std::size_t>(got));
            done = static_cast<std::uint32_t>(wanted);
            continue;
        }
        const ssize_t got = ReadSome(fd, bytes.data() + done, bytes.capacity() - done);
        if (got < 0) {
            error = errno;
            return fail(WholeFileStatus::ReadError);
        }
        if (got == 0)
            break;
        done += static_cast<std::uint32_t>(got);
    }
    if (!bytes.SetSize(done))
        return fail(WholeFileStatus::OutOfMemory);
    return WholeFileStatus::Ok;
}

}  // namespace kotoha
