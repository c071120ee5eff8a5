// SPDX-License-Identifier: MIT
#include "codec/byte_class.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "reference_codec.h"

namespace kotoha {
namespace {

TEST(ByteClassTest, FlagsFollowTheFixedRanges) {
    for (unsigned b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const bool letter = b >= 0xA6 && b <= 0xDF;
        const bool punct = b >= 0xA1 && b <= 0xA5;
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const bool trail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
        const unsigned flags = (letter ? KanaLetter : 0) | (punct ? KanaPunct : 0) |
                               (lead ? LeadByte : 0) | (trail ? TrailByte : 0);
        EXPECT_EQ(ByteClass(byte), flags) << std::hex << b;
        EXPECT_EQ(IsHalfWidthKana(byte), letter || punct) << std::hex << b;
        EXPECT_EQ(IsLeadByte(byte), lead) << std::hex << b;
        EXPECT_EQ(IsTrailByte(byte), trail) << std::hex << b;
    }
    for (std::uint8_t b : {0x80, 0xA0, 0xFD, 0xFE, 0xFF})
        EXPECT_FALSE(IsHalfWidthKana(b) || IsLeadByte(b)) << std::hex << unsigned{b};
}

TEST(CodeArithmeticTest, KnownCodes) {
    EXPECT_EQ(JisToSjis(0x2422), 0x82A0);
    EXPECT_EQ(JisToSjis(0x3021), 0x889F);
    EXPECT_EQ(JisToSjis(0x7E7E), 0xEFFC);
    EXPECT_EQ(JisToSjis(0x2121), 0x8140);
    EXPECT_EQ(JisToSjis(0x2120), 0);
    EXPECT_EQ(JisToSjis(0x7F21), 0);
    EXPECT_EQ(SjisToJis(0x82A0), 0x2422);
    EXPECT_EQ(SjisToJis(0x889F), 0x3021);
    EXPECT_EQ(SjisToJis(0xEFFC), 0x7E7E);
    EXPECT_EQ(SjisToJis(0x8180), 0x2160);  // trail 0x80 follows trail 0x7E
    EXPECT_EQ(SjisToJis(0xF040), 0);       // user-defined area
    EXPECT_EQ(SjisToJis(0xFCFC), 0);
    EXPECT_EQ(SjisToJis(0x817F), 0);  // 0x7F is no trail byte
    EXPECT_EQ(SjisToJis(0xA040), 0);  // 0xA0 is no lead byte
}

TEST(CodeArithmeticTest, EveryCodeMatchesTheReference) {
    for (unsigned code = 0; code < 0x10000; ++code) {
        const auto c = static_cast<std::uint16_t>(code);
        ASSERT_EQ(JisToSjis(c), reference::JisToSjis(c)) << std::hex << code;
        ASSERT_EQ(SjisToJis(c), reference::SjisToJis(c)) << std::hex << code;
    }
}

TEST(CodeArithmeticTest, AllJisCodesRoundTrip) {
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const auto jis = static_cast<std::uint16_t>(j1 << 8 | j2);
            const std::uint16_t sjis = JisToSjis(jis);
            ASSERT_TRUE(IsLeadByte(static_cast<std::uint8_t>(sjis >> 8))) << std::hex << jis;
            ASSERT_TRUE(IsTrailByte(static_cast<std::uint8_t>(sjis))) << std::hex << jis;
            ASSERT_EQ(SjisToJis(sjis), jis) << std::hex << jis;
        }
    }
}

TEST(KanaToFullWidthTest, WholeTable) {
    const std::uint16_t expected[63] = {
        0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
        0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
        0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
        0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
        0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
        0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
    };
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        EXPECT_EQ(KanaToFullWidth(static_cast<std::uint8_t>(b)), expected[b - 0xA1])
            << std::hex << b;
    EXPECT_EQ(KanaToFullWidth(0xA0), 0);
    EXPECT_EQ(KanaToFullWidth(0xE0), 0);
}

// Widens a whole range by repeated calls, from a heap block of exactly its
// size so that a read past the end is caught.
std::vector<std::uint16_t> WidenAll(const std::string& bytes) {
    auto block = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), block.get());
    const std::uint8_t* cursor = block.get();
    const std::uint8_t* end = cursor + bytes.size();
    std::vector<std::uint16_t> codes;
    while (cursor < end)
        codes.push_back(WidenKanaAt(cursor, end));
    EXPECT_EQ(cursor, end);
    return codes;
}

