// SPDX-License-Identifier: MIT
#include "codec/import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "reference_codec.h"

namespace kotoha {
namespace {

using namespace std::string_literals;

constexpr EncodingKind kSjis = EncodingKind::SJIS;
constexpr EncodingKind kJis = EncodingKind::JIS;
constexpr EncodingKind kEuc = EncodingKind::EUC;

// Converts out of place into a block of twice the input (the most emit CR LF
// can need) and trims it to the returned length.
reference::ImportResult Import(EncodingKind kind, bool emitCrLf, const std::string& input) {
    std::vector<std::uint8_t> out(input.size() * 2);
    LineBreakKind lineBreak = LineBreakKind::MIXED;
    std::uint32_t kana = 12345;
    const std::uint32_t n =
        ImportText(kind, emitCrLf, out.data(), reinterpret_cast<const std::uint8_t*>(input.data()),
                   static_cast<std::uint32_t>(input.size()), &lineBreak, &kana);
    EXPECT_LE(n, out.size());
    return {std::string(out.begin(), out.begin() + n), lineBreak, kana};
}

// Converts inside one heap block of exactly the input's size.
std::string ImportInPlace(EncodingKind kind, bool emitCrLf, const std::string& input) {
    std::vector<std::uint8_t> block(input.begin(), input.end());
    const std::uint32_t n = ImportText(kind, emitCrLf, block.data(), block.data(),
                                       static_cast<std::uint32_t>(block.size()), nullptr, nullptr);
    EXPECT_LE(n, block.size());
    return std::string(block.begin(), block.begin() + n);
}

struct ImportCase {
    EncodingKind kind;
    bool emitCrLf;
    std::string input, expected;
    LineBreakKind lineBreak;
    std::uint32_t kana;
};

const ImportCase kCases[] = {
    // Every decoder: empty input, NUL, controls, line breaks.
    {kSjis, false, "", "", LineBreakKind::WIN, 0},
    {kJis, false, "", "", LineBreakKind::WIN, 0},
    {kEuc, false, "", "", LineBreakKind::WIN, 0},
    {kSjis, false, "\0a\0"s, "\0a\0"s, LineBreakKind::WIN, 0},
    {kEuc, false, "\0\xA4\xA2\0"s, "\0\x82\xA0\0"s, LineBreakKind::WIN, 0},
    {kJis, false, "\x1B$B\0$\"\0"s, "\0\x82\xA0\0"s, LineBreakKind::WIN, 0},
    {kSjis, false, "\r\r\n", "\n\n", LineBreakKind::MIXED, 0},
    {kSjis, true, "\r", "\r\n", LineBreakKind::MAC, 0},
    {kEuc, true, "a\nb\n", "a\r\nb\r\n", LineBreakKind::UX, 0},
    {kJis, false, "a\r\nb\r\n", "a\nb\n", LineBreakKind::WIN, 0},
    {kSjis, false, "\x0E\x01\x7F\x0F", "\x0E\x01\x7F\x0F", LineBreakKind::WIN, 0},
    {kSjis, false, "\x1B$B", "\x1B$B", LineBreakKind::WIN, 0},
    {kEuc, false, "\x1B(I1", "\x1B(I1", LineBreakKind::WIN, 0},
    // Shift-JIS.
    {kSjis, false, "\x82\xA0\r\n", "\x82\xA0\n", LineBreakKind::WIN, 0},
    {kSjis, true, "\x82\xA0\r\n", "\x82\xA0\r\n", LineBreakKind::WIN, 0},
    {kSjis, false, "\x82 ", "  ", LineBreakKind::WIN, 0},
    {kSjis, false, "a\x82", "a ", LineBreakKind::WIN, 0},
    {kSjis, false, "\x82\n", " \n", LineBreakKind::UX, 0},
    {kSjis, false, "\x82\x7F\x82\xA0", " \x7F\x82\xA0", LineBreakKind::WIN, 0},
    {kSjis, false, "\xB1\xDE\xA1", "\xB1\xDE\xA1", LineBreakKind::WIN, 3},
    {kSjis, false, "\x80\xA0\xFD\xFF", "\x80\xA0\xFD\xFF", LineBreakKind::WIN, 0},
    {kSjis, false, "\xF0\x40", "\xF0\x40", LineBreakKind::WIN, 0},
    // EUC.
    {kEuc, false, "\xA4\xA2", "\x82\xA0", LineBreakKind::WIN, 0},
    {kEuc, false, "\x8E\xB1", "\xB1", LineBreakKind::WIN, 1},
    // A JIS X 0212 character is one character (the middle dot without an
    // extension table), not a blank and a JIS X 0208 kanji; a code JIS X 0212
    // has no character for is one blank, and a cut-off one blanks its byte.
    {kEuc, false, "\x8F\xB0\xA1", "\x81\x45", LineBreakKind::WIN, 0},
    {kEuc, false, "\x8F\xA1\xA1", " ", LineBreakKind::WIN, 0},
    {kEuc, false, "\x8F\xB0", " \x20", LineBreakKind::WIN, 0},
    {kEuc, false, "\x8E\xE0", "  ", LineBreakKind::WIN, 0},
    {kEuc, false, "\x8E\x8E\xB1", " \xB1", LineBreakKind::WIN, 1},
    {kEuc, false, "\x8E", " ", LineBreakKind::WIN, 0},
    {kEuc, false,
     "\xA4"
     "A\xA4",
     " A ", LineBreakKind::WIN, 0},
    {kEuc, false, "\x81\x9F\x80\xA0\xFF", "  \x80\xA0\xFF", LineBreakKind::WIN, 0},
    {kEuc, false, "\xFE\xFE", "\xEF\xFC", LineBreakKind::WIN, 0},
    // JIS.
    {kJis, false,
     "\x1B$B$\"\x1B(B"
     "A",
     "\x82\xA0"
     "A",
     LineBreakKind::WIN, 0},
    {kJis, false, "\x1B(I1", "\xB1", LineBreakKind::WIN, 1},
    {kJis, false, "\x1B(I \x60\xB1\xE0", "  \xB1 ", LineBreakKind::WIN, 1},
    {kJis, false, "\x1B$@$\"\n$\"", "\x82\xA0\n\x82\xA0", LineBreakKind::UX, 0},
    {kJis, false, "\x1B$B$ $", "   ", LineBreakKind::WIN, 0},
    {kJis, false, "\x1B$B\xA4\xA2", "  ", LineBreakKind::WIN, 0},
    {kJis, false, "\x1B$(B", " $(B", LineBreakKind::WIN, 0},
    {kJis, false, "\x1B$B\x1B$(B", " \x82\xA6 ", LineBreakKind::WIN, 0},
    {kJis, false, "\x1B(I1\x1B(J1",
     "\xB1"
     "1",
     LineBreakKind::WIN, 1},
    {kJis, false, "a\xB1", "a ", LineBreakKind::WIN, 0},
    {kJis, false, "a\x1B", "a ", LineBreakKind::WIN, 0},
    {kJis, false, "\x1B(", " (", LineBreakKind::WIN, 0},
    {kJis, false,
     "\x0E"
     "1\x0F",
     "\x0E"
     "1\x0F",
     LineBreakKind::WIN, 0},
    // Any other kind value reads as Shift-JIS.
    {static_cast<EncodingKind>(7), false, "\x82\xA0\xB1", "\x82\xA0\xB1", LineBreakKind::WIN, 1},
};

TEST(ImportTextTest, Cases) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << static_cast<int>(c.kind) << " crlf " << c.emitCrLf << " input "
                     << testing::PrintToString(c.input));
        const auto r = Import(c.kind, c.emitCrLf, c.input);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.lineBreak, c.lineBreak);
        EXPECT_EQ(r.kanaCount, c.kana);
        // The reference must agree with the table too, or the random tests
        // below would compare against the wrong thing.
        const auto ref = reference::Import(c.kind, c.emitCrLf, c.input);
        EXPECT_EQ(ref.text, c.expected);
        EXPECT_EQ(ref.lineBreak, c.lineBreak);
        EXPECT_EQ(ref.kanaCount, c.kana);
        if (!c.emitCrLf) {
            EXPECT_EQ(ImportInPlace(c.kind, false, c.input), c.expected);
        }
    }
}

