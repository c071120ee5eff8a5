// SPDX-License-Identifier: MIT
// The settings the document reads (and, for its layout, writes back): views
// of the application's values, so that there is one copy of each.
#pragma once

#include <cstdint>

namespace kotoha {

struct DocumentOptions {
    std::int32_t& wrapColumns;         // W of the display layout
    std::int32_t& tabstops;            // T of the display layout
    std::int32_t& preferWinText;       // detection prefers Shift-JIS when uncertain
    std::int32_t& inquireWhenStrayed;  // ask the encoding when detection is uncertain
    std::int32_t& inquireWhenPaste;    // ask before a paste replaces the text
    std::int32_t& detectUnicode;       // detect UTF-8 and UTF-16, keep every pasted character
    std::int32_t& showOpenNotice;      // report guesses and losses of an open beside the text
    std::int32_t& askBeforeLoss;       // ask before a save writes substitutes
};

}  // namespace kotoha
