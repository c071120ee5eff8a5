// SPDX-License-Identifier: MIT
// Runs the built kotoha-conv as a separate process: bytes in on standard
// input or from files, and its standard output, standard error and exit
// status checked.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ConvRun {
    int status = -1;  // exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The same text in each encoding, with LF line breaks: kanji, half-width
// katakana with voiced and semi-voiced marks, ASCII, hiragana.
const std::map<std::string, std::string> kText = {
    {"sjis", "\x8a\xbf\x8e\x9a\xb6\xde\xca\xdf A\n\x82\xd9\x82\xf1\n"},
    {"euc", "\xb4\xc1\xbb\xfa\x8e\xb6\x8e\xde\x8e\xca\x8e\xdf A\n\xa4\xdb\xa4\xf3\n"},
    {"jis",
     "\x1b$B4A;z\x1b(I6^J_\x1b(B A\n"
     "\x1b$B$[$s\x1b(B\n"},
    {"utf8",
     "\xe6\xbc\xa2\xe5\xad\x97\xef\xbd\xb6\xef\xbe\x9e\xef\xbe\x8a\xef\xbe\x9f A\n"
     "\xe3\x81\xbb\xe3\x82\x93\n"},
};
// The text above with its katakana widened (ga, pa).
const std::map<std::string, std::string> kWidened = {
    {"sjis", "\x8a\xbf\x8e\x9a\x83K\x83p A\n\x82\xd9\x82\xf1\n"},
    {"euc", "\xb4\xc1\xbb\xfa\xa5\xac\xa5\xd1 A\n\xa4\xdb\xa4\xf3\n"},
    {"jis", "\x1b$B4A;z%,%Q\x1b(B A\n\x1b$B$[$s\x1b(B\n"},
    {"utf8", "\xe6\xbc\xa2\xe5\xad\x97\xe3\x82\xac\xe3\x83\x91 A\n\xe3\x81\xbb\xe3\x82\x93\n"},
};

class ConvTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kotoha-conv-test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs kotoha-conv with args and input on standard input. Standard output
    // goes to stdoutFd when given, else it is captured; fileSizeLimit, when
    // not 0, caps the size of any file the command writes.
    ConvRun Run(const std::vector<std::string>& args, const std::string& input = "",
                int stdoutFd = -1, rlim_t fileSizeLimit = 0) {
        WriteFile(dir_ / "stdin", input);
        return RunWithStdin(args, open((dir_ / "stdin").c_str(), O_RDONLY), stdoutFd,
                            fileSizeLimit);
    }
    // Run with standard input from the descriptor in, which it closes.
    ConvRun RunWithStdin(const std::vector<std::string>& args, int in, int stdoutFd = -1,
                         rlim_t fileSizeLimit = 0) {
        const int out = open((dir_ / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open((dir_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<std::string> words = {KOTOHA_CONV_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        const pid_t pid = fork();
        if (pid == 0) {
            dup2(in, 0);
            dup2(stdoutFd >= 0 ? stdoutFd : out, 1);
            dup2(err, 2);
            if (fileSizeLimit != 0) {
                const rlimit limit = {fileSizeLimit, fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in);
        close(out);
        close(err);
        ConvRun run;
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = ReadFile(dir_ / "stdout");
        run.err = ReadFile(dir_ / "stderr");
        return run;
    }

    // Names in the scratch directory other than the ones Run uses.
    std::set<std::string> OtherFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename();
            if (name != "stdin" && name != "stdout" && name != "stderr")
                names.insert(name);
        }
        return names;
    }

    fs::path dir_;
};

// One line on standard error, starting with the command's name.
void ExpectOneErrorLine(const ConvRun& run, int status, const std::string& fragment) {
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("kotoha-conv: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
}

// Number of half-width katakana (U+FF61-U+FF9F) in UTF-8 text.
int HalfWidthKanaIn(const std::string& utf8) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
        const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
        if (static_cast<unsigned char>(utf8[i]) == 0xEF &&
            ((b1 == 0xBD && b2 >= 0xA1) || (b1 == 0xBE && b2 <= 0x9F))) {
            ++count;
        }
    }
    return count;
}

// Every sample is named <text>.<encoding>.<line break>.txt: its guess must
// name that encoding and line break with certainty, count the master text's
// half-width katakana, and its UTF-8 form must be the master text.
TEST_F(ConvTest, SamplesAreGuessedAndConvertBackToTheirMasters) {
    const std::map<std::string, std::string> encodings = {{"sjis", "SJIS choice=1 candidates=1"},
                                                          {"jis", "JIS choice=2 candidates=2"},
                                                          {"euc", "EUC choice=4 candidates=4"}};
    const std::map<std::string, std::string> lineBreaks = {
        {"crlf", "WIN"}, {"lf", "UX"}, {"cr", "MAC"}};
    std::set<std::string> kindsSeen;
    for (const auto& entry : fs::directory_iterator(KOTOHA_SAMPLES_DIR)) {
        const fs::path path = entry.path();
        if (path.extension() != ".txt")
            continue;
        SCOPED_TRACE(path.filename().string());
        const fs::path eol = path.stem().extension();
        const fs::path encoding = path.stem().stem().extension();
        const std::string text = path.stem().stem().stem().string();
        ASSERT_TRUE(encodings.contains(encoding.string().substr(1)));
        ASSERT_TRUE(lineBreaks.contains(eol.string().substr(1)));
        const std::string master = ReadFile(fs::path(KOTOHA_SAMPLES_DIR) / "src" / (text + ".txt"));
        ASSERT_FALSE(master.empty());
        kindsSeen.insert(encoding.string() + eol.string());

        std::string guess = encodings.at(encoding.string().substr(1));
        guess.insert(guess.find(' '), " linebreak=" + lineBreaks.at(eol.string().substr(1)));
        EXPECT_EQ(Run({"--guess", path}).out,
                  "encoding=" + guess + " kana=" + std::to_string(HalfWidthKanaIn(master)) + "\n");
        EXPECT_EQ(Run({"--to=utf8", "--eol=ux", path}).out, master);
    }
    EXPECT_EQ(kindsSeen.size(), 9u);
}

TEST_F(ConvTest, ConvertsBetweenEveryPairOfEncodings) {
    for (const std::string from : {"sjis", "jis", "euc"}) {
        for (const std::string to : {"sjis", "jis", "euc", "utf8"}) {
            SCOPED_TRACE(from + " to " + to);
            const std::string force = "-" + from.substr(0, 1);
            EXPECT_EQ(Run({force, "--to=" + to}, kText.at(from)).out, kText.at(to));
            EXPECT_EQ(Run({"--to=" + to}, kText.at(from)).out, kText.at(to));
            EXPECT_EQ(Run({"--to=" + to, "--widen", "-"}, kText.at(from)).out, kWidened.at(to));
        }
    }
}

TEST_F(ConvTest, WritesTheChosenLineBreaks) {
    struct Case {
        std::string input, eol, expected;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", "keep", "a\r\nb\r\n"}, {"a\nb\n", "keep", "a\nb\n"},
        {"a\rb\r", "keep", "a\rb\r"},         {"a\r\nb\nc\r", "keep", "a\nb\nc\n"},
        {"a\nb\n", "win", "a\r\nb\r\n"},      {"a\r\nb\r\n", "ux", "a\nb\n"},
        {"a\r\nb\n", "mac", "a\rb\r"},        {"ab", "win", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input + " --eol=" + c.eol);
        EXPECT_EQ(Run({"--eol=" + c.eol}, c.input).out, c.expected);
    }
}

TEST_F(ConvTest, GuessReportsDetectionOrTheForcedKind) {
    struct Case {
        std::vector<std::string> args;
        std::string input, expected;
    };
    const std::string eucAi = "\xa4\xa2\xa4\xa4";  // valid EUC and valid Shift-JIS
    const Case cases[] = {
        {{}, "", "SJIS linebreak=WIN choice=0 candidates=0 kana=0"},
        {{}, "abc\n", "SJIS linebreak=UX choice=0 candidates=0 kana=0"},
        {{}, "a\r\nb\n", "SJIS linebreak=MIXED choice=0 candidates=0 kana=0"},
        {{}, kText.at("jis"), "JIS linebreak=UX choice=2 candidates=2 kana=4"},
        {{}, eucAi, "SJIS linebreak=WIN choice=1 candidates=5 kana=4"},
        {{"--prefer-internet"}, eucAi, "EUC linebreak=WIN choice=4 candidates=5 kana=0"},
        {{"-s"}, "", "SJIS linebreak=WIN choice=1 candidates=1 kana=0"},
        {{"-j"}, "abc\r", "JIS linebreak=MAC choice=2 candidates=2 kana=0"},
        {{"-e", "-e"}, kText.at("sjis"), "EUC linebreak=UX choice=4 candidates=4 kana=0"},
        // Unicode: a byte-order mark, or valid UTF-8 with multibyte sequences.
        {{},
         "\xEF\xBB\xBF"
         "a\n",
         "UTF8BOM linebreak=UX choice=16 candidates=16 kana=0"},
        {{},
         std::string("\xFF\xFE"
                     "a\0\r\0\n\0",
                     8),
         "UTF16LE linebreak=WIN choice=32 candidates=32 kana=0"},
        {{}, kText.at("utf8"), "UTF8 linebreak=UX choice=8 candidates=8 kana=4"},
        {{}, "\xE2\x80\x94", "UTF8 linebreak=WIN choice=8 candidates=9 kana=0"},
        {{"--no-unicode"}, "\xE2\x80\x94", "SJIS linebreak=WIN choice=1 candidates=1 kana=0"},
        {{"-u"}, "abc", "UTF8 linebreak=WIN choice=8 candidates=8 kana=0"},
        {{"--in=utf16be"},
         std::string("\0a", 2),
         "UTF16BE linebreak=WIN choice=64 candidates=64 kana=0"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--guess");
        const ConvRun run = Run(args, c.input);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "encoding=" + c.expected + "\n");
    }
}

TEST_F(ConvTest, OutputFileIsCreatedWithTheUsualMode) {
    const fs::path target = dir_ / "out.txt";
    const mode_t oldMask = umask(027);
    const ConvRun run = Run({"--to=euc", "-o", target}, kText.at("sjis"));
    umask(oldMask);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(ReadFile(target), kText.at("euc"));
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"out.txt"});
}

TEST_F(ConvTest, OutputFileReplacesTheOldOneAndKeepsItsMode) {
    const fs::path target = dir_ / "out.txt";
    WriteFile(target, kText.at("sjis"));
    ASSERT_EQ(chmod(target.c_str(), 0604), 0);
    // Input and output are the same file: it is read whole before writing.
    EXPECT_EQ(Run({"--to=jis", "-o" + target.string(), target}).status, 0);
    EXPECT_EQ(ReadFile(target), kText.at("jis"));
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"out.txt"});

    // Through a symbolic link the linked file is replaced, the link stays.
    fs::create_symlink("out.txt", dir_ / "link.txt");
    EXPECT_EQ(Run({"--to=euc", "-o", dir_ / "link.txt"}, kText.at("sjis")).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
    EXPECT_EQ(ReadFile(target), kText.at("euc"));
    EXPECT_EQ(OtherFiles(), (std::set<std::string>{"link.txt", "out.txt"}));
}

