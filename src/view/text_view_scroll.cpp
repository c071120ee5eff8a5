// SPDX-License-Identifier: MIT
// The scroll model of the text view: which bars show, clamping, thumbs,
// moving the window contents, and the bars, keys and wheel that drive it.
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "view/text_view.h"
#include "view/view_frame.h"

namespace kotoha {

std::int32_t CTextView::visibleLines() const {
    return FullyVisible(viewport()->height(), lineHeight());
}

std::int32_t CTextView::visibleColumns() const {
    return FullyVisible(viewport()->width(), columnWidth());
}

bool CTextView::HorizontalAvailable() const {
    return SharedBar()->isEnabled();
}

bool CTextView::VerticalAvailable() const {
    return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

void CTextView::UpdateScrollBars() {
    updatingBars_ = true;
    // The window as it would be without its own vertical bar; the shared
    // horizontal bar lies outside the view and takes no room.
    const int barWidth = verticalScrollBar()->sizeHint().width();
    int width = viewport()->width();
    if (VerticalAvailable())
        width += barWidth;
    const BarsNeeded needed =
        DecideBars(width, viewport()->height(), columnWidth(), lineHeight(),
                   scroll_.extentColumns(), scroll_.extentLines(), barWidth, 0);
    if (active_) {
        QScrollBar* bar = SharedBar();
        if (needed.horizontal)
            bar->setRange(0, kThumbRange);
        bar->setEnabled(needed.horizontal);
    }
    if (needed.vertical) {
        verticalScrollBar()->setRange(0, kThumbRange);
        // A thumb as large as the share of the text the window shows.
        const double share = double(visibleLines()) / double(std::max(scroll_.extentLines(), 1));
        verticalScrollBar()->setPageStep(std::max(1, int(share * kThumbRange)));
    }
    const auto policy = needed.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != policy)
        setVerticalScrollBarPolicy(policy);
    updatingBars_ = false;
}

void CTextView::ClampScrollPos(DisplayPos& pos) const {
    pos = scroll_.Clamped(pos, HorizontalAvailable(), VerticalAvailable());
}

void CTextView::SetScrollThumbs(DisplayPos pos) {
    auto set = [](QScrollBar* bar, std::int32_t thumb) {
        if (bar->value() != thumb || bar->sliderPosition() != thumb)
            bar->setValue(thumb);
    };
    if (active_ && HorizontalAvailable())
        set(SharedBar(), ThumbOfPosition(pos.column, scroll_.extentColumns()));
    if (VerticalAvailable())
        set(verticalScrollBar(), ThumbOfPosition(pos.line, scroll_.extentLines()));
}

void CTextView::ScrollTo(std::int32_t column, std::int32_t line) {
    const DisplayPos target{column, line};
    const DisplayPos top = scroll_.top();
    if (target == top) {
        OnScrollPosChanged();
        return;
    }
    SetScrollThumbs(target);
    const int dx = (top.column - column) * columnWidth();
    const int dy = (top.line - line) * lineHeight();
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int boundary = std::min(width, kMarginWidth);
    const QRect text(boundary, 0, width - boundary, height);
    const QRect margin(0, 0, boundary, height);
    // The text moves both ways, the margin only up and down; what uncovers
    // is painted at once, the moved pixels stay.
    QRegion exposed;
    if (dx != 0 || dy != 0) {
        viewport()->scroll(dx, dy, text);
        exposed += QRegion(text).subtracted(QRegion(text.translated(dx, dy)));
    }
    if (dy != 0) {
        viewport()->scroll(0, dy, margin);
        exposed += QRegion(margin).subtracted(QRegion(margin.translated(0, dy)));
    }
    scroll_.MoveTo(target);
    if (!exposed.isEmpty() && viewport()->isVisible())
        viewport()->repaint(exposed);
    OnScrollPosChanged();
}

void CTextView::ScrollLines(ScrollDirection direction, ScrollUnit unit) {
    ApplyScrollAction({ScrollAxis::Lines, direction, unit});
}

void CTextView::ScrollColumns(ScrollDirection direction, ScrollUnit unit) {
    ApplyScrollAction({ScrollAxis::Columns, direction, unit});
}

void CTextView::ApplyScrollAction(const ScrollAction& action) {
    DisplayPos target = scroll_.StepTarget(action, visibleColumns(), visibleLines());
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
}

void CTextView::OnVerticalAction(int action) {
    MakeActive();
    QScrollBar* bar = verticalScrollBar();
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            ScrollLines(ScrollDirection::Back, ScrollUnit::Step);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            ScrollLines(ScrollDirection::Forward, ScrollUnit::Step);
            break;
        case QAbstractSlider::SliderPageStepSub:
            ScrollLines(ScrollDirection::Back, ScrollUnit::Page);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            ScrollLines(ScrollDirection::Forward, ScrollUnit::Page);
            break;
        case QAbstractSlider::SliderMove: {
            DisplayPos target = scroll_.top();
            target.line = PositionOfThumb(bar->sliderPosition(), scroll_.extentLines());
            ClampScrollPos(target);
            ScrollTo(target.column, target.line);
            break;
        }
        default:
            break;
    }
    // The bar applies its slider position after this signal; keep it on the
    // thumb of the position the view has actually taken.
    bar->setSliderPosition(ThumbOfPosition(scroll_.top().line, scroll_.extentLines()));
}

void CTextView::OnHorizontalAction(int action) {
    if (!active_)
        return;
    QScrollBar* bar = SharedBar();
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            ScrollColumns(ScrollDirection::Back, ScrollUnit::Step);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            ScrollColumns(ScrollDirection::Forward, ScrollUnit::Step);
            break;
        case QAbstractSlider::SliderPageStepSub:
            ScrollColumns(ScrollDirection::Back, ScrollUnit::Page);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            ScrollColumns(ScrollDirection::Forward, ScrollUnit::Page);
            break;
        case QAbstractSlider::SliderMove: {
            DisplayPos target = scroll_.top();
            target.column = PositionOfThumb(bar->sliderPosition(), scroll_.extentColumns());
            ClampScrollPos(target);
            ScrollTo(target.column, target.line);
            break;
        }
        default:
            break;
    }
    bar->setSliderPosition(ThumbOfPosition(scroll_.top().column, scroll_.extentColumns()));
}

void CTextView::scrollContentsBy(int, int) {
    // The bars are driven through their actions (see OnVerticalAction); the
    // view moves its contents itself in ScrollTo.
}

void CTextView::resizeEvent(QResizeEvent*) {
    if (updatingBars_)
        return;
    UpdateScrollBars();
    DisplayPos target = scroll_.top();
    ClampScrollPos(target);
    SetScrollThumbs(target);
    ScrollTo(target.column, target.line);
}

void CTextView::wheelEvent(QWheelEvent* event) {
    // A notch moves the usual number of lines (columns with a sideways
    // wheel or with Shift); the bars' own wheel handling would move the
    // proportional thumb instead.
    QPoint delta = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ShiftModifier) && delta.x() == 0)
        delta = QPoint(delta.y(), 0);
    const bool sideways = delta.x() != 0 && delta.y() == 0;
    const int notches = scroll_.TakeWheelNotches(sideways ? delta.x() : delta.y());
    event->accept();
    if (notches == 0)
        return;
    DisplayPos target = scroll_.top();
    const int steps = notches * std::max(1, QApplication::wheelScrollLines());
    if (sideways) {
        if (!active_)
            return;
        target.column -= steps;
    } else {
        target.line -= steps;
    }
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
}

}  // namespace kotoha
