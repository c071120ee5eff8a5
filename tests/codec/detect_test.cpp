// SPDX-License-Identifier: MIT
#include "codec/detect.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <string>

#include "reference_codec.h"
#include "small_halves.h"

namespace kotoha {
namespace {

using namespace std::string_literals;

// Detects on a heap block of exactly the buffer's size, so that a read past
// the end is caught.
DetectionResult Detect(const std::string& bytes, bool preferWinText) {
    auto block = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), block.get());
    return DetectEncoding(block.get(), static_cast<std::uint32_t>(bytes.size()), preferWinText);
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// Both tests pass on k half-width katakana followed by p pairs E0 A1, which
// also read as EUC pairs; the kana share is k / (k + 2p).
std::string KanaAndPairs(int k, int p) {
    return "ab"s + Repeat("\xB1", k) + Repeat("\xE0\xA1", p);
}

// 1000 bytes: two escapes and ten 8-bit bytes that pass only the
// Shift-JIS test, so escape and 8-bit shares are both 1.
std::string ThousandBytesWithEscapes() {
    std::string s =
        "\x1B$B"
        "\x1B(B" +
        Repeat("\x82\xA0", 5);
    return s + std::string(1000 - s.size(), 'a');
}

struct DetectCase {
    const char* name;
    std::string bytes;
    bool preferWinText;
    std::uint16_t choice, candidates;
};

TEST(DetectEncodingTest, Outcomes) {
    const DetectCase cases[] = {
        {"empty", "", true, 0, 0},
        {"ascii", "hello\r\n", false, 0, 0},
        {"unrecognised ESC", "a\x1B$Zb\x1B", true, 0, 0},
        {"ESC in the last two bytes", "ab\x1B(", true, 0, 0},
        {"escape filling the buffer", "\x1B(B", true, 2, 2},
        {"jis", "\x1B$B$\"\x1B(B", true, 2, 2},
        {"jis never back to ascii", "\x1B$B$\"$$", false, 2, 2},
        {"jis kana", "\x1B(I1", true, 2, 2},
        {"jis with 8-bit failing both", "\x1B(B\x80", true, 2, 2},
        {"sjis kanji", "\x88\x9F\x82\xA0", false, 1, 1},
        {"euc only", "\xB0\xA1\xFD\xFE", true, 4, 4},
        {"fails both", "a\x80", true, 1, 5},
        {"fails both, internet first", "a\x80", false, 1, 5},
        {"sjis lead as last byte", "ab\x82", false, 1, 1},
        {"euc byte as last byte", "ab\xFD", false, 4, 4},
        {"0x8F fails euc only", "\x8F\xA1\xA1", false, 1, 1},
        {"both pass, windows first", KanaAndPairs(4, 3), true, 1, 5},
        {"kana share 40", KanaAndPairs(4, 3), false, 4, 5},
        {"kana share 39", KanaAndPairs(9, 7), false, 1, 5},
        {"1000 bytes, escape share = 8-bit share", ThousandBytesWithEscapes(), false, 2, 7},
        {"1000 bytes, windows first", ThousandBytesWithEscapes(), true, 1, 7},
        {"escapes, euc passes, fewer escape bytes", "\x1B(B\xFD\xFE\xFD\xFE", true, 4, 7},
        {"escapes, euc passes, more escape bytes", "\x1B(B\x1B$B\xFD\xFE", false, 2, 7},
        {"escapes, both pass by kana share", "\x1B(B" + KanaAndPairs(8, 6), false, 4, 7},
        {"escapes, sjis passes", "\x1B(B" + Repeat("\x88\x9F", 4), false, 1, 7},
        {"8-bit inside a would-be escape", "\x1B(\xB1", false, 4, 5},
    };
    for (const auto& c : cases) {
        const DetectionResult r = Detect(c.bytes, c.preferWinText);
        EXPECT_EQ(DetectionChoice(r), c.choice) << c.name;
        EXPECT_EQ(DetectionCandidates(r), c.candidates) << c.name;
    }
}

TEST(DetectEncodingTest, CertaintyAndKind) {
    EXPECT_TRUE(IsDetectionCertain(MakeDetectionResult(4, 4)));
    EXPECT_FALSE(IsDetectionCertain(MakeDetectionResult(1, 5)));
    EXPECT_EQ(EncodingKindFromChoice(0), EncodingKind::SJIS);
    EXPECT_EQ(EncodingKindFromChoice(1), EncodingKind::SJIS);
    EXPECT_EQ(EncodingKindFromChoice(2), EncodingKind::JIS);
    EXPECT_EQ(EncodingKindFromChoice(4), EncodingKind::EUC);
}

TEST(DetectEncodingTest, MatchesReferenceOnRandomInput) {
    std::mt19937 rng(20240601);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = reference::RandomRawBytes(rng, round % 10 == 0 ? 600 : 40);
        // Long 7-bit stretches exercise the word-at-a-time scan.
        if (round % 3 == 0)
            bytes.insert(bytes.size() / 2, std::string(round % 37, 'x'));
        for (bool prefer : {false, true})
            ASSERT_EQ(Detect(bytes, prefer), reference::Detect(bytes, prefer))
                << "round " << round << " prefer " << prefer;
    }
}