TEST(ImportTextTest, OutputsAreOptional) {
    const std::string input = "\x82\xA0\r\n";
    std::uint8_t out[8];
    EXPECT_EQ(ImportText(kSjis, false, out, reinterpret_cast<const std::uint8_t*>(input.data()), 4,
                         nullptr, nullptr),
              3u);
}

constexpr EncodingKind kAllKinds[] = {kSjis, kJis, kEuc};

ImportLosses LossesOf(EncodingKind kind, const std::string& input, std::string* text = nullptr) {
    std::vector<std::uint8_t> out(input.size() + 1);
    ImportLosses losses;
    const std::uint32_t n =
        ImportText(kind, false, out.data(), reinterpret_cast<const std::uint8_t*>(input.data()),
                   static_cast<std::uint32_t>(input.size()), nullptr, nullptr, nullptr, &losses);
    if (text != nullptr)
        text->assign(out.begin(), out.begin() + n);
    return losses;
}

TEST(ImportTextTest, CountsWhatItCouldNotDecode) {
    constexpr std::uint32_t kNone = ImportLosses::kNone;
    struct Case {
        EncodingKind kind;
        std::string input;
        std::uint32_t undecodable, noCodeLeft, firstOffset;
    } const cases[] = {
        {kSjis, "\x82\xA0\xB1 a b\n", 0, 0, kNone},
        {kSjis, "ab\x82", 1, 0, 2},
        {kSjis, "\x82 \x82\x7F", 2, 0, 0},
        {kEuc, "\xA4\xA2 \x8E\xB1", 0, 0, kNone},
        {kEuc, "a\x8E\x41", 1, 0, 1},
        {kEuc, "\xA4\xA2\xA4", 1, 0, 2},
        {kEuc, "\x85x\x8F\xA1\xA1", 2, 0, 0},
        // A JIS X 0212 character without an extension table has no code.
        {kEuc, "ab\x8F\xB0\xA1", 0, 1, 2},
        // Blanks inside kanji or kana mode are blanks, not losses.
        {kJis, "\x1B$B$\" $\"\x1B(I 1\x1B(B", 0, 0, kNone},
        {kJis, "a\xA4" "b", 1, 0, 1},
        {kJis, "\x1BZ\x1B(I\x60", 2, 0, 0},
        {EncodingKind::UTF8, "a\xFF\xE3\x81\x82", 1, 0, 1},
        {EncodingKind::UTF16LE, "a\0\x00\xD8" "b\0"s, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        const ImportLosses losses = LossesOf(c.kind, c.input);
        EXPECT_EQ(losses.undecodable, c.undecodable);
        EXPECT_EQ(losses.noCodeLeft, c.noCodeLeft);
        EXPECT_EQ(losses.firstOffset, c.firstOffset);
    }
}

// Every undecodable byte is a blank the input did not have, and the first
// loss points at a blank or a middle dot.
TEST(ImportTextTest, LossesMatchTheBlanksWritten) {
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        const std::string input = reference::RandomRawBytes(rng, 64);
        for (EncodingKind kind : kAllKinds) {
            std::string text;
            const ImportLosses losses = LossesOf(kind, input, &text);
            const auto blanks = [](const std::string& s) {
                return static_cast<std::uint32_t>(std::count(s.begin(), s.end(), ' '));
            };
            ASSERT_EQ(blanks(text), blanks(input) + losses.undecodable)
                << "round " << round << " kind " << static_cast<int>(kind);
            if (losses.total() == 0) {
                ASSERT_EQ(losses.firstOffset, ImportLosses::kNone);
            } else {
                ASSERT_LT(losses.firstOffset, text.size());
                ASSERT_TRUE(text[losses.firstOffset] == ' ' ||
                            text.compare(losses.firstOffset, 2, "\x81\x45") == 0);
            }
        }
    }
}

