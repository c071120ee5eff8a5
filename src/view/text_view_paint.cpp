// SPDX-License-Identifier: MIT
// Painting the text view: the visible display lines in up to three runs
// (normal, selected, normal), the areas outside the text, and repainting
// the pixels between two positions after a selection change.
#include <algorithm>

#include <QPaintEvent>
#include <QPainter>

#include "view/text_view.h"

namespace kotoha {

namespace {

QColor SystemColour(const QWidget* widget, QPalette::ColorRole role) {
    // The colours of the active group, whether or not the window has focus,
    // as system colours do not change with it.
    return widget->palette().color(QPalette::Active, role);
}

}  // namespace

QColor CTextView::OutsideColour() const {
    return SystemColour(this, QPalette::Base);
}

DisplayLine& CTextView::LoadLine(std::int32_t line) {
    displayLine_.Assign(GetLineText(line), metrics_, Extensions());
    return displayLine_;
}

void CTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect clip = event->rect();
    EraseOutsideText(painter, QBrush(OutsideColour()), clip);

    const int width = viewport()->width();
    const int height = viewport()->height();
    const QRect textClip = QRect(kMarginWidth, 0, width - kMarginWidth, height) & clip;
    if (textClip.isEmpty())
        return;
    painter.setFont(font_);
    DisplayPos lo, hi;
    GetSelection(lo, hi);
    // Only the rows that meet the update rectangle.
    const std::int32_t rows = PartlyVisible(height, lineHeight_);
    const std::int32_t firstRow = std::max(0, textClip.top() / lineHeight_);
    const std::int32_t lastRow = std::min(rows - 1, textClip.bottom() / lineHeight_);
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        const std::int32_t line = scrollPos_.line + row;
        if (line >= extentLines_)
            break;
        DrawLine(painter, line, row * lineHeight_, lo, hi, textClip);
    }
}

void CTextView::DrawLine(QPainter& painter, std::int32_t line, std::int32_t y, DisplayPos lo,
                         DisplayPos hi, const QRect& textClip) {
    const ColumnSpan span = SelectedSpan(line, lo, hi, extentColumns_);
    const DisplayLine& text = LoadLine(line);
    const std::int32_t length = text.columns();
    // Run boundaries in columns: [0, a) normal, [a, b) selected, [b, length)
    // normal.
    const std::int32_t a = std::min(length, span.from);
    const std::int32_t b = span.from < span.to ? std::min(length, a + (span.to - span.from)) : a;
    const int originX = kMarginWidth - scrollPos_.column * columnWidth_;
    const int pageWidth = std::max(0, extentColumns_ - 1) * columnWidth_;
    const int baseline = y + metrics_.ascent();

    const QColor normalText = SystemColour(this, QPalette::Text);
    const QColor normalBack = SystemColour(this, QPalette::Base);
    const QColor selectedText = SystemColour(this, QPalette::HighlightedText);
    const QColor selectedBack = SystemColour(this, QPalette::Highlight);

    struct Run {
        std::int32_t from, to;
        bool selected, last;
    };
    const Run runs[] = {{0, a, false, false}, {a, b, true, false}, {b, length, false, true}};
    for (const Run& run : runs) {
        if (run.from == run.to && !run.last)
            continue;
        const int left = text.ExtentTo(run.from);
        int runWidth = text.ExtentTo(run.to) - left;
        // The window colour of every line reaches the page's right edge.
        if (run.last)
            runWidth = std::max(runWidth, pageWidth - left);
        const QRect rect = QRect(originX + left, y, runWidth, lineHeight_) & textClip;
        if (rect.isEmpty())
            continue;
        painter.fillRect(rect, run.selected ? selectedBack : normalBack);
        if (run.from == run.to)
            continue;
        // The whole line is drawn through the run's rectangle, so glyphs sit
        // exactly where the measurements put them.
        painter.setClipRect(rect);
        painter.setPen(run.selected ? selectedText : normalText);
        painter.drawText(originX, baseline, text.string());
        painter.setClipping(false);
    }
}

void CTextView::EraseOutsideText(QPainter& painter, const QBrush& brush, const QRect& clip) {
    const int width = viewport()->width();
    const int height = viewport()->height();
    auto fill = [&](const QRect& rect, const QBrush& with) {
        const QRect area = rect & clip;
        if (!area.isEmpty())
            painter.fillRect(area, with);
    };
    // Right of the page.
    const int pageColumns = std::max(0, extentColumns_ - 1);
    int right = (pageColumns - scrollPos_.column) * columnWidth_ + kMarginWidth;
    if (right < width)
        fill(QRect(right, 0, width - right, height), brush);
    else
        right = width;
    // Below the last display line.
    int bottom = (extentLines_ - scrollPos_.line) * lineHeight_;
    if (bottom < height)
        fill(QRect(0, bottom, right, height - bottom), brush);
    else
        bottom = height;
    // The margin, always in the window colour.
    fill(QRect(0, 0, kMarginWidth, bottom), QBrush(SystemColour(this, QPalette::Base)));
}

void CTextView::InvalidateLine(std::int32_t line, std::int32_t from, std::int32_t to) {
    if (line >= extentLines_ || from == to)
        return;
    const std::int32_t rows = PartlyVisible(viewport()->height(), lineHeight_);
    if (line < scrollPos_.line || line >= scrollPos_.line + rows)
        return;
    const DisplayLine& text = LoadLine(line);
    from = std::clamp(from, 0, text.columns());
    to = std::clamp(to, 0, text.columns());
    if (from == to)
        return;
    const int left = text.ExtentTo(from);
    const QRect rect(left - scrollPos_.column * columnWidth_ + kMarginWidth,
                     (line - scrollPos_.line) * lineHeight_, text.ExtentTo(to) - left, lineHeight_);
    viewport()->update(rect);
}

void CTextView::InvalidateRange(DisplayPos a, DisplayPos b) {
    const DisplayPos lo = std::min(a, b);
    const DisplayPos hi = std::max(a, b);
    if (lo.line == hi.line) {
        InvalidateLine(lo.line, lo.column, hi.column);
        return;
    }
    InvalidateLine(lo.line, lo.column, extentColumns_);
    // Lines in between, only as far as they can show.
    const std::int32_t rows = PartlyVisible(viewport()->height(), lineHeight_);
    const std::int32_t first = std::max(lo.line + 1, scrollPos_.line);
    const std::int32_t last = std::min(hi.line - 1, scrollPos_.line + rows - 1);
    for (std::int32_t line = first; line <= last; ++line)
        InvalidateLine(line, 0, extentColumns_);
    InvalidateLine(hi.line, 0, hi.column);
}

}  // namespace kotoha
