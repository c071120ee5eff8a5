// SPDX-License-Identifier: MIT
#include "view/log_font.h"

#include <algorithm>
#include <cmath>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "shell/settings.h"

namespace kotoha {

namespace {

double VerticalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

std::vector<std::int32_t> LogFontNumbers(const LogFont& font) {
    return {font.height,        font.width,        font.escapement,    font.orientation,
            font.weight,        font.italic,       font.underline,     font.strikeOut,
            font.charSet,       font.outPrecision, font.clipPrecision, font.quality,
            font.pitchAndFamily};
}

LogFont LogFontFromNumbers(const std::vector<std::int32_t>& numbers, std::string_view faceName) {
    auto at = [&](std::size_t index) { return index < numbers.size() ? numbers[index] : 0; };
    namespace I = LogFontIndex;
    LogFont font;
    font.height = at(I::kHeight);
    font.width = at(I::kWidth);
    font.escapement = at(I::kEscapement);
    font.orientation = at(I::kOrientation);
    font.weight = at(I::kWeight);
    font.italic = LowByte(at(I::kItalic));
    font.underline = LowByte(at(I::kUnderline));
    font.strikeOut = LowByte(at(I::kStrikeOut));
    font.charSet = LowByte(at(I::kCharSet));
    font.outPrecision = LowByte(at(I::kOutPrecision));
    font.clipPrecision = LowByte(at(I::kClipPrecision));
    font.quality = LowByte(at(I::kQuality));
    font.pitchAndFamily = LowByte(at(I::kPitchAndFamily));
    font.faceName = std::string(CutUtf8(faceName, kMaxFaceNameBytes));
    return font;
}

bool IsFixedPitchFamily(const QString& family) {
    if (QFontDatabase::isFixedPitch(family))
        return true;
    QFont font(family);
    font.setPixelSize(32);
    const QFontMetrics metrics(font);
    const int narrow = metrics.horizontalAdvance(QLatin1Char('i'));
    return narrow > 0 && narrow == metrics.horizontalAdvance(QLatin1Char('W')) &&
           narrow == metrics.horizontalAdvance(QLatin1Char('.'));
}

bool SupportsJapanese(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
}

PixelRange FontDialogPixelHeights() {
    const QList<int> points = QFontDatabase::standardSizes();
    const int smallest = points.isEmpty() ? 6 : *std::min_element(points.begin(), points.end());
    const int largest = points.isEmpty() ? 72 : *std::max_element(points.begin(), points.end());
    const auto pixels = [](int pt) {
        return std::max(1, static_cast<int>(std::lround(pt * VerticalDpi() / 72.0)));
    };
    return {pixels(smallest), pixels(largest)};
}

QFont FontFromLogFont(const LogFont& description) {
    QFont font(QString::fromUtf8(description.faceName.data(),
                                 static_cast<qsizetype>(description.faceName.size())));
    if ((description.pitchAndFamily & 3) == kFixedPitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    const PixelRange range = FontDialogPixelHeights();
    const auto clamped = [&](std::int64_t pixels) {
        return static_cast<int>(std::clamp<std::int64_t>(pixels, range.smallest, range.largest));
    };
    if (description.height < 0) {
        font.setPixelSize(clamped(-static_cast<std::int64_t>(description.height)));
    } else if (description.height > 0) {
        // A positive height is the whole cell; shrink the character height so
        // that ascent and descent together fit it.
        const int cell = clamped(description.height);
        font.setPixelSize(cell);
        const int measured = QFontMetrics(font).height();
        if (measured > cell)
            font.setPixelSize(std::max(1, cell * cell / measured));
    }
    if (description.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight, 1, 1000)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    return font;
}

LogFont LogFontFromFont(const QFont& font) {
    LogFont description;
    if (font.pixelSize() > 0)
        description.height = -font.pixelSize();
    else
        description.height =
            -static_cast<std::int32_t>(std::lround(font.pointSizeF() * VerticalDpi() / 72.0));
    description.weight = font.weight();
    description.italic = font.italic() ? 1 : 0;
    description.underline = font.underline() ? 1 : 0;
    description.strikeOut = font.strikeOut() ? 1 : 0;
    const QString family = font.family();
    description.charSet = SupportsJapanese(family) ? kShiftJisCharSet : 0;
    if (IsFixedPitchFamily(family)) {
        description.pitchAndFamily = kFixedPitch | kFamilyModern;
    } else {
        description.pitchAndFamily =
            kVariablePitch | (font.styleHint() == QFont::Serif ? kFamilyRoman : kFamilySwiss);
    }
    const QByteArray name = family.toUtf8();
    description.faceName = std::string(
        CutUtf8(std::string_view(name.data(), std::size_t(name.size())), kMaxFaceNameBytes));
    return description;
}

QFont SystemFixedFont() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : families) {
        if (!family.startsWith(QLatin1Char('@')) && IsFixedPitchFamily(family)) {
            QFont font(family);
            if (system.pixelSize() > 0)
                font.setPixelSize(system.pixelSize());
            else
                font.setPointSizeF(system.pointSizeF());
            return font;
        }
    }
    return system;
}

LogFont SystemFixedLogFont() {
    return LogFontFromFont(SystemFixedFont());
}

}  // namespace kotoha
