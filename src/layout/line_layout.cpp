// SPDX-License-Identifier: MIT
#include "layout/line_layout.h"

#include <algorithm>
#include <cstring>

#include "base/side_by_side.h"
#include "codec/byte_class.h"

namespace kotoha {

namespace {

constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLf = 0x0A;

bool IsShownAsItself(std::uint8_t b) {
    return (b >= 0x20 && b <= 0x7E) || IsHalfWidthKana(b);
}

// True when text[p] starts a double-byte character. The store guarantees a
// second byte after every lead byte; a lead byte at the very end is treated
// as an unshowable single byte so that no walk reads past the text.
bool IsPairAt(const std::uint8_t* text, std::uint32_t p, std::uint32_t end) {
    return IsLeadByte(text[p]) && p + 1 < end;
}

// Columns of a tab starting at column s on a line of at most W columns.
std::int32_t TabColumns(std::int32_t s, std::int32_t wrapColumn, std::int32_t tabWidth) {
    return std::max(0, std::min(tabWidth - s % tabWidth, wrapColumn - s));
}

struct LineRange {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool valid = false;
};

LineRange RangeOf(const LayoutText& layout, std::int32_t line) {
    if (line < 0 || line >= layout.LineCount())
        return {};
    return {layout.entries[line], layout.entries[line + 1], true};
}

// Walks one display line and writes either its display text or its cells.
template <bool Cells>
std::uint32_t WriteLine(const LayoutText& layout, std::int32_t line, char* out) {
    const LineRange range = RangeOf(layout, line);
    std::uint32_t n = 0;
    if (range.valid) {
        // The line never holds more than W + 1 cells when the index belongs
        // to this W; the limit guards the buffer should it not.
        const std::uint32_t limit = std::min<std::uint32_t>(
            static_cast<std::uint32_t>(std::max(layout.wrapColumn, 0)) + 1, kLineBufferSize - 1);
        const std::uint8_t* text = layout.text;
        std::uint32_t p = range.begin;
        while (p < range.end && n < limit) {
            const std::uint8_t b = text[p];
            if (b == kTab) {
                const std::int32_t columns =
                    TabColumns(static_cast<std::int32_t>(n), layout.wrapColumn, layout.tabWidth);
                for (std::int32_t i = 0; i < columns && n < limit; ++i) {
                    out[n++] = Cells ? static_cast<char>(i) : ' ';
                }
                ++p;
            } else if (IsPairAt(text, p, range.end)) {
                if (n + 2 > limit)
                    break;
                out[n++] = Cells ? 0 : static_cast<char>(b);
                out[n++] = Cells ? 1 : static_cast<char>(text[p + 1]);
                p += 2;
            } else {
                out[n++] = Cells ? 0 : IsShownAsItself(b) ? static_cast<char>(b) : ' ';
                ++p;
            }
        }
    }
    out[n] = '\0';
    return n;
}

}  // namespace

namespace {

// BuildLineIndex on the calling thread alone.
bool BuildLineIndexOnOneThread(const std::uint8_t* text, std::uint32_t length,
                               std::int32_t wrapColumn, std::int32_t tabWidth, LineIndex& index) {
    if (length == 0) {
        index.Free();
        return true;
    }
    // One display line per min(W, 30) bytes is the estimate for ordinary
    // text, so that few reallocations happen on the way.
    const std::uint32_t estimate =
        std::max<std::uint32_t>(32, length / static_cast<std::uint32_t>(std::min(wrapColumn, 30)));
    LineIndex scratch(std::max<std::uint32_t>(32, estimate / 10));
    if (!scratch.SetSize(estimate) || !scratch.Append(0))
        return false;

    // The next TAB and LF at or after p (length when there is none), found
    // with memchr over the rest of the text and kept until p passes them.
    // Neither byte can be the second byte of a double-byte character.
    const auto find = [&](std::uint8_t byte, std::uint32_t from) {
        const void* hit = std::memchr(text + from, byte, length - from);
        return hit ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(hit) - text)
                   : length;
    };
    std::uint32_t nextTab = 0;
    std::uint32_t nextLf = 0;
    bool tabKnown = false;
    bool lfKnown = false;

    std::int32_t x = 0;
    std::uint32_t p = 0;
    while (p < length) {
        // Away from tabs a character takes as many columns as it has bytes,
        // so the characters before the next TAB or LF that end within the
        // columns left all stay on the line: they are passed in one step,
        // and only the character after them goes through the full rules.
        if (x < wrapColumn) {
            if (!lfKnown || nextLf < p) {
                nextLf = find(kLf, p);
                lfKnown = true;
            }
            if (!tabKnown || nextTab < p) {
                nextTab = find(kTab, p);
                tabKnown = true;
            }
            const auto room = static_cast<std::uint32_t>(wrapColumn - x);
            std::uint32_t e = std::min({nextLf, nextTab, length - p <= room ? length : p + room});
            // A lead byte just before e starts a character that reaches
            // beyond it. The lead bytes ending at e - 1 pair up from the
            // last character boundary before them (p, or the byte after one
            // that cannot lead), so an odd run ends in such a lead byte.
            std::uint32_t run = 0;
            while (e - run > p && IsLeadByte(text[e - run - 1]))
                ++run;
            if (run % 2 != 0)
                --e;
            x += static_cast<std::int32_t>(e - p);
            p = e;
            if (p >= length)
                break;
        }
        const std::uint8_t b = text[p++];
        std::int32_t w = 1;
        if (IsLeadByte(b) && p < length) {
            ++p;
            w = 2;
        } else if (b == kTab) {
            w = tabWidth - x % tabWidth;
        }
        // A character that ends exactly at column W stays on the line.
        if (b != kLf && x + w <= wrapColumn) {
            x += w;
            continue;
        }
        std::optional<std::uint32_t> appended;
        if (b == kLf || b == kTab) {
            // The LF or TAB stays at the end of the line it ends.
            appended = scratch.Append(p);
            x = 0;
        } else {
            // The character that did not fit starts the next line.
            appended = scratch.Append(p - static_cast<std::uint32_t>(w));
            x = w;
        }
        if (!appended)
            return false;
    }
    if (scratch[scratch.count() - 1] < p && !scratch.Append(p))
        return false;
    if (!scratch.SetSize(scratch.count()))
        return false;
    index.Attach(scratch.Detach());
    return true;
}

}  // namespace

