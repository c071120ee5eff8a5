#include "view/display_line.h"

#include <algorithm>
#include <cstring>

#include "codec/byte_class.h"
#include "codec/cp932.h"

namespace kotoha {

void DisplayLine::Assign(const char* text, const QFontMetrics& metrics) {
    metrics_ = &metrics;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t length = std::min(std::strlen(text), kLineBufferSize - 1);
    columns_ = static_cast<std::int32_t>(length);
    string_.resize(static_cast<qsizetype>(length));
    QChar* out = string_.data();
    std::uint16_t characters = 0;
    std::size_t column = 0;
    while (column < length) {
        positions_[column] = characters;
        std::uint16_t code = bytes[column];
        if (IsLeadByte(bytes[column]) && column + 1 < length) {
            code = static_cast<std::uint16_t>(code << 8 | bytes[column + 1]);
            // The second column of the character lies after it.
            positions_[column + 1] = static_cast<std::uint16_t>(characters + 1);
            column += 2;
        } else {
            column += 1;
        }
        out[characters++] = QChar(Cp932ToUnicode(code));
    }
    positions_[length] = characters;
    string_.truncate(characters);
}

std::int32_t DisplayLine::PositionOfColumn(std::int32_t column) const {
    return positions_[static_cast<std::size_t>(std::clamp(column, 0, columns_))];
}

std::int32_t DisplayLine::ExtentTo(std::int32_t columns) const {
    const std::int32_t position = PositionOfColumn(columns);
    if (position <= 0 || metrics_ == nullptr)
        return 0;
    return metrics_->horizontalAdvance(string_, position);
}

}  // namespace kotoha
