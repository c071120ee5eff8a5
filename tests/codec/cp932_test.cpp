// SPDX-License-Identifier: MIT
#include "codec/cp932.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/byte_class.h"

namespace kotoha {
namespace {

using namespace std::string_literals;

TEST(Cp932Test, FixedMappings) {
    struct Case {
        std::uint16_t code;
        char16_t ch;
    } const cases[] = {
        {0x5C, u'\u005C'},   {0x7E, u'\u007E'},   {0x41, u'A'},        {0x815F, u'\uFF3C'},
        {0x8160, u'\uFF5E'}, {0x8161, u'\u2225'}, {0x817C, u'\uFF0D'}, {0x82A0, u'\u3042'},
        {0x889F, u'\u4E9C'}, {0x8140, u'\u3000'}, {0xA1, u'\uFF61'},   {0xDF, u'\uFF9F'},
        {0x81AD, u'\u30FB'}, {0x80, u'\u30FB'},   {0xFD, u'\u30FB'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp932ToUnicode(c.code), c.ch) << std::hex << c.code;
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        EXPECT_EQ(Cp932ToUnicode(static_cast<std::uint16_t>(b)), 0xFF61 + (b - 0xA1));
}

TEST(Cp932Test, EveryCodeIsOneUtf16Unit) {
    for (unsigned code = 1; code < 0x10000; ++code) {
        const char16_t ch = Cp932ToUnicode(static_cast<std::uint16_t>(code));
        ASSERT_NE(ch, 0) << std::hex << code;
        ASSERT_FALSE(ch >= 0xD800 && ch <= 0xDFFF) << std::hex << code;
    }
    // Two characters, a cut-off lead byte and a stray byte: four units.
    const std::string text =
        "\x82\xA0"
        "a\xB1\x80\x82";
    const std::u16string wide =
        SjisToUtf16(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(wide, u"\u3042a\uFF71\u30FB\u30FB");
    EXPECT_EQ(SjisToUtf8(text),
              "\xE3\x81\x82"
              "a\xEF\xBD\xB1\xE3\x83\xBB\xE3\x83\xBB");
}

TEST(Cp932Test, ReverseOfForwardIsIdentityForJisX0208) {
    // Rows 1-8 and 16-84 are those JIS X 0208 fills; row 13 and rows 89-92
    // hold vendor characters that CP932 also has at other codes.
    int mapped = 0;
    for (unsigned row = 1; row <= 84; ++row) {
        if (row > 8 && row < 16)
            continue;
        for (unsigned cell = 1; cell <= 94; ++cell) {
            const std::uint16_t sjis =
                JisToSjis(static_cast<std::uint16_t>((row + 0x20) << 8 | (cell + 0x20)));
            const char16_t ch = Cp932ToUnicode(sjis);
            // The katakana middle dot is both a character and the mark of a
            // code without one.
            if (ch == kUnmappedChar && sjis != 0x8145)
                continue;
            ++mapped;
            std::uint16_t back = 0;
            ASSERT_TRUE(UnicodeToCp932(ch, back)) << std::hex << sjis;
            ASSERT_EQ(back, sjis) << std::hex << sjis;
        }
    }
    EXPECT_EQ(mapped, 6879);  // the characters of JIS X 0208
}

TEST(Cp932Test, UnicodeToShiftJis) {
    struct Case {
        std::string utf8;
        std::string sjis;
    } const cases[] = {
        {"\xE3\x81\x82"
         "A\\~",
         "\x82\xA0"
         "A\\~"},
        {"\xEF\xBD\xB1", "\xB1"},  // half-width katakana
        {"\xEF\xBC\xBC\xEF\xBD\x9E", "\x81\x5F\x81\x60"},
        {"\xE3\x80\x9C\xE2\x88\x92", "\x81\x60\x81\x7C"},  // WAVE DASH, MINUS SIGN
        {"\xC3\xA9", "?"},                                 // not in CP932
        {"\xF0\x9F\x98\x80", "?"},                         // outside the BMP
        {"a\0b"s, "a\0b"s},
        {"\x80"
         "a",
         "?a"},  // lone continuation byte
        {"\xE3\x81"
         "a",
         "?a"},                             // cut-off sequence
        {"\xC0\x80", "??"},                 // overlong NUL
        {"\xE0\x80\x80", "?"},              // overlong
        {"\xED\xA0\x80", "?"},              // encoded surrogate
        {"\xF4\x90\x80\x80", "?"},          // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", "?????"},  // no such lead byte
        {"\xFE\x80\x80", "???"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToSjis(c.utf8), c.sjis) << testing::PrintToString(c.utf8);

    EXPECT_EQ(Utf16ToSjis(u"\u3042\uFF71z"), "\x82\xA0\xB1z");
    EXPECT_EQ(Utf16ToSjis(u"\U0001F600"), "?");
    EXPECT_EQ(Utf16ToSjis(std::u16string{u'\xD800', u'a'}), "?a");  // lone high surrogate
    EXPECT_EQ(Utf16ToSjis(std::u16string{u'\xDC00'}), "?");
}

TEST(Cp932Test, ShiftJisThroughUtf8AndBack) {
    std::string all;
    for (unsigned b = 0x20; b < 0x7F; ++b)
        all += static_cast<char>(b);
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        all += static_cast<char>(b);
    for (const char* pair :
         {"\x82\xA0", "\x88\x9F", "\x81\x5F", "\x81\x60", "\x81\x61", "\x81\x7C", "\xEA\xA4"})
        all += pair;
    EXPECT_EQ(Utf8ToSjis(SjisToUtf8(all)), all);
}

}  // namespace
}  // namespace kotoha