TEST_F(ConvTest, FailedOutputLeavesTheOldFile) {
    const fs::path target = dir_ / "out.txt";
    WriteFile(target, "old");
    const std::string big(200000, 'x');
    ExpectOneErrorLine(Run({"-o", target}, big, -1, 4096), 1, "out.txt");
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"out.txt"});

    ExpectOneErrorLine(Run({"-o", target, dir_ / "missing.txt"}), 1, "missing.txt");
    EXPECT_EQ(ReadFile(target), "old");
    ExpectOneErrorLine(Run({"-o", dir_ / "no" / "out.txt"}, "abc"), 1, "no/out.txt");
    ExpectOneErrorLine(Run({"-o", "/dev/full"}, "abc"), 1, "/dev/full");
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"out.txt"});
}

TEST_F(ConvTest, FailedStandardOutputIsAnError) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ExpectOneErrorLine(Run({}, "abc", full), 1, "standard output");
    close(full);
}

TEST_F(ConvTest, RejectsUnreadableAndOversizedInput) {
    ExpectOneErrorLine(Run({dir_ / "missing.txt"}), 1, "missing.txt");
    ExpectOneErrorLine(Run({dir_}), 1, "directory");
    // A sparse file one byte past what 32-bit lengths hold.
    const fs::path huge = dir_ / "huge.txt";
    WriteFile(huge, "");
    fs::resize_file(huge, 0x100000000u);
    ExpectOneErrorLine(Run({huge}), 1, "too long");
}

TEST_F(ConvTest, RefusesInputsThatAreNotRegularFiles) {
    ExpectOneErrorLine(Run({"/dev/zero"}), 1, "not a regular file");
    ExpectOneErrorLine(Run({"--guess", "/dev/null"}), 1, "not a regular file");
    ExpectOneErrorLine(Run({dir_.string()}), 1, "Is a directory");
    // Standard input may still be a pipe.
    EXPECT_EQ(Run({"--guess", "-"}, "abc").status, 0);
}

