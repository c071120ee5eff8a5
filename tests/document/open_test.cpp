// SPDX-License-Identifier: MIT
// Opening files and loading raw blocks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "codec/cp932.h"
#include "codec/detect.h"
#include "fake_host.h"

namespace kotoha {
namespace {

using testing::AllocationFaultScope;
using testing::DocFixture;
using testing::ShownMessage;
using testing::TempDir;

// EUC-JP "あい": detection prefers Shift-JIS but keeps EUC possible.
constexpr std::string_view kStrayedEuc = "\xa4\xa2\xa4\xa4";

struct OpenFixture : DocFixture {
    TempDir dir;
    bool Open(std::string_view bytes, std::int32_t forced = -1) {
        return doc.OnOpenDocument(dir.Write("a.txt", bytes), {OpenOrigin::FileDialog, forced},
                                  host);
    }
};

TEST(OpenDocument, EmptyFile) {
    for (std::int32_t forced : {-1, 0, 1, 2}) {
        OpenFixture f;
        ASSERT_TRUE(f.Open("", forced));
        EXPECT_EQ(f.doc.GetLineCount(), 0);
        EXPECT_EQ(f.doc.encoding, forced > 0 ? EncodingKind(forced) : EncodingKind::SJIS);
        EXPECT_EQ(f.doc.lineBreak, LineBreakKind::WIN);
        EXPECT_EQ(f.doc.halfWidthKanaCount, 0u);
        EXPECT_FALSE(f.doc.IsModified());
    }
}

TEST(OpenDocument, SevenBitTextIsSjisWithoutAsking) {
    OpenFixture f;
    f.settings.inquireWhenStrayed = 1;
    ASSERT_TRUE(f.Open("plain text\r\n"));
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_TRUE(f.host.inquiries.empty());
    EXPECT_EQ(f.Text(), "plain text\n");
    EXPECT_EQ(f.host.waitDepth, 0);
    EXPECT_GE(f.host.waitBegins, 1);
}

TEST(OpenDocument, StrayedDetection) {
    struct Case {
        const char* name;
        bool inquire;
        std::int32_t answer;
        EncodingKind want;
        bool asked;
    };
    const Case cases[] = {
        {"setting off never asks", false, 2, EncodingKind::SJIS, false},
        {"cancel keeps the detected kind", true, -1, EncodingKind::SJIS, true},
        {"the answer is taken", true, 2, EncodingKind::EUC, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFixture f;
        f.settings.inquireWhenStrayed = c.inquire;
        f.host.inquireAnswer = c.answer;
        ASSERT_TRUE(f.Open(kStrayedEuc));
        EXPECT_EQ(f.doc.encoding, c.want);
        EXPECT_EQ(f.host.inquiries.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(f.host.waitRestores, c.asked ? 1 : 0);
        if (c.want == EncodingKind::EUC) {
            EXPECT_EQ(f.Text(), "\x82\xa0\x82\xa2");
        }
    }
}

TEST(OpenDocument, ForcedEncodingSkipsDetection) {
    OpenFixture f;
    f.settings.inquireWhenStrayed = 1;
    ASSERT_TRUE(f.Open("\x82\xa0", 2));  // Shift-JIS bytes read as EUC
    EXPECT_EQ(f.doc.encoding, EncodingKind::EUC);
    EXPECT_TRUE(f.host.inquiries.empty());
}

TEST(OpenDocument, LineBreaksAndKanaCount) {
    OpenFixture f;
    ASSERT_TRUE(f.Open("a\r\nb\nc\rd\xb1\xb2"));
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::MIXED);
    EXPECT_EQ(f.doc.halfWidthKanaCount, 2u);
    EXPECT_EQ(f.Text(), "a\nb\nc\nd\xb1\xb2");
    EXPECT_EQ(f.doc.GetLineCount(), 4);
}

TEST(OpenDocument, ReadsLayoutSettingsFirst) {
    OpenFixture f;
    f.settings.wrapColumns = 3;
    ASSERT_TRUE(f.Open("abcdef"));
    EXPECT_EQ(f.doc.wrapColumn, 3);
    EXPECT_EQ(f.doc.GetLineCount(), 2);
}

TEST(OpenDocument, FileThatCannotBeOpenedLeavesDocumentAlone) {
    OpenFixture f;
    ASSERT_TRUE(f.Open("keep"));
    f.doc.SetModifiedFlag(true);
    const std::string missing = f.dir.Path("missing.txt");
    EXPECT_FALSE(f.doc.OnOpenDocument(missing, {}, f.host));
    EXPECT_FALSE(f.doc.OnOpenDocument(f.dir.path(), {}, f.host));  // a folder
    EXPECT_EQ(f.host.messages, (std::vector<ShownMessage>{
                                   {StringId::kFileNotFound, MessageKind::Warning, missing},
                                   {StringId::kIsFolder, MessageKind::Warning, f.dir.path()}}));
    EXPECT_EQ(f.Text(), "keep");
    EXPECT_TRUE(f.doc.IsModified());
}

// Anything but a regular file is refused at once (a pipe without a writer
// would block the open forever), and the document keeps its text, its
// modified flag and the layout its index was built for.
TEST(OpenDocument, FilesThatAreNotRegularAreRefusedAndChangeNothing) {
    OpenFixture f;
    f.settings.wrapColumns = 40;
    ASSERT_TRUE(f.Open("keep this text"));
    f.doc.SetModifiedFlag(true);
    f.settings.wrapColumns = 11;
    f.settings.tabstops = 2;
    const std::string fifo = f.dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string paths[] = {fifo, "/dev/zero", "/dev/null", f.dir.path()};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        f.host.messages.clear();
        EXPECT_FALSE(f.doc.OnOpenDocument(path, {}, f.host));
        const StringId::Id said = path == f.dir.path() ? StringId::kIsFolder : StringId::kReadError;
        EXPECT_EQ(f.host.messages, (std::vector<ShownMessage>{{said, MessageKind::Warning, path}}));
    }
    EXPECT_FALSE(f.doc.OnOpenDocument(f.dir.Path("missing.txt"), {}, f.host));
    EXPECT_EQ(f.Text(), "keep this text");
    EXPECT_TRUE(f.doc.IsModified());
    EXPECT_EQ(f.doc.wrapColumn, 40);
    EXPECT_EQ(f.doc.tabWidth, 8);
    EXPECT_EQ(f.doc.GetLineCount(), 1);
}

TEST(OpenDocument, ReadsToTheEndWhateverSizeTheFileAnnounces) {
    OpenFixture f;
    ASSERT_TRUE(f.doc.OnOpenDocument("/proc/self/status", {}, f.host));  // its size reads 0
    EXPECT_GT(f.doc.text.capacity(), 0u);
    EXPECT_EQ(f.Text().rfind("Name:", 0), 0u);
}

TEST(OpenDocument, FileTooLongFailsAsOutOfMemory) {
    OpenFixture f;
    ASSERT_TRUE(f.Open("previous"));
    const std::string big = f.dir.Path("big.txt");
    const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t{1} << 32), 0);  // sparse: costs no disk
    close(fd);
    EXPECT_FALSE(f.doc.OnOpenDocument(big, {}, f.host));
    EXPECT_EQ(f.host.messages,
              (std::vector<ShownMessage>{{StringId::kOpenFailed, MessageKind::Warning, big}}));
    EXPECT_EQ(f.doc.GetLineCount(), 0);
    EXPECT_EQ(f.doc.text.data(), nullptr);
    EXPECT_TRUE(f.doc.IsModified());  // tells the template the document changed
}