// Buffers long enough to be examined in two halves, each a text repeated
// with what decides its kind placed in one half or the other: the same
// result as the reference that walks the whole buffer.
TEST(DetectEncodingTest, LongBuffersExaminedInHalvesMatchTheReference) {
    const SmallHalves halves(16 << 10);
    const std::string sjisLine = "\x82\xA0\x8A\xBF\xB1\xDE abc\r\n";
    const std::string eucLine = "\xA4\xA2\xB4\xC1\x8E\xB1 abc\r\n";
    const std::string jisLine = "\x1B$B$\"4A\x1B(B abc\r\n";
    const std::string asciiLine = "plain text line\r\n";
    constexpr int kLines = (17 << 10) / 16;
    struct LongCase {
        const char* name;
        std::string line;
        std::string insert;  // put in at the given share of the buffer
        double at;
    };
    const LongCase cases[] = {
        {"Shift-JIS", sjisLine, "", 0},
        {"EUC-JP", eucLine, "", 0},
        {"JIS", jisLine, "", 0},
        {"Shift-JIS broken in the second half", sjisLine, "\x80\r\n", 0.8},
        {"EUC-JP broken in the first half", eucLine, "\xA4\r\n", 0.2},
        {"escapes only in the second half", asciiLine, jisLine, 0.9},
        {"8-bit bytes only in the second half", asciiLine, sjisLine, 0.7},
        {"kana that read as EUC-JP pairs too", "\xB1\xB1\xB1\xE0\xA1\r\n", "", 0},
    };
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = Repeat(c.line, kLines / static_cast<int>(c.line.size()) * 16);
        if (!c.insert.empty()) {
            std::size_t at = static_cast<std::size_t>(static_cast<double>(bytes.size()) * c.at);
            at = bytes.find('\n', at) + 1;
            bytes.insert(at, c.insert);
        }
        ASSERT_GE(bytes.size(), SideBySideBytes());
        EXPECT_EQ(Detect(bytes, false), reference::Detect(bytes, false));
    }
}

TEST(LineBreakKindFromCountsTest, OneKindOrMixed) {
    struct Case {
        std::uint32_t pairs, loneCrs, loneLfs;
        LineBreakKind expected;
    } const cases[] = {
        {0, 0, 0, LineBreakKind::WIN},   {3, 0, 0, LineBreakKind::WIN},
        {0, 2, 0, LineBreakKind::MAC},   {0, 0, 5, LineBreakKind::UX},
        {2, 0, 1, LineBreakKind::MIXED}, {0, 1, 1, LineBreakKind::MIXED},
        {1, 1, 0, LineBreakKind::MIXED}, {1, 1, 1, LineBreakKind::MIXED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineBreakKindFromCounts(c.pairs, c.loneCrs, c.loneLfs), c.expected)
            << c.pairs << " " << c.loneCrs << " " << c.loneLfs;
}

TEST(ShareOfTest, PerMilleTruncatedThenRoundedHalfUp) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    struct Case {
        std::uint32_t figure, total, share;
    } const cases[] = {
        {0, 0, 0},    {5, 0, 0},       {6, 1000, 1},      {4, 1000, 0},
        {5, 1000, 1}, {394, 1000, 39}, {395, 1000, 40},   {4, 10, 40},
        {9, 23, 39},  {1, 3, 33},      {kMax, kMax, 100}, {kMax / 2, kMax, 50},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShareOf(c.figure, c.total), c.share) << c.figure << "/" << c.total;
}

}  // namespace
}  // namespace kotoha
