// SPDX-License-Identifier: MIT
#include "shell/ini_profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/settings.h"

namespace kotoha {
namespace {

// A fresh folder under the temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kotoha-ini-XXXXXX";
        path = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    static std::vector<std::string> Names(const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    std::string path;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(IniProfileTest, ValuesAreVerbatimUnlessTheyNeedQuotes) {
    struct Case {
        std::string value;
        std::string written;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"標準", "標準"},
        {"", ""},
        {"C:\\new\\tools\\ed.exe", "C:\\new\\tools\\ed.exe"},  // backslashes as they are
        {"tab\there", "tab\there"},
        {"key=value;#[x]", "key=value;#[x]"},
        {"say \"hi\"", "say \"hi\""},
        {" lead and trail ", "\" lead and trail \""},
        {"\ttab first", "\"\ttab first\""},
        {" ", "\" \""},
        {"line1\nline2\r", "\"line1\\nline2\\r\""},
        {"a\\b\n", "\"a\\\\b\\n\""},
        {"\"quoted\"", "\"\\\"quoted\\\"\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeIniValue(c.value), c.written) << c.value;
        EXPECT_EQ(UnescapeIniValue(c.written), c.value) << c.written;
    }
    // Inside quotes, a backslash before anything else is literal.
    EXPECT_EQ(UnescapeIniValue("\"C:\\dir\\x4\\\""), "C:\\dir\\x4\\");
}

TEST(IniProfileTest, HandWrittenPathsReadAsWritten) {
    IniProfile profile;
    profile.Parse("[ExternalEditor]\nPath=C:\\new\\tools\\ed.exe\nArguments= \"$file\" \n");
    EXPECT_EQ(profile.ReadString("ExternalEditor", "Path", ""), "C:\\new\\tools\\ed.exe");
    EXPECT_EQ(profile.ReadString("ExternalEditor", "Arguments", ""), "$file");
}

// Hand-edited and damaged files: whatever this program does not understand
// stays, byte for byte, in its place.
TEST(IniProfileTest, EveryLineSurvivesASaveAsItWas) {
    const std::string original =
        "\xEF\xBB\xBF; comment\r\n"
        "not a setting at all\n"
        "\n"
        "[View]\r\r\n"
        "Tabstops=4\r\r\n"
        "   \n"
        "\xEF\xBB\xBFWrapColumns=20\n"
        "=orphan value\n"
        "root:x:0:0:root:/root:/bin/bash\n"
        "[Other]\n"
        "last=line without end";
    IniProfile profile;
    profile.Parse(original);
    EXPECT_EQ(profile.Serialize(), original);
    EXPECT_EQ(profile.ReadInt("View", "Tabstops", 8), 4);
    // A byte order mark counts only at the start of the file.
    EXPECT_EQ(profile.ReadInt("View", "WrapColumns", 80), 80);

    profile.WriteInt("View", "Tabstops", 4);  // unchanged value: text kept
    profile.WriteInt("View", "FontSize", 12);
    profile.WriteString("Other", "new", "x");
    profile.WriteString("Fresh", "k", "v");
    EXPECT_EQ(profile.Serialize(),
              "\xEF\xBB\xBF; comment\r\n"
              "not a setting at all\n"
              "\n"
              "[View]\r\r\n"
              "Tabstops=4\r\r\n"
              "   \n"
              "\xEF\xBB\xBFWrapColumns=20\n"
              "=orphan value\n"
              "root:x:0:0:root:/root:/bin/bash\n"
              "FontSize=12\n"
              "[Other]\n"
              "last=line without end\n"
              "new=x\n"
              "\n"
              "[Fresh]\n"
              "k=v\n");
    // Parsing what was written gives the same settings and lines again.
    IniProfile again;
    again.Parse(profile.Serialize());
    EXPECT_EQ(again.Serialize(), profile.Serialize());
    EXPECT_EQ(again.ReadInt("View", "FontSize", 0), 12);
    profile.WriteInt("View", "Tabstops", 6);
    EXPECT_NE(profile.Serialize().find("\nTabstops=6\r\r\n"), std::string::npos);
}

TEST(IniProfileTest, ANulByteCostsOnlyItsLine) {
    TempDir dir;
    const std::string path = dir.path + "/Kotoha.ini";
    const std::string original = std::string("[View]\nWrapColumns=40\nBad=a\0b\n", 30) +
                                 "[Recent File List]\nFile1=/home/u/a.txt\n[Mine]\nx=1\n";
    WriteFile(path, original);
    IniProfile profile;
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.ReadInt("View", "WrapColumns", 80), 40);
    EXPECT_EQ(profile.ReadString("View", "Bad", "skipped"), "skipped");
    EXPECT_EQ(profile.ReadString("Recent File List", "File1", ""), "/home/u/a.txt");
    profile.WriteInt("View", "WrapColumns", 41);
    ASSERT_TRUE(profile.Save());
    std::string expected = original;
    expected.replace(expected.find("WrapColumns=40"), 14, "WrapColumns=41");
    EXPECT_EQ(ReadFile(path), expected);
}

TEST(IniProfileTest, SavedValuesReadBackUnchanged) {
    TempDir dir;
    const std::string path = dir.path + "/Kotoha.ini";
    const std::string strings[] = {
        "",           "  both ends  ", "/home/u/my file.txt", "C:\\a\\b.txt",
        "two\nlines", "=;[#]",         "ﾃｷｽﾄ 漢字",           std::string("\x01\x7f", 2),
    };
    IniProfile out;
    ASSERT_TRUE(out.Load(path));
    for (std::size_t i = 0; i < std::size(strings); ++i) {
        out.WriteString("S", "K" + std::to_string(i), strings[i]);
    }
    out.WriteInt("Ints", "Min", INT32_MIN);
    out.WriteInt("Ints", "Max", INT32_MAX);
    ASSERT_TRUE(out.Save());

    IniProfile in;
    ASSERT_TRUE(in.Load(path));
    for (std::size_t i = 0; i < std::size(strings); ++i) {
        EXPECT_EQ(in.ReadString("S", "K" + std::to_string(i), "default"), strings[i]);
    }
    EXPECT_EQ(in.ReadInt("Ints", "Min", 0), INT32_MIN);
    EXPECT_EQ(in.ReadInt("Ints", "Max", 0), INT32_MAX);
    EXPECT_EQ(in.ReadString("S", "Missing", "default"), "default");
}

TEST(IniProfileTest, UnknownSectionsKeysAndCommentsAreWrittenBack) {
    const std::string original =
        "; written by hand\n"
        "[Recent File List]\n"
        "File1=/home/u/a b.txt\n"
        "File2 = /tmp/x.txt\n"
        "[View]\n"
        "Tabstops=4\n"
        "Zoom = 3 \n"
        "# keep me\n"
        "[Plugin]\n"
        "Odd=C:\\path\\q\n";
    IniProfile profile;
    profile.Parse(original);
    AppSettings settings;
    settings.LoadAll(profile);
    EXPECT_EQ(settings.Tabstops.value, 4);
    settings.WrapColumns.value = 72;
    settings.SaveAll(profile);

    const std::string text = profile.Serialize();
    // Everything known or not keeps its place and its exact text; new keys
    // follow the existing ones of their section, new sections come last.
    EXPECT_EQ(text.find("; written by hand\n"), 0u);
    auto at = [&](const std::string& s) { return text.find(s); };
    EXPECT_LT(at("[Recent File List]\nFile1=/home/u/a b.txt\nFile2 = /tmp/x.txt\n"),
              at("[View]\nTabstops=4\nZoom = 3 \n# keep me\nWrapColumns=72\n"));
    EXPECT_LT(at("[View]"), at("[Plugin]\nOdd=C:\\path\\q\n"));
    EXPECT_LT(at("[Plugin]"), at("[Window]\nSaveFrameStatus=1\nFramePosition=-1,-1,-1,-1\n"));
    EXPECT_NE(at("[Etc]\nResembleLess=0\nInquireWhenPaste=1\n"), std::string::npos);
    EXPECT_EQ(profile.ReadString("Recent File List", "File2", ""), "/tmp/x.txt");
}

TEST(IniProfileTest, DamagedFilesReadAsDefaults) {
    static constexpr char kBinary[] =
        "\x7f"
        "ELF\x02\x01\0\0[View]\nTabstops=3\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t tabstops;  // what Tabstops reads, default 8
        bool loads;
    };
    const Case cases[] = {
        {"empty", "", 8, true},
        {"binary", std::string(kBinary, sizeof kBinary - 1), 8, false},
        {"cut in a key", "[View]\nTabst", 8, true},
        {"cut in a value", "[View]\nTabstops=1", 1, true},
        {"cut in a header", "[Vie", 8, true},
        {"not an integer", "[View]\nTabstops=abc\n", 8, true},
        {"beyond 32 bits", "[View]\nTabstops=4294967297\n", 8, true},
        {"hexadecimal", "[View]\nTabstops=0x10\n", 8, true},
        {"blanks, CR LF, BOM", "\xEF\xBB\xBF[View]\r\n  Tabstops =  12 \r\n", 12, true},
        {"other letter case", "[view]\ntabstops=-5\n", -5, true},
        {"no section", "Tabstops=3\n", 8, true},
        {"header cut short keeps its keys", "[View]\n[Other\nTabstops=3\n", 8, true},
        {"text noise", "hello\n===\n[View]\n=2\nTabstops=6\n", 6, true},
    };
    TempDir dir;
    const std::string path = dir.path + "/Kotoha.ini";
    for (const Case& c : cases) {
        WriteFile(path, c.bytes);
        IniProfile profile;
        EXPECT_EQ(profile.Load(path), c.loads) << c.name;
        EXPECT_EQ(profile.ReadInt("View", "Tabstops", 8), c.tabstops) << c.name;
    }
}

TEST(IniProfileTest, MissingFileIsAFreshProfile) {
    TempDir dir;
    IniProfile profile;
    EXPECT_TRUE(profile.Load(dir.path + "/none/Kotoha.ini"));
    EXPECT_EQ(profile.ReadString("View", "FontStyle", "標準"), "標準");
    EXPECT_EQ(profile.Serialize(), "");
}

TEST(IniProfileTest, SaveReplacesAtomicallyAndCreatesFolders) {
    TempDir dir;
    const std::string folder = dir.path + "/config/anonymous";
    const std::string path = folder + "/Kotoha.ini";
    IniProfile profile;
    ASSERT_TRUE(profile.Load(path));
    profile.WriteInt("View", "Tabstops", 4);
    ASSERT_TRUE(profile.Save());
    profile.WriteInt("View", "Tabstops", 2);
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadFile(path), "[View]\nTabstops=2\n");
    // No temporary file is left beside it.
    EXPECT_EQ(dir.Names(folder), std::vector<std::string>{"Kotoha.ini"});
}

