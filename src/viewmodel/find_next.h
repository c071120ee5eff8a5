// SPDX-License-Identifier: MIT
// The window-free rules of "find next": where a search starts given the
// selection and the visible lines, and which selection and scroll position
// show a match.
#pragma once

#include <cstdint>

#include "layout/line_layout.h"

namespace kotoha {

// Where "find next" starts searching. With nothingBefore set the search must
// not run: it was asked to go up from the very start of the text.
struct FindStart {
    std::uint32_t offset = 0;
    bool nothingBefore = false;
};

// The start offset of "find next": just after (down) or just before (up) the
// selection's earlier end lo when the selection is non-empty and lo lies on
// one of the visibleLines lines from topLine; otherwise the first byte shown
// (down) or the end of the last visible line (up).
FindStart FindNextStart(const LayoutText& layout, bool down, bool hasSelection,
                        DisplayPos selectionLo, std::int32_t topLine, std::int32_t visibleLines);

// The selection that shows a match of length bytes at offset. A match ending
// at column 0 (after a line break or exactly at a line's end) ends at column
// W + 1 of the line before instead, so it stays on the line holding it.
struct MatchSelection {
    DisplayPos anchor;
    DisplayPos end;
};
MatchSelection SelectionOfMatch(const LayoutText& layout, std::uint32_t offset,
                                std::uint32_t length);

// A rectangle on the screen, in pixels.
struct ScreenBox {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool Overlaps(const ScreenBox& other) const {
        return left < other.right() && other.left < right() && top < other.bottom() &&
               other.top < bottom();
    }
};

// Where the find dialog (its frame at dialog) goes so that it does not
// cover the match (the band of its lines): where it is when it covers
// nothing, else just below the match when the screen has room there, else
// just above, else where it is.
ScreenBox DialogBesideMatch(const ScreenBox& dialog, const ScreenBox& match,
                            const ScreenBox& screen);

// The top line that brings the match into view; the match's start wins over
// its end.
std::int32_t TopLineForMatch(std::int32_t topLine, std::int32_t visibleLines,
                             const MatchSelection& match);

// The left column that brings the pixel span [left, right) into a client
// area clientWidth pixels wide (10 pixels kept free on the right), with
// columns columnWidth pixels wide; the span's left edge wins.
std::int32_t LeftColumnForMatch(std::int32_t leftColumn, std::int32_t columnWidth,
                                std::int32_t clientWidth, std::int32_t left, std::int32_t right);

}  // namespace kotoha
