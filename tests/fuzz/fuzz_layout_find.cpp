// SPDX-License-Identifier: MIT
// libFuzzer target for the line layout and the search. The first bytes
// choose the wrap column, the tab width, the search options and the length
// of the pattern; the pattern follows, and the rest, converted to the
// internal form as the viewer converts a Shift-JIS file, is the text.
// Invariants:
//   - the index starts at 0, ends at the text length, ascends strictly, and
//     no display line is wider than the wrap column or splits a character;
//   - every character's offset maps to a position that maps back to it (a
//     tab squeezed to no width at the wrap column maps to what follows);
//   - every match found lies on a character boundary, holds the pattern
//     (exactly, with matchCase) and is found again from its own offset.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "codec/byte_class.h"
#include "codec/import.h"
#include "document/find.h"
#include "fuzz_check.h"
#include "layout/line_layout.h"

namespace {

using namespace kotoha;

using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::int32_t wrap = kMinWrapColumn + data[0] % (kMaxWrapColumn - kMinWrapColumn + 1);
    const std::int32_t tab = kMinTabWidth + data[1] % (kMaxTabWidth - kMinTabWidth + 1);
    const bool down = data[2] & 1;
    const bool matchCase = data[2] & 2;
    const bool wholeWord = data[2] & 4;
    const std::size_t patternLength = std::min<std::size_t>(data[3] % 8, size - 4);
    const std::string_view pattern(reinterpret_cast<const char*>(data + 4), patternLength);
    const std::size_t textStart = 4 + patternLength;

    std::vector<std::uint8_t> text(data + textStart, data + size);
    std::uint8_t none = 0;
    std::uint8_t* bytes = text.empty() ? &none : text.data();
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t kana = 0;
    const std::uint32_t length =
        ImportText(EncodingKind::SJIS, false, bytes, bytes, static_cast<std::uint32_t>(text.size()),
                   &lineBreak, &kana);
    text.resize(length);
    bytes = text.empty() ? &none : text.data();

    LineIndex index;
    Check(BuildLineIndex(bytes, length, wrap, tab, index));
    LayoutText layout{bytes, length, index.data(), index.capacity(), wrap, tab};
    const std::int32_t lines = layout.LineCount();
    if (length == 0) {
        Check(index.capacity() == 0);
    } else {
        Check(index[0] == 0 && index[index.capacity() - 1] == length);
    }
    char buffer[kLineBufferSize];
    for (std::int32_t line = 0; line < lines; ++line) {
        Check(index[line] < index[line + 1]);
        Check(!IsTrailByteAt(layout, index[line]));
        const std::uint32_t columns = GetLineText(layout, line, buffer);
        Check(columns <= static_cast<std::uint32_t>(wrap) + 1);
        Check(GetLineCells(layout, line, buffer) == columns);
    }
    for (std::uint32_t offset = 0; offset < length; ++offset) {
        if (IsTrailByteAt(layout, offset))
            continue;
        const DisplayPos pos = OffsetToPos(layout, offset);
        Check(pos.line >= 0 && pos.line < lines);
        // A tab that reaches the wrap column takes no column of its own: its
        // position is the one of what follows it.
        const std::uint32_t back = PosToOffset(layout, pos);
        Check(back == offset || (bytes[offset] == '\t' && back == offset + 1));
        Check(LineOfOffset(layout, offset) == pos.line);
    }
    Check(LineOfOffset(layout, length) == lines);

    if (pattern.empty())
        return 0;
    std::uint32_t from = length == 0 ? 0 : static_cast<std::uint32_t>(data[1]) * 7 % (length + 1);
    for (int found = 0; found < 64; ++found) {
        std::uint32_t at = from;
        if (!FindText(layout, at, pattern, down, matchCase, wholeWord))
            break;
        Check(at + pattern.size() <= length);
        Check(!IsTrailByteAt(layout, at));
        if (matchCase)
            Check(std::memcmp(bytes + at, pattern.data(), pattern.size()) == 0);
        if (wholeWord)
            Check(IsWholeWord(layout, at, at + static_cast<std::uint32_t>(pattern.size())));
        std::uint32_t again = at;
        Check(FindText(layout, again, pattern, down, matchCase, wholeWord) && again == at);
        Check(down ? at >= from : at <= from);
        if (down) {
            from = at + 1;
        } else {
            if (at == 0)
                break;
            from = at - 1;
        }
    }
    return 0;
}
