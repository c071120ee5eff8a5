// SPDX-License-Identifier: MIT
#include "viewmodel/find_next.h"

#include <algorithm>

namespace kotoha {

FindStart FindNextStart(const LayoutText& layout, bool down, bool hasSelection,
                        DisplayPos selectionLo, std::int32_t topLine, std::int32_t visibleLines) {
    const std::int32_t n = layout.LineCount();
    if (hasSelection && topLine <= selectionLo.line && selectionLo.line < topLine + visibleLines) {
        const std::uint32_t s = PosToOffset(layout, selectionLo);
        if (down)
            return {s + 1, false};
        if (s == 0)
            return {0, true};
        return {s - 1, false};
    }
    if (down)
        return {PosToOffset(layout, {0, topLine}), false};
    const std::int32_t lastLine = std::clamp(topLine + visibleLines - 1, 0, n);
    return {PosToOffset(layout, {layout.wrapColumn + 1, lastLine}), false};
}

MatchSelection SelectionOfMatch(const LayoutText& layout, std::uint32_t offset,
                                std::uint32_t length) {
    MatchSelection match{OffsetToPos(layout, offset), OffsetToPos(layout, offset + length)};
    if (match.end.column == 0 && match.end.line > 0) {
        match.end = {layout.wrapColumn + 1, match.end.line - 1};
    }
    return match;
}

std::int32_t TopLineForMatch(std::int32_t topLine, std::int32_t visibleLines,
                             const MatchSelection& match) {
    std::int32_t top = topLine;
    if (match.end.line >= topLine + visibleLines)
        top = match.end.line - visibleLines + 1;
    if (match.anchor.line < top)
        top = match.anchor.line;
    return top;
}

std::int32_t LeftColumnForMatch(std::int32_t leftColumn, std::int32_t columnWidth,
                                std::int32_t clientWidth, std::int32_t left, std::int32_t right) {
    if (columnWidth <= 0)
        return leftColumn;
    std::int32_t column = leftColumn;
    if (columnWidth * column + clientWidth - 10 < right) {
        column = (columnWidth + right - clientWidth + 9) / columnWidth;
    }
    if (left < columnWidth * column)
        column = left / columnWidth;
    return column;
}

ScreenBox DialogBesideMatch(const ScreenBox& dialog, const ScreenBox& match,
                            const ScreenBox& screen) {
    if (!dialog.Overlaps(match))
        return dialog;
    ScreenBox moved = dialog;
    moved.top = match.bottom();
    if (moved.bottom() <= screen.bottom())
        return moved;
    moved.top = match.top - dialog.height;
    if (moved.top >= screen.top)
        return moved;
    return dialog;
}

}  // namespace kotoha
