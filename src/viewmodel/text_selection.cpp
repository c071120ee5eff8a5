// SPDX-License-Identifier: MIT
#include "viewmodel/text_selection.h"

#include <algorithm>

#include "viewmodel/scroll_model.h"

namespace kotoha {

void TextSelection::Ordered(DisplayPos& lo, DisplayPos& hi) const {
    lo = std::min(anchor_, end_);
    hi = std::max(anchor_, end_);
}

SelectionRepaint TextSelection::Set(DisplayPos anchor, DisplayPos end) {
    SelectionRepaint repaint;
    repaint.Add(anchor_, end_);
    anchor_ = anchor;
    end_ = end;
    repaint.Add(anchor_, end_);
    return repaint;
}

SelectionRepaint TextSelection::MoveEnds(DisplayPos anchor, DisplayPos end) {
    SelectionRepaint repaint;
    repaint.Add(anchor_, anchor);
    repaint.Add(end_, end);
    anchor_ = anchor;
    end_ = end;
    return repaint;
}

SelectionRepaint TextSelection::StartAt(DisplayPos hit) {
    SelectionRepaint repaint;
    repaint.Add(anchor_, end_);
    anchor_ = end_ = hit;
    return repaint;
}

SelectionRepaint TextSelection::ExtendTo(DisplayPos hit) {
    SelectionRepaint repaint;
    repaint.Add(end_, hit);
    end_ = hit;
    return repaint;
}

SelectionRepaint TextSelection::StartLines(std::int32_t line, std::int32_t lineEnd) {
    SelectionRepaint repaint;
    repaint.Add(anchor_, end_);
    anchor_ = {0, line};
    end_ = {lineEnd, line};
    repaint.Add(anchor_, end_);
    return repaint;
}

SelectionRepaint TextSelection::ExtendLines(std::int32_t line, std::int32_t lineEnd) {
    const LineSelection next = ExtendLineSelection(anchor_, line, lineEnd);
    SelectionRepaint repaint;
    repaint.Add(anchor_, next.anchor);
    repaint.Add(end_, next.end);
    anchor_ = next.anchor;
    end_ = next.end;
    return repaint;
}

}  // namespace kotoha
