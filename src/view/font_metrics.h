// SPDX-License-Identifier: MIT
// Column width and line height of the view's font.
#pragma once

#include <cstdint>

#include <QFont>

#include "view/log_font.h"

namespace kotoha {

struct ViewMetrics {
    std::int32_t columnWidth = 1;
    std::int32_t lineHeight = 1;
};

// Line height = height + leading. Column width by the description's pitch:
// fixed pitch gives the average character width; variable pitch with a
// character set of 128 or above gives the larger of the widest printable
// single byte and half the ideographic space rounded up; other variable
// pitch fonts give the widest character. A description of neither pitch is
// measured by what the font itself is. Both are at least 1.
ViewMetrics MeasureViewFont(const QFont& font, const LogFont& description);

}  // namespace kotoha
