// SPDX-License-Identifier: MIT
// The settings the document reads, as values. The application owns the
// settings; the document asks for their current values when it needs them
// and keeps a copy only of the layout it was opened with.
#pragma once

#include <cstdint>
#include <functional>

namespace kotoha {

struct DocumentOptions {
    std::int32_t wrapColumns = 80;        // W of the display layout
    std::int32_t tabstops = 8;            // T of the display layout
    std::int32_t preferWinText = 1;       // detection prefers Shift-JIS when uncertain
    std::int32_t inquireWhenStrayed = 0;  // ask the encoding when detection is uncertain
    std::int32_t inquireWhenPaste = 1;    // ask before a paste replaces the text
    std::int32_t detectUnicode = 1;       // detect UTF-8 and UTF-16, keep every pasted character
    std::int32_t showOpenNotice = 1;      // report guesses and losses of an open beside the text
    std::int32_t askBeforeLoss = 1;       // ask before a save writes substitutes
};

// Answers the settings' current values.
using DocumentOptionsSource = std::function<DocumentOptions()>;

}  // namespace kotoha
