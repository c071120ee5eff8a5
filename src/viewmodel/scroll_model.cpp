// SPDX-License-Identifier: MIT
#include "viewmodel/scroll_model.h"

#include <algorithm>

namespace kotoha {

std::int32_t FullyVisible(std::int32_t pixels, std::int32_t unit) {
    if (unit <= 0 || pixels <= 0)
        return 0;
    return pixels / unit;
}

std::int32_t PartlyVisible(std::int32_t pixels, std::int32_t unit) {
    if (unit <= 0 || pixels <= 0)
        return 0;
    return (pixels + unit - 1) / unit;
}

std::int32_t StepTarget(std::int32_t current, ScrollDirection direction, ScrollUnit unit,
                        std::int32_t visible, std::int32_t extent) {
    const bool forward = direction == ScrollDirection::Forward;
    switch (unit) {
        case ScrollUnit::Step:
            return forward ? current + 1 : current - 1;
        case ScrollUnit::Jump:
            return forward ? current + kJumpColumns : current - kJumpColumns;
        case ScrollUnit::Page:
            return forward ? current + (visible - 1) : current - (visible - 1);
        case ScrollUnit::End:
            return forward ? std::max(current, extent - visible) : 0;
    }
    return current;
}

std::int32_t ClampAxis(std::int32_t value, std::int32_t extent, bool available) {
    if (!available || value < 0)
        return 0;
    return std::min(value, std::max(extent, 0));
}

std::int32_t ThumbOfPosition(std::int32_t position, std::int32_t extent) {
    if (extent <= 0)
        return 0;
    const double thumb = double(position) / double(extent) * kThumbRange + 0.5;
    return static_cast<std::int32_t>(std::clamp(thumb, 0.0, double(kThumbRange)));
}

std::int32_t PositionOfThumb(std::int32_t thumb, std::int32_t extent) {
    if (extent <= 0)
        return 0;
    return static_cast<std::int32_t>(double(extent) * double(thumb) / kThumbRange + 0.5);
}

std::optional<ScrollAction> KeyScrollAction(NavKey key, bool ctrl) {
    using A = ScrollAxis;
    using D = ScrollDirection;
    using U = ScrollUnit;
    switch (key) {
        case NavKey::Up:
            return ctrl ? std::nullopt : std::optional(ScrollAction{A::Lines, D::Back, U::Step});
        case NavKey::Down:
            return ctrl ? std::nullopt : std::optional(ScrollAction{A::Lines, D::Forward, U::Step});
        case NavKey::Left:
            return ScrollAction{A::Columns, D::Back, ctrl ? U::Jump : U::Step};
        case NavKey::Right:
            return ScrollAction{A::Columns, D::Forward, ctrl ? U::Jump : U::Step};
        case NavKey::PageUp:
            return ScrollAction{ctrl ? A::Columns : A::Lines, D::Back, U::Page};
        case NavKey::PageDown:
            return ScrollAction{ctrl ? A::Columns : A::Lines, D::Forward, U::Page};
        case NavKey::Home:
            return ScrollAction{ctrl ? A::Lines : A::Columns, D::Back, U::End};
        case NavKey::End:
            return ScrollAction{ctrl ? A::Lines : A::Columns, D::Forward, U::End};
    }
    return std::nullopt;
}

LessCommand LessCommandFor(char32_t ch) {
    switch (ch) {
        case U' ':
        case U'f':
            return LessCommand::PageForward;
        case U'b':
            return LessCommand::PageBack;
        case U'j':
        case U'e':
            return LessCommand::LineForward;
        case U'k':
        case U'y':
            return LessCommand::LineBack;
        case U'g':
        case U'<':
            return LessCommand::Top;
        case U'G':
        case U'>':
            return LessCommand::LastPage;
        case U'q':
            return LessCommand::Close;
        case U'v':
            return LessCommand::Edit;
        default:
            return LessCommand::None;
    }
}

std::optional<ScrollAction> LessScrollAction(LessCommand command) {
    using A = ScrollAxis;
    using D = ScrollDirection;
    using U = ScrollUnit;
    switch (command) {
        case LessCommand::PageForward:
            return ScrollAction{A::Lines, D::Forward, U::Page};
        case LessCommand::PageBack:
            return ScrollAction{A::Lines, D::Back, U::Page};
        case LessCommand::LineForward:
            return ScrollAction{A::Lines, D::Forward, U::Step};
        case LessCommand::LineBack:
            return ScrollAction{A::Lines, D::Back, U::Step};
        case LessCommand::Top:
            return ScrollAction{A::Lines, D::Back, U::End};
        case LessCommand::LastPage:
            return ScrollAction{A::Lines, D::Forward, U::End};
        default:
            return std::nullopt;
    }
}

BarsNeeded DecideBars(std::int32_t width, std::int32_t height, std::int32_t columnWidth,
                      std::int32_t lineHeight, std::int32_t extentColumns, std::int32_t extentLines,
                      std::int32_t verticalBarWidth, std::int32_t horizontalBarHeight) {
    BarsNeeded needed;
    needed.horizontal = FullyVisible(width, columnWidth) < extentColumns;
    if (needed.horizontal)
        height -= horizontalBarHeight;
    needed.vertical = FullyVisible(height, lineHeight) < extentLines;
    if (needed.vertical) {
        width -= verticalBarWidth;
        // The narrower window may now need the horizontal bar as well.
        needed.horizontal = FullyVisible(width, columnWidth) < extentColumns;
    }
    return needed;
}

PointClass ClassifyPoint(std::int32_t x, std::int32_t y, std::int32_t clientWidth,
                         std::int32_t clientHeight, std::int32_t lineHeight) {
    PointClass point;
    lineHeight = std::max(lineHeight, 1);
    if (y <= 0) {
        point.above = true;
        point.row = -1;
    } else {
        point.row = (y < clientHeight - 1 ? y : clientHeight) / lineHeight;
    }
    // On the partly visible last row, or at the bottom edge and beyond.
    if (point.row >= FullyVisible(clientHeight, lineHeight))
        point.below = true;
    if (x <= kMarginWidth) {
        point.left = true;
        point.x = -1;
    } else if (x < clientWidth - 1) {
        point.x = x - kMarginWidth;
    } else {
        point.right = true;
        point.x = clientWidth - kMarginWidth;
    }
    return point;
}

ColumnSpan SelectedSpan(std::int32_t line, DisplayPos lo, DisplayPos hi, std::int32_t lineEnd) {
    if (line < lo.line || line > hi.line)
        return {};
    ColumnSpan span;
    span.from = line == lo.line ? lo.column : 0;
    span.to = line == hi.line ? hi.column : lineEnd;
    if (span.to <= span.from)
        return {};
    return span;
}

LineSelection ExtendLineSelection(DisplayPos anchor, std::int32_t line, std::int32_t lineEnd) {
    if (line < anchor.line)
        return {{lineEnd, anchor.line}, {0, line}};
    return {{0, anchor.line}, {lineEnd, line}};
}

}  // namespace kotoha
