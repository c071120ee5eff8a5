// SPDX-License-Identifier: MIT
#include "layout/line_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "codec/byte_class.h"
#include "small_halves.h"

namespace kotoha {
namespace {

using namespace std::string_literals;

// A text laid out with W and T, owning its bytes and index.
struct Laid {
    std::string bytes;
    LineIndex index;
    std::int32_t wrapColumn;
    std::int32_t tabWidth;

    Laid(std::string text, std::int32_t w, std::int32_t t)
        : bytes(std::move(text)), wrapColumn(w), tabWidth(t) {
        EXPECT_TRUE(BuildLineIndex(Data(), Length(), w, t, index));
    }
    const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(bytes.data()); }
    std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes.size()); }
    LayoutText View() const {
        return {Data(), Length(), index.data(), index.capacity(), wrapColumn, tabWidth};
    }
    std::vector<std::uint32_t> Entries() const {
        return {index.data(), index.data() + index.capacity()};
    }
    std::string LineText(std::int32_t line) const {
        char buffer[kLineBufferSize];
        const std::uint32_t n = GetLineText(View(), line, buffer);
        EXPECT_EQ(buffer[n], '\0');
        return std::string(buffer, n);
    }
    std::string LineCells(std::int32_t line) const {
        char buffer[kLineBufferSize];
        const std::uint32_t n = GetLineCells(View(), line, buffer);
        std::string digits;
        for (std::uint32_t i = 0; i < n; ++i) {
            const int v = buffer[i];
            digits.push_back(static_cast<char>(v < 10 ? '0' + v : 'a' + v - 10));
        }
        return digits;
    }
};

TEST(BuildLineIndex, Entries) {
    struct Case {
        const char* name;
        std::string text;
        std::int32_t w;
        std::int32_t t;
        std::vector<std::uint32_t> entries;
    };
    const Case cases[] = {
        {"empty text has no entries", "", 10, 8, {}},
        {"three letters", "abc", 10, 8, {0, 3}},
        {"three letters and LF", "abc\n", 10, 8, {0, 4}},
        {"W letters and LF", "abcdefghij\n", 10, 8, {0, 11}},
        {"W+1 letters", "abcdefghijk", 10, 8, {0, 10, 11}},
        {"double-byte at W-1 moves", "abcdefghi\x82\xa0", 10, 8, {0, 9, 11}},
        {"double-byte ending at W stays", "abcdefgh\x82\xa0z", 10, 8, {0, 10, 11}},
        {"tab within line", "abcdefg\tz", 10, 8, {0, 9}},
        {"tab crossing W ends line", "abcdefghi\tz", 10, 8, {0, 10, 11}},
        {"tab at W ends line", "abcdefghij\tz", 10, 8, {0, 11, 12}},
        {"LF after LF", "\n\n", 10, 8, {0, 1, 2}},
        {"control bytes never end a line", "\r\x00\x7f\xff"s, 2, 8, {0, 2, 4}},
        {"lone lead byte at the end", "ab\x82", 10, 8, {0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Laid laid(c.text, c.w, c.t);
        EXPECT_EQ(laid.Entries(), c.entries);
        EXPECT_EQ(laid.View().LineCount(), c.entries.empty() ? 0 : int(c.entries.size()) - 1);
    }
}

TEST(BuildLineIndex, LongTextGrowsScratchAndTrimsIt) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "a\n";
    Laid laid(text, 80, 8);
    EXPECT_EQ(laid.index.capacity(), 5001u);
    EXPECT_EQ(laid.index[5000], 10000u);
}

TEST(BuildLineIndex, OutOfMemoryKeepsPreviousIndex) {
    Laid laid("abc\ndef", 10, 8);
    const std::vector<std::uint32_t> before = laid.Entries();
    std::string longer(2000, '\n');
    for (std::uint32_t allow : {0u, 1u, 2u}) {
        SCOPED_TRACE(allow);
        SetAllocationFaults(allow, 1);
        const bool built =
            BuildLineIndex(reinterpret_cast<const std::uint8_t*>(longer.data()),
                           static_cast<std::uint32_t>(longer.size()), 10, 8, laid.index);
        ClearAllocationFaults();
        EXPECT_FALSE(built);
        EXPECT_EQ(laid.Entries(), before);
    }
}

// The index rules walked one character at a time, as they are stated, to
// hold the built index against: any byte string, any W and T in range.
std::vector<std::uint32_t> ReferenceEntries(const std::string& bytes, std::int32_t w,
                                            std::int32_t t) {
    const auto* text = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::uint32_t>(bytes.size());
    std::vector<std::uint32_t> entries;
    if (length == 0)
        return entries;
    entries.push_back(0);
    std::int32_t x = 0;
    std::uint32_t p = 0;
    while (p < length) {
        const std::uint8_t b = text[p++];
        std::int32_t width = 1;
        if (IsLeadByte(b) && p < length) {
            ++p;
            width = 2;
        } else if (b == '\t') {
            width = t - x % t;
        }
        if (b != '\n' && x + width <= w) {
            x += width;
        } else if (b == '\n' || b == '\t') {
            entries.push_back(p);
            x = 0;
        } else {
            entries.push_back(p - static_cast<std::uint32_t>(width));
            x = width;
        }
    }
    if (entries.back() < p)
        entries.push_back(p);
    return entries;
}

TEST(BuildLineIndex, AgreesWithTheCharacterByCharacterRules) {
    // Lead bytes whose second byte is itself a lead byte, a TAB or an LF,
    // half-width katakana, controls: runs of lead bytes of either parity.
    const char pool[] = {'a',    ' ',    '\t',   '\n',   '\r',   '\0',   '\x81', '\x82',
                         '\x9f', '\xe0', '\xfc', '\xa0', '\xb1', '\x40', '\xfd'};
    std::uint32_t seed = 2024;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    const std::int32_t widths[] = {2, 3, 5, 8, 13, 80, 255};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        // Mostly short texts, some long enough for many lines of W 80.
        const std::uint32_t n = round % 10 == 0 ? 2000 : next(60);
        for (std::uint32_t i = 0; i < n; ++i) {
            // Long runs without TAB or LF, so that lines fill up and wrap.
            bytes += next(4) == 0 ? pool[next(std::size(pool))] : "a\x82\xa0\x88\x9f"[next(5)];
        }
        const std::int32_t w = widths[next(std::size(widths))];
        const std::int32_t t = 1 + static_cast<std::int32_t>(next(64));
        SCOPED_TRACE(::testing::PrintToString(bytes) + " W " + std::to_string(w) + " T " +
                     std::to_string(t));
        const Laid laid(bytes, w, t);
        ASSERT_EQ(laid.Entries(), ReferenceEntries(bytes, w, t));
    }
}

