// SPDX-License-Identifier: MIT
#include "shell/external_editor.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kotoha {
namespace {

using Words = std::vector<std::string>;

TEST(ExternalEditorTest, CommandLinePlaceholders) {
    struct Case {
        const char* command;
        const char* arguments;
        const char* file;
        std::int64_t topLine;
        const char* expected;
    };
    const Case cases[] = {
        {"xdg-open", "$file", "/home/u/a.txt", 0, "xdg-open /home/u/a.txt"},
        {"vi", "-l$LINE $File", "x.txt", 41, "vi -l42 x.txt"},
        {"vi", "+$Line $FILE $file", "/my docs/a.txt", 0, "vi +1 /my docs/a.txt /my docs/a.txt"},
        // Inserted text is not searched again.
        {"ed", "$file", "/tmp/$line.txt", 6, "ed /tmp/$line.txt"},
        {"ed", "$fil $lines", "f", 9, "ed $fil 10s"},
        // A placeholder never starts inside a multibyte character.
        {"ed", "漢$file字", "f", 0, "ed 漢f字"},
        {"ed", "", "f", 0, "ed "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildEditorCommandLine(c.command, c.arguments, c.file, c.topLine), c.expected)
            << c.arguments;
    }
}

TEST(ExternalEditorTest, SplitCommandLine) {
    struct Case {
        const char* text;
        Words expected;
    };
    const Case cases[] = {
        {"", {}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {"\"/opt/My Editor/ed\" -n", {"/opt/My Editor/ed", "-n"}},
        {"a\"b c\"d", {"ab cd"}},
        {"say \"\"\"hi\"\"\"", {"say", "\"hi\""}},
        {"x \"\" y", {"x", "y"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.text), c.expected) << c.text;
}

TEST(ExternalEditorTest, QuotedWordsSplitBackWhole) {
    struct Case {
        std::string word;
        std::string quoted;
    };
    const Case cases[] = {
        {"/usr/bin/gedit", "/usr/bin/gedit"},
        {"/opt/My Editor/bin/ed", "\"/opt/My Editor/bin/ed\""},
        {"tab\there", "\"tab\there\""},
        {"say \"hi\"", "\"say \"\"\"hi\"\"\"\""},
        {"\"", "\"\"\"\"\""},
        {"", "\"\""},
        {"日本語 のパス", "\"日本語 のパス\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteCommandWord(c.word), c.quoted) << c.word;
        if (!c.word.empty()) {
            EXPECT_EQ(SplitCommandLine(QuoteCommandWord(c.word) + " --line 3"),
                      (std::vector<std::string>{c.word, "--line", "3"}))
                << c.word;
        }
    }
}

TEST(ExternalEditorTest, ArgvKeepsThePathOneArgument) {
    EXPECT_EQ(EditorArgv("xdg-open", false, "$file", "/my docs/a \"b\".txt", 0),
              (Words{"xdg-open", "/my docs/a \"b\".txt"}));
    EXPECT_EQ(EditorArgv("vi", false, "+$line \"$file\"", "/a b", 41),
              (Words{"vi", "+42", "/a b"}));
    // Via the clipboard the arguments are not used at all.
    EXPECT_EQ(EditorArgv("\"/opt/My Ed/ed\"", true, "$file", "/a", 0), Words{"/opt/My Ed/ed"});
    EXPECT_EQ(EditorArgv("", true, "$file", "/a", 0), Words{});
}

TEST(ExternalEditorTest, MustSaveFirstOnlyWithoutAFile) {
    EXPECT_FALSE(MustSaveBeforeEditor(true));
    EXPECT_TRUE(MustSaveBeforeEditor(false));
}

// The program's words reach it as the bytes they are, and a program that
// cannot be started is reported.
TEST(ExternalEditorTest, StartDetachedPassesBytes) {
    char folder[] = "/tmp/kotoha-spawn-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string out = std::string(folder) + "/out";
    const std::string name = "/tmp/\xff\xfe na\x82\xa0me.txt";
    ASSERT_TRUE(StartDetached(
        {"sh", "-c", "printf %s \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"", "sh", name, out}));
    std::string got;
    for (int i = 0; i < 1000 && got.empty(); ++i) {
        std::ifstream in(out, std::ios::binary);
        got.assign(std::istreambuf_iterator<char>(in), {});
        if (got.empty())
            usleep(10000);
    }
    EXPECT_EQ(got, name);
    EXPECT_FALSE(StartDetached({"/no/such/program"}));
    EXPECT_FALSE(StartDetached({}));
    std::filesystem::remove_all(folder);
}

TEST(ExternalEditorTest, DialogValidation) {
    struct Case {
        std::int32_t handOver;
        const char* command;
        const char* arguments;
        std::optional<StringId::Id> expected;
    };
    const Case cases[] = {
        {0, "", "", std::nullopt},
        {0, "ed", "no placeholder", std::nullopt},
        {1, "", "$file", StringId::kNoEditorCommand},
        {1, "", "", StringId::kNoEditorCommand},
        {1, "ed", "-n", StringId::kArgumentsLackFile},
        {1, "ed", "$fil", StringId::kArgumentsLackFile},
        {1, "ed", "-n \"$FiLe\"", std::nullopt},
    };
    for (const Case& c : cases) {
        ExternalEditorDialogValues values{c.handOver, c.command, c.arguments};
        EXPECT_EQ(values.Validate(), c.expected) << c.handOver << c.command << c.arguments;
        EXPECT_EQ(values.ArgumentsEnabled(), c.handOver == 1);
    }
}

TEST(ExternalEditorTest, DialogMapsHandOverToViaClipboard) {
    AppSettings settings;
    ExternalEditorDialogValues values = ExternalEditorDialogValues::FromSettings(settings);
    EXPECT_EQ(values.handOver, 1);
    EXPECT_EQ(values.command, "xdg-open");
    values.handOver = 0;
    values.command = "gedit";
    values.ApplyTo(settings);
    EXPECT_EQ(settings.ViaClipboard.value, 1);
    EXPECT_EQ(settings.Path.value, "gedit");
    EXPECT_EQ(ExternalEditorDialogValues::FromSettings(settings).handOver, 0);
}

// The desktop's editor is $VISUAL, else the first handler of text/plain
// that is not this viewer; none at all is an empty command.
TEST(ExternalEditorTest, DesktopEditorIsNeverThisViewer) {
    const std::string gio =
        "Default application for \u201ctext/plain\u201d: io.github.kotoha.Kotoha.desktop\n"
        "Registered applications:\n"
        "\tio.github.kotoha.Kotoha.desktop\n"
        "\torg.gnome.gedit.desktop\n"
        "Recommended applications:\n"
        "\tvim.desktop\n";
    EXPECT_EQ(TextHandlersOf(gio),
              (Words{"io.github.kotoha.Kotoha.desktop", "org.gnome.gedit.desktop", "vim.desktop"}));
    EXPECT_EQ(TextHandlersOf("No default applications for \u201ctext/plain\u201d\n"), Words{});
    const auto find = [](std::string_view id) {
        return id == "vim.desktop" ? std::string() : "/usr/share/applications/" + std::string(id);
    };
    const std::string self = "io.github.kotoha.Kotoha.desktop";
    EXPECT_EQ(DesktopEditorCommand("", TextHandlersOf(gio), self, +find),
              "gio launch /usr/share/applications/org.gnome.gedit.desktop");
    EXPECT_EQ(DesktopEditorCommand("kate -b", TextHandlersOf(gio), self, +find), "kate -b");
    EXPECT_EQ(DesktopEditorCommand("  ", Words{self, "vim.desktop"}, self, +find), "");
}

}  // namespace
}  // namespace kotoha
