// SPDX-License-Identifier: MIT
#include "base/mapped_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

namespace kotoha {
namespace {

// A temporary file holding the given bytes, open for reading and writing.
class TempFile {
  public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/kotoha_mapped_XXXXXX";
        fd_ = mkstemp(name);
        path_ = name;
        EXPECT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    ~TempFile() {
        close(fd_);
        unlink(path_.c_str());
    }
    int fd() const { return fd_; }

  private:
    int fd_ = -1;
    std::string path_;
};

std::string Contents(const MappedFile& file) {
    return std::string(reinterpret_cast<const char*>(file.data()), file.size());
}

TEST(MappedFile, HoldsTheFileAndAnEmptyFileIsEmpty) {
    const std::string bytes(100000, 'k');
    TempFile file(bytes);
    MappedFile mapped;
    int error = -1;
    ASSERT_TRUE(mapped.Map(file.fd(), error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(Contents(mapped), bytes);
    EXPECT_FALSE(mapped.changed());

    TempFile empty("");
    MappedFile mappedEmpty;
    ASSERT_TRUE(mappedEmpty.Map(empty.fd(), error));
    EXPECT_EQ(mappedEmpty.size(), 0u);
}

TEST(MappedFile, OnlyRegularFilesAndOneGuardedMappingAtATime) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    MappedFile fromPipe;
    int error = 0;
    EXPECT_FALSE(fromPipe.Map(pipeEnds[0], error));
    EXPECT_EQ(error, ENODEV);
    close(pipeEnds[0]);
    close(pipeEnds[1]);

    TempFile file("first");
    TempFile other("second");
    auto first = std::make_unique<MappedFile>();
    ASSERT_TRUE(first->Map(file.fd(), error));
    {
        MappedFile second;
        EXPECT_FALSE(second.Map(other.fd(), error));
        EXPECT_EQ(error, EBUSY);
    }
    // Once the first is gone another may be mapped.
    first.reset();
    MappedFile third;
    EXPECT_TRUE(third.Map(other.fd(), error));
    EXPECT_EQ(Contents(third), "second");
}

// A file cut short while mapped: the pages it lost read as zeros and the
// mapping says it changed, where an unguarded read would end the process.
TEST(MappedFile, FileCutShortWhileMappedReadsZerosAndTellsSo) {
    const long page = sysconf(_SC_PAGESIZE);
    const std::string bytes(static_cast<std::size_t>(page) * 4, 'x');
    TempFile file(bytes);
    MappedFile mapped;
    int error = 0;
    ASSERT_TRUE(mapped.Map(file.fd(), error));
    ASSERT_EQ(ftruncate(file.fd(), page), 0);
    const std::string seen = Contents(mapped);
    EXPECT_TRUE(mapped.changed());
    EXPECT_EQ(seen.substr(0, static_cast<std::size_t>(page)),
              std::string(static_cast<std::size_t>(page), 'x'));
    EXPECT_EQ(seen.substr(static_cast<std::size_t>(page)),
              std::string(static_cast<std::size_t>(page) * 3, '\0'));
}

}  // namespace
}  // namespace kotoha