// A pipe named as the file (a named pipe, /dev/stdin) is read as a stream.
TEST_F(ConvTest, ReadsAPipeNamedAsTheFile) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        const int fd = open(fifo.c_str(), O_WRONLY);
        const std::string& text = kText.at("euc");
        _exit(write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    const ConvRun run = Run({"--to=sjis", fifo.string()});
    waitpid(writer, nullptr, 0);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kText.at("sjis"));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const std::string& text = kText.at("jis");
    ASSERT_EQ(write(pipeEnds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(pipeEnds[1]);
    const ConvRun fromStdin = RunWithStdin({"--to=sjis", "/dev/stdin"}, pipeEnds[0]);
    EXPECT_EQ(fromStdin.out, kText.at("sjis")) << fromStdin.err;
}

// Several files are converted in turn, each detected by itself, and the
// names people write for encodings are understood.
TEST_F(ConvTest, ConvertsSeveralFilesAndKnowsTheUsualNames) {
    const fs::path euc = dir_ / "a.euc";
    const fs::path jis = dir_ / "b.jis";
    WriteFile(euc, kText.at("euc"));
    WriteFile(jis, kText.at("jis"));
    const ConvRun run = Run({"--to=Shift_JIS", euc.string(), jis.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kText.at("sjis") + kText.at("sjis"));
    EXPECT_EQ(Run({"--guess", euc.string(), jis.string()}).out,
              Run({"--guess", euc.string()}).out + Run({"--guess", jis.string()}).out);
    const fs::path target = dir_ / "both.txt";
    EXPECT_EQ(Run({"-o", target.string(), "--to=utf8", euc.string(), jis.string()}).status, 0);
    EXPECT_EQ(ReadFile(target), kText.at("utf8") + kText.at("utf8"));
    for (const char* name : {"SJIS", "cp932", "Windows-31J", "MS_Kanji", "shift_jis"})
        EXPECT_EQ(Run({std::string("--in=") + name, "--to=EUC-JP"}, kText.at("sjis")).out,
                  kText.at("euc"))
            << name;
    for (const char* name : {"ISO-2022-JP", "jis", "JIS"})
        EXPECT_EQ(Run({"--in=eucJP-ms", std::string("--to=") + name}, kText.at("euc")).out,
                  kText.at("jis"))
            << name;
    for (const char* name : {"UTF-8", "UTF8", "utf-8-bom", "UTF16LE", "utf-16be"})
        EXPECT_EQ(Run({"-s", std::string("--to=") + name}, "a").status, 0) << name;
    ExpectOneErrorLine(Run({"--to=latin1"}, "a"), 2, "unknown output encoding");
}

// -o naming one of the command's own descriptors writes to it as it is: an
// append stays an append, and the file the shell opened is not replaced.
TEST_F(ConvTest, OutputNamingADescriptorWritesToIt) {
    const fs::path log = dir_ / "log.txt";
    WriteFile(log, "old line\n");
    struct stat before {};
    ASSERT_EQ(stat(log.c_str(), &before), 0);
    for (const char* name : {"/dev/stdout", "/proc/self/fd/1", "/dev/fd/1"}) {
        const int append = open(log.c_str(), O_WRONLY | O_APPEND);
        const ConvRun run = Run({"-s", "--to=utf8", "-o", name}, "x\n", append);
        close(append);
        EXPECT_EQ(run.status, 0) << name << run.err;
    }
    struct stat after {};
    ASSERT_EQ(stat(log.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFile(log), "old line\nx\nx\nx\n");
}

// A reader that stops early (| head -1) ends the command quietly, as it
// ends other filters.
TEST_F(ConvTest, AClosedPipeEndsQuietly) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    const ConvRun run = Run({"-s", "--to=utf8"}, std::string(3 << 20, 'a'), pipeEnds[1]);
    close(pipeEnds[1]);
    EXPECT_EQ(run.status, 128 + SIGPIPE);
    EXPECT_EQ(run.err, "");
}

TEST_F(ConvTest, ReadsFilesWhoseSizeReadsZero) {
    const ConvRun run = Run({"--to=utf8", "/proc/self/cmdline"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("kotoha-conv"), std::string::npos);
}

TEST_F(ConvTest, RefusesAWriteProtectedOutputFile) {
    const fs::path target = dir_ / "ro.txt";
    WriteFile(target, "old");
    chmod(target.c_str(), 0444);
    ExpectOneErrorLine(Run({"-o", target}, "new"), 1, "ro.txt");
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"ro.txt"});
}

TEST_F(ConvTest, OutputKeepsOwnerAndDropsSetIdBits) {
    const fs::path target = dir_ / "mode.txt";
    WriteFile(target, "old");
    chmod(target.c_str(), 06754);
    ASSERT_EQ(Run({"-o", target}, "new").status, 0);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0754u);
    EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(ConvTest, PrintsItsVersion) {
    const ConvRun run = Run({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("kotoha-conv ", 0), 0u) << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1);
}

// The code tables are compiled in: with no iconv module to be found, kanji
// and kana still convert, each way, named or detected (a text this short in
// EUC-JP is detected only with more to go on).
TEST_F(ConvTest, ConvertsWithoutAnyIconvModule) {
    const std::string sjis = "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\n";
    const std::string euc = "\xb4\xc1\xbb\xfa\xa4\xab\xa4\xca\n";
    const std::string utf8 = "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa\n";
    const struct {
        std::vector<std::string> args;
        const std::string& input;
        const std::string& expected;
    } cases[] = {
        {{"-s", "--to=utf8"}, sjis, utf8}, {{"--to=utf8"}, sjis, utf8},
        {{"-e", "--to=utf8"}, euc, utf8},  {{"-u", "--to=sjis"}, utf8, sjis},
        {{"--to=euc"}, utf8, euc},
    };
    fs::create_directory(dir_ / "no-modules");
    setenv("GCONV_PATH", (dir_ / "no-modules").c_str(), 1);
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--eol=keep");
        const ConvRun run = Run(args, c.input);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.expected) << c.args[0];
    }
    unsetenv("GCONV_PATH");
}