// Old Mac line ends are line ends; a profile the reader would refuse (over
// its size limit) is never written, so the one on disk stays readable.
TEST(IniProfileTest, CrLineEndsAndTheSizeLimit) {
    IniProfile profile;
    profile.Parse("[View]\rTabstops=4\rWrapColumns=60\r");
    EXPECT_EQ(profile.ReadInt("View", "Tabstops", 8), 4);
    EXPECT_EQ(profile.ReadInt("View", "WrapColumns", 80), 60);
    profile.WriteInt("View", "Tabstops", 2);
    IniProfile again;
    again.Parse(profile.Serialize());
    EXPECT_EQ(again.ReadInt("View", "Tabstops", 8), 2);
    EXPECT_EQ(again.ReadInt("View", "WrapColumns", 80), 60);

    TempDir dir;
    const std::string path = dir.path + "/kotoha.ini";
    IniProfile big;
    ASSERT_TRUE(big.Load(path));
    big.WriteInt("View", "Tabstops", 4);
    ASSERT_TRUE(big.Save());
    big.WriteString("Etc", "Huge", std::string(IniProfile::kMaxFileBytes, 'x'));
    EXPECT_FALSE(big.Save());
    EXPECT_EQ(ReadFile(path), "[View]\nTabstops=4\n");
}