TEST(WidenKanaAtTest, FoldsAtMostOneSoundMark) {
    struct Case {
        const char* bytes;
        std::vector<std::uint16_t> codes;
    } const cases[] = {
        {"\xB6\xDE", {0x834B}},              // ka + voiced = ga
        {"\xCA\xDF", {0x8370}},              // ha + semi-voiced = pa
        {"\xCA\xDE", {0x836F}},              // ha + voiced = ba
        {"\xB3\xDE", {0x8394}},              // u + voiced = vu
        {"\xC4\xDE", {0x8368}},              // to + voiced = do
        {"\xCE\xDF", {0x837C}},              // ho + semi-voiced = po
        {"\xB1\xDE", {0x8341, 0x814A}},      // a takes no mark
        {"\xB6\xDF", {0x834A, 0x814B}},      // ka takes no semi-voiced mark
        {"\xB3\xDF", {0x8345, 0x814B}},      // nor does u
        {"\xCF\xDE", {0x837D, 0x814A}},      // ma takes no mark
        {"\xCA\xDE\xDF", {0x836F, 0x814B}},  // ba, then the semi-voiced mark alone
        {"\xB6\xDE\xDE", {0x834B, 0x814A}},  // ga, then the second voiced mark
        {"\xDE\xDF", {0x814A, 0x814B}},      // marks on their own
        {"\xCA", {0x836E}},                  // at the very end
        {"\xA1\xA5\xB0", {0x8142, 0x8145, 0x815B}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WidenAll(c.bytes), c.codes) << c.bytes;
}

TEST(WidenKanaAtTest, DoesNotLookPastTheEndOfTheRange) {
    const std::uint8_t bytes[] = {0xB6, 0xDE};
    const std::uint8_t* cursor = bytes;
    EXPECT_EQ(WidenKanaAt(cursor, bytes + 1), 0x834A);
    EXPECT_EQ(cursor, bytes + 1);
}

struct FindCase {
    CharSet charSet;
    const char* text;
    const char* needle;
    int offset;  // -1: not found
};

TEST(FindNoCaseTest, FindsAtCharacterBoundariesFoldingLetters) {
    const FindCase cases[] = {
        {CharSet::ShiftJis, "edit $FILE now", "$file", 5},
        {CharSet::ShiftJis, "$File$file", "$FILE", 0},
        {CharSet::ShiftJis, "$fil", "$file", -1},
        {CharSet::ShiftJis, "\x83\x41", "A", -1},  // 0x41 as a trail byte
        {CharSet::ShiftJis,
         "\x83\x41"
         "a",
         "A", 2},
        {CharSet::ShiftJis, "\x82\x60\x82\x79", "\x82\x81\x82\x9A", 0},  // full-width A-Z
        {CharSet::ShiftJis, "\x82\x81", "\x82\x60", 0},
        {CharSet::ShiftJis, "\x82\x4F", "\x82\x70", -1},  // 0x824F is no letter
        {CharSet::ShiftJis, "\xE3\x81\x81", "\x81", 2},   // E3 81 is one character
        {CharSet::ShiftJis, "abc", "", -1},
        {CharSet::Utf8, "/h\xC3\xA4me/$FILE", "$file", 7},
        {CharSet::Utf8, "\xC3\x84", "\xC3\xA4", -1},  // only ASCII letters fold
        {CharSet::Utf8, "\xE3\x81\x81", "\x81", -1},  // never inside a sequence
        {CharSet::Utf8,
         "\xE3\x81\x81"
         "x",
         "X", 3},
    };
    for (const auto& c : cases) {
        const char* hit = FindNoCase(c.text, c.needle, c.charSet);
        EXPECT_EQ(hit ? hit - c.text : -1, c.offset) << c.text << " / " << c.needle;
    }
}

TEST(ReplaceAllNoCaseTest, ReplacesEveryOccurrenceOnce) {
    struct Case {
        CharSet charSet;
        const char* text;
        const char* needle;
        const char* replacement;
        std::string expected;
    } const cases[] = {
        {CharSet::ShiftJis, "-n$LINE $File", "$file", "/tmp/a b", "-n$LINE /tmp/a b"},
        {CharSet::ShiftJis, "$file$FILE", "$file", "x", "xx"},
        {CharSet::ShiftJis, "$file", "$file", "[$FILE]", "[$FILE]"},  // not searched again
        {CharSet::ShiftJis, "aaa", "AA", "b", "ba"},                  // no overlaps
        {CharSet::ShiftJis, "plain", "$file", "x", "plain"},
        {CharSet::ShiftJis, "\x83\x41\x83\x61", "A", "!", "\x83\x41\x83\x61"},
        {CharSet::Utf8, "\xC3\xA9$LINE\xC3\xA9", "$line", "12",
         "\xC3\xA9"
         "12\xC3\xA9"},
        {CharSet::Utf8, "\xE3\x81\x81", "\x81", "!", "\xE3\x81\x81"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAllNoCase(c.text, c.needle, c.replacement, c.charSet), c.expected)
            << c.text;
}

}  // namespace
}  // namespace kotoha
