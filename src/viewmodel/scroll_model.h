// SPDX-License-Identifier: MIT
// The arithmetic of the text view without any window: scroll steps and their
// clamping, the 0..32767 thumb mapping, the key tables, which scroll bars a
// window needs, where a client point lies, and which columns of a display
// line are selected. Positions are in columns and display lines; sizes of the
// window in pixels.
#pragma once

#include <cstdint>
#include <optional>

#include "layout/line_layout.h"

namespace kotoha {

// Width in pixels of the left margin, where no text is drawn.
inline constexpr std::int32_t kMarginWidth = 10;
// Scroll bars run from 0 to this value whatever the size of the text.
inline constexpr std::int32_t kThumbRange = 32767;
// Columns moved by Ctrl+Left and Ctrl+Right.
inline constexpr std::int32_t kJumpColumns = 20;

enum class ScrollAxis { Lines, Columns };
enum class ScrollDirection { Back, Forward };
enum class ScrollUnit { Step, Jump, Page, End };

struct ScrollAction {
    ScrollAxis axis;
    ScrollDirection direction;
    ScrollUnit unit;
    friend bool operator==(const ScrollAction&, const ScrollAction&) = default;
};

// Whole lines (or columns) that fit in pixels: partly visible ones do not
// count. 0 when unit is not positive.
std::int32_t FullyVisible(std::int32_t pixels, std::int32_t unit);
// Lines (or columns) that show at least in part.
std::int32_t PartlyVisible(std::int32_t pixels, std::int32_t unit);

// The unclamped target of one step along an axis from current, with visible
// whole units in the window and extent units in all (the end unit goes
// forward to the larger of current and extent - visible, back to 0).
std::int32_t StepTarget(std::int32_t current, ScrollDirection direction, ScrollUnit unit,
                        std::int32_t visible, std::int32_t extent);

// A scroll position along one axis kept within 0..extent; 0 when the axis has
// no scroll bar available or the value is negative. The upper bound is the
// extent itself, so the last line can be scrolled to the top and one beyond.
std::int32_t ClampAxis(std::int32_t value, std::int32_t extent, bool available);

// Thumb (0..32767) of a position in 0..extent, rounded half up; 0 for an
// empty extent.
std::int32_t ThumbOfPosition(std::int32_t position, std::int32_t extent);
// Position of a thumb, rounded half up; 0 for an empty extent.
std::int32_t PositionOfThumb(std::int32_t thumb, std::int32_t extent);

enum class NavKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };

// What a cursor key does, with or without Ctrl; none for Ctrl+Up and
// Ctrl+Down, which do nothing.
std::optional<ScrollAction> KeyScrollAction(NavKey key, bool ctrl);

// Single-key commands of the less-like mode (case matters).
enum class LessCommand {
    None,
    PageForward,
    PageBack,
    LineForward,
    LineBack,
    Top,
    LastPage,
    Close,
    Edit
};
LessCommand LessCommandFor(char32_t ch);
// The scroll a less-like command makes; none for the others.
std::optional<ScrollAction> LessScrollAction(LessCommand command);

struct BarsNeeded {
    bool horizontal = false;
    bool vertical = false;
    friend bool operator==(const BarsNeeded&, const BarsNeeded&) = default;
};

// Which bars a window of width x height pixels (measured without its own
// bars) needs for an extent of columns x lines. A bar that needs room takes
// horizontalBarHeight / verticalBarWidth pixels from the other direction;
// a shared bar passes 0.
BarsNeeded DecideBars(std::int32_t width, std::int32_t height, std::int32_t columnWidth,
                      std::int32_t lineHeight, std::int32_t extentColumns, std::int32_t extentLines,
                      std::int32_t verticalBarWidth, std::int32_t horizontalBarHeight);

// Where a client point lies: row is the window row (-1 above the window),
// x the pixel offset within the text area (-1 left of it).
struct PointClass {
    std::int32_t row = 0;
    std::int32_t x = 0;
    bool above = false;
    bool below = false;
    bool left = false;
    bool right = false;
    friend bool operator==(const PointClass&, const PointClass&) = default;
};
PointClass ClassifyPoint(std::int32_t x, std::int32_t y, std::int32_t clientWidth,
                         std::int32_t clientHeight, std::int32_t lineHeight);

// Columns [from, to) of display line selected by the ordered range lo..hi
// (hi exclusive); lineEnd is the column after the widest line (W + 1).
// from == to when nothing on the line is selected.
struct ColumnSpan {
    std::int32_t from = 0;
    std::int32_t to = 0;
    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};
ColumnSpan SelectedSpan(std::int32_t line, DisplayPos lo, DisplayPos hi, std::int32_t lineEnd);

// The selection while whole lines are dragged: the anchor's line stays
// selected whole in both directions. lineEnd is W + 1.
struct LineSelection {
    DisplayPos anchor;
    DisplayPos end;
};
LineSelection ExtendLineSelection(DisplayPos anchor, std::int32_t line, std::int32_t lineEnd);

}  // namespace kotoha
