// SPDX-License-Identifier: MIT
// Save As, copy to file, widening, and the safe write underneath.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fake_host.h"

namespace kotoha {
namespace {

using testing::AllocationFaultScope;
using testing::DocFixture;
using testing::ShownMessage;
using testing::TempDir;

constexpr const char* kUntitled = "\xe7\x84\xa1\xe9\xa1\x8c";  // the untitled name, UTF-8

struct SaveFixture : DocFixture {
    TempDir dir;
    SaveFixture() {
        doc.SetDocumentNames({kUntitled, ".txt"});
        doc.SetTitle(kUntitled);
    }
    bool SaveAs(const std::string& name, SaveFormatChoice choice = {}) {
        host.promptName = name;
        host.promptChoice = choice;
        return doc.DoSave(std::nullopt, true, SavePromptMode::SaveAs, host);
    }
    bool CopyToFile(const std::string& name, SaveFormatChoice choice = {}) {
        host.promptName = name;
        host.promptChoice = choice;
        return doc.DoSave(std::nullopt, false, SavePromptMode::CopySelection, host);
    }
};

TEST(ProposeSaveName, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "abc.txt"},
        {"abcdefghij", "abcdefgh.txt"},
        {"a b", "a.txt"},
        {"x#y%z", "x.txt"},
        {"semi;colon", "semi.txt"},
        {"dir/name", "dir.txt"},
        {"back\\slash", "back.txt"},
        {std::string(kUntitled) + kUntitled, kUntitled + std::string(".txt")},  // whole characters
    };
    for (const auto& [title, want] : cases)
        EXPECT_EQ(ProposeSaveName(title, ".txt"), want);
    EXPECT_EQ(ProposeSaveName("abc", ""), "abc");
}

TEST(DoSave, ProposedNames) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("text"));
    f.host.promptAccepts = false;
    EXPECT_FALSE(f.doc.DoSave(std::nullopt, true, SavePromptMode::SaveAs, f.host));
    EXPECT_FALSE(f.doc.DoSave(std::nullopt, false, SavePromptMode::SaveAs, f.host));
    f.doc.SetPathName("/somewhere/own.txt", false);
    EXPECT_FALSE(f.doc.DoSave(std::nullopt, false, SavePromptMode::SaveAs, f.host));
    EXPECT_EQ(f.host.prompts, (std::vector<std::string>{kUntitled + std::string(".txt"), "",
                                                        "/somewhere/own.txt"}));
    EXPECT_EQ(f.host.promptTitles,
              (std::vector<StringId::Id>{StringId::kSaveAsTitle, StringId::kCopyToFileTitle,
                                         StringId::kCopyToFileTitle}));
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.host.waitBegins, 0);
}

TEST(DoSave, SaveAsTakesOnTheFileAndFormat) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("a\nb"));
    f.doc.SetModifiedFlag(true);
    const std::string file = f.dir.Path("out.txt");
    ASSERT_TRUE(f.SaveAs(file, {LineBreakKind::UX, EncodingKind::EUC, false, false}));
    EXPECT_EQ(TempDir::Read(file), "a\nb");
    EXPECT_EQ(f.doc.pathName(), file);
    EXPECT_EQ(f.doc.title(), "out.txt");
    EXPECT_FALSE(f.doc.IsModified());
    EXPECT_EQ(f.doc.encoding, EncodingKind::EUC);
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::UX);
    EXPECT_EQ(f.host.shownEncodings, std::vector{EncodingKind::EUC});
    EXPECT_EQ(f.host.shownLineBreaks, std::vector{LineBreakKind::UX});
    EXPECT_EQ(f.host.recent, std::vector<std::string>{file});
    EXPECT_EQ(f.host.waitDepth, 0);
    EXPECT_EQ(f.dir.List(), std::vector<std::string>{"out.txt"});  // no temporary left
}

TEST(DoSave, SaveAsWithWideningWidensTheDocument) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("\xb6\xde\n"));  // half-width ka + voiced mark
    ASSERT_EQ(f.doc.halfWidthKanaCount, 2u);
    const std::string file = f.dir.Path("w.txt");
    const SaveFormatChoice widen{LineBreakKind::WIN, EncodingKind::SJIS, true, false};
    ASSERT_TRUE(f.SaveAs(file, widen));
    EXPECT_EQ(TempDir::Read(file), "\x83\x4b\r\n");  // full-width ga
    EXPECT_EQ(f.Text(), "\x83\x4b\n");
    EXPECT_EQ(f.doc.halfWidthKanaCount, 0u);
    EXPECT_EQ(f.doc.GetLineCount(), 1);
    const int updates = f.host.updates;
    const std::uint8_t* text = f.doc.text.data();
    ASSERT_TRUE(f.SaveAs(file, widen));  // nothing more to widen
    EXPECT_EQ(f.doc.text.data(), text);
    EXPECT_EQ(f.host.updates, updates);
}

