// SPDX-License-Identifier: MIT
// The view's selection without any window: an anchor and an end in display
// positions, and how the mouse is making it (by character, by whole lines
// in the margin, or fixed after a select-all). Each change says which
// ranges must be repainted.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "layout/line_layout.h"

namespace kotoha {

// The ranges whose pixels a selection change affects (at most two).
struct SelectionRepaint {
    std::array<std::pair<DisplayPos, DisplayPos>, 2> ranges{};
    std::size_t count = 0;
    void Add(DisplayPos a, DisplayPos b) {
        if (a != b)
            ranges[count++] = {a, b};
    }
};

class TextSelection {
  public:
    enum class Drag { None, Characters, Lines, Fixed };

    DisplayPos anchor() const { return anchor_; }
    DisplayPos end() const { return end_; }
    bool Empty() const { return anchor_ == end_; }
    // The selection ordered: lo <= hi.
    void Ordered(DisplayPos& lo, DisplayPos& hi) const;
    void Clear() { anchor_ = end_ = DisplayPos{}; }
    // Selects from anchor to end (unordered); the old and the new ranges.
    SelectionRepaint Set(DisplayPos anchor, DisplayPos end);
    // Moves both ends; only what each end moved over.
    SelectionRepaint MoveEnds(DisplayPos anchor, DisplayPos end);

    // A character hit by the mouse: a new selection there, or the end moved.
    SelectionRepaint StartAt(DisplayPos hit);
    SelectionRepaint ExtendTo(DisplayPos hit);
    // A line hit in the margin (lineEnd is W + 1): the whole line, or the
    // selection stretched over whole lines from the anchor's.
    SelectionRepaint StartLines(std::int32_t line, std::int32_t lineEnd);
    SelectionRepaint ExtendLines(std::int32_t line, std::int32_t lineEnd);

    // What the held button does; None once it is released.
    Drag drag() const { return drag_; }
    void SetDrag(Drag drag) { drag_ = drag; }

  private:
    DisplayPos anchor_;
    DisplayPos end_;
    Drag drag_ = Drag::None;
};

}  // namespace kotoha
