// SPDX-License-Identifier: MIT
// Hit-testing a display line at a pixel offset, and the column a click
// chooses from the hit. Pixels come from a measuring interface, so the rules
// run without a window and with any font.
#pragma once

#include <cstdint>

#include "viewmodel/scroll_model.h"

namespace kotoha {

// Pixel widths of the leading columns of one display line.
class LineExtents {
  public:
    virtual ~LineExtents() = default;
    // Width in pixels of the first columns columns of the line (clamped to
    // 0..its length); nondecreasing in columns.
    virtual std::int32_t ExtentTo(std::int32_t columns) const = 0;
};

struct LineHit {
    std::int32_t column = 0;   // first column of the character hit
    std::int32_t columns = 0;  // its width in columns; 0 at the end
    std::int32_t percent = 0;  // where in the character, 0..100
    bool withinText = false;   // false left of or beyond the text
};

// The character of a line (cells and length columns, as the layout gives
// them) under pixel px, found by bisection over characters. A double-byte
// character or a tab's expansion is hit as a whole. At or beyond the text's
// width the hit is the end of the line (column = length).
LineHit HitTestLine(const char* cells, std::int32_t length, std::int32_t px,
                    const LineExtents& extents);

// The selection column a point chooses on a line before the end line, and
// the scroll step it asks for (-1, 0 or +1 column): after the character when
// the point lies right of the window or on its right half, one column back
// when the point is in the margin or the caret would fall into it, one
// forward when the caret would fall beyond the window.
struct ColumnChoice {
    std::int32_t column = 0;
    std::int32_t scroll = 0;
};
ColumnChoice ChooseColumn(const char* cells, std::int32_t length, const PointClass& point,
                          std::int32_t scrollColumn, std::int32_t columnWidth,
                          std::int32_t clientWidth, const LineExtents& extents);

}  // namespace kotoha