TEST_F(ConvTest, RunningOutOfMemoryIsOneLine) {
    // A big (sparse) input under a small address-space limit: the read
    // buffer cannot be had.
    const fs::path big = dir_ / "big.txt";
    WriteFile(big, "");
    fs::resize_file(big, 1u << 30);
    const pid_t pid = fork();
    if (pid == 0) {
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer needs far more address space than any limit would
        // leave; its allocator is capped instead.
        setenv("ASAN_OPTIONS", "allocator_may_return_null=1:max_allocation_size_mb=256", 1);
#else
        const rlimit limit = {rlim_t{512} << 20, rlim_t{512} << 20};
        setrlimit(RLIMIT_AS, &limit);
#endif
        const int err = open((dir_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, 2);
        execl(KOTOHA_CONV_PATH, KOTOHA_CONV_PATH, "--guess", big.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string err = ReadFile(dir_ / "stderr");
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer's own warning about the refused allocation.
    if (err.rfind("==", 0) == 0)
        err.erase(0, err.find('\n') + 1);
#endif
    EXPECT_EQ(err, "kotoha-conv: out of memory\n");
}

TEST_F(ConvTest, RejectsBadUsage) {
    const std::vector<std::string> cases[] = {
        {"--bogus"}, {"-x"},       {"--to=latin1"}, {"--eol=dos"},         {"--to"},
        {"-o"},      {"-s", "-j"}, {"--guess=yes"}, {"--lines", "a", "b"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0]);
        ExpectOneErrorLine(Run(args, "abc"), 2, "");
    }
}

// --lines: the layout of the imported text, clamped settings included.
TEST_F(ConvTest, LinesShowsTheDisplayLines) {
    struct Case {
        std::vector<std::string> args;
        std::string input, expected;
    };
    const std::string letters = "0123456789AB";
    const Case cases[] = {
        // Kanji, half-width katakana and the LF cell as a trailing blank;
        // the EUC input is detected and gives the same lines.
        {{},
         kText.at("sjis"),
         "0 0 11 \xe6\xbc\xa2\xe5\xad\x97\xef\xbd\xb6\xef\xbe\x9e\xef\xbe\x8a"
         "\xef\xbe\x9f A \n1 11 16 \xe3\x81\xbb\xe3\x82\x93 \n"},
        {{},
         kText.at("euc"),
         "0 0 11 \xe6\xbc\xa2\xe5\xad\x97\xef\xbd\xb6\xef\xbe\x9e\xef\xbe\x8a"
         "\xef\xbe\x9f A \n1 11 16 \xe3\x81\xbb\xe3\x82\x93 \n"},
        // CR LF becomes one LF; offsets count the internal text.
        {{}, "ab\r\ncd", "0 0 3 ab \n1 3 5 cd\n"},
        {{}, "", ""},
        // A tab to the next stop, with the default T = 8 and with T = 4.
        {{}, "abc\tde\n", "0 0 7 abc     de \n"},
        {{"--tab=4"}, "abc\tde\n", "0 0 7 abc de \n"},
        // Wrap at W; a character ending exactly at W stays.
        {{"--wrap=10"}, letters, "0 0 10 0123456789\n1 10 12 AB\n"},
        {{"--wrap", "10"}, "0123456789\n", "0 0 11 0123456789 \n"},
        // A double-byte character that would straddle W moves whole.
        {{"-s", "--wrap=10"}, "123456789\x8a\xbf", "0 0 9 123456789\n1 9 11 \xe6\xbc\xa2\n"},
        // A tab crossing W ends its line, clipped to W.
        {{"--wrap=10"}, "123456789\tx", "0 0 10 123456789 \n1 10 11 x\n"},
        // Out-of-range settings are clamped: W 1 -> 2, T 100 -> 64, T 0 -> 1.
        {{"--wrap=1"}, "abc", "0 0 2 ab\n1 2 3 c\n"},
        {{"--wrap=-99999999999"}, "abc", "0 0 2 ab\n1 2 3 c\n"},
        {{"--wrap=10", "--tab=100"}, "a\tb", "0 0 2 a         \n1 2 3 b\n"},
        {{"--tab=0"}, "a\tb", "0 0 3 a b\n"},
        {{"--wrap=+300"},
         std::string(300, 'x'),
         "0 0 255 " + std::string(255, 'x') + "\n1 255 300 " + std::string(45, 'x') + "\n"},
        // Control bytes show as blanks.
        {{},
         "a\x01\x7f"
         "b",
         "0 0 4 a  b\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--lines");
        SCOPED_TRACE(testing::PrintToString(args) + " " + testing::PrintToString(c.input));
        const ConvRun run = Run(args, c.input);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, c.expected);
    }
}

// --find: every match as "<offset> <line> <column>", status 1 for none.
TEST_F(ConvTest, FindListsEveryMatch) {
    struct Case {
        std::vector<std::string> args;
        std::string input, expected;
    };
    const Case cases[] = {
        {{"--find=ab"}, "ab\nab", "0 0 0\n3 1 0\n"},
        {{"--find=ab", "--up"}, "ab\nab", "3 1 0\n0 0 0\n"},
        {{"--find=ab", "--from=1"}, "ab\nab", "3 1 0\n"},
        {{"--find=ab", "--up", "--from=2"}, "ab\nab", "0 0 0\n"},
        {{"--find=ab", "--up", "--from=4294967295"}, "ab\nab", "3 1 0\n0 0 0\n"},
        {{"--find=ab", "--from=4"}, "ab\nab", ""},
        // Overlapping matches are all found, in both directions.
        {{"--find=aa"}, "aaa", "0 0 0\n1 0 1\n"},
        {{"--find=aa", "--up"}, "aaa", "1 0 1\n0 0 0\n"},
        // Letters fold without --case, ASCII and full-width alike.
        {{"--find=ab"}, "Ab aB AB", "0 0 0\n3 0 3\n6 0 6\n"},
        {{"--find=AB", "--case"}, "Ab aB AB", "6 0 6\n"},
        {{"--find=ab", "--case"}, "Ab aB AB", ""},
        {{"--find=\xef\xbd\x81"}, "\x82\x60\x82\x81", "0 0 0\n2 0 2\n"},
        {{"--find=\xef\xbd\x81", "--case"}, "\x82\x60\x82\x81", "2 0 2\n"},
        // Whole words only.
        {{"--find=cat"}, "cat concat cats cat.", "0 0 0\n7 0 7\n11 0 11\n16 0 16\n"},
        {{"--find=cat", "--word"}, "cat concat cats cat.", "0 0 0\n16 0 16\n"},
        {{"--find=cat", "--word", "--up", "--case"}, "cat Cat", "0 0 0\n"},
        // A double-byte character is never matched from a second byte.
        {{"--find=\xef\xbd\x82"}, "\x82\x82\x82\x82", "0 0 0\n2 0 2\n"},
        // Positions follow the layout: tabs, wraps, the detected input.
        {{"--find=b"}, "a\tb", "2 0 8\n"},
        {{"--find=b", "--tab=2"}, "a\tb", "2 0 2\n"},
        {{"--find=b", "--wrap=10"}, "0123456789abc", "11 1 1\n"},
        {{"--find=\xe5\xad\x97"}, kText.at("sjis"), "2 0 2\n"},
        {{"--find=\xe5\xad\x97"}, kText.at("jis"), "2 0 2\n"},
        {{"--find=\xe3\x82\x93 "}, kText.at("euc"), ""},
        {{"--find=x"}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args) + " " + testing::PrintToString(c.input));
        const ConvRun run = Run(c.args, c.input);
        EXPECT_EQ(run.status, c.expected.empty() ? 1 : 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, c.expected);
    }
}

