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
    return painter_.Load(GetLineText(line), Extensions());
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
    painter.setFont(painter_.font());
    DisplayPos lo, hi;
    GetSelection(lo, hi);
    // Only the rows that meet the update rectangle.
    const std::int32_t lineHeight = painter_.lineHeight();
    const std::int32_t rows = PartlyVisible(height, lineHeight);
    const std::int32_t firstRow = std::max(0, textClip.top() / lineHeight);
    const std::int32_t lastRow = std::min(rows - 1, textClip.bottom() / lineHeight);
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        const std::int32_t line = scroll_.top().line + row;
        if (line >= scroll_.extentLines())
            break;
        DrawLine(painter, line, row * lineHeight, lo, hi, textClip);
    }
}

void CTextView::DrawLine(QPainter& painter, std::int32_t line, std::int32_t y, DisplayPos lo,
                         DisplayPos hi, const QRect& textClip) {
    const std::int32_t extentColumns = scroll_.extentColumns();
    const ColumnSpan span = SelectedSpan(line, lo, hi, extentColumns);
    const DisplayLine& text = LoadLine(line);
    const int originX = kMarginWidth - scroll_.top().column * columnWidth();
    const int pageWidth = std::max(0, extentColumns - 1) * columnWidth();
    const LineColours colours{
        SystemColour(this, QPalette::Text), SystemColour(this, QPalette::Base),
        SystemColour(this, QPalette::HighlightedText), SystemColour(this, QPalette::Highlight)};
    painter_.Draw(painter, text, span, y, originX, pageWidth, textClip, colours);
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
    const DisplayPos top = scroll_.top();
    const int pageColumns = std::max(0, scroll_.extentColumns() - 1);
    int right = (pageColumns - top.column) * columnWidth() + kMarginWidth;
    if (right < width)
        fill(QRect(right, 0, width - right, height), brush);
    else
        right = width;
    // Below the last display line.
    int bottom = (scroll_.extentLines() - top.line) * lineHeight();
    if (bottom < height)
        fill(QRect(0, bottom, right, height - bottom), brush);
    else
        bottom = height;
    // The margin, always in the window colour.
    fill(QRect(0, 0, kMarginWidth, bottom), QBrush(SystemColour(this, QPalette::Base)));
}

void CTextView::InvalidateLine(std::int32_t line, std::int32_t from, std::int32_t to) {
    const DisplayPos top = scroll_.top();
    if (line >= scroll_.extentLines() || from == to)
        return;
    const std::int32_t rows = PartlyVisible(viewport()->height(), lineHeight());
    if (line < top.line || line >= top.line + rows)
        return;
    const DisplayLine& text = LoadLine(line);
    from = std::clamp(from, 0, text.columns());
    to = std::clamp(to, 0, text.columns());
    if (from == to)
        return;
    const int left = text.ExtentTo(from);
    const QRect rect(left - top.column * columnWidth() + kMarginWidth,
                     (line - top.line) * lineHeight(), text.ExtentTo(to) - left, lineHeight());
    viewport()->update(rect);
}

void CTextView::InvalidateRange(DisplayPos a, DisplayPos b) {
    const DisplayPos lo = std::min(a, b);
    const DisplayPos hi = std::max(a, b);
    if (lo.line == hi.line) {
        InvalidateLine(lo.line, lo.column, hi.column);
        return;
    }
    const std::int32_t lineEnd = scroll_.extentColumns();
    InvalidateLine(lo.line, lo.column, lineEnd);
    // Lines in between, only as far as they can show.
    const std::int32_t rows = PartlyVisible(viewport()->height(), lineHeight());
    const std::int32_t first = std::max(lo.line + 1, scroll_.top().line);
    const std::int32_t last = std::min(hi.line - 1, scroll_.top().line + rows - 1);
    for (std::int32_t line = first; line <= last; ++line)
        InvalidateLine(line, 0, lineEnd);
    InvalidateLine(hi.line, 0, hi.column);
}

}  // namespace kotoha
