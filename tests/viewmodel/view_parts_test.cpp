// SPDX-License-Identifier: MIT
// The view's selection and scroll position without a window.
#include <gtest/gtest.h>

#include <vector>

#include "viewmodel/scroll_position.h"
#include "viewmodel/text_selection.h"

namespace kotoha {
namespace {

using Ranges = std::vector<std::pair<DisplayPos, DisplayPos>>;

Ranges Of(const SelectionRepaint& repaint) {
    return Ranges(repaint.ranges.begin(),
                  repaint.ranges.begin() + static_cast<std::ptrdiff_t>(repaint.count));
}

// Each change repaints only what it changed: nothing for an empty old
// selection or an end that did not move.
TEST(TextSelection, ChangesRepaintWhatTheyChanged) {
    TextSelection s;
    EXPECT_EQ(Of(s.StartAt({3, 1})), Ranges{});
    EXPECT_EQ(Of(s.ExtendTo({3, 1})), Ranges{});
    EXPECT_EQ(Of(s.ExtendTo({7, 2})), (Ranges{{{3, 1}, {7, 2}}}));
    EXPECT_EQ(Of(s.StartAt({0, 0})), (Ranges{{{3, 1}, {7, 2}}}));
    EXPECT_EQ(Of(s.StartLines(4, 81)), (Ranges{{{0, 4}, {81, 4}}}));
    // Dragging lines upwards keeps the anchor's line selected whole.
    EXPECT_EQ(Of(s.ExtendLines(2, 81)), (Ranges{{{0, 4}, {81, 4}}, {{81, 4}, {0, 2}}}));
    DisplayPos lo, hi;
    s.Ordered(lo, hi);
    EXPECT_EQ(lo, (DisplayPos{0, 2}));
    EXPECT_EQ(hi, (DisplayPos{81, 4}));
    EXPECT_EQ(Of(s.MoveEnds({0, 0}, {0, 9})), (Ranges{{{81, 4}, {0, 0}}, {{0, 2}, {0, 9}}}));
    s.Clear();
    EXPECT_TRUE(s.Empty());
}

TEST(ScrollPosition, StepsClampsAndWheelNotches) {
    ScrollPosition p;
    p.SetExtent(81, -4);
    EXPECT_EQ(p.extentLines(), 0);
    p.SetExtent(81, 100);
    p.MoveTo({5, 10});
    EXPECT_EQ(p.StepTarget({ScrollAxis::Lines, ScrollDirection::Forward, ScrollUnit::Page}, 20, 30),
              (DisplayPos{5, 39}));  // a window less one line
    EXPECT_EQ(p.StepTarget({ScrollAxis::Columns, ScrollDirection::Back, ScrollUnit::Step}, 20, 30),
              (DisplayPos{4, 10}));
    EXPECT_EQ(p.Clamped({200, 200}, true, true), (DisplayPos{81, 100}));
    EXPECT_EQ(p.Clamped({7, 7}, false, true), (DisplayPos{0, 7}));
    // Half notches add up; a turn back takes from what was kept.
    const struct {
        int delta, notches;
    } turns[] = {{60, 0}, {60, 1}, {250, 2}, {-10, 0}, {-130, -1}, {-120, -1}};
    for (const auto& t : turns)
        EXPECT_EQ(p.TakeWheelNotches(t.delta), t.notches) << t.delta;
}

}  // namespace
}  // namespace kotoha