// Each allocation of a load can fail: the file's block, its shrink after the
// CR LF conversion, and the index.
TEST(OpenDocument, OutOfMemoryAtEveryStepEmptiesTheDocument) {
    for (std::uint32_t allow : {0u, 1u, 2u}) {
        SCOPED_TRACE(allow);
        OpenFixture f;
        const std::string file = f.dir.Write("a.txt", "line\r\nline\r\n");
        bool opened;
        {
            AllocationFaultScope fail(allow, 1);
            opened = f.doc.OnOpenDocument(file, {OpenOrigin::FileDialog, -1}, f.host);
        }
        EXPECT_FALSE(opened);
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0].id, StringId::kOpenFailed);
        EXPECT_EQ(f.doc.text.data(), nullptr);
        EXPECT_EQ(f.doc.lineIndex.data(), nullptr);
        EXPECT_EQ(f.doc.GetLineCount(), 0);
    }
}

TEST(LoadFromBlock, OnlyTheFirstLengthBytesAreText) {
    DocFixture f;
    ASSERT_TRUE(f.doc.LoadFromBlock(testing::BlockOf("abc\ngarbage"), 3, {}, f.host));
    EXPECT_EQ(f.Text(), "abc");
    EXPECT_EQ(f.doc.GetLineCount(), 1);
}

