// SPDX-License-Identifier: MIT
// One display line turned into the Unicode string that is drawn and
// measured: every character (a single byte or a double-byte pair) becomes
// one UTF-16 unit (a character beyond U+FFFF two), and a table maps columns to string positions.
// The string and the table are reused from line to line, so converting allocates nothing once the
// string has grown to a line's size.
#pragma once

#include <array>
#include <cstdint>

#include <QFontMetrics>
#include <QString>

#include "codec/extension_table.h"
#include "layout/line_layout.h"
#include "viewmodel/hit_test.h"

namespace kotoha {

class DisplayLine : public LineExtents {
  public:
    // Takes the display text of a line (NUL-terminated, one byte per column),
    // the metrics to measure it with, which must outlive the next
    // measurement, and the extension table its codes are read through.
    void Assign(const char* text, const QFontMetrics& metrics,
                const ExtensionTable* table = nullptr);

    // Columns of the line (the display text's length).
    std::int32_t columns() const { return columns_; }
    const QString& string() const { return string_; }
    // String position of a column: the number of characters that begin
    // before it (a column inside a double-byte character lies after it).
    std::int32_t PositionOfColumn(std::int32_t column) const;
    // Pixels of the first columns columns, as drawn with the whole line.
    std::int32_t ExtentTo(std::int32_t columns) const override;

  private:
    QString string_;
    std::array<std::uint16_t, kLineBufferSize + 1> positions_{};
    std::int32_t columns_ = 0;
    const QFontMetrics* metrics_ = nullptr;
};

}  // namespace kotoha