// Texts long enough to be laid out in two halves: the same index as one
// thread builds, whether the line feed after the middle comes at once, after
// a line that wraps many times, or only at the very end.
TEST(BuildLineIndex, TwoHalvesGiveTheIndexOfOneThread) {
    const SmallHalves halves(64 << 10);
    const std::size_t length = std::size_t{256} << 10;
    std::uint32_t seed = 7;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    std::string mixed;
    mixed.reserve(length);
    while (mixed.size() < length)
        mixed += next(30) == 0 ? "\n" : next(9) == 0 ? "\t" : next(3) == 0 ? "a" : "\x82\xa0";
    std::string longMiddleLine = mixed;
    std::fill(longMiddleLine.begin() + static_cast<std::ptrdiff_t>(length / 2) - 10,
              longMiddleLine.begin() + static_cast<std::ptrdiff_t>(length / 2) + 100000, 'x');
    std::string oneLine(length, 'y');
    oneLine.back() = '\n';
    for (const std::string* text : {&mixed, &longMiddleLine, &oneLine}) {
        for (const std::int32_t w : {2, 80, 255}) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(text->data());
            const auto size = static_cast<std::uint32_t>(text->size());
            LineIndex two;
            LineIndex one;
            ASSERT_TRUE(BuildLineIndex(bytes, size, w, 8, two));
            ASSERT_TRUE(BuildLineIndex(bytes, size, w, 8, one, IndexThreads::One));
            ASSERT_EQ(two.capacity(), one.capacity()) << "W " << w;
            EXPECT_EQ(std::memcmp(two.data(), one.data(), one.capacity() * sizeof(std::uint32_t)),
                      0)
                << "W " << w;
        }
    }
}

TEST(LineOperations, EmptyText) {
    Laid laid("", 10, 8);
    EXPECT_EQ(laid.LineText(0), "");
    EXPECT_EQ(laid.LineCells(0), "");
    EXPECT_EQ(PosToOffset(laid.View(), {5, 0}), 0u);
    EXPECT_EQ(OffsetToPos(laid.View(), 0), (DisplayPos{0, 0}));
    EXPECT_EQ(LineOfOffset(laid.View(), 0), 0);
    EXPECT_FALSE(IsTrailByteAt(laid.View(), 0));
}

TEST(LineOperations, EndLineAndOutOfRangeLinesAreEmpty) {
    Laid laid("ab\ncd", 10, 8);
    EXPECT_EQ(laid.LineText(2), "");
    EXPECT_EQ(laid.LineText(-1), "");
    EXPECT_EQ(laid.LineText(7), "");
    EXPECT_EQ(PosToOffset(laid.View(), {0, 2}), 5u);
    EXPECT_EQ(PosToOffset(laid.View(), {3, 9}), 5u);
}

