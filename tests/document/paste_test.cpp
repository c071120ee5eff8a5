// SPDX-License-Identifier: MIT
// Replacing the document by the clipboard's text.
#include <gtest/gtest.h>

#include "fake_host.h"

namespace kotoha {
namespace {

using testing::AllocationFaultScope;
using testing::DocFixture;
using testing::ShownMessage;

class FakeClipboard : public Clipboard {
  public:
    ReadResult result = ReadResult::Text;
    std::string text;
    int reads = 0;
    std::u16string unicodeText;
    ReadResult ReadText(std::string& out) override {
        ++reads;
        out = text;
        return result;
    }
    ReadResult ReadUnicodeText(std::u16string& out) override {
        ++reads;
        out = unicodeText;
        return result;
    }
};

// Pasting as the legacy program does (Unicode off): the clipboard's text
// arrives as Shift-JIS bytes.
struct PasteFixture : DocFixture {
    FakeClipboard clipboard;
    PasteFixture() {
        settings.detectUnicode = 0;
        // The template's new document, as far as the document sees it.
        host.onStartNewDocument = [this] {
            if (!doc.SaveModified(host))
                return false;
            doc.SetTitle("untitled");
            return doc.OnNewDocument();
        };
    }
};

TEST(ReplaceFromClipboard, CrLfTextBecomesAModifiedUntitledDocument) {
    PasteFixture f;
    f.requests.SetOpenRequest(OpenOrigin::CommandLine, 2);  // a switch must not matter
    f.clipboard.text = "ab\r\ncd";
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "ab\ncd");
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::WIN);
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_TRUE(f.doc.IsModified());
    EXPECT_EQ(f.doc.pathName(), "");
    EXPECT_EQ(f.doc.title(), "untitled");
    EXPECT_EQ(f.requests.openRequest.origin, OpenOrigin::Paste);
    EXPECT_EQ(f.requests.openRequest.forcedEncoding, 0);
    EXPECT_TRUE(f.host.questions.empty());  // empty document: nothing to ask
    EXPECT_EQ(f.host.waitDepth, 0);
    EXPECT_GE(f.host.updates, 1);
}

// The clipboard text reaches the document as Shift-JIS already: half-width
// katakana must not be taken for EUC-JP, and nothing is asked.
TEST(ReplaceFromClipboard, PastedTextIsShiftJisWithoutDetection) {
    PasteFixture f;
    f.settings.preferWinText = 0;
    f.settings.inquireWhenStrayed = 1;
    f.clipboard.text = "\xb1\xb2\xb3\xb4\xb5";  // ｱｲｳｴｵ
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "\xb1\xb2\xb3\xb4\xb5");
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_EQ(f.doc.halfWidthKanaCount, 5u);
    EXPECT_TRUE(f.host.inquiries.empty());
}

TEST(ReplaceFromClipboard, AsksBeforeReplacingText) {
    PasteFixture f;
    ASSERT_TRUE(f.Load("old"));
    f.clipboard.text = "new";
    f.host.yesNoAnswer = false;
    EXPECT_FALSE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.host.questions, std::vector<StringId::Id>{StringId::kReplaceTextQuestion});
    EXPECT_EQ(f.Text(), "old");
    EXPECT_EQ(f.host.newDocuments, 0);
    EXPECT_EQ(f.clipboard.reads, 0);

    f.settings.inquireWhenPaste = 0;
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.Text(), "new");
}

TEST(ReplaceFromClipboard, CancelledSaveQuestionEndsThePaste) {
    PasteFixture f;
    ASSERT_TRUE(f.Load("old"));
    f.doc.SetModifiedFlag(true);
    f.host.yesNoCancelAnswer = Answer::Cancel;
    f.clipboard.text = "new";
    EXPECT_FALSE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "old");
    EXPECT_TRUE(f.doc.IsModified());
}

TEST(ReplaceFromClipboard, EmptyOrMissingClipboardText) {
    struct Case {
        const char* name;
        Clipboard::ReadResult result;
        std::string text;
        std::vector<ShownMessage> messages;
    };
    const Case cases[] = {
        {"empty string", Clipboard::ReadResult::Text, "", {}},
        {"no text", Clipboard::ReadResult::NoText, "", {}},
        {"not opened",
         Clipboard::ReadResult::NotOpened,
         "",
         {{StringId::kClipboardNotOpened, MessageKind::Warning, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PasteFixture f;
        ASSERT_TRUE(f.Load("old"));
        f.clipboard.result = c.result;
        f.clipboard.text = c.text;
        f.doc.ReplaceFromClipboard(f.clipboard, f.host);
        EXPECT_EQ(f.doc.GetLineCount(), 0);
        EXPECT_FALSE(f.doc.IsModified());
        EXPECT_EQ(f.doc.title(), "untitled");
        EXPECT_EQ(f.host.messages, c.messages);
    }
}

TEST(ReplaceFromClipboard, TextEndsAtItsFirstNul) {
    PasteFixture f;
    f.clipboard.text = std::string("ab\0cd", 5);
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "ab");
}

// The copy, the shrink after the CR LF conversion and the index can each run
// out of memory: the paste then fails like an unreadable clipboard.
TEST(ReplaceFromClipboard, OutOfMemoryLeavesAnEmptyDocument) {
    for (std::uint32_t allow : {0u, 1u, 2u}) {
        SCOPED_TRACE(allow);
        PasteFixture f;
        f.clipboard.text = "a\r\nb\r\n";
        bool pasted;
        {
            AllocationFaultScope fail(allow, 1);
            pasted = f.doc.ReplaceFromClipboard(f.clipboard, f.host);
        }
        EXPECT_FALSE(pasted);
        EXPECT_EQ(f.doc.text.data(), nullptr);
        EXPECT_EQ(f.doc.GetLineCount(), 0);
        EXPECT_FALSE(f.doc.IsModified());
        EXPECT_EQ(
            f.host.messages,
            (std::vector<ShownMessage>{{StringId::kClipboardNotOpened, MessageKind::Warning, ""}}));
        EXPECT_EQ(f.host.waitDepth, 0);
    }
}

// With Unicode on, every character of the clipboard is kept: those CP932
// cannot hold get codes of the pasted text's own table.
TEST(ReplaceFromClipboard, UnicodeTextKeepsEveryCharacter) {
    PasteFixture f;
    f.settings.detectUnicode = 1;
    f.clipboard.unicodeText = u"a\u301C\U0001F600\r\n\u3042\uFF5E";
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "a\xF0\x40\xF0\x41\n\x82\xA0\x81\x60");
    EXPECT_EQ(f.doc.extensions.CharOf(0xF040), U'\u301C');
    EXPECT_EQ(f.doc.extensions.CharOf(0xF041), U'\U0001F600');
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_TRUE(f.host.messages.empty());

    // A second paste starts a table of its own.
    f.clipboard.unicodeText = u"\U0001F600";
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "\xF0\x40");
    EXPECT_EQ(f.doc.extensions.CharOf(0xF040), U'\U0001F600');
    EXPECT_EQ(f.doc.extensions.size(), 1u);

    // A lone surrogate is no character: "?", and the message counts it.
    f.host.messages.clear();
    f.clipboard.unicodeText = std::u16string(u"a") + char16_t(0xD800) + u"b";
    ASSERT_TRUE(f.doc.ReplaceFromClipboard(f.clipboard, f.host));
    EXPECT_EQ(f.Text(), "a?b");
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].argument, "1");
}

}  // namespace
}  // namespace kotoha
