// SPDX-License-Identifier: MIT
// Selecting with the mouse: by character in the text area, by whole lines
// in the left margin, select-all with Ctrl in the margin, extending with
// Shift, and scrolling on a timer while the button is held outside the text.
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleHints>

#include "view/text_view.h"
#include "view/view_frame.h"
#include "viewmodel/hit_test.h"

namespace kotoha {

namespace {

// Timer interval while dragging: the keyboard's repeat setting taken as
// milliseconds, never below 10.
int AutoScrollInterval() {
    return std::max(10, QGuiApplication::styleHints()->keyboardAutoRepeatRate());
}

// Where a point lies, the display line under it (clamped to 0..N) and the
// scroll position to move to: one line back above the window, one forward
// below it while lines remain.
struct PointTarget {
    PointClass where;
    std::int32_t line;
    DisplayPos target;
};

PointTarget TargetOfPoint(const QPoint& point, const QSize& client, std::int32_t lineHeight,
                          DisplayPos scrollPos, std::int32_t extentLines) {
    PointTarget result{
        ClassifyPoint(point.x(), point.y(), client.width(), client.height(), lineHeight), 0,
        scrollPos};
    const std::int32_t line = scrollPos.line + result.where.row;
    if (result.where.above)
        result.target.line -= 1;
    else if (result.where.below && line < extentLines)
        result.target.line += 1;
    result.line = std::clamp(line, 0, extentLines);
    return result;
}

}  // namespace

void CTextView::QueueInvalidate(DisplayPos a, DisplayPos b) {
    if (a == b)
        return;
    if (pendingCount_ == pending_.size())
        FlushInvalidates();
    pending_[pendingCount_++] = {a, b};
}

void CTextView::FlushInvalidates() {
    for (std::size_t i = 0; i < pendingCount_; ++i)
        InvalidateRange(pending_[i].first, pending_[i].second);
    pendingCount_ = 0;
}

void CTextView::SelectToPoint(const QPoint& point, bool startNew) {
    const PointTarget hitPoint =
        TargetOfPoint(point, viewport()->size(), lineHeight_, scrollPos_, extentLines_);
    const PointClass& where = hitPoint.where;
    const std::int32_t line = hitPoint.line;
    DisplayPos target = hitPoint.target;

    std::int32_t column = 0;
    if (line == extentLines_) {
        if (where.left)
            target.column -= 1;
    } else {
        const DisplayLine& text = LoadLine(line);
        const char* cells = GetLineCells(line);
        const ColumnChoice choice = ChooseColumn(cells, text.columns(), where, scrollPos_.column,
                                                 columnWidth_, viewport()->width(), text);
        column = choice.column;
        target.column += choice.scroll;
    }

    const DisplayPos hit{column, line};
    if (startNew) {
        if (HasSelection())
            QueueInvalidate(anchor_, end_);
        anchor_ = end_ = hit;
    } else if (hit != end_) {
        QueueInvalidate(end_, hit);
        end_ = hit;
    }
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
    FlushInvalidates();
}

void CTextView::SelectLinesToPoint(const QPoint& point, bool startNew) {
    const PointTarget hitPoint =
        TargetOfPoint(point, viewport()->size(), lineHeight_, scrollPos_, extentLines_);
    const std::int32_t line = hitPoint.line;
    DisplayPos target = hitPoint.target;

    if (startNew) {
        if (HasSelection())
            QueueInvalidate(anchor_, end_);
        anchor_ = {0, line};
        end_ = {extentColumns_, line};
        QueueInvalidate(anchor_, end_);
    } else {
        const LineSelection next = ExtendLineSelection(anchor_, line, extentColumns_);
        if (next.anchor != anchor_) {
            QueueInvalidate(anchor_, next.anchor);
            anchor_ = next.anchor;
        }
        if (next.end != end_) {
            QueueInvalidate(end_, next.end);
            end_ = next.end;
        }
    }
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
    FlushInvalidates();
}

void CTextView::SelectAll() {
    const DisplayPos anchor{0, 0};
    const DisplayPos end{0, extentLines_};
    InvalidateRange(anchor_, anchor);
    InvalidateRange(end_, end);
    anchor_ = anchor;
    end_ = end;
}

void CTextView::SetSelection(DisplayPos anchor, DisplayPos end) {
    InvalidateRange(anchor_, end_);
    anchor_ = anchor;
    end_ = end;
    InvalidateRange(anchor_, end_);
}

void CTextView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        MakeActive();
        // The frame's menu, at the click; its commands go to the active
        // view. The selection stays as it is.
        if (QMenu* menu = frame().RightClickMenu())
            menu->popup(viewport()->mapToGlobal(point));
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    MakeActive();
    dragging_ = true;
    lastMousePoint_ = point;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool startNew = !(shift && HasSelection());
    if (point.x() < kMarginWidth) {
        if (ctrl) {
            SelectAll();
            fixed_ = true;
        } else {
            SelectLinesToPoint(point, startNew);
            fixed_ = false;
        }
        lineMode_ = true;
    } else {
        SelectToPoint(point, startNew);
        lineMode_ = false;
        fixed_ = false;
    }
    autoScrollTimer_.start(AutoScrollInterval());
    event->accept();
}

void CTextView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    if (!dragging_) {
        viewport()->setCursor(point.x() < kMarginWidth ? marginCursor_ : QCursor(Qt::IBeamCursor));
        return;
    }
    if (fixed_)
        return;
    if (lineMode_)
        SelectLinesToPoint(point, false);
    else
        SelectToPoint(point, false);
}

void CTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        autoScrollTimer_.stop();
    }
    event->accept();
}

void CTextView::OnAutoScroll() {
    // While the button is held the view receives every move, so the last
    // move's point is where the pointer is now, inside the window or not.
    if (!dragging_ || fixed_)
        return;
    if (lineMode_)
        SelectLinesToPoint(lastMousePoint_, false);
    else
        SelectToPoint(lastMousePoint_, false);
}

}  // namespace kotoha
