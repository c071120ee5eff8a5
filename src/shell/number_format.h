// SPDX-License-Identifier: MIT
// Numbers as the status bar and the About box show them: grouped in
// thousands with the system's separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kotoha {

// number in decimal with separator before every group of three digits
// counted from the right: 0 gives "0", 1234567 with "," gives "1,234,567".
std::string GroupThousands(std::uint64_t number, std::string_view separator);

// The first character (a whole UTF-8 sequence) of the group separator of the
// locale that the environment selects (LC_ALL, LC_NUMERIC, LANG), read
// without changing the process's locale; "," when that locale has none.
std::string SystemThousandsSeparator();

// The line-number pane: the whole number, grouped, right-aligned to at
// least six characters with blanks (a cut number would be a wrong place).
std::string FormatLineNumberPane(std::uint64_t number, std::string_view separator);

// The column pane: the whole number, right-aligned to at least three
// characters.
std::string FormatColumnPane(std::uint64_t number);

// The About box's memory text: kilobytes grouped, then " KB".
std::string FormatMemoryKilobytes(std::uint64_t kilobytes, std::string_view separator);

}  // namespace kotoha