TEST(DoSave, WideningWithoutKanaLeavesTheTextAlone) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("abc"));
    const std::uint8_t* text = f.doc.text.data();
    ASSERT_TRUE(f.SaveAs(f.dir.Path("x.txt"), {LineBreakKind::WIN, EncodingKind::SJIS, true}));
    EXPECT_EQ(f.doc.text.data(), text);
    EXPECT_EQ(f.Text(), "abc");
}

TEST(DoSave, CopyToFileWritesTheSelectionAndChangesNothing) {
    SaveFixture f;
    ASSERT_TRUE(
        f.Load("ab\x82\xa0"
               "cd\xb1"));
    f.doc.SetModifiedFlag(true);
    // Columns: a0 b1 kanji2-3 c4 d5 kana6. The selection ends on the kanji's
    // second column, which PosToOffset maps to the kanji's start.
    f.host.selectionLo = {1, 0};
    f.host.selectionHi = {3, 0};
    const std::string file = f.dir.Path("sel.txt");
    ASSERT_TRUE(f.CopyToFile(file));
    EXPECT_EQ(TempDir::Read(file), "b");
    f.host.selectionHi = {7, 0};
    ASSERT_TRUE(f.CopyToFile(file, {LineBreakKind::WIN, EncodingKind::SJIS, true}));
    EXPECT_EQ(TempDir::Read(file),
              "b\x82\xa0"
              "cd\x83\x41");  // widened on disk only
    EXPECT_EQ(f.Text(),
              "ab\x82\xa0"
              "cd\xb1");
    EXPECT_EQ(f.doc.pathName(), "");
    EXPECT_EQ(f.doc.title(), kUntitled);
    EXPECT_FALSE(f.doc.IsModified());  // the save clears it, as for any save
    EXPECT_TRUE(f.host.recent.empty());
}

TEST(DoSave, WideningOutOfMemoryKeepsTheDocument) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("\xb1\xb2"));
    const std::string file = f.dir.Path("w.txt");
    bool saved;
    {
        AllocationFaultScope fail(0, 0, 3);  // only the widened copy is big enough to fail
        saved = f.SaveAs(file, {LineBreakKind::UX, EncodingKind::EUC, true, false});
    }
    EXPECT_TRUE(saved);
    EXPECT_EQ(TempDir::Read(file), "\xa5\xa2\xa5\xa4");  // EUC, widened
    EXPECT_EQ(f.Text(), "\xb1\xb2");
    EXPECT_EQ(f.doc.halfWidthKanaCount, 2u);
    EXPECT_EQ(f.doc.pathName(), "");
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_EQ(f.host.messages,
              (std::vector<ShownMessage>{{StringId::kOutOfMemory, MessageKind::Warning, ""}}));
}

TEST(WidenHalfWidthKana, IndexFailureRestoresTheOldText) {
    DocFixture f;
    ASSERT_TRUE(f.Load("\xb1\n\xb2"));
    const std::uint32_t* index = f.doc.lineIndex.data();
    {
        AllocationFaultScope fail(
            2, 1);  // the widened copy and the index reserve pass, its trim fails
        EXPECT_FALSE(f.doc.WidenHalfWidthKana());
    }
    EXPECT_EQ(f.Text(), "\xb1\n\xb2");
    EXPECT_EQ(f.doc.lineIndex.data(), index);
    EXPECT_EQ(f.doc.halfWidthKanaCount, 2u);
    {
        AllocationFaultScope fail(0, 1);
        EXPECT_FALSE(f.doc.WidenHalfWidthKana());
    }
    EXPECT_EQ(f.Text(), "\xb1\n\xb2");
    EXPECT_TRUE(f.doc.WidenHalfWidthKana());
    EXPECT_EQ(f.Text(), "\x83\x41\n\x83\x43");
}

TEST(DoSave, FailuresLeaveTheTargetAndReportTheKind) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("new"));
    const std::string missingDir = f.dir.Path("no/such.txt");
    EXPECT_FALSE(f.SaveAs(missingDir));
    const std::string readOnly = f.dir.Write("ro.txt", "old");
    chmod(readOnly.c_str(), 0444);
    EXPECT_FALSE(f.SaveAs(readOnly));
    EXPECT_FALSE(f.SaveAs(f.dir.path()));  // a folder
    EXPECT_EQ(f.host.messages, (std::vector<ShownMessage>{
                                   {StringId::kFileNotFound, MessageKind::Warning, missingDir},
                                   {StringId::kWriteAccessDenied, MessageKind::Warning, readOnly},
                                   {StringId::kIsFolder, MessageKind::Warning, f.dir.path()}}));
    EXPECT_EQ(TempDir::Read(readOnly), "old");
    EXPECT_EQ(f.dir.List(), std::vector<std::string>{"ro.txt"});
    EXPECT_EQ(f.doc.pathName(), "");
}

