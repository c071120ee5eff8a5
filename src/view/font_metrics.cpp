// SPDX-License-Identifier: MIT
#include "view/font_metrics.h"

#include <algorithm>

#include <QFontInfo>
#include <QFontMetrics>

#include "codec/cp932.h"

namespace kotoha {

namespace {

// The Shift-JIS character set's rule: no single byte may be wider than a
// column, and two columns hold a double-byte character.
int DoubleByteColumnWidth(const QFontMetrics& metrics) {
    int widest = 0;
    auto measure = [&](int first, int last) {
        for (int b = first; b <= last; ++b) {
            const QChar ch(Cp932ToUnicode(static_cast<std::uint16_t>(b)));
            widest = std::max(widest, metrics.horizontalAdvance(ch));
        }
    };
    measure(0x20, 0x7E);
    measure(0xA1, 0xDF);
    const int ideographicSpace = metrics.horizontalAdvance(QChar(Cp932ToUnicode(0x8140)));
    return std::max(widest, (ideographicSpace + 1) / 2);
}

}  // namespace

ViewMetrics MeasureViewFont(const QFont& font, const LogFont& description) {
    const QFontMetrics metrics(font);
    ViewMetrics result;
    result.lineHeight = std::max(1, metrics.height() + metrics.leading());
    bool fixed = (description.pitchAndFamily & kFixedPitch) != 0;
    bool variable = !fixed && (description.pitchAndFamily & kVariablePitch) != 0;
    if (!fixed && !variable) {
        fixed = QFontInfo(font).fixedPitch() || IsFixedPitchFamily(font.family());
        variable = !fixed;
    }
    int width = 0;
    if (fixed)
        width = metrics.averageCharWidth();
    else if (description.charSet >= kShiftJisCharSet)
        width = DoubleByteColumnWidth(metrics);
    else
        width = metrics.maxWidth();
    result.columnWidth = std::max(1, width);
    return result;
}

}  // namespace kotoha
