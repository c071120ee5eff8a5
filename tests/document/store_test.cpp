// SPDX-License-Identifier: MIT
// The document's fields, layout settings and the two range copies.
#include <gtest/gtest.h>

#include "fake_host.h"

namespace kotoha {
namespace {

using namespace std::string_literals;
using testing::AllocationFaultScope;
using testing::DocFixture;

std::string BlockText(const ByteBlock& block) {
    return std::string(reinterpret_cast<const char*>(block.data()), block.capacity());
}

TEST(Document, NewAndDeletedDocumentsAreEmpty) {
    DocFixture f;
    EXPECT_EQ(f.doc.GetLineCount(), 0);
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::WIN);
    EXPECT_EQ(f.doc.halfWidthKanaCount, 0u);
    EXPECT_EQ(f.doc.text.capacity(), 0u);

    ASSERT_TRUE(f.Load("\x1b$B$\"\x1b(B\r\n", 1));  // JIS with CR LF
    EXPECT_EQ(f.doc.encoding, EncodingKind::JIS);
    EXPECT_GT(f.doc.GetLineCount(), 0);
    f.doc.DeleteContents();
    EXPECT_EQ(f.doc.GetLineCount(), 0);
    EXPECT_EQ(f.doc.encoding, EncodingKind::SJIS);
    EXPECT_EQ(f.doc.text.data(), nullptr);
    EXPECT_EQ(f.doc.lineIndex.data(), nullptr);
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::WIN);  // kept until the next import
}

TEST(Document, LayoutSettingsAreClamped) {
    struct Case {
        std::int32_t wrap, tabs, wantWrap, wantTabs;
    };
    const Case cases[] = {
        {1, 0, 2, 1}, {300, 100, 255, 64}, {2, 1, 2, 1}, {255, 64, 255, 64}, {-5, -5, 2, 1},
    };
    for (const Case& c : cases) {
        DocFixture f;
        f.settings.wrapColumns = c.wrap;
        f.settings.tabstops = c.tabs;
        f.doc.ReadLayoutSettings();
        EXPECT_EQ(f.doc.wrapColumn, c.wantWrap);
        EXPECT_EQ(f.doc.tabWidth, c.wantTabs);
    }
}

TEST(Document, SetEncodingAndLineBreakReachTheStatusBar) {
    DocFixture f;
    f.doc.SetEncoding(EncodingKind::EUC);
    f.doc.SetLineBreak(LineBreakKind::UX);
    EXPECT_EQ(f.doc.encoding, EncodingKind::EUC);
    EXPECT_EQ(f.doc.lineBreak, LineBreakKind::UX);
    EXPECT_EQ(f.host.shownEncodings, std::vector{EncodingKind::EUC});
    EXPECT_EQ(f.host.shownLineBreaks, std::vector{LineBreakKind::UX});
}

TEST(Document, BuildLineIndexFailureKeepsIndexAndLayout) {
    DocFixture f;
    ASSERT_TRUE(f.Load("abcdefghij\nabcdefghij"));
    const std::uint32_t* before = f.doc.lineIndex.data();
    {
        AllocationFaultScope fail(0, 1);
        EXPECT_FALSE(f.doc.BuildLineIndex(5, 4));
    }
    EXPECT_EQ(f.doc.lineIndex.data(), before);
    EXPECT_EQ(f.doc.wrapColumn, 80);
    EXPECT_EQ(f.doc.tabWidth, 8);
    EXPECT_TRUE(f.doc.BuildLineIndex(5, 4));
    EXPECT_EQ(f.doc.GetLineCount(), 4);  // the LF takes the cell after column W
    EXPECT_EQ(f.doc.wrapColumn, 5);
}

TEST(CopyRangeForClipboard, Table) {
    struct Case {
        const char* name;
        std::string text;
        std::uint32_t begin, end;
        std::string want;  // without the terminating NUL
    };
    const Case cases[] = {
        {"empty range", "abc", 1, 1, ""},
        {"LF becomes CR LF", "A\nB", 0, 3, "A\r\nB"},
        {"NUL, DEL, 0xFF and controls become blanks", "a\x00\x7f\xff\x01\x80\xa0z"s, 0, 8,
         "a      z"},
        {"TAB and half-width katakana stay", "\t\xb1\xdf", 0, 3, "\t\xb1\xdf"},
        {"end on a second byte leaves the character out", "a\x82\xa0z", 0, 2, "a"},
        {"begin on a second byte takes the character in", "a\x82\xa0z", 2, 4, "\x82\xa0z"},
        {"end beyond the text is clamped", "ab", 0, 99, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocFixture f;
        ASSERT_TRUE(f.Load(c.text));
        const ByteBlock block = f.doc.CopyRangeForClipboard(c.begin, c.end);
        EXPECT_EQ(BlockText(block), c.want + '\0');
    }
}

TEST(CopyRangeForClipboard, ManyLineBreaksOutgrowTheReserve) {
    DocFixture f;
    const std::string text(1000, '\n');
    ASSERT_TRUE(f.Load(text));
    const ByteBlock block = f.doc.CopyRangeForClipboard(0, 1000);
    ASSERT_EQ(block.capacity(), 2001u);
    EXPECT_EQ(block.data()[1998], '\r');
    EXPECT_EQ(block.data()[2000], 0);
}

TEST(CopyRangeForClipboard, OutOfMemoryGivesNoneAndKeepsTheText) {
    DocFixture f;
    const std::string text(1000, '\n');
    ASSERT_TRUE(f.Load(text));
    // Fails the reserve, then the first and the second growth.
    for (std::uint32_t allow : {0u, 1u, 2u}) {
        SCOPED_TRACE(allow);
        AllocationFaultScope fail(allow, 1);
        const ByteBlock block = f.doc.CopyRangeForClipboard(0, 1000);
        EXPECT_TRUE(block.empty());
    }
    EXPECT_EQ(f.Text(), text);
}

TEST(CopyRangeForFind, Table) {
    std::string kanji200;
    for (int i = 0; i < 200; ++i)
        kanji200 += "\x82\xa0";
    struct Case {
        const char* name;
        std::string text;
        std::uint32_t begin, end;
        std::string want;
    };
    const Case cases[] = {
        {"cut at TAB", "abc\tdef", 0, 7, "abc"},
        {"starts with LF", "\nabc", 0, 4, ""},
        {"cut at NUL",
         "ab\x00"
         "c"s,
         0, 4, "ab"},
        {"300 letters give 255", std::string(300, 'x'), 0, 300, std::string(255, 'x')},
        {"200 kanji give 127", kanji200, 0, 400, kanji200.substr(0, 254)},
        {"letter and 200 kanji give 255 bytes", "a" + kanji200, 0, 401,
         "a" + kanji200.substr(0, 254)},
        {"half-width katakana are shown", "\xb1\xb2\x7f", 0, 3, "\xb1\xb2"},
        {"begin on a second byte",
         "\x82\xa0"
         "b",
         1, 3,
         "\x82\xa0"
         "b"},
        {"end on a second byte", "a\x82\xa0", 0, 2, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocFixture f;
        ASSERT_TRUE(f.Load(c.text));
        EXPECT_EQ(f.doc.CopyRangeForFind(c.begin, c.end), c.want);
    }
}

}  // namespace
}  // namespace kotoha
