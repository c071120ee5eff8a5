// SPDX-License-Identifier: MIT
#include "viewmodel/scroll_model.h"

#include <gtest/gtest.h>

namespace kotoha {
namespace {

using D = ScrollDirection;
using U = ScrollUnit;

// N = 100 display lines, 30 whole lines visible, the vertical bar shown.
struct LineCase {
    std::int32_t from;
    D direction;
    U unit;
    std::int32_t expected;
};

TEST(ScrollModel, LineStepsClampToTheExtent) {
    const LineCase cases[] = {
        {0, D::Forward, U::End, 70},     {85, D::Forward, U::End, 85},
        {100, D::Forward, U::Step, 100}, {0, D::Back, U::Step, 0},
        {0, D::Forward, U::Page, 29},    {50, D::Back, U::Page, 21},
        {10, D::Back, U::Page, 0},       {90, D::Forward, U::Page, 100},
        {50, D::Back, U::End, 0},        {99, D::Forward, U::Step, 100},
    };
    for (const LineCase& c : cases) {
        const std::int32_t target =
            ClampAxis(StepTarget(c.from, c.direction, c.unit, 30, 100), 100, true);
        EXPECT_EQ(target, c.expected) << "from " << c.from;
    }
}

TEST(ScrollModel, ColumnJumpAndUnavailableBar) {
    // W + 1 = 81 columns, 40 visible.
    EXPECT_EQ(ClampAxis(StepTarget(0, D::Forward, U::Jump, 40, 81), 81, true), 20);
    EXPECT_EQ(ClampAxis(StepTarget(10, D::Back, U::Jump, 40, 81), 81, true), 0);
    EXPECT_EQ(ClampAxis(StepTarget(0, D::Forward, U::End, 40, 81), 81, true), 41);
    // Without a bar the position is always 0.
    EXPECT_EQ(ClampAxis(5, 81, false), 0);
    EXPECT_EQ(ClampAxis(-3, 81, true), 0);
}

TEST(ScrollModel, ThumbMappingRoundsHalfUp) {
    struct Case {
        std::int32_t position, extent, thumb;
    };
    const Case toThumb[] = {
        {0, 100, 0}, {100, 100, 32767}, {50, 100, 16384}, {1, 3, 10922}, {0, 0, 0}};
    for (const Case& c : toThumb)
        EXPECT_EQ(ThumbOfPosition(c.position, c.extent), c.thumb) << c.position;
    const Case toPosition[] = {{0, 100, 0}, {100, 100, 32767}, {50, 100, 16384}, {0, 0, 123}};
    for (const Case& c : toPosition)
        EXPECT_EQ(PositionOfThumb(c.thumb, c.extent), c.position) << c.thumb;
    // Texts longer than the bar's range still reach their last line.
    EXPECT_EQ(PositionOfThumb(32767, 1000000), 1000000);
}

TEST(ScrollModel, KeyTable) {
    using A = ScrollAxis;
    struct Case {
        NavKey key;
        bool ctrl;
        std::optional<ScrollAction> action;
    };
    const Case cases[] = {
        {NavKey::Up, false, ScrollAction{A::Lines, D::Back, U::Step}},
        {NavKey::Up, true, std::nullopt},
        {NavKey::Down, false, ScrollAction{A::Lines, D::Forward, U::Step}},
        {NavKey::Down, true, std::nullopt},
        {NavKey::Left, false, ScrollAction{A::Columns, D::Back, U::Step}},
        {NavKey::Left, true, ScrollAction{A::Columns, D::Back, U::Jump}},
        {NavKey::Right, true, ScrollAction{A::Columns, D::Forward, U::Jump}},
        {NavKey::PageUp, false, ScrollAction{A::Lines, D::Back, U::Page}},
        {NavKey::PageUp, true, ScrollAction{A::Columns, D::Back, U::Page}},
        {NavKey::PageDown, true, ScrollAction{A::Columns, D::Forward, U::Page}},
        {NavKey::Home, false, ScrollAction{A::Columns, D::Back, U::End}},
        {NavKey::Home, true, ScrollAction{A::Lines, D::Back, U::End}},
        {NavKey::End, false, ScrollAction{A::Columns, D::Forward, U::End}},
        {NavKey::End, true, ScrollAction{A::Lines, D::Forward, U::End}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyScrollAction(c.key, c.ctrl), c.action) << int(c.key) << c.ctrl;
}

TEST(ScrollModel, LessCommandsAreCaseSensitive) {
    EXPECT_EQ(LessCommandFor(U'g'), LessCommand::Top);
    EXPECT_EQ(LessCommandFor(U'G'), LessCommand::LastPage);
    EXPECT_EQ(LessCommandFor(U' '), LessCommand::PageForward);
    EXPECT_EQ(LessCommandFor(U'Q'), LessCommand::None);
    EXPECT_EQ(LessCommandFor(U'V'), LessCommand::None);
    EXPECT_EQ(LessScrollAction(LessCommand::Close), std::nullopt);
    EXPECT_EQ(LessScrollAction(LessCommand::LineBack),
              (ScrollAction{ScrollAxis::Lines, D::Back, U::Step}));
}

TEST(ScrollModel, BarsNeeded) {
    // 10 x 20 pixel cells, bar 15 pixels wide.
    struct Case {
        std::int32_t width, height, columns, lines;
        BarsNeeded needed;
    };
    const Case cases[] = {
        {810, 200, 81, 10, {false, false}}, {800, 200, 81, 10, {true, false}},
        {810, 200, 81, 11, {true, true}},  // the vertical bar narrows the window
        {830, 200, 81, 11, {false, true}},  {100, 100, 0, 0, {false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideBars(c.width, c.height, 10, 20, c.columns, c.lines, 15, 0), c.needed)
            << c.width << "x" << c.height;
}

TEST(ScrollModel, ClassifyPoint) {
    // Window 200 x 95, lines 10 high: 9 whole rows, row 9 partly visible.
    struct Case {
        std::int32_t x, y;
        PointClass expected;
    };
    const Case cases[] = {
        {50, 15, {1, 40, false, false, false, false}},
        {50, 0, {-1, 40, true, false, false, false}},
        {50, -7, {-1, 40, true, false, false, false}},
        {50, 92, {9, 40, false, true, false, false}},
        {50, 94, {9, 40, false, true, false, false}},  // the bottom edge
        {10, 15, {1, -1, false, false, true, false}},
        {11, 15, {1, 1, false, false, false, false}},
        {199, 15, {1, 190, false, false, false, true}},
        {500, 300, {9, 190, false, true, false, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyPoint(c.x, c.y, 200, 95, 10), c.expected) << c.x << "," << c.y;
}

TEST(ScrollModel, SelectedSpanPerLine) {
    const DisplayPos lo{3, 2};
    const DisplayPos hi{0, 5};
    EXPECT_EQ(SelectedSpan(1, lo, hi, 81), ColumnSpan{});
    EXPECT_EQ(SelectedSpan(2, lo, hi, 81), (ColumnSpan{3, 81}));
    EXPECT_EQ(SelectedSpan(4, lo, hi, 81), (ColumnSpan{0, 81}));
    // Ending at column 0 selects nothing on that line.
    EXPECT_EQ(SelectedSpan(5, lo, hi, 81), ColumnSpan{});
    EXPECT_EQ(SelectedSpan(2, {4, 2}, {4, 2}, 81), ColumnSpan{});
    EXPECT_EQ(SelectedSpan(2, {4, 2}, {6, 2}, 81), (ColumnSpan{4, 6}));
}

TEST(ScrollModel, LineSelectionKeepsTheAnchorLine) {
    // Dragged upward from line 5 to line 2, then back down to line 7.
    LineSelection up = ExtendLineSelection({0, 5}, 2, 81);
    EXPECT_EQ(up.anchor, (DisplayPos{81, 5}));
    EXPECT_EQ(up.end, (DisplayPos{0, 2}));
    LineSelection down = ExtendLineSelection(up.anchor, 7, 81);
    EXPECT_EQ(down.anchor, (DisplayPos{0, 5}));
    EXPECT_EQ(down.end, (DisplayPos{81, 7}));
    LineSelection same = ExtendLineSelection({0, 5}, 5, 81);
    EXPECT_EQ(same.end, (DisplayPos{81, 5}));
}

}  // namespace
}  // namespace kotoha
