// SPDX-License-Identifier: MIT
#include "shell/number_format.h"

#include <langinfo.h>
#include <locale.h>

#include <cstddef>

namespace kotoha {

namespace {

std::size_t Utf8CharCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::string PadLeft(std::string text, std::size_t width) {
    std::size_t chars = Utf8CharCount(text);
    if (chars < width)
        text.insert(0, width - chars, ' ');
    return text;
}

}  // namespace

std::string GroupThousands(std::uint64_t number, std::string_view separator) {
    std::string digits = std::to_string(number);
    std::string result;
    result.reserve(digits.size() + (digits.size() / 3) * separator.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        std::size_t fromRight = digits.size() - i;
        if (i > 0 && fromRight % 3 == 0)
            result.append(separator);
        result.push_back(digits[i]);
    }
    return result;
}

std::string SystemThousandsSeparator() {
    std::string separator;
    // A locale object of its own leaves the process's locale (and other
    // threads' formatting) alone.
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
        if (const char* text = nl_langinfo_l(THOUSEP, numeric))
            separator = text;
        freelocale(numeric);
    }
    if (separator.empty())
        return ",";
    std::size_t end = 1;
    while (end < separator.size() && (static_cast<unsigned char>(separator[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return separator.substr(0, end);
}

std::string FormatLineNumberPane(std::uint64_t number, std::string_view separator) {
    return PadLeft(GroupThousands(number, separator), 6);
}

std::string FormatColumnPane(std::uint64_t number) {
    return PadLeft(std::to_string(number), 3);
}

std::string FormatMemoryKilobytes(std::uint64_t kilobytes, std::string_view separator) {
    return GroupThousands(kilobytes, separator) + " KB";
}

}  // namespace kotoha
