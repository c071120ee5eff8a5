// SPDX-License-Identifier: MIT
// The one safe file writer: every kind of target, the fallbacks, and what is
// left behind after failures and signals.
#include "base/file_replace.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cerrno>
#include <climits>
#include <functional>
#include <string>

#include "temp_dir.h"

namespace kotoha {
namespace {

using testing::TempDir;

std::function<bool(FdSink&)> Writing(std::string text) {
    return [text](FdSink& sink) {
        return sink.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

// Runs body in a child process as the unprivileged user "nobody" when the
// tests run as root (who may write anything), else in this process; returns
// body's result.
int AsUnprivilegedUser(const std::function<int()>& body) {
    if (geteuid() != 0)
        return body();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

// Small writes wait in the buffer until it is full or flushed; a write of
// the buffer's size goes through after what was buffered; the order of the
// bytes never changes.
TEST(FdSink, CollectsSmallWritesAndKeepsTheirOrder) {
    TempDir dir;
    const std::string file = dir.Path("sink.bin");
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const auto bytes = [](const std::string& text) {
        return reinterpret_cast<const std::uint8_t*>(text.data());
    };
    std::string sent;
    {
        FdSink sink(fd);
        for (int i = 0; i < 100; ++i) {
            const std::string chunk(512, static_cast<char>('a' + i % 26));
            ASSERT_TRUE(sink.Write(bytes(chunk), chunk.size()));
            sent += chunk;
        }
        EXPECT_EQ(TempDir::Read(file), "");  // nothing written yet
        const std::string big(FdSink::kBufferSize, 'Z');
        ASSERT_TRUE(sink.Write(bytes(big), big.size()));
        sent += big;
        EXPECT_EQ(TempDir::Read(file), sent);
        ASSERT_TRUE(sink.Write(bytes("tail"), 4));
        sent += "tail";
        ASSERT_TRUE(sink.Flush());
        EXPECT_EQ(TempDir::Read(file), sent);
        // Filling the buffer exactly writes it when the next byte comes.
        const std::string full(FdSink::kBufferSize, 'f');
        ASSERT_TRUE(sink.Write(bytes(full), 100));
        ASSERT_TRUE(sink.Write(bytes(full), full.size() - 100));
        EXPECT_EQ(TempDir::Read(file).size(), sent.size());
        ASSERT_TRUE(sink.Write(bytes("!"), 1));
        sent += full;
        EXPECT_EQ(TempDir::Read(file), sent);
        // The destructor writes what a caller did not flush.
    }
    EXPECT_EQ(TempDir::Read(file), sent + "!");
    close(fd);
}

// A failure found when the buffer is written is kept: the flush reports
// it, and every later write fails at once.
TEST(FdSink, FailureShowsAtTheFlushAndStopsLaterWrites) {
    const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    FdSink sink(fd);
    EXPECT_TRUE(sink.Write(reinterpret_cast<const std::uint8_t*>("abc"), 3));
    EXPECT_FALSE(sink.Flush());
    EXPECT_EQ(sink.error(), ENOSPC);
    EXPECT_FALSE(sink.Write(reinterpret_cast<const std::uint8_t*>("d"), 1));
    EXPECT_FALSE(sink.Flush());
    close(fd);
}

TEST(ReplaceFileContents, TargetsOfEveryKind) {
    TempDir dir;
    const std::string longName(250, 'n');
    struct Case {
        std::string name;
        std::function<std::string()> prepare;  // returns the path to write
        std::string file;                      // the file that must hold "new"
    };
    const Case cases[] = {
        {"new file", [&] { return dir.Path("fresh.txt"); }, "fresh.txt"},
        {"existing file", [&] { return dir.Write("old.txt", "old"); }, "old.txt"},
        {"name of 250 bytes", [&] { return dir.Write(longName, "old"); }, longName},
        {"link to a file",
         [&] {
             dir.Write("linked.txt", "old");
             symlink("linked.txt", dir.Path("link1").c_str());
             return dir.Path("link1");
         },
         "linked.txt"},
        {"dangling link",
         [&] {
             symlink("created-by-save.txt", dir.Path("link2").c_str());
             return dir.Path("link2");
         },
         "created-by-save.txt"},
        {"link to a link",
         [&] {
             dir.Write("deep.txt", "old");
             symlink("deep.txt", dir.Path("inner").c_str());
             symlink(dir.Path("inner").c_str(), dir.Path("outer").c_str());
             return dir.Path("outer");
         },
         "deep.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.prepare();
        const ReplaceResult result = ReplaceFileContents(path, Writing("new"));
        EXPECT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(TempDir::Read(dir.Path(c.file)), "new");
    }
    struct stat st {};
    ASSERT_EQ(lstat(dir.Path("link2").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    // No temporary file is left anywhere.
    for (const std::string& name : dir.List())
        EXPECT_NE(name.rfind(".kotoha", 0), 0u) << name;
}

TEST(ReplaceFileContents, KeepsModeOwnerAndDropsSetIdBits) {
    TempDir dir;
    const std::string file = dir.Write("mode.txt", "old");
    chmod(file.c_str(), 06640);
    ASSERT_TRUE(ReplaceFileContents(file, Writing("new")).ok());
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0640u);

    const mode_t mask = umask(027);
    ASSERT_TRUE(ReplaceFileContents(dir.Path("made.txt"), Writing("x")).ok());
    umask(mask);
    EXPECT_EQ(StatOf(dir.Path("made.txt")).st_mode & 07777, 0640u);

    if (geteuid() == 0) {
        const std::string owned = dir.Write("owned.txt", "old");
        ASSERT_EQ(chown(owned.c_str(), 65534, 65534), 0);
        ASSERT_TRUE(ReplaceFileContents(owned, Writing("new")).ok());
        EXPECT_EQ(StatOf(owned).st_uid, 65534u);
        EXPECT_EQ(StatOf(owned).st_gid, 65534u);
        EXPECT_EQ(TempDir::Read(owned), "new");
    }
}

TEST(ReplaceFileContents, HardLinkedFileIsWrittenInPlace) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "old");
    ASSERT_EQ(link(file.c_str(), dir.Path("b.txt").c_str()), 0);
    const ino_t inode = StatOf(file).st_ino;
    ASSERT_TRUE(ReplaceFileContents(file, Writing("new text")).ok());
    EXPECT_EQ(StatOf(file).st_ino, inode);
    EXPECT_EQ(TempDir::Read(dir.Path("b.txt")), "new text");
}

TEST(ReplaceFileContents, PipeIsWrittenAndNeverReplaced) {
    TempDir dir;
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Without a reader the write fails at once instead of waiting.
    const ReplaceResult alone = ReplaceFileContents(fifo, Writing("x"));
    EXPECT_EQ(alone.error, ENXIO);

    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(ReplaceFileContents(fifo, Writing("through")).ok());
    char buffer[16] = {};
    EXPECT_EQ(read(reader, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "through");
    close(reader);
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
}

TEST(ReplaceFileContents, RefusalsTouchNothing) {
    TempDir dir;
    const std::string readOnly = dir.Write("ro.txt", "old");
    chmod(readOnly.c_str(), 0444);
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {readOnly, EACCES},
        {dir.path(), EISDIR},
        {dir.Path("missing/x.txt"), ENOENT},
        {"", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        bool called = false;
        const ReplaceResult result = ReplaceFileContents(c.path, [&](FdSink&) {
            called = true;
            return true;
        });
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.stage, ReplaceResult::Stage::Create);
        EXPECT_FALSE(called);
    }
    EXPECT_EQ(TempDir::Read(readOnly), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"ro.txt"});
}

TEST(ReplaceFileContents, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.Write("t.txt", "old");
    const ReplaceResult result = ReplaceFileContents(file, [](FdSink& sink) {
        sink.Write(reinterpret_cast<const std::uint8_t*>("partial"), 7);
        return false;
    });
    EXPECT_EQ(result.error, EIO);
    EXPECT_EQ(result.stage, ReplaceResult::Stage::Write);
    EXPECT_FALSE(result.inPlace);
    EXPECT_EQ(TempDir::Read(file), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"t.txt"});
}

TEST(ReplaceFileContents, WritableFileInAFolderThatIsNotIsWrittenInPlace) {
    TempDir dir;
    chmod(dir.path().c_str(), 0755);
    const std::string folder = dir.Path("locked");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string file = folder + "/f.txt";
    TempDir::WriteAt(file, "old");
    chmod(file.c_str(), 0666);
    if (geteuid() != 0)
        chmod(folder.c_str(), 0555);
    const int status = AsUnprivilegedUser([&] {
        const ReplaceResult result = ReplaceFileContents(file, Writing("new"));
        return result.ok() ? 0 : 1;
    });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TempDir::Read(file), "new");
}

TEST(ReplaceFileContents, SomeoneElsesFileKeepsItsOwner) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs a second user";
    TempDir dir;
    chmod(dir.path().c_str(), 0777);
    const std::string file = dir.Write("root.txt", "old");
    chmod(file.c_str(), 0666);
    const int status =
        AsUnprivilegedUser([&] { return ReplaceFileContents(file, Writing("new")).ok() ? 0 : 1; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(StatOf(file).st_uid, 0u);
    EXPECT_EQ(TempDir::Read(file), "new");
}

TEST(ReplaceFileContents, FullDiskKeepsTheOldFile) {
    TempDir dir;
    const std::string mountPoint = dir.Path("small");
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
    if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const std::string file = mountPoint + "/t.txt";
    TempDir::WriteAt(file, "old");
    const std::string big(1 << 20, 'x');
    const ReplaceResult result = ReplaceFileContents(file, Writing(big));
    const std::string after = TempDir::Read(file);
    int left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mountPoint))
        left += entry.path().filename() != "t.txt";
    umount(mountPoint.c_str());
    EXPECT_EQ(result.error, ENOSPC);
    EXPECT_EQ(after, "old");
    EXPECT_EQ(left, 0);
}

// A file written in place (other names link it) on a full disk or beyond
// the file size limit keeps its old contents byte for byte, with nothing
// left beside it.
TEST(ReplaceFileContents, FailedInPlaceWriteKeepsTheOldContents) {
    TempDir dir;
    const std::string mountPoint = dir.Path("small");
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
    if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const std::string file = mountPoint + "/t.txt";
    std::string old(1536 * 1024, 'o');
    for (std::size_t i = 0; i < old.size(); i += 4093)
        old[i] = static_cast<char>(i / 4093);
    TempDir::WriteAt(file, old);
    const std::string other = mountPoint + "/link.txt";
    const bool linked = link(file.c_str(), other.c_str()) == 0;
    const ReplaceResult full = ReplaceFileContents(file, Writing(std::string(1 << 20, 'n')));
    const std::string afterFull = TempDir::Read(file);
    // Beyond the size limit, in a child that may not write a file that long.
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const ReplaceResult result = ReplaceFileContents(file, Writing(std::string(1 << 17, 'n')));
        _exit(result.error == EFBIG && !result.damaged ? 0 : 1);
    }
    int status = 1;
    waitpid(child, &status, 0);
    const std::string afterLimit = TempDir::Read(file);
    int left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mountPoint))
        left += entry.path().filename() != "t.txt" && entry.path().filename() != "link.txt";
    umount(mountPoint.c_str());
    ASSERT_TRUE(linked);
    EXPECT_EQ(full.error, ENOSPC);
    EXPECT_FALSE(full.damaged);
    EXPECT_TRUE(afterFull == old);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(afterLimit == old);
    EXPECT_EQ(left, 0);
}

