// SPDX-License-Identifier: MIT
#include "view/line_painter.h"

#include <QPainter>

#include <algorithm>

#include "view/font_metrics.h"

namespace kotoha {

void LinePainter::Adopt(const QFont& font, const LogFont& description) {
    font_ = font;
    metrics_ = QFontMetrics(font_);
    const ViewMetrics measured = MeasureViewFont(font_, description);
    columnWidth_ = measured.columnWidth;
    lineHeight_ = measured.lineHeight;
}

DisplayLine& LinePainter::Load(const char* text, const ExtensionTable* table) {
    line_.Assign(text, metrics_, table);
    return line_;
}

void LinePainter::Draw(QPainter& painter, const DisplayLine& text, ColumnSpan span, int y,
                       int originX, int pageWidth, const QRect& clip,
                       const LineColours& colours) const {
    const std::int32_t length = text.columns();
    // Run boundaries in columns: [0, a) normal, [a, b) selected, [b, length)
    // normal.
    const std::int32_t a = std::min(length, span.from);
    const std::int32_t b = span.from < span.to ? std::min(length, a + (span.to - span.from)) : a;
    const int baseline = y + metrics_.ascent();
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
        const QRect rect = QRect(originX + left, y, runWidth, lineHeight_) & clip;
        if (rect.isEmpty())
            continue;
        painter.fillRect(rect, run.selected ? colours.selectedBack : colours.back);
        if (run.from == run.to)
            continue;
        // The whole line is drawn through the run's rectangle, so glyphs sit
        // exactly where the measurements put them.
        painter.setClipRect(rect);
        painter.setPen(run.selected ? colours.selectedText : colours.text);
        painter.drawText(originX, baseline, text.string());
        painter.setClipping(false);
    }
}

}  // namespace kotoha
