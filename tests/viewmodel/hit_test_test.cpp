// SPDX-License-Identifier: MIT
#include "viewmodel/hit_test.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kotoha {
namespace {

// Extents from per-column pixel widths, so proportional fonts can be played.
class FakeExtents : public LineExtents {
  public:
    explicit FakeExtents(std::vector<std::int32_t> widths) : widths_(std::move(widths)) {}
    std::int32_t ExtentTo(std::int32_t columns) const override {
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < columns && i < std::int32_t(widths_.size()); ++i)
            sum += widths_[std::size_t(i)];
        return sum;
    }

  private:
    std::vector<std::int32_t> widths_;
};

// "a", a double-byte character, "b", a tab of 4 columns, "c", LF: 10 columns
// of 8 pixels each.
const std::string kCells("\0\0\1\0\0\1\2\3\0\0", 10);
const FakeExtents kFixed(std::vector<std::int32_t>(10, 8));

TEST(HitTest, CharactersAreHitWhole) {
    struct Case {
        std::int32_t px;
        std::int32_t column, columns;
        bool within;
    };
    const Case cases[] = {
        {0, 0, 1, true},  {7, 0, 1, true},    {8, 1, 2, true},     {23, 1, 2, true},
        {24, 3, 1, true}, {33, 4, 4, true},   {63, 4, 4, true},    {64, 8, 1, true},
        {79, 9, 1, true}, {80, 10, 0, false}, {500, 10, 0, false}, {-5, 0, 1, false},
    };
    for (const Case& c : cases) {
        const LineHit hit = HitTestLine(kCells.data(), 10, c.px, kFixed);
        EXPECT_EQ(hit.column, c.column) << c.px;
        EXPECT_EQ(hit.columns, c.columns) << c.px;
        EXPECT_EQ(hit.withinText, c.within) << c.px;
    }
}

TEST(HitTest, HalvesOfWideCharactersAndTabs) {
    const PointClass inside{0, 0, false, false, false, false};
    struct Case {
        std::int32_t x;  // pixel offset in the text area
        std::int32_t column;
    };
    const Case cases[] = {
        {8, 1},   {15, 1},  // left half of the double-byte character: before it
        {16, 3},  {23, 3},  // from 50 percent on: after it
        {32, 4},  {47, 4},  // a tab selects to its start ...
        {48, 8},  {63, 8},  // ... or to its end, never inside
        {85, 10},           // right of the last cell: after the line break
    };
    for (const Case& c : cases) {
        PointClass point = inside;
        point.x = c.x;
        const ColumnChoice choice = ChooseColumn(kCells.data(), 10, point, 0, 8, 400, kFixed);
        EXPECT_EQ(choice.column, c.column) << c.x;
        EXPECT_EQ(choice.scroll, 0) << c.x;
    }
}

TEST(HitTest, EdgesAskForAScrollStep) {
    PointClass left{0, -1, false, false, true, false};
    // Scrolled by 2 columns: the margin point hits column 1's character and
    // steps back.
    ColumnChoice choice = ChooseColumn(kCells.data(), 10, left, 2, 8, 400, kFixed);
    EXPECT_EQ(choice.column, 1);
    EXPECT_EQ(choice.scroll, -1);
    // Right of a narrow window: after the character at the edge, one forward.
    PointClass right{0, 30, false, false, false, true};
    choice = ChooseColumn(kCells.data(), 10, right, 0, 8, 40, kFixed);
    EXPECT_EQ(choice.column, 4);
    EXPECT_EQ(choice.scroll, 1);
}

TEST(HitTest, ProportionalWidths) {
    // "W" 14 pixels, "i" 4 pixels, a double-byte character 16 pixels.
    const std::string cells("\0\0\0\1", 4);
    const FakeExtents extents({14, 4, 8, 8});
    EXPECT_EQ(HitTestLine(cells.data(), 4, 13, extents).column, 0);
    EXPECT_EQ(HitTestLine(cells.data(), 4, 14, extents).column, 1);
    const LineHit hit = HitTestLine(cells.data(), 4, 26, extents);
    EXPECT_EQ(hit.column, 2);
    EXPECT_EQ(hit.percent, 50);
    EXPECT_EQ(HitTestLine(cells.data(), 0, 5, extents).column, 0);
}

}  // namespace
}  // namespace kotoha
