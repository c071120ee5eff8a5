// SPDX-License-Identifier: MIT
#include "viewmodel/hit_test.h"

#include <cmath>

namespace kotoha {

namespace {

// Columns of the character starting at start: one plus the following cells
// that continue it.
std::int32_t CharacterColumns(const char* cells, std::int32_t length, std::int32_t start) {
    std::int32_t count = 1;
    while (start + count < length && cells[start + count] > 0)
        ++count;
    return count;
}

}  // namespace

LineHit HitTestLine(const char* cells, std::int32_t length, std::int32_t px,
                    const LineExtents& extents) {
    LineHit hit;
    hit.withinText = true;
    if (px < 0) {
        px = 0;
        hit.withinText = false;
    }
    if (length <= 0 || px >= extents.ExtentTo(length)) {
        hit.column = length > 0 ? length : 0;
        hit.withinText = false;
        return hit;
    }
    std::int32_t lo = 0;
    std::int32_t hi = length;
    while (lo < hi) {
        std::int32_t start = (lo + hi) / 2;
        start -= static_cast<unsigned char>(cells[start]);
        if (start < lo)
            start = lo;  // a malformed cell string must not send the search back
        const std::int32_t columns = CharacterColumns(cells, length, start);
        const std::int32_t startPx = extents.ExtentTo(start);
        const std::int32_t endPx = extents.ExtentTo(start + columns);
        if (px < startPx) {
            hi = start;
        } else if (px >= endPx) {
            lo = start + columns;
        } else {
            hit.column = start;
            hit.columns = columns;
            hit.percent = static_cast<std::int32_t>(
                std::floor(double(px - startPx) / double(endPx - startPx) * 100.0 + 0.5));
            return hit;
        }
    }
    // Only extents that are not monotone get here; take the boundary found.
    hit.column = lo;
    return hit;
}

ColumnChoice ChooseColumn(const char* cells, std::int32_t length, const PointClass& point,
                          std::int32_t scrollColumn, std::int32_t columnWidth,
                          std::int32_t clientWidth, const LineExtents& extents) {
    const std::int32_t scrollPx = columnWidth * scrollColumn;
    const LineHit hit = HitTestLine(cells, length, scrollPx + point.x, extents);
    ColumnChoice choice;
    choice.column = hit.column;
    if (point.right || (!point.left && hit.percent >= 50))
        choice.column = hit.column + hit.columns;
    const std::int32_t caretX = extents.ExtentTo(choice.column) - scrollPx + kMarginWidth;
    if (caretX > clientWidth)
        choice.scroll = 1;
    else if (point.left || (caretX < kMarginWidth && hit.withinText))
        choice.scroll = -1;
    return choice;
}

}  // namespace kotoha