// Targets a rename cannot replace are still written: a file mounted on its
// own (rename fails with EBUSY), and a name so long that the temporary
// file's would pass the path length limit.
TEST(ReplaceFileContents, WritesWhereARenameCannot) {
    TempDir dir;
    const std::string file = dir.Write("file.txt", "old");
    const std::string mounted = dir.Write("mounted.txt", "other");
    if (mount(mounted.c_str(), file.c_str(), nullptr, MS_BIND, nullptr) == 0) {
        const ReplaceResult result = ReplaceFileContents(file, Writing("new"));
        const std::string after = TempDir::Read(file);
        umount(file.c_str());
        EXPECT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(after, "new");
        EXPECT_EQ(TempDir::Read(mounted), "new");
    }
    // Folders of 200 bytes down to a path a few bytes short of PATH_MAX.
    std::string path = dir.path();
    while (path.size() + 201 + 20 < PATH_MAX) {
        path += "/" + std::string(200, 'd');
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    }
    path += "/" + std::string(PATH_MAX - 2 - path.size(), 'f');
    ASSERT_EQ(path.size(), PATH_MAX - 1u);
    EXPECT_TRUE(ReplaceFileContents(path, Writing("created")).ok());
    EXPECT_EQ(TempDir::Read(path), "created");
    EXPECT_TRUE(ReplaceFileContents(path, Writing("replaced")).ok());
    EXPECT_EQ(TempDir::Read(path), "replaced");
}

TEST(ReplaceFileContents, DeviceThatFailsReportsAnInPlaceFailure) {
    const ReplaceResult result = ReplaceFileContents("/dev/full", Writing("x"));
    EXPECT_EQ(result.error, ENOSPC);
    EXPECT_EQ(result.stage, ReplaceResult::Stage::Write);
    EXPECT_TRUE(result.inPlace);
}

TEST(ReplaceFileContents, InterruptedWriteLeavesNoTemporaryFile) {
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        TempDir dir;
        const std::string file = dir.Write("t.txt", "old");
        const pid_t child = fork();
        if (child == 0) {
            ReplaceFileContents(file, [&](FdSink& sink) {
                sink.Write(reinterpret_cast<const std::uint8_t*>("half"), 4);
                raise(signalNumber);
                return true;
            });
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_EQ(dir.List(), std::vector<std::string>{"t.txt"});
        EXPECT_EQ(TempDir::Read(file), "old");
    }
    // The handlers are gone again after a save.
    struct sigaction action {};
    sigaction(SIGTERM, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace kotoha