TEST_F(ConvTest, LinesAndFindWriteTheOutputFile) {
    const fs::path target = dir_ / "out.txt";
    const ConvRun lines = Run({"--lines", "-o", target}, "ab\ncd");
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.out + lines.err, "");
    EXPECT_EQ(ReadFile(target), "0 0 3 ab \n1 3 5 cd\n");
    // Nothing found still gives the (empty) list of matches.
    const ConvRun find = Run({"--find=x", "-o", target}, "ab\ncd");
    EXPECT_EQ(find.status, 1);
    EXPECT_EQ(find.out + find.err, "");
    EXPECT_EQ(ReadFile(target), "");
    EXPECT_EQ(OtherFiles(), std::set<std::string>{"out.txt"});
}

TEST_F(ConvTest, RejectsBadLinesAndFindUsage) {
    const std::vector<std::string> cases[] = {
        {"--lines", "--find=a"},
        {"--lines", "--guess"},
        {"--find=a", "--guess"},
        {"--lines", "--to=euc"},
        {"--find=a", "--eol=ux"},
        {"--find=a", "--widen"},
        {"--lines=yes"},
        {"--lines", "--wrap=x"},
        {"--lines", "--wrap="},
        {"--lines", "--tab=8x"},
        {"--lines", "--tab=0x10"},
        {"--lines", "--tab= 8"},
        {"--lines", "--tab=+-8"},
        {"--lines", "--tab=-"},
        {"--lines", "--wrap"},
        {"--wrap=10"},
        {"--lines", "--up"},
        {"--lines", "--from=0"},
        {"--case"},
        {"--find="},
        {"--find"},
        {"--find=a", "--from=-1"},
        {"--find=a", "--from=+1"},
        {"--find=a", "--from=4294967296"},
        {"--find=a", "--from=x"},
        {"--find=a", "--up=1"},
        // Characters Shift-JIS cannot hold, and malformed UTF-8.
        {"--find=\xf0\x9f\x98\x80"},
        {"--find=a\xff"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        ExpectOneErrorLine(Run(args, "abc"), 2, "");
    }
    // A literal "?" is a text like any other.
    EXPECT_EQ(Run({"--find=?"}, "a?").out, "1 0 1\n");
}

TEST_F(ConvTest, AcceptsTheOtherOptionForms) {
    EXPECT_EQ(Run({"--to", "euc", "-o", "-"}, kText.at("sjis")).out, kText.at("euc"));
    WriteFile(dir_ / "-name", kText.at("sjis"));
    EXPECT_EQ(Run({"--to=utf8", "--", dir_ / "-name"}).out, kText.at("utf8"));
    for (const char* help : {"-h", "--help"}) {
        const ConvRun run = Run({help, "--bogus"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("Usage: kotoha-conv", 0), 0u);
    }
}

// Unicode files of other projects found on this machine, and generated ones
// in every Unicode kind: each comes back byte for byte through
// --to=keep --eol=keep, and through UTF-16 and back.
TEST_F(ConvTest, UnicodeFilesComeBackByteIdentical) {
    std::vector<std::string> files;
    for (const char* path :
         {"/usr/share/X11/locale/en_US.UTF-8/Compose", "/usr/share/X11/locale/ja_JP.UTF-8/Compose",
          "/usr/share/vim/vim90/tutor/tutor.ja.utf-8", "/usr/share/vim/vim90/tutor/tutor.ko.utf-8",
          "/usr/share/vim/vim90/tutor/tutor.zh_cn.utf-8",
          "/usr/share/vim/vim90/tutor/tutor.ru.utf-8", "/usr/share/vim/vim90/tutor/tutor.el.utf-8",
          "/usr/share/doc/fonts-ipafont-gothic/copyright"}) {
        if (fs::is_regular_file(path))
            files.push_back(ReadFile(path));
    }
    const std::string generated =
        "日本語の文〜です。\U0001F600 ≒ ¥100、‖ −\n中文 한국어 Ελληνικά Русский\n\tｶﾀｶﾅ\n";
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (char c : generated)
            text += c == '\n' ? std::string(eol) : std::string(1, c);
        files.push_back(text);
        files.push_back("\xEF\xBB\xBF" + text);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string& utf8 = files[i];
        const ConvRun same = Run({"--to=keep", "--eol=keep"}, utf8);
        EXPECT_EQ(same.status, 0);
        EXPECT_TRUE(same.out == utf8) << "differs from the input";
        for (const char* kind : {"utf16le", "utf16be"}) {
            const ConvRun wide = Run({std::string("--to=") + kind}, utf8);
            EXPECT_EQ(Run({"--to=keep", "--eol=keep"}, wide.out).out, wide.out);
            const bool bom = utf8.starts_with("\xEF\xBB\xBF");
            const ConvRun back = Run({bom ? "--to=utf8bom" : "--to=utf8"}, wide.out);
            EXPECT_TRUE(back.out == utf8) << kind << " and back differs";
        }
    }
}

// A legacy file comes back unchanged through keep, and the Unicode switch
// changes nothing on it.
TEST_F(ConvTest, LegacyFilesAreUnchangedByTheUnicodeKinds) {
    for (const auto& entry : fs::directory_iterator(KOTOHA_SAMPLES_DIR)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().string());
        const std::string bytes = ReadFile(entry.path());
        EXPECT_EQ(Run({"--to=keep", "--eol=keep"}, bytes).out, bytes);
        EXPECT_EQ(Run({"--guess"}, bytes).out, Run({"--guess", "--no-unicode"}, bytes).out);
        EXPECT_EQ(Run({"--to=utf8"}, bytes).out, Run({"--to=utf8", "--no-unicode"}, bytes).out);
    }
}