TEST(WriteFileSafely, FailedWriteRemovesTheTemporaryAndKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.Write("t.txt", "old");
    const FileResult result = WriteFileSafely(file, [](FdSink& sink) {
        sink.Write(reinterpret_cast<const std::uint8_t*>("partial"), 7);
        return false;
    });
    EXPECT_EQ(result.kind, FileErrorKind::Generic);
    EXPECT_EQ(FileErrorMessage(result.kind, result.access), StringId::kWriteError);
    EXPECT_EQ(TempDir::Read(file), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"t.txt"});
}

TEST(WriteFileSafely, KeepsModeAndSymbolicLinks) {
    TempDir dir;
    const std::string file = dir.Write("t.txt", "old");
    chmod(file.c_str(), 0640);
    const std::string link = dir.Path("link.txt");
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    const auto writeNew = [](FdSink& sink) {
        return sink.Write(reinterpret_cast<const std::uint8_t*>("new"), 3);
    };
    ASSERT_TRUE(WriteFileSafely(link, writeNew).ok());
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(TempDir::Read(file), "new");

    const mode_t mask = umask(022);
    ASSERT_TRUE(WriteFileSafely(dir.Path("fresh.txt"), writeNew).ok());
    umask(mask);
    ASSERT_EQ(stat(dir.Path("fresh.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(FileErrorMessage, Table) {
    struct Case {
        int error;
        StringId::Id read, create, write;
    };
    const Case cases[] = {
        {ENOENT, StringId::kFileNotFound, StringId::kFileNotFound, StringId::kFileNotFound},
        {ENAMETOOLONG, StringId::kFileNotFound, StringId::kFileNotFound, StringId::kFileNotFound},
        {EACCES, StringId::kReadAccessDenied, StringId::kWriteAccessDenied,
         StringId::kWriteAccessDenied},
        // A read-only medium says so; a folder says it is one.
        {EROFS, StringId::kReadAccessDenied, StringId::kReadOnlyMedium, StringId::kReadOnlyMedium},
        {EISDIR, StringId::kIsFolder, StringId::kIsFolder, StringId::kIsFolder},
        {ENOSPC, StringId::kDiskFull, StringId::kDiskFull, StringId::kDiskFull},
        {EDQUOT, StringId::kDiskFull, StringId::kDiskFull, StringId::kDiskFull},
        {EIO, StringId::kReadError, StringId::kWriteError, StringId::kWriteError},
        {EMFILE, StringId::kReadError, StringId::kWriteError, StringId::kWriteError},
    };
    for (const Case& c : cases) {
        const FileErrorKind kind = ClassifyErrno(c.error);
        EXPECT_EQ(FileErrorMessage(kind, FileAccess::Read), c.read) << c.error;
        EXPECT_EQ(FileErrorMessage(kind, FileAccess::Create), c.create) << c.error;
        EXPECT_EQ(FileErrorMessage(kind, FileAccess::Write), c.write) << c.error;
    }
    EXPECT_EQ(FileErrorMessage(FileErrorKind::Other, FileAccess::Read), StringId::kOpenFailed);
    EXPECT_EQ(FileErrorMessage(FileErrorKind::Other, FileAccess::Create),
              StringId::kInvalidFileName);
    EXPECT_EQ(FileErrorMessage(FileErrorKind::Other, FileAccess::Write), StringId::kSaveFailed);
}

TEST(DoFileSave, WritableFileIsWrittenWithoutDialog) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("new\n"));
    const std::string file = f.dir.Write("d.txt", "old");
    f.doc.SetPathName(file, false);
    // A stale "selection" from an earlier copy to file must not cut the text.
    f.requests.saveFormatChoice = {LineBreakKind::WIN, EncodingKind::SJIS, false, true};
    f.host.selectionHi = {1, 0};
    ASSERT_TRUE(f.doc.DoFileSave(f.host));
    EXPECT_TRUE(f.host.prompts.empty());
    EXPECT_EQ(TempDir::Read(file), "new\r\n");
}

TEST(DoFileSave, ReadOnlyOrMissingFilePrompts) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("x"));
    const std::string file = f.dir.Write("ro.txt", "old");
    chmod(file.c_str(), 0444);
    f.doc.SetPathName(file, false);
    f.host.promptAccepts = false;
    EXPECT_FALSE(f.doc.DoFileSave(f.host));
    f.doc.SetPathName(f.dir.Path("gone.txt"), false);
    EXPECT_FALSE(f.doc.DoFileSave(f.host));
    EXPECT_EQ(f.host.prompts.size(), 2u);
    EXPECT_EQ(f.host.promptModes.back(), SavePromptMode::SaveAs);
    EXPECT_EQ(TempDir::Read(file), "old");
}