// "ab\t" then "\x82\xa0" then LF, then "xy": W = 10, T = 4.
// Columns: a0 b1 tab2-3 (2 wide) kanji4-5 LF6 / x0 y1.
TEST(LineOperations, PosToOffsetAndBack) {
    Laid laid("ab\t\x82\xa0\nxy", 10, 4);
    struct Case {
        DisplayPos pos;
        std::uint32_t offset;
        DisplayPos back;  // OffsetToPos(offset): first column of the character
    };
    const Case cases[] = {
        {{0, 0}, 0, {0, 0}},  {{1, 0}, 1, {1, 0}}, {{2, 0}, 2, {2, 0}},
        {{3, 0}, 2, {2, 0}},  // middle of the tab gives the tab's first column
        {{4, 0}, 3, {4, 0}},  {{5, 0}, 3, {4, 0}},  // second column of the kanji
        {{6, 0}, 5, {6, 0}},                        // on the LF cell: the LF itself
        {{7, 0}, 6, {0, 1}},                        // beyond it: the next line's start
        {{99, 0}, 6, {0, 1}}, {{1, 1}, 7, {1, 1}}, {{2, 1}, 8, {0, 2}},
        {{-3, 1}, 6, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pos.column << "," << c.pos.line);
        const std::uint32_t offset = PosToOffset(laid.View(), c.pos);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(OffsetToPos(laid.View(), offset), c.back);
    }
    // An offset on the second byte yields the column inside the character.
    EXPECT_EQ(OffsetToPos(laid.View(), 4), (DisplayPos{5, 0}));
}

TEST(LineOperations, LineOfOffset) {
    Laid laid("abcdefghijk\nl\n\nm", 10, 8);  // lines: 0-10, 10-12, 12-14, 14-15, 15-16
    ASSERT_EQ(laid.Entries(), (std::vector<std::uint32_t>{0, 10, 12, 14, 15, 16}));
    const std::pair<std::uint32_t, std::int32_t> cases[] = {
        {0, 0}, {9, 0}, {10, 1}, {11, 1}, {12, 2}, {13, 2}, {14, 3}, {15, 4}, {16, 5}, {99, 5},
    };
    for (auto [offset, line] : cases)
        EXPECT_EQ(LineOfOffset(laid.View(), offset), line) << offset;
}

TEST(LineOperations, IsTrailByteAt) {
    // The second byte of the first kanji is itself a lead-byte value.
    Laid laid("a\x82\x9f\x82\xa0\x40", 10, 8);
    const bool expected[] = {false, false, true, false, true, false, false};
    for (std::uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(IsTrailByteAt(laid.View(), i), expected[i]) << i;
}

TEST(LineOperations, ScanRestartsAtEachLine) {
    // The kanji that did not fit starts line 1, so its second byte is found
    // from that line's start alone.
    Laid laid("abcdefghi\x82\x82", 10, 8);
    EXPECT_TRUE(IsTrailByteAt(laid.View(), 10));
    EXPECT_FALSE(IsTrailByteAt(laid.View(), 9));
}

TEST(DisplayPos, OrderedByLineThenColumn) {
    EXPECT_LT((DisplayPos{9, 0}), (DisplayPos{0, 1}));
    EXPECT_LT((DisplayPos{1, 2}), (DisplayPos{2, 2}));
    EXPECT_EQ((DisplayPos{3, 4}), (DisplayPos{3, 4}));
}

// --- Golden layouts ---

std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out.push_back(s[i]);
            continue;
        }
        const char e = s[++i];
        if (e == 'n') {
            out.push_back('\n');
        } else if (e == 't') {
            out.push_back('\t');
        } else if (e == 'r') {
            out.push_back('\r');
        } else if (e == 'x') {
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(e);
        }
    }
    return out;
}

TEST(GoldenLayouts, MatchStoredLines) {
    std::ifstream in(KOTOHA_TEST_DATA_DIR "/layout/wrap.golden");
    ASSERT_TRUE(in) << "missing golden file";
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        if (line.rfind("case ", 0) != 0)
            continue;
        int w = 0;
        int t = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "case %d %d", &w, &t), 2);
        std::string quoted;
        std::getline(in, quoted);
        const std::string text = Unescape(quoted.substr(1, quoted.size() - 2));
        Laid laid(text, w, t);
        SCOPED_TRACE(quoted);
        std::int32_t row = 0;
        while (std::getline(in, line) && line != "end") {
            const std::size_t close = line.rfind('|');
            EXPECT_EQ(laid.LineText(row), Unescape(line.substr(1, close - 1))) << "row " << row;
            EXPECT_EQ(laid.LineCells(row), line.substr(close + 1)) << "row " << row;
            ++row;
        }
        EXPECT_EQ(row, laid.View().LineCount());
        ++cases;
    }
    EXPECT_GE(cases, 9);
}

}  // namespace
}  // namespace kotoha