// Characters the output encoding cannot hold: one warning line with the
// count and the first line, the output still written; --strict writes
// nothing and exits 3; an output that holds everything says nothing.
TEST_F(ConvTest, UnwritableCharactersWarnOrFailWithStrict) {
    // a / あ NEC-① IBM-ⅰ / IBM-ⅱ, in Shift-JIS.
    const std::string text = "a\n\x82\xA0\x87\x40\xFA\x40\n\xFA\x41\n";
    const std::string warning =
        "kotoha-conv: warning: 2 characters cannot be written in EUC-JP (first at line 2)\n";
    const ConvRun euc = Run({"-s", "--to=euc"}, text);
    EXPECT_EQ(euc.status, 0);
    EXPECT_EQ(euc.err, warning);
    EXPECT_EQ(euc.out, "a\n\xA4\xA2\xAD\xA1\xA1\xA1\n\xA1\xA1\n");
    EXPECT_EQ(Run({"-s", "--to=jis"}, text).err,
              "kotoha-conv: warning: 2 characters cannot be written in JIS (first at line 2)\n");

    const fs::path target = dir_ / "out.euc";
    WriteFile(target, "old");
    const ConvRun strict = Run({"-s", "--to=euc", "--strict", "-o", target}, text);
    EXPECT_EQ(strict.status, 3);
    ExpectOneErrorLine(strict, 3, "nothing written");
    EXPECT_EQ(ReadFile(target), "old");

    for (const char* to : {"--to=sjis", "--to=utf8", "--to=utf16le"}) {
        SCOPED_TRACE(to);
        const ConvRun quiet = Run({"-s", to, "--strict"}, text);
        EXPECT_EQ(quiet.status, 0);
        EXPECT_EQ(quiet.err, "");
    }
    EXPECT_EQ(Run({"--to=euc", "--strict"}, kText.at("sjis")).out, kText.at("euc"));
}

// Stray single bytes of a Shift-JIS file: back as they came in Shift-JIS,
// never as NUL; elsewhere a substitute that the warning and --strict count.
TEST_F(ConvTest, StrayBytesAreNeverWrittenAsNul) {
    const std::string text = "a\x80\xA0\n\xFD\xFE\xFF\n";
    const ConvRun sjis = Run({"-s", "--to=sjis", "--strict"}, text);
    EXPECT_EQ(sjis.status, 0);
    EXPECT_EQ(sjis.out, text);
    const ConvRun utf8 = Run({"-s", "--to=utf8"}, text);
    EXPECT_EQ(utf8.out, "a\xEF\xBF\xBD\xEF\xBF\xBD\n\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\n");
    EXPECT_EQ(utf8.err,
              "kotoha-conv: warning: 5 characters cannot be written in UTF-8 (first at line 1)\n");
    EXPECT_EQ(Run({"-s", "--to=euc"}, "x\x80").out, "x\xA1\xA1");
    ExpectOneErrorLine(Run({"-s", "--to=jis", "--strict"}, "x\n\x1B"), 3, "line 2");
}

// An empty input gives an empty output file and leaves nothing beside it.
TEST_F(ConvTest, EmptyInputWritesAnEmptyFile) {
    for (const char* to : {"--to=sjis", "--to=utf16le"}) {
        const fs::path target = dir_ / "empty.out";
        const ConvRun run = Run({to, "-o", target.string()}, "");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadFile(target), std::string(to) == "--to=sjis" ? "" : "\xFF\xFE");
        EXPECT_EQ(OtherFiles(), std::set<std::string>{"empty.out"});
        fs::remove(target);
    }
}