TEST(IniProfileTest, FilesThatAreNoProfileAreNeverOverwritten) {
    TempDir dir;
    const std::string path = dir.path + "/Kotoha.ini";
    const std::string contents[] = {
        std::string("\0\1\2", 3),
        std::string(IniProfile::kMaxFileBytes + 1, 'x'),
    };
    for (const std::string& bytes : contents) {
        WriteFile(path, bytes);
        IniProfile profile;
        EXPECT_FALSE(profile.Load(path));
        EXPECT_EQ(profile.ReadInt("View", "Tabstops", 8), 8);
        profile.WriteInt("Etc", "ResembleLess", 1);
        EXPECT_FALSE(profile.Save());
        EXPECT_EQ(ReadFile(path), bytes);
    }
}

TEST(IniProfileTest, APipeInThePlaceOfTheFileIsLeftAlone) {
    TempDir dir;
    const std::string path = dir.path + "/Kotoha.ini";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    IniProfile profile;
    EXPECT_FALSE(profile.Load(path));  // returns at once
    profile.WriteInt("View", "Tabstops", 3);
    EXPECT_FALSE(profile.Save());
    struct stat st {};
    EXPECT_TRUE(stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST(IniProfileTest, FolderThatCannotBeCreatedFails) {
    TempDir dir;
    // A folder that cannot be created: a regular file stands in its way.
    WriteFile(dir.path + "/blocker", "x");
    IniProfile blocked;
    EXPECT_TRUE(blocked.Load(dir.path + "/blocker/Kotoha.ini"));
    blocked.WriteInt("View", "Tabstops", 3);
    EXPECT_FALSE(blocked.Save());

    // A folder no one may create, not even the superuser.
    IniProfile kernel;
    EXPECT_TRUE(kernel.Load("/proc/kotoha-test/Kotoha.ini"));
    kernel.WriteInt("View", "Tabstops", 3);
    EXPECT_FALSE(kernel.Save());

    IniProfile noPath;
    EXPECT_FALSE(noPath.Save());
}

TEST(IniProfileTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    const std::string folder = dir.path + "/locked";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    WriteFile(folder + "/Kotoha.ini", "[View]\nTabstops=5\n");
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    IniProfile profile;
    ASSERT_TRUE(profile.Load(folder + "/Kotoha.ini"));
    profile.WriteInt("View", "Tabstops", 3);
    EXPECT_TRUE(profile.Save());
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(ReadFile(folder + "/Kotoha.ini"), "[View]\nTabstops=3\n");
    EXPECT_EQ(dir.Names(folder), std::vector<std::string>{"Kotoha.ini"});
}

TEST(IniProfileTest, UnreadableFileIsNeverOverwritten) {
    TempDir dir;
    // A folder in the file's place cannot be read as a file.
    const std::string path = dir.path + "/Kotoha.ini";
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    IniProfile profile;
    EXPECT_FALSE(profile.Load(path));
    profile.WriteInt("View", "Tabstops", 3);
    EXPECT_FALSE(profile.Save());
    struct stat st {};
    EXPECT_TRUE(stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

TEST(IniProfileTest, SaveWritesThroughASymbolicLink) {
    TempDir dir;
    const std::string target = dir.path + "/real.ini";
    const std::string link = dir.path + "/Kotoha.ini";
    WriteFile(target, "[View]\nTabstops=5\n");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    IniProfile profile;
    ASSERT_TRUE(profile.Load(link));
    profile.WriteInt("View", "Tabstops", 6);
    ASSERT_TRUE(profile.Save());
    struct stat st {};
    EXPECT_TRUE(lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(target), "[View]\nTabstops=6\n");

    // Through a link to a file that is not a profile of ours, the settings
    // are added and every line that was there stays.
    const std::string passwd = "root:x:0:0:root:/root:/bin/bash\nnobody:x:65534:65534::/:\n";
    WriteFile(target, passwd);
    IniProfile linked;
    ASSERT_TRUE(linked.Load(link));
    linked.WriteInt("View", "Tabstops", 6);
    ASSERT_TRUE(linked.Save());
    EXPECT_EQ(ReadFile(target), passwd + "\n[View]\nTabstops=6\n");
}

TEST(IniProfileTest, RemoveKeyAndUnwritableNames) {
    IniProfile profile;
    profile.Parse("[Recent File List]\nFile1=a\nfile2=b\nFile3=c\n");
    profile.RemoveKey("recent file list", "FILE2");
    profile.WriteString("View", "Bad=Key", "x");
    profile.WriteString("Bad]Section", "Key", "x");
    profile.WriteString("View", "", "x");
    EXPECT_EQ(profile.Serialize(), "[Recent File List]\nFile1=a\nFile3=c\n");
}

TEST(IniProfileTest, DefaultPath) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg/kotoha/kotoha.ini"},
        {"/x/cfg/", "/home/u", "/x/cfg/kotoha/kotoha.ini"},
        {nullptr, "/home/u", "/home/u/.config/kotoha/kotoha.ini"},
        {"", "/home/u", "/home/u/.config/kotoha/kotoha.ini"},
        {"relative/cfg", "/home/u", "/home/u/.config/kotoha/kotoha.ini"},
        {nullptr, "relative/home", ""},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultIniPath(c.xdg, c.home), c.expected);
    }
    EXPECT_EQ(LegacyIniPath("/x/cfg", nullptr), "/x/cfg/anonymous/Kotoha.ini");
}

// A profile where earlier versions kept it moves to the new place once;
// one already there is never replaced.
TEST(IniProfileTest, LegacyProfileMovesOnce) {
    TempDir dir;
    const std::string cfg = dir.path + "/cfg";
    const std::string legacy = LegacyIniPath(cfg.c_str(), nullptr);
    const std::string current = DefaultIniPath(cfg.c_str(), nullptr);
    std::filesystem::create_directories(cfg + "/anonymous");
    std::ofstream(legacy) << "[View]\nTabstops=4\n";
    EXPECT_TRUE(AdoptLegacyProfile(legacy, current));
    EXPECT_EQ(ReadFile(current), "[View]\nTabstops=4\n");
    EXPECT_FALSE(std::filesystem::exists(cfg + "/anonymous"));
    std::filesystem::create_directories(cfg + "/anonymous");
    std::ofstream(legacy) << "[View]\nTabstops=2\n";
    EXPECT_FALSE(AdoptLegacyProfile(legacy, current));
    EXPECT_EQ(ReadFile(current), "[View]\nTabstops=4\n");
}

}  // namespace
}  // namespace kotoha