TEST(ImportTextTest, MatchesReferenceOnRandomInput) {
    std::mt19937 rng(7);
    for (int round = 0; round < 6000; ++round) {
        const std::string input = reference::RandomRawBytes(rng, round % 10 == 0 ? 700 : 48);
        for (EncodingKind kind : kAllKinds) {
            for (bool emitCrLf : {false, true}) {
                const auto fast = Import(kind, emitCrLf, input);
                const auto ref = reference::Import(kind, emitCrLf, input);
                ASSERT_EQ(fast.text, ref.text) << "round " << round << " kind "
                                               << static_cast<int>(kind) << " crlf " << emitCrLf;
                ASSERT_EQ(fast.lineBreak, ref.lineBreak) << "round " << round;
                ASSERT_EQ(fast.kanaCount, ref.kanaCount) << "round " << round;
                if (!emitCrLf) {
                    ASSERT_EQ(ImportInPlace(kind, false, input), ref.text);
                }
            }
        }
    }
}

TEST(ImportTextTest, InPlaceWithCrLfWhenEveryBreakIsAPair) {
    std::mt19937 rng(11);
    for (int round = 0; round < 2000; ++round) {
        std::string input = reference::RandomRawBytes(rng, 64);
        // Turn every line break into a CR LF pair.
        std::string paired;
        for (char ch : input) {
            if (ch == '\r' || ch == '\n') {
                paired += "\r\n";
            } else {
                paired += ch;
            }
        }
        for (EncodingKind kind : kAllKinds)
            ASSERT_EQ(ImportInPlace(kind, true, paired), reference::Import(kind, true, paired).text)
                << "round " << round;
    }
}

}  // namespace
}  // namespace kotoha
