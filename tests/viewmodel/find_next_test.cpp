// SPDX-License-Identifier: MIT
// The window-free rules of "find next": start offsets, the selection that
// shows a match, and the scroll position that brings it into view.
#include "viewmodel/find_next.h"

#include <gtest/gtest.h>

#include <string>

#include "document/find.h"

namespace kotoha {
namespace {

// An internal-form text (ASCII here) laid out with tab width 8.
struct LaidOutText {
    LaidOutText(std::string text, std::int32_t wrapColumn)
        : bytes(std::move(text)), wrap(wrapColumn) {
        EXPECT_TRUE(BuildLineIndex(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   static_cast<std::uint32_t>(bytes.size()), wrap, 8, index));
    }
    LayoutText Layout() const {
        return {reinterpret_cast<const std::uint8_t*>(bytes.data()),
                static_cast<std::uint32_t>(bytes.size()),
                index.data(),
                index.capacity(),
                wrap,
                8};
    }
    std::string bytes;
    std::int32_t wrap;
    LineIndex index;
};

// Two letters, LF, the same two letters; searched down with no selection.
TEST(FindNext, RepeatedSearchesWalkThroughTheText) {
    const LaidOutText text("ab\nab", 80);
    const LayoutText layout = text.Layout();

    FindStart start = FindNextStart(layout, true, false, {}, 0, 10);
    EXPECT_EQ(start.offset, 0u);
    std::uint32_t offset = start.offset;
    ASSERT_TRUE(FindText(layout, offset, "ab", true, true, false));
    MatchSelection match = SelectionOfMatch(layout, offset, 2);
    EXPECT_EQ(match.anchor, (DisplayPos{0, 0}));
    EXPECT_EQ(match.end, (DisplayPos{2, 0}));

    start = FindNextStart(layout, true, true, match.anchor, 0, 10);
    EXPECT_EQ(start.offset, 1u);
    offset = start.offset;
    ASSERT_TRUE(FindText(layout, offset, "ab", true, true, false));
    EXPECT_EQ(offset, 3u);
    match = SelectionOfMatch(layout, offset, 2);

    start = FindNextStart(layout, true, true, match.anchor, 0, 10);
    offset = start.offset;
    EXPECT_FALSE(FindText(layout, offset, "ab", true, true, false));
}

TEST(FindNext, StartOffsets) {
    const LaidOutText text("abcdefghijkl", 4);  // lines abcd / efgh / ijkl
    const LayoutText layout = text.Layout();
    struct Case {
        const char* name;
        bool down, hasSelection;
        DisplayPos lo;
        std::int32_t top, visible;
        std::uint32_t want;
        bool nothingBefore;
    };
    const Case cases[] = {
        {"down, selection visible", true, true, {1, 1}, 1, 2, 6, false},
        {"up, selection visible", false, true, {1, 1}, 1, 2, 4, false},
        {"up from offset 0", false, true, {0, 0}, 0, 2, 0, true},
        {"down, selection above the window", true, true, {1, 0}, 1, 2, 4, false},
        {"down, selection below the window", true, true, {1, 2}, 0, 2, 0, false},
        {"up, no selection: end of last visible line", false, false, {}, 0, 2, 8, false},
        {"up, window beyond the end: the end line", false, false, {}, 2, 5, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FindStart start =
            FindNextStart(layout, c.down, c.hasSelection, c.lo, c.top, c.visible);
        EXPECT_EQ(start.nothingBefore, c.nothingBefore);
        if (!c.nothingBefore) {
            EXPECT_EQ(start.offset, c.want);
        }
    }
}

TEST(FindNext, MatchEndingWithLineBreakStaysOnItsLine) {
    const LaidOutText text("ab\ncd", 10);
    const MatchSelection match = SelectionOfMatch(text.Layout(), 1, 2);  // "b\n"
    EXPECT_EQ(match.anchor, (DisplayPos{1, 0}));
    EXPECT_EQ(match.end, (DisplayPos{11, 0}));
}

TEST(FindNext, ScrollingToTheMatch) {
    // The end below the window scrolls it up; the start wins when both
    // cannot be shown.
    EXPECT_EQ(TopLineForMatch(0, 5, {{0, 2}, {1, 3}}), 0);
    EXPECT_EQ(TopLineForMatch(0, 5, {{0, 6}, {1, 7}}), 3);
    EXPECT_EQ(TopLineForMatch(0, 2, {{0, 4}, {1, 9}}), 4);
    EXPECT_EQ(TopLineForMatch(8, 5, {{0, 2}, {1, 2}}), 2);
    // Columns 8 px wide, client 100 px: a span ending at 200 px needs
    // column (8 + 200 - 100 + 9) / 8 = 14; one starting at 40 px column 5.
    EXPECT_EQ(LeftColumnForMatch(0, 8, 100, 150, 200), 14);
    EXPECT_EQ(LeftColumnForMatch(20, 8, 100, 40, 60), 5);
    EXPECT_EQ(LeftColumnForMatch(0, 8, 100, 10, 50), 0);
}

// The find dialog leaves the match visible: below it when there is room,
// else above, else where it was; a dialog that covers nothing stays.
TEST(FindNext, DialogBesideMatch) {
    const ScreenBox screen{0, 0, 1000, 800};
    const ScreenBox dialog{100, 100, 300, 150};
    struct Case {
        ScreenBox match;
        int top;
    } const cases[] = {
        {{0, 400, 1000, 20}, 100},  // covers nothing
        {{0, 180, 1000, 20}, 200},  // below the match
        {{0, 700, 1000, 20}, 100},  // covers nothing either
        {{0, 600, 1000, 100}, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogBesideMatch(dialog, c.match, screen).top, c.top) << c.match.top;
    // No room below: above the match.
    const ScreenBox low{100, 600, 300, 150};
    EXPECT_EQ(DialogBesideMatch(low, {0, 650, 1000, 40}, screen).top, 500);
    // No room either way: it stays.
    EXPECT_EQ(DialogBesideMatch({0, 0, 300, 790}, {0, 5, 1000, 40}, screen).top, 0);
}

}  // namespace
}  // namespace kotoha
