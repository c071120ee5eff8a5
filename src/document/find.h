// SPDX-License-Identifier: MIT
// Searching the document's text: one search request, word boundaries, and
// the search itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "layout/line_layout.h"

namespace kotoha {

// One search as the find dialog asks for it; findText is Shift-JIS bytes.
struct FindRequest {
    std::string findText;
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// Whether the character containing offset ends a word: true at the text
// length, for ASCII punctuation, blanks, controls, half-width punctuation
// 0xA1-0xA5, every double-byte character and every other byte; false for
// ASCII letters and digits and half-width katakana letters 0xA6-0xDF.
bool IsDelimiterAt(const LayoutText& layout, std::uint32_t offset);

// Whether [begin, end) is bounded by delimiters on both sides.
bool IsWholeWord(const LayoutText& layout, std::uint32_t begin, std::uint32_t end);

// Looks for pattern (Shift-JIS) from offset, towards the end when down is set
// (offset, offset + 1, ...) or towards the start (offset, offset - 1, ... 0;
// an offset too near the end starts at length - pattern length). Characters
// are compared whole; without matchCase A-Z and the full-width Latin
// capitals fold to their small forms. Matches start only on character
// boundaries. On success offset is the match's offset. Never wraps around.
bool FindText(const LayoutText& layout, std::uint32_t& offset, std::string_view pattern, bool down,
              bool matchCase, bool wholeWord);

}  // namespace kotoha