bool BuildLineIndex(const std::uint8_t* text, std::uint32_t length, std::int32_t wrapColumn,
                    std::int32_t tabWidth, LineIndex& index, IndexThreads threads) {
    // Layout starts afresh after a line feed: the second half's lines are
    // the whole text's lines from there, its offsets moved by the split.
    const void* lineFeed = threads == IndexThreads::Any && length >= SideBySideBytes()
                               ? std::memchr(text + length / 2, kLf, length - length / 2)
                               : nullptr;
    const std::uint32_t middle =
        lineFeed != nullptr
            ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(lineFeed) - text) + 1
            : length;
    if (middle >= length)
        return BuildLineIndexOnOneThread(text, length, wrapColumn, tabWidth, index);
    LineIndex first;
    LineIndex second;
    bool firstBuilt = false;
    bool secondBuilt = false;
    RunSideBySide(
        [&] { firstBuilt = BuildLineIndexOnOneThread(text, middle, wrapColumn, tabWidth, first); },
        [&] {
            secondBuilt = BuildLineIndexOnOneThread(text + middle, length - middle, wrapColumn,
                                                    tabWidth, second);
        });
    // The first half ends with the entry middle, where the second begins.
    const std::uint32_t firstCount = first.capacity();
    const std::uint32_t secondCount = second.capacity();
    if (!firstBuilt || !secondBuilt || !first.SetSize(firstCount + secondCount - 1))
        return false;
    for (std::uint32_t i = 1; i < secondCount; ++i)
        first[firstCount - 1 + i] = second[i] + middle;
    index.Attach(first.Detach());
    return true;
}

std::uint32_t GetLineText(const LayoutText& layout, std::int32_t line, char* out) {
    return WriteLine<false>(layout, line, out);
}

std::uint32_t GetLineCells(const LayoutText& layout, std::int32_t line, char* out) {
    return WriteLine<true>(layout, line, out);
}

std::uint32_t PosToOffset(const LayoutText& layout, DisplayPos pos) {
    const LineRange range = RangeOf(layout, std::max(0, pos.line));
    if (!range.valid)
        return layout.length;
    const std::int32_t column = std::max(0, pos.column);
    std::int32_t s = 0;
    std::uint32_t p = range.begin;
    while (p < range.end) {
        std::int32_t width = 1;
        std::uint32_t bytes = 1;
        if (layout.text[p] == kTab) {
            width = TabColumns(s, layout.wrapColumn, layout.tabWidth);
        } else if (IsPairAt(layout.text, p, range.end)) {
            width = 2;
            bytes = 2;
        }
        if (s + width > column)
            return p;
        s += width;
        p += bytes;
    }
    return range.end;
}

std::int32_t LineOfOffset(const LayoutText& layout, std::uint32_t offset) {
    const std::int32_t n = layout.LineCount();
    if (offset >= layout.length || n == 0)
        return n;
    std::int32_t lo = 0;
    std::int32_t hi = n;
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        if (offset < layout.entries[mid]) {
            hi = mid;
        } else if (offset < layout.entries[mid + 1]) {
            return mid;
        } else {
            lo = mid + 1;
        }
    }
    return n;
}

DisplayPos OffsetToPos(const LayoutText& layout, std::uint32_t offset) {
    const std::int32_t line = LineOfOffset(layout, offset);
    if (line >= layout.LineCount())
        return {0, layout.LineCount()};
    std::int32_t n = 0;
    bool onSecondByte = false;
    for (std::uint32_t p = layout.entries[line]; p < offset; ++p) {
        const std::uint8_t b = layout.text[p];
        if (b == kTab && !onSecondByte) {
            n += TabColumns(n, layout.wrapColumn, layout.tabWidth);
        } else {
            ++n;
        }
        onSecondByte = !onSecondByte && IsLeadByte(b);
    }
    return {n, line};
}

bool IsTrailByteAt(const LayoutText& layout, std::uint32_t offset) {
    if (offset >= layout.length)
        return false;
    const std::int32_t line = LineOfOffset(layout, offset);
    bool second = false;
    for (std::uint32_t p = layout.entries[line]; p < offset; ++p) {
        second = !second && IsLeadByte(layout.text[p]);
    }
    return second;
}

}  // namespace kotoha