// Characters the chosen encoding cannot hold are counted before anything is
// written: Yes writes substitutes, No goes back to the format choice, and a
// text without such characters, or the setting off, never asks.
TEST(DoSave, AsksBeforeWritingSubstitutes) {
    // "a", an IBM extension (small roman one), a user-defined character, a
    // kanji, "b": two characters EUC and JIS lack.
    const std::string text =
        "a\xfa\x40\xf0\x40\x88\x9f"
        "b\n";
    const SaveFormatChoice euc{LineBreakKind::UX, EncodingKind::EUC, false, false};
    const SaveFormatChoice sjis{LineBreakKind::UX, EncodingKind::SJIS, false, false};
    struct Case {
        const char* name;
        std::string text;
        SaveFormatChoice choice;
        std::int32_t askSetting;
        std::vector<bool> answers;
        std::vector<SaveFormatChoice> formats;  // chosen again after No
        bool saved;
        std::size_t questions;
        int formatPrompts;
        std::string written;
    } const cases[] = {
        {"yes writes blanks",
         text,
         euc,
         1,
         {true},
         {},
         true,
         1,
         0,
         "a\xa1\xa1\xa1\xa1\xb0\xa1"
         "b\n"},
        {"no, then Shift-JIS", text, euc, 1, {false}, {sjis}, true, 1, 1, text},
        {"no, then EUC again, yes",
         text,
         euc,
         1,
         {false, true},
         {euc},
         true,
         2,
         1,
         "a\xa1\xa1\xa1\xa1\xb0\xa1"
         "b\n"},
        {"no, format cancelled", text, euc, 1, {false}, {}, false, 1, 1, ""},
        {"Shift-JIS holds them", text, sjis, 1, {}, {}, true, 0, 0, text},
        {"nothing to lose", "a\x88\x9f\n", euc, 1, {}, {}, true, 0, 0, "a\xb0\xa1\n"},
        {"setting off",
         text,
         euc,
         0,
         {},
         {},
         true,
         0,
         0,
         "a\xa1\xa1\xa1\xa1\xb0\xa1"
         "b\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveFixture f;
        f.settings.askBeforeLoss = c.askSetting;
        ASSERT_TRUE(f.Load(c.text));
        f.host.yesNoAnswers = c.answers;
        f.host.formatAnswers = c.formats;
        const std::string file = f.dir.Path("out.txt");
        EXPECT_EQ(f.SaveAs(file, c.choice), c.saved);
        EXPECT_EQ(f.host.questions.size(), c.questions);
        EXPECT_EQ(f.host.formatPrompts, c.formatPrompts);
        if (c.questions > 0) {
            EXPECT_EQ(f.host.questions[0], StringId::kUnwritableQuestion);
            EXPECT_EQ(f.host.questionArguments[0], "2|EUC-JP");
        }
        if (c.saved) {
            EXPECT_EQ(TempDir::Read(file), c.written);
            EXPECT_EQ(f.doc.pathName(), file);
        } else {
            EXPECT_NE(access(file.c_str(), F_OK), 0);  // nothing written
            EXPECT_EQ(f.doc.pathName(), "");
        }
        EXPECT_EQ(f.Text(), c.text);  // the document keeps every character
    }
}

TEST(DoSave, LossesAreCountedInWhatIsWritten) {
    SaveFixture f;
    ASSERT_TRUE(f.Load("ab\xfa\x40\n"));
    const SaveFormatChoice euc{LineBreakKind::UX, EncodingKind::EUC, false, false};
    // A selection without the roman numeral asks nothing; with it, it asks.
    f.host.selectionLo = {0, 0};
    f.host.selectionHi = {2, 0};
    ASSERT_TRUE(f.CopyToFile(f.dir.Path("sel.txt"), euc));
    EXPECT_TRUE(f.host.questions.empty());
    f.host.selectionHi = {4, 0};
    f.host.yesNoAnswer = false;
    EXPECT_FALSE(f.CopyToFile(f.dir.Path("sel2.txt"), euc));
    EXPECT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.host.questionArguments[0], "1|EUC-JP");
    EXPECT_EQ(f.host.formatPrompts, 1);  // No went back to the format, cancelled
    // A plain save in the remembered format asks too; No writes nothing.
    const std::string file = f.dir.Write("d.txt", "old");
    f.doc.SetPathName(file, false);
    f.requests.saveFormatChoice = euc;
    EXPECT_FALSE(f.doc.DoFileSave(f.host));
    EXPECT_EQ(f.host.questions.size(), 2u);
    EXPECT_EQ(f.host.formatPrompts, 1);  // no format dialog without a prompt
    EXPECT_EQ(TempDir::Read(file), "old");
}

}  // namespace
}  // namespace kotoha
