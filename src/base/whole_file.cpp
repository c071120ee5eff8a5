// SPDX-License-Identifier: MIT
#include "base/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/side_by_side.h"

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

// Reads up to count bytes at offset with pread (the descriptor's offset
// stays); the bytes read, fewer at the end of the file. error is set on
// failure.
std::size_t ReadAt(int fd, std::uint8_t* buffer, std::size_t count, off_t offset, int& error) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            pread(fd, buffer + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Reads the first count bytes of the file from start into buffer, each half
// copied out of the page cache by a thread of its own (the copy is most of a
// read's time); the bytes read without a gap, fewer when the file ended
// sooner. error is set on failure.
std::uint32_t ReadInTwoHalves(int fd, std::uint8_t* buffer, std::uint32_t count, off_t start,
                              int& error) {
    const std::uint32_t half = count / 2;
    int firstError = 0;
    int secondError = 0;
    std::size_t firstDone = 0;
    std::size_t secondDone = 0;
    RunSideBySide(
        [&] { firstDone = ReadAt(fd, buffer, half, start, firstError); },
        [&] { secondDone = ReadAt(fd, buffer + half, count - half, start + half, secondError); });
    error = firstError != 0 ? firstError : secondError;
    return static_cast<std::uint32_t>(firstDone < half ? firstDone : half + secondDone);
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
    const off_t start = announced >= SideBySideBytes() ? lseek(fd, 0, SEEK_CUR) : -1;
    if (start >= 0) {
        done = ReadInTwoHalves(fd, bytes.data(), bytes.capacity(), start, error);
        if (error != 0)
            return fail(WholeFileStatus::ReadError);
        // On from there, as one read() would have left the descriptor.
        if (lseek(fd, start + static_cast<off_t>(done), SEEK_SET) < 0) {
            error = errno;
            return fail(WholeFileStatus::ReadError);
        }
    }
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