TEST(LoadFromBlock, ImportThatEmptiesTheTextReleasesIt) {
    DocFixture f;
    ASSERT_TRUE(f.Load("\x1b$B\x1b(B", 1));  // escape sequences only
    EXPECT_EQ(f.doc.text.data(), nullptr);
    EXPECT_EQ(f.doc.GetLineCount(), 0);
}

// Unicode detection comes first with the setting on; off, detection is the
// legacy one.
TEST(OpenDocument, UnicodeFilesFollowTheSetting) {
    const std::string fourKana = "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86\xE3\x81\x88\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t detectUnicode;
        EncodingKind want;
        std::string text;
    };
    const Case cases[] = {
        {"UTF-8", fourKana, 1, EncodingKind::UTF8, "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\n"},
        {"UTF-16LE", std::string("\xFF\xFE\x42\x30\r\0\n\0", 8), 1, EncodingKind::UTF16LE,
         "\x82\xA0\n"},
        {"UTF-8 with BOM, switched off",
         "\xEF\xBB\xBF"
         "a",
         0, EncodingKind::SJIS,
         "\xEF\xBB\xBF"
         "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFixture f;
        f.settings.inquireWhenStrayed = 1;
        f.settings.detectUnicode = c.detectUnicode;
        ASSERT_TRUE(f.Open(c.bytes));
        EXPECT_EQ(f.doc.encoding, c.want);
        EXPECT_EQ(f.Text(), c.text);
        // Certain: nobody is asked.
        EXPECT_TRUE(f.host.inquiries.empty());
    }
    // Off, the UTF-8 file reads exactly as the legacy detection has it.
    OpenFixture legacy;
    legacy.settings.detectUnicode = 0;
    ASSERT_TRUE(legacy.Open(fourKana));
    EXPECT_NE(legacy.doc.encoding, EncodingKind::UTF8);
}

TEST(OpenDocument, UncertainUtf8AsksWithEveryCandidate) {
    OpenFixture f;
    f.settings.inquireWhenStrayed = 1;
    f.host.inquireAnswer = static_cast<std::int32_t>(EncodingKind::UTF8);
    ASSERT_TRUE(f.Open("a\xE3\x81\x82"));
    ASSERT_EQ(f.host.inquiries.size(), 1u);
    EXPECT_EQ(f.host.inquiries[0], EncodingKind::UTF8);
    EXPECT_EQ(f.doc.encoding, EncodingKind::UTF8);
    EXPECT_EQ(f.Text(), "a\x82\xA0");
}

