// SPDX-License-Identifier: MIT
// Searching the document's text.
#include "document/find.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace kotoha {
namespace {

using testing::DocFixture;

struct FindCase {
    const char* name;
    std::string text;
    std::string pattern;
    std::uint32_t start;
    bool down, matchCase, wholeWord;
    std::int64_t want;  // -1: not found
};

TEST(FindText, Table) {
    const FindCase cases[] = {
        {"simple down", "xxabxx", "ab", 0, true, true, false, 2},
        {"down from the match itself", "abab", "ab", 0, true, true, false, 0},
        {"down past the last", "abab", "ab", 3, true, true, false, -1},
        {"up from the end", "abab", "ab", 99, false, true, false, 2},
        {"up from before the last", "abab", "ab", 1, false, true, false, 0},
        {"up never wraps", "xab", "ab", 0, false, true, false, -1},
        {"pattern longer than text", "ab", "abc", 0, true, true, false, -1},
        {"empty pattern", "ab", "", 0, true, true, false, -1},
        {"empty text", "", "a", 0, true, true, false, -1},
        {"ASCII capitals fold", "xhello", "HELLO", 0, true, false, false, 1},
        {"ASCII with match case", "xhello", "HELLO", 0, true, true, false, -1},
        {"full-width capitals fold", "\x82\x81\x82\x82", "\x82\x60\x82\x61", 0, true, false, false,
         0},
        {"full-width with match case", "\x82\x81", "\x82\x60", 0, true, true, false, -1},
        {"Greek is compared exactly", "\x83\xbf", "\x83\x9f", 0, true, false, false, -1},
        {"kana are compared exactly", "\x82\xa0", "\x83\x41", 0, true, false, false, -1},
        // "\x82\xa0\x82\xa0": the bytes "\xa0\x82" straddle two characters.
        {"no match across characters", "\x82\xa0\x82\xa0", "\xa0\x82", 0, true, true, false, -1},
        // The text's "\x82\x41" is one character; an "A" pattern cannot match
        // its second byte.
        {"no match on a second byte", "\x82\x41", "A", 0, true, false, false, -1},
        {"double-byte after single", "a\x82\xa0", "\x82\xa0", 0, true, true, false, 1},
        {"whole word between blank and full stop", "an abc.", "abc", 0, true, true, true, 3},
        {"whole word before LF", "abc\n", "abc", 0, true, true, true, 0},
        {"whole word between kanji",
         "\x82\xa0"
         "abc\x82\xa0",
         "abc", 0, true, true, true, 2},
        {"not the start of a longer word", "abcd abc", "abc", 0, true, true, true, 5},
        {"not right after katakana",
         "\xb1"
         "abc",
         "abc", 0, true, true, true, -1},
        {"after half-width punctuation",
         "\xa1"
         "abc",
         "abc", 0, true, true, true, 1},
        {"underscore is a delimiter", "_abc_", "abc", 0, true, true, true, 1},
        {"digits are word characters", "1abc", "abc", 0, true, true, true, -1},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocFixture f;
        ASSERT_TRUE(f.Load(c.text));
        std::uint32_t offset = c.start;
        const bool found = f.doc.FindText(offset, c.pattern, c.down, c.matchCase, c.wholeWord);
        EXPECT_EQ(found, c.want >= 0);
        if (found) {
            EXPECT_EQ(offset, c.want);
        }
    }
}

// A search down skips ahead to likely offsets; it must still stop at the
// first offset at or after the start that matches. Whether an offset matches
// is asked of a search up from that very offset, which tests it first.
TEST(FindText, DownStopsAtTheFirstMatchingOffset) {
    // Letters in both cases and widths, a kana, a character whose second
    // byte is "A", a half-width katakana letter, blanks and a line break.
    const std::string units[] = {"a",
                                 "A",
                                 "b",
                                 "B",
                                 " ",
                                 ".",
                                 "\n",
                                 "\x82\x60",
                                 "\x82\x81",
                                 "\x82\xa0",
                                 "\x82"
                                 "A",
                                 "\xb1"};
    std::uint32_t seed = 12345;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (std::uint32_t i = 0, n = 1 + next(12); i < n; ++i)
            text += units[next(std::size(units))];
        DocFixture f;
        ASSERT_TRUE(f.Load(text));
        const std::uint32_t length = f.doc.text.capacity();
        for (int trial = 0; trial < 6; ++trial) {
            // Whole characters, or any slice of the text (which may start on
            // a second byte or end on a lead byte).
            std::string pattern;
            if (trial % 2 == 0) {
                for (std::uint32_t i = 0, n = 1 + next(2); i < n; ++i)
                    pattern += units[next(std::size(units))];
            } else {
                const std::uint32_t from = next(length);
                pattern = f.Text().substr(from, 1 + next(3));
            }
            for (int flags = 0; flags < 4; ++flags) {
                const bool matchCase = flags & 1;
                const bool wholeWord = flags & 2;
                const std::uint32_t start = next(length + 1);
                std::int64_t want = -1;
                for (std::uint32_t b = start; want < 0 && b + pattern.size() <= length; ++b) {
                    std::uint32_t at = b;
                    if (f.doc.FindText(at, pattern, false, matchCase, wholeWord) && at == b)
                        want = b;
                }
                std::uint32_t offset = start;
                const bool found = f.doc.FindText(offset, pattern, true, matchCase, wholeWord);
                SCOPED_TRACE(::testing::PrintToString(f.Text()) + " / " +
                             ::testing::PrintToString(pattern) + " from " + std::to_string(start));
                ASSERT_EQ(found, want >= 0) << flags;
                if (found) {
                    ASSERT_EQ(offset, want) << flags;
                }
            }
        }
    }
}

TEST(IsDelimiterAt, ClassesOfCharacters) {
    DocFixture f;
    ASSERT_TRUE(f.Load("a9Z_ \xa5\xa6\x82\xa0\x01"));
    const bool expected[] = {false, false, false, true, true, true, false, true, true, true, true};
    for (std::uint32_t i = 0; i < 11; ++i) {
        EXPECT_EQ(IsDelimiterAt(f.doc.Layout(), i), expected[i]) << i;
    }
}

}  // namespace
}  // namespace kotoha