// Bytes no character can be read from: one warning line with the count and
// the first line; --strict refuses them and writes nothing.
TEST_F(ConvTest, UnreadableInputWarnsOrFailsWithStrict) {
    struct Case {
        std::vector<std::string> args;
        std::string input, warning;
    } const cases[] = {
        {{"-u"},
         "ok\n\xFF\xFE\n",
         "2 bytes could not be read as UTF-8 and became blanks (first at line 2)"},
        {{"--in=utf16le"},
         std::string("a\0\n\0\x00\xD8", 6),
         "1 byte could not be read as UTF-16LE"},
        {{"--in=utf16be"}, std::string("\0a\0", 3), "(first at line 1)"},
        {{"-s"}, "abc\n\x82", "1 byte could not be read as Shift-JIS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        std::vector<std::string> args = c.args;
        args.push_back("--to=utf8");
        const ConvRun run = Run(args, c.input);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err.rfind("kotoha-conv: warning: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err;
        args.push_back("--strict");
        const ConvRun strict = Run(args, c.input);
        ExpectOneErrorLine(strict, 3, "nothing written");
    }
}

// A file rewritten in place (same size) while it is converted: the output
// would mix old and new, so it is refused. The -o target is a pipe, so that the command waits for
// its reader while the file is rewritten.
TEST_F(ConvTest, AFileRewrittenWhileReadIsAnError) {
    const fs::path input = dir_ / "in.txt";
    const fs::path pipe = dir_ / "pipe";
    // Longer than the command's 1 MiB writes, so that it waits on the pipe.
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += std::string(79, 'a') + "\n";
    WriteFile(input, text);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const pid_t rewriter = fork();
    if (rewriter == 0) {
        // Blocks until kotoha-conv opens the pipe for writing; once its first
        // bytes arrive it has read the file and is converting it.
        const int reader = open(pipe.c_str(), O_RDONLY);
        char first[4096];
        if (read(reader, first, sizeof first) <= 0)
            _exit(1);
        const int file = open(input.c_str(), O_WRONLY);
        const std::string other(50000, 'b');
        const bool rewritten =
            pwrite(file, other.data(), other.size(), 0) == static_cast<ssize_t>(other.size());
        // A new modification time even on a file system of coarse times.
        timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
        futimens(file, times);
        char buffer[4096];
        while (read(reader, buffer, sizeof buffer) > 0) {
        }
        _exit(rewritten ? 0 : 1);
    }
    const ConvRun run = Run({"-s", "--to=euc", "-o", pipe.string(), input.string()});
    int status = 0;
    ASSERT_EQ(waitpid(rewriter, &status, 0), rewriter);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ExpectOneErrorLine(run, 1, "the file changed while it was read");
}

}  // namespace

// A file of many pieces, read from its name (mapped) and from standard input
// (read): the same output, the JIS character set carried across line breaks
// and pieces, the line of the first unwritable character counted across
// pieces, and one lone LF at the very end making the kept line breaks LF.
TEST_F(ConvTest, LongFilesConvertTheSameFromANameAndFromStandardInput) {
    // Kanji mode opened once: every later line holds kanji pairs only, over
    // several pieces.
    std::string jis = "\x1B$B";
    std::string euc;
    std::string eucLf;
    const int lines = 60000;
    for (int i = 0; i < lines; ++i) {
        jis += "$\"$$$&\r\n";  // あいう
        euc += "\xA4\xA2\xA4\xA4\xA4\xA6\r\n";
    }
    const fs::path jisFile = dir_ / "long.jis";
    WriteFile(jisFile, jis);
    const ConvRun named = Run({"-j", "--to=euc", jisFile});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_TRUE(named.out == euc) << "sizes " << named.out.size() << " " << euc.size();
    const ConvRun piped = Run({"-j", "--to=euc"}, jis);
    EXPECT_TRUE(piped.out == euc);

    // An IBM extension (unwritable in EUC-JP) on line 100000, in the second
    // piece, then a lone LF.
    std::string sjis;
    const int sjisLines = 120000;
    for (int i = 0; i < sjisLines; ++i)
        sjis += i == 99999 ? "\xFA\x40\r\n" : "\x82\xA0\r\n";
    sjis += "z\n";
    const fs::path sjisFile = dir_ / "long.sjis";
    WriteFile(sjisFile, sjis);
    for (const bool fromName : {true, false}) {
        SCOPED_TRACE(fromName ? "from the name" : "from standard input");
        const ConvRun run =
            fromName ? Run({"-s", "--to=euc", sjisFile}) : Run({"-s", "--to=euc"}, sjis);
        EXPECT_EQ(run.err,
                  "kotoha-conv: warning: 1 character cannot be written in EUC-JP "
                  "(first at line 100000)\n");
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\r'), 0);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), sjisLines + 1);
        EXPECT_EQ(run.out.substr(0, 6), "\xA4\xA2\n\xA4\xA2\n");
        const ConvRun strict = fromName ? Run({"-s", "--to=euc", "--strict", sjisFile})
                                        : Run({"-s", "--to=euc", "--strict"}, sjis);
        EXPECT_EQ(strict.status, 3);
        EXPECT_TRUE(strict.out.empty());
    }
}

// Characters beyond CP932 met in every piece of a long UTF-8 file get codes
// while earlier pieces are being written: each piece is written with the
// codes it was given, and the file comes back byte for byte.
TEST_F(ConvTest, LongUnicodeFilesComeBackByteIdentical) {
    const std::string line = "\xF0\x9F\x98\x80 caf\xC3\xA9 \xE2\x82\xAC\xE3\x81\x82\n";
    std::string text;
    for (int i = 0; i < 60000; ++i) {
        text += line;
        // A new emoji now and then, so that the table grows along the text.
        if (i % 5000 == 0)
            text += "\xF0\x9F\x98" + std::string(1, static_cast<char>(0x81 + i / 5000)) + "\n";
    }
    const fs::path file = dir_ / "long.utf8";
    WriteFile(file, text);
    const ConvRun run = Run({"-u", "--to=utf8", file});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == text) << "sizes " << run.out.size() << " " << text.size();
}

// The output is the input itself, reached through a hard link (so written in
// place): the whole input is read before the first byte is written.
TEST_F(ConvTest, OutputOntoTheInputThroughAHardLinkConvertsItWhole) {
    std::string sjis;
    std::string euc;
    for (int i = 0; i < 200000; ++i) {
        sjis += "\x82\xA0\x82\xA2\r\n";
        euc += "\xA4\xA2\xA4\xA4\r\n";
    }
    const fs::path input = dir_ / "text.sjis";
    const fs::path link = dir_ / "same.txt";
    WriteFile(input, sjis);
    fs::create_hard_link(input, link);
    const ConvRun run = Run({"-s", "--to=euc", "-o", link, input});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string written = ReadFile(input);
    EXPECT_TRUE(written == euc) << "sizes " << written.size() << " " << euc.size();
}
