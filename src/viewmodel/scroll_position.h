// SPDX-License-Identifier: MIT
// Where the view stands in its text, without any window: the top-left
// display position, the extent it may scroll over, and the wheel's
// movement not yet worth a notch.
#pragma once

#include <cstdint>

#include "layout/line_layout.h"
#include "viewmodel/scroll_model.h"

namespace kotoha {

class ScrollPosition {
  public:
    DisplayPos top() const { return top_; }
    void MoveTo(DisplayPos top) { top_ = top; }
    // Columns (W + 1) and display lines (N) of the text; negatives are 0.
    std::int32_t extentColumns() const { return extentColumns_; }
    std::int32_t extentLines() const { return extentLines_; }
    void SetExtent(std::int32_t columns, std::int32_t lines);

    // pos kept within the extent on each axis, 0 on an axis whose scroll
    // bar is not available.
    DisplayPos Clamped(DisplayPos pos, bool horizontalAvailable, bool verticalAvailable) const;
    // The unclamped target of action from the top, with visible whole
    // columns and lines in the window.
    DisplayPos StepTarget(const ScrollAction& action, std::int32_t visibleColumns,
                          std::int32_t visibleLines) const;
    // Whole wheel notches (120 units each) in the movement so far; the rest
    // is kept for the next turn.
    int TakeWheelNotches(int delta);

  private:
    DisplayPos top_;
    std::int32_t extentColumns_ = 0;
    std::int32_t extentLines_ = 0;
    int wheelRemainder_ = 0;
};

}  // namespace kotoha
