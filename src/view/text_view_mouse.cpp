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

void CTextView::QueueInvalidate(const SelectionRepaint& repaint) {
    for (std::size_t i = 0; i < repaint.count; ++i) {
        if (pendingCount_ == pending_.size())
            FlushInvalidates();
        pending_[pendingCount_++] = repaint.ranges[i];
    }
}

void CTextView::Invalidate(const SelectionRepaint& repaint) {
    for (std::size_t i = 0; i < repaint.count; ++i)
        InvalidateRange(repaint.ranges[i].first, repaint.ranges[i].second);
}

void CTextView::FlushInvalidates() {
    for (std::size_t i = 0; i < pendingCount_; ++i)
        InvalidateRange(pending_[i].first, pending_[i].second);
    pendingCount_ = 0;
}

void CTextView::SelectToPoint(const QPoint& point, bool startNew) {
    const PointTarget hitPoint = TargetOfPoint(point, viewport()->size(), lineHeight(),
                                               scroll_.top(), scroll_.extentLines());
    const PointClass& where = hitPoint.where;
    const std::int32_t line = hitPoint.line;
    DisplayPos target = hitPoint.target;

    std::int32_t column = 0;
    if (line == scroll_.extentLines()) {
        if (where.left)
            target.column -= 1;
    } else {
        const DisplayLine& text = LoadLine(line);
        const char* cells = GetLineCells(line);
        const ColumnChoice choice = ChooseColumn(cells, text.columns(), where, scroll_.top().column,
                                                 columnWidth(), viewport()->width(), text);
        column = choice.column;
        target.column += choice.scroll;
    }

    const DisplayPos hit{column, line};
    QueueInvalidate(startNew ? selection_.StartAt(hit) : selection_.ExtendTo(hit));
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
    FlushInvalidates();
}

void CTextView::SelectLinesToPoint(const QPoint& point, bool startNew) {
    const PointTarget hitPoint = TargetOfPoint(point, viewport()->size(), lineHeight(),
                                               scroll_.top(), scroll_.extentLines());
    const std::int32_t line = hitPoint.line;
    DisplayPos target = hitPoint.target;

    const std::int32_t lineEnd = scroll_.extentColumns();
    QueueInvalidate(startNew ? selection_.StartLines(line, lineEnd)
                             : selection_.ExtendLines(line, lineEnd));
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
    FlushInvalidates();
}

void CTextView::SelectAll() {
    Invalidate(selection_.MoveEnds({0, 0}, {0, scroll_.extentLines()}));
}

void CTextView::SetSelection(DisplayPos anchor, DisplayPos end) {
    Invalidate(selection_.Set(anchor, end));
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
    lastMousePoint_ = point;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool startNew = !(shift && HasSelection());
    if (point.x() < kMarginWidth) {
        if (ctrl) {
            SelectAll();
            selection_.SetDrag(TextSelection::Drag::Fixed);
        } else {
            SelectLinesToPoint(point, startNew);
            selection_.SetDrag(TextSelection::Drag::Lines);
        }
    } else {
        SelectToPoint(point, startNew);
        selection_.SetDrag(TextSelection::Drag::Characters);
    }
    autoScrollTimer_.start(AutoScrollInterval());
    event->accept();
}

void CTextView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    if (selection_.drag() == TextSelection::Drag::None) {
        viewport()->setCursor(point.x() < kMarginWidth ? marginCursor_ : QCursor(Qt::IBeamCursor));
        return;
    }
    DragTo(point);
}

void CTextView::DragTo(const QPoint& point) {
    if (selection_.drag() == TextSelection::Drag::Lines)
        SelectLinesToPoint(point, false);
    else if (selection_.drag() == TextSelection::Drag::Characters)
        SelectToPoint(point, false);
}

void CTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && selection_.drag() != TextSelection::Drag::None) {
        selection_.SetDrag(TextSelection::Drag::None);
        autoScrollTimer_.stop();
    }
    event->accept();
}

void CTextView::OnAutoScroll() {
    // While the button is held the view receives every move, so the last
    // move's point is where the pointer is now, inside the window or not.
    DragTo(lastMousePoint_);
}

}  // namespace kotoha
