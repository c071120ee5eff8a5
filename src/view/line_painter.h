// SPDX-License-Identifier: MIT
// Drawing display lines: the view's font and its measures, the display line
// being drawn or measured, and the drawing of one line in up to three runs
// (normal, selected, normal).
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>

#include <cstdint>

#include "view/display_line.h"
#include "view/log_font.h"
#include "viewmodel/scroll_model.h"

class QPainter;
class QRect;

namespace kotoha {

// The four colours a line is drawn in.
struct LineColours {
    QColor text;
    QColor back;
    QColor selectedText;
    QColor selectedBack;
};

class LinePainter {
  public:
    LinePainter() : metrics_(font_) {}

    // Takes the font and measures its column width and line height, the
    // column-width rule following description.
    void Adopt(const QFont& font, const LogFont& description);
    const QFont& font() const { return font_; }
    const QFontMetrics& metrics() const { return metrics_; }
    std::int32_t columnWidth() const { return columnWidth_; }
    std::int32_t lineHeight() const { return lineHeight_; }

    // The display line of text (NUL-terminated, one byte per column), its
    // codes read through table; valid until the next call.
    DisplayLine& Load(const char* text, const ExtensionTable* table);

    // Draws text (just loaded) with its top at y and its column 0 at originX,
    // columns span selected; the normal background reaches pageWidth pixels
    // from column 0. Only within clip.
    void Draw(QPainter& painter, const DisplayLine& text, ColumnSpan span, int y, int originX,
              int pageWidth, const QRect& clip, const LineColours& colours) const;

  private:
    QFont font_;
    QFontMetrics metrics_;
    std::int32_t columnWidth_ = 1;
    std::int32_t lineHeight_ = 1;
    DisplayLine line_;
};

}  // namespace kotoha
