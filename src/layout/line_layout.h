// SPDX-License-Identifier: MIT
// Cutting a text (internal Shift-JIS, LF line breaks) into display lines of
// at most W columns with tab stops every T columns, and mapping between text
// offsets and display positions. Works in columns, never in pixels.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

#include "base/global_array.h"

namespace kotoha {

inline constexpr std::int32_t kMinWrapColumn = 2;
inline constexpr std::int32_t kMaxWrapColumn = 255;
inline constexpr std::int32_t kMinTabWidth = 1;
inline constexpr std::int32_t kMaxTabWidth = 64;
// Size of a buffer that holds the display text or the cells of any line:
// W columns, one cell for a terminating LF, and the NUL.
inline constexpr std::size_t kLineBufferSize = kMaxWrapColumn + 2;

// A position in the laid-out text: a display column (0 at the left; inside a
// tab's expansion or on the second column of a double-byte character is
// valid) and a display line 0..N, where N is the end line just after the text.
struct DisplayPos {
    std::int32_t column = 0;
    std::int32_t line = 0;

    friend bool operator==(const DisplayPos&, const DisplayPos&) = default;
    // Ordered by line, then by column.
    friend std::strong_ordering operator<=>(const DisplayPos& a, const DisplayPos& b) {
        if (auto c = a.line <=> b.line; c != 0)
            return c;
        return a.column <=> b.column;
    }
};

// A read-only view of a text and its display-line index. The index has no
// entries for an empty text, otherwise N + 1 ascending offsets from 0 to the
// text length; display line i is the byte range [entries[i], entries[i+1]).
struct LayoutText {
    const std::uint8_t* text = nullptr;
    std::uint32_t length = 0;
    const std::uint32_t* entries = nullptr;
    std::uint32_t entryCount = 0;
    std::int32_t wrapColumn = 80;
    std::int32_t tabWidth = 8;

    // N, the number of display lines.
    std::int32_t LineCount() const {
        return entryCount == 0 ? 0 : static_cast<std::int32_t>(entryCount - 1);
    }
};

// Whether a long text's index may be built by two threads, each laying out
// half of the text (split after a line feed, where layout starts afresh):
// the same index either way.
enum class IndexThreads { Any, One };

// Builds the display-line index of text[0, length) for wrap column W (2..255)
// and tab width T (1..64). On success index is replaced by the new one (empty
// for an empty text); false when memory ran out, index then unchanged.
bool BuildLineIndex(const std::uint8_t* text, std::uint32_t length, std::int32_t wrapColumn,
                    std::int32_t tabWidth, LineIndex& index,
                    IndexThreads threads = IndexThreads::Any);

// Writes the display text of line (0..N) into out (kLineBufferSize bytes):
// one byte per column (tabs as spaces, LF and unshowable bytes as one space),
// NUL-terminated. Returns the number of columns; 0 for line N and for lines
// out of range.
std::uint32_t GetLineText(const LayoutText& layout, std::int32_t line, char* out);

// Writes the cell string of line into out (kLineBufferSize bytes), parallel
// to the display text: per column its distance from the first column of its
// character (0, or 1 on a double-byte character's second column, or 1, 2, ...
// inside a tab). NUL-terminated, but since cells hold 0 the returned column
// count is its length.
std::uint32_t GetLineCells(const LayoutText& layout, std::int32_t line, char* out);

// Text offset of the character whose columns contain pos; the end of the line
// when the column lies beyond it (for a line ending with LF, a column on the
// LF cell gives the LF's offset, one beyond gives the next line's start).
// Line N and lines beyond give the text length; negative values count as 0.
std::uint32_t PosToOffset(const LayoutText& layout, DisplayPos pos);

// Display position of offset (an offset beyond the text counts as its
// length, which maps to column 0 of line N). An offset on a second byte
// yields the column inside its character.
DisplayPos OffsetToPos(const LayoutText& layout, std::uint32_t offset);

// Display line containing offset; N for the text length and beyond.
std::int32_t LineOfOffset(const LayoutText& layout, std::uint32_t offset);

// Whether the byte at offset is the second byte of a double-byte character;
// false at the text length and beyond.
bool IsTrailByteAt(const LayoutText& layout, std::uint32_t offset);

}  // namespace kotoha
