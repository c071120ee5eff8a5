// SPDX-License-Identifier: MIT
#include "viewmodel/scroll_position.h"

#include <algorithm>

namespace kotoha {

void ScrollPosition::SetExtent(std::int32_t columns, std::int32_t lines) {
    extentColumns_ = std::max(columns, 0);
    extentLines_ = std::max(lines, 0);
}

DisplayPos ScrollPosition::Clamped(DisplayPos pos, bool horizontalAvailable,
                                   bool verticalAvailable) const {
    return {ClampAxis(pos.column, extentColumns_, horizontalAvailable),
            ClampAxis(pos.line, extentLines_, verticalAvailable)};
}

DisplayPos ScrollPosition::StepTarget(const ScrollAction& action, std::int32_t visibleColumns,
                                      std::int32_t visibleLines) const {
    DisplayPos target = top_;
    if (action.axis == ScrollAxis::Lines)
        target.line = kotoha::StepTarget(target.line, action.direction, action.unit, visibleLines,
                                         extentLines_);
    else
        target.column = kotoha::StepTarget(target.column, action.direction, action.unit,
                                           visibleColumns, extentColumns_);
    return target;
}

int ScrollPosition::TakeWheelNotches(int delta) {
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    return notches;
}

}  // namespace kotoha
