// SPDX-License-Identifier: MIT
#include "base/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "small_halves.h"

namespace kotoha {
namespace {

// Bytes that differ from one position to the next, so that a piece read
// into the wrong place shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 4093) & 0xFF);
    return bytes;
}

class WholeFileTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (!path_.empty())
            unlink(path_.c_str());
    }
    int Create(const std::string& bytes) {
        char name[] = "/tmp/kotoha_whole_XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        EXPECT_EQ(lseek(fd, 0, SEEK_SET), 0);
        return fd;
    }
    static std::string Read(int fd) {
        GlobalArray<std::uint8_t> bytes;
        int error = -1;
        EXPECT_EQ(ReadWholeFile(fd, bytes, error), WholeFileStatus::Ok);
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.capacity());
    }

  private:
    std::string path_;
};

// Small and large files (a large one is read by two threads at once), from
// the start and from where the descriptor stands; the descriptor ends at
// the end of the file.
TEST_F(WholeFileTest, ReadsFromWhereTheDescriptorStandsToTheEnd) {
    const SmallHalves halves(256 << 10);
    for (const std::size_t size : {std::size_t{0}, std::size_t{5000}, std::size_t{1} << 20}) {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size);
        const int fd = Create(bytes);
        EXPECT_TRUE(Read(fd) == bytes);
        EXPECT_EQ(lseek(fd, 0, SEEK_CUR), static_cast<off_t>(size));
        if (size > 3000) {
            ASSERT_EQ(lseek(fd, 3000, SEEK_SET), 3000);
            EXPECT_TRUE(Read(fd) == bytes.substr(3000));
        }
        close(fd);
    }
}

// A pipe announces no size and is read until its writer closes it.
TEST_F(WholeFileTest, ReadsAPipeToItsEnd) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string bytes = Pattern(300000);
    std::thread writer([&] {
        EXPECT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(ends[1]);
    });
    EXPECT_TRUE(Read(ends[0]) == bytes);
    writer.join();
    close(ends[0]);
}

}  // namespace
}  // namespace kotoha
