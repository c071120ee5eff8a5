// SPDX-License-Identifier: MIT
#include "view/display_line.h"

#include <algorithm>
#include <cstring>

#include "codec/byte_class.h"
#include "codec/cp932.h"

namespace kotoha {

void DisplayLine::Assign(const char* text, const QFontMetrics& metrics,
                         const ExtensionTable* table) {
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
        if (IsLeadByte(bytes[column]) && column + 1 < length) {
            const auto code = static_cast<std::uint16_t>(bytes[column] << 8 | bytes[column + 1]);
            const char32_t ch = InternalCharOf(code, table);
            // A character beyond U+FFFF is drawn from its surrogate pair,
            // which the character's two columns have room for.
            if (ch >= 0x10000) {
                out[characters++] = QChar(static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)));
                out[characters++] = QChar(static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)));
            } else {
                out[characters++] = QChar(static_cast<char16_t>(ch));
            }
            // The second column of the character lies after it.
            positions_[column + 1] = characters;
            column += 2;
        } else {
            out[characters++] = QChar(Cp932ToUnicode(bytes[column]));
            column += 1;
        }
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