// More distinct characters beyond CP932 than free codes: the rest show as
// the middle dot, and the user is told how many.
TEST(OpenDocument, CharactersWithoutACodeAreCounted) {
    std::string utf8 = "first line\n";
    std::size_t distinct = 0;
    for (char32_t ch = 0xAC00; distinct < kUserCodeCount + 2; ++ch, ++distinct)
        AppendUtf8(utf8, ch);  // Hangul: none of it is in CP932
    // With the notice the count goes beside the text; without it, in a box.
    OpenFixture f;
    ASSERT_TRUE(f.Open(utf8));
    EXPECT_EQ(f.doc.extensions.size(), kUserCodeCount);
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.doc.openNotice.lostCharacters, 2u);
    EXPECT_EQ(f.doc.openNotice.firstLostLine, 2);
    EXPECT_FALSE(f.doc.openNotice.guessed);
    OpenFixture boxed;
    boxed.settings.showOpenNotice = 0;
    ASSERT_TRUE(boxed.Open(utf8));
    ASSERT_EQ(boxed.host.messages.size(), 1u);
    EXPECT_EQ(boxed.host.messages[0].id, StringId::kCharactersReplaced);
    EXPECT_EQ(boxed.host.messages[0].argument, "2");
    EXPECT_TRUE(boxed.doc.openNotice.empty());
    // A legacy file gets no table and no message.
    OpenFixture sjis;
    ASSERT_TRUE(sjis.Open("\x82\xA0\xF0\x40"));
    EXPECT_TRUE(sjis.doc.extensions.empty());
    EXPECT_TRUE(sjis.host.messages.empty());
    EXPECT_TRUE(sjis.doc.openNotice.empty());
}

// The notice tells a guess nobody was asked about, with the kinds that were
// possible, and undecodable bytes with the line of the first; the next open
// forgets it. Without the setting nothing changes but that the notice stays
// empty.
TEST(OpenDocument, NoticeOfGuessesAndLosses) {
    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t forced, inquire, showNotice;
        bool guessed;
        std::uint16_t candidates;
        std::uint32_t lost;
        std::int32_t firstLine;
    } const cases[] = {
        {"strayed EUC", std::string(kStrayedEuc), -1, 0, 1, true, kDetectSjis | kDetectEuc, 0, 0},
        {"strayed, asked", std::string(kStrayedEuc), -1, 1, 1, false, 0, 0, 0},
        {"strayed, forced", std::string(kStrayedEuc), 2, 0, 1, false, 0, 0, 0},
        {"strayed, notice off", std::string(kStrayedEuc), -1, 0, 0, false, 0, 0, 0},
        {"certain Shift-JIS", "\x82\xA0\x82\xA2\x82\xA4", -1, 0, 1, false, 0, 0, 0},
        {"lead byte cut off", "a\nb\nc\x82", 0, 0, 1, false, 0, 1, 3},
        {"bad EUC bytes", "x\n\x85\x85", 2, 0, 1, false, 0, 2, 2},
        {"bad bytes, notice off", "a\nb\nc\x82", 0, 0, 0, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFixture f;
        f.settings.inquireWhenStrayed = c.inquire;
        f.settings.showOpenNotice = c.showNotice;
        f.host.inquireAnswer = -1;
        ASSERT_TRUE(f.Open(c.bytes, c.forced));
        const OpenNotice& notice = f.doc.openNotice;
        EXPECT_EQ(notice.guessed, c.guessed);
        EXPECT_EQ(notice.candidates, c.candidates);
        EXPECT_EQ(notice.lostCharacters, c.lost);
        EXPECT_EQ(notice.firstLostLine, c.firstLine);
        EXPECT_TRUE(f.host.messages.empty());
        // The text itself is what it always was.
        OpenFixture legacy;
        legacy.settings.inquireWhenStrayed = c.inquire;
        legacy.settings.showOpenNotice = 0;
        ASSERT_TRUE(legacy.Open(c.bytes, c.forced));
        EXPECT_EQ(f.Text(), legacy.Text());
        EXPECT_EQ(f.doc.encoding, legacy.doc.encoding);
        // The next open forgets the notice.
        ASSERT_TRUE(f.Open("plain\n"));
        EXPECT_TRUE(f.doc.openNotice.empty());
    }
}

}  // namespace
}  // namespace kotoha
