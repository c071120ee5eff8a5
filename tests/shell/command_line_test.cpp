// SPDX-License-Identifier: MIT
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace kotoha {
namespace {

TEST(CommandLineTest, EncodingSwitchesAndFileName) {
    struct Case {
        std::vector<std::string> args;
        std::int32_t encoding;
        std::optional<std::string> fileName;
    };
    const Case cases[] = {
        {{}, -1, std::nullopt},
        {{"", ""}, -1, std::nullopt},
        {{"-s"}, 0, std::nullopt},
        {{"a.txt"}, -1, "a.txt"},
        {{"-e", "-j", "a b.txt"}, 2, "a b.txt"},
        {{"-J", "file.txt"}, 1, "file.txt"},
        {{"-jis", "file.txt"}, 1, "file.txt"},
        {{"-E", "f"}, 2, "f"},
        {{"-u", "f"}, 3, "f"},
        {{"-Utf8", "-s", "f"}, 3, "f"},
        {{"-j", "-e", "f"}, 1, "f"},
        {{"-", "f"}, -1, "f"},
        {{"\"quoted name.txt\""}, -1, "\"quoted name.txt\""},
        {{"-s", "--", "-dash.txt"}, 0, "-dash.txt"},
        {{"--"}, -1, std::nullopt},
        // Qt's own options and their values are Qt's, whatever their letter.
        {{"-style", "Fusion", "f.txt"}, -1, "f.txt"},
        {{"-session", "1234abc", "-e", "f.txt"}, 2, "f.txt"},
        {{"--style=Fusion", "-reverse", "f.txt"}, -1, "f.txt"},
        // A file:// URI names its path, escapes decoded to their bytes.
        {{"file:///tmp/a%20b%E3%81%82%ff.txt"}, -1, "/tmp/a b\xE3\x81\x82\xff.txt"},
        {{"file://localhost/x"}, -1, "/x"},
    };
    for (const Case& c : cases) {
        CommandLineArgs result = ScanCommandLine(c.args);
        std::string shown;
        for (const std::string& a : c.args)
            shown += "[" + a + "]";
        EXPECT_EQ(result.encodingSwitch, c.encoding) << shown;
        EXPECT_EQ(result.fileName, c.fileName) << shown;
        EXPECT_FALSE(result.help || result.version || result.screenshotPath) << shown;
        EXPECT_EQ(result.error, "") << shown;
    }
}

TEST(CommandLineTest, EachArgumentIsOneFileAndUnknownSwitchesAreErrors) {
    CommandLineArgs result =
        ScanCommandLine(std::vector<std::string>{"a.txt", "-e", "", "b c.txt", "--", "-d"});
    EXPECT_EQ(result.fileName, "a.txt");
    EXPECT_EQ(result.moreFiles, (std::vector<std::string>{"b c.txt", "-d"}));
    EXPECT_EQ(result.encodingSwitch, 2);
    EXPECT_TRUE(ScanCommandLine(std::vector<std::string>{"-h"}).help);
    for (const char* bad : {"-q", "-x-s", "--bogus"})
        EXPECT_EQ(ScanCommandLine(std::vector<std::string>{bad, "f"}).error,
                  std::string("unknown option '") + bad + "'");
}

TEST(CommandLineTest, ForcedEncodingOfTheStartUpOpen) {
    EXPECT_EQ(ScanCommandLine(std::vector<std::string>{"-e"}).ForcedEncoding(), 0);
    EXPECT_EQ(ScanCommandLine(std::vector<std::string>{}).ForcedEncoding(), 0);
    EXPECT_EQ(ScanCommandLine(std::vector<std::string>{"-e", "f"}).ForcedEncoding(), 2);
    EXPECT_EQ(ScanCommandLine(std::vector<std::string>{"f"}).ForcedEncoding(), -1);
}

TEST(CommandLineTest, LongOptions) {
    const char* argv[] = {"kotoha",    "--help", "-s", "--screenshot=/tmp/shot.png",
                          "--version", "a.txt"};
    CommandLineArgs result = ScanCommandLine(6, argv);
    EXPECT_TRUE(result.help);
    EXPECT_TRUE(result.version);
    EXPECT_EQ(result.screenshotPath, "/tmp/shot.png");
    EXPECT_EQ(result.encodingSwitch, 0);
    EXPECT_EQ(result.fileName, "a.txt");

    // Without a file name after "=" the option is not recognised.
    EXPECT_FALSE(ScanCommandLine(std::vector<std::string>{"--screenshot="}).screenshotPath);
}

}  // namespace
}  // namespace kotoha
