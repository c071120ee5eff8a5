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
        {{"-e", "-j", "a", "b.txt"}, 2, "a b.txt"},
        {{"-J", "file.txt"}, 1, "file.txt"},
        {{"-jis", "file.txt"}, 1, "file.txt"},
        {{"-E", "f"}, 2, "f"},
        {{"-u", "f"}, 3, "f"},
        {{"-Utf8", "-s", "f"}, 3, "f"},
        {{"-q", "-e", "f"}, 2, "f"},
        {{"-j", "-e", "f"}, 1, "f"},
        {{"-x-s", "file"}, -1, "file"},
        {{"-", "f"}, -1, "f"},
        {{"\"quoted name.txt\""}, -1, "\"quoted name.txt\""},
        // Everything from the file name on belongs to it, switches included.
        {{"/tmp/a", "-e", "", "--help"}, -1, "/tmp/a -e  --help"},
        {{"-s", "--", "-dash.txt"}, 0, "-dash.txt"},
        {{"--"}, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        CommandLineArgs result = ScanCommandLine(c.args);
        std::string shown;
        for (const std::string& a : c.args)
            shown += "[" + a + "]";
        EXPECT_EQ(result.encodingSwitch, c.encoding) << shown;
        EXPECT_EQ(result.fileName, c.fileName) << shown;
        EXPECT_FALSE(result.help || result.version || result.screenshotPath) << shown;
    }
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
