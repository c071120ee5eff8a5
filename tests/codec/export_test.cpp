// SPDX-License-Identifier: MIT
#include "codec/export.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/import.h"
#include "reference_codec.h"

namespace kotoha {
namespace {

using namespace std::string_literals;

constexpr EncodingKind kSjis = EncodingKind::SJIS;
constexpr EncodingKind kJis = EncodingKind::JIS;
constexpr EncodingKind kEuc = EncodingKind::EUC;
constexpr LineBreakKind kWin = LineBreakKind::WIN;
constexpr LineBreakKind kUx = LineBreakKind::UX;
constexpr LineBreakKind kMac = LineBreakKind::MAC;

// Keeps every chunk it is given; fails the write of chunk failAt.
class RecordingSink : public ByteSink {
  public:
    explicit RecordingSink(int failAt = -1) : failAt_(failAt) {}
    bool Write(const std::uint8_t* bytes, std::size_t count) override {
        if (calls_++ == failAt_)
            return false;
        chunks.emplace_back(reinterpret_cast<const char*>(bytes), count);
        return true;
    }
    std::string Joined() const {
        std::string all;
        for (const auto& c : chunks)
            all += c;
        return all;
    }
    int calls() const { return calls_; }
    std::vector<std::string> chunks;

  private:
    int failAt_;
    int calls_ = 0;
};

// Exports text[start, end) from a heap block of exactly the text's size.
bool Export(EncodingKind kind, LineBreakKind lineBreak, const std::string& text, bool widen,
            RecordingSink& sink, std::uint32_t start = 0, std::uint32_t end = UINT32_MAX) {
    auto block = std::make_unique<std::uint8_t[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    if (end == UINT32_MAX)
        end = static_cast<std::uint32_t>(text.size());
    return ExportText(kind, lineBreak, sink, block.get(), start, end, widen);
}

std::string ExportAll(EncodingKind kind, LineBreakKind lineBreak, const std::string& text,
                      bool widen) {
    RecordingSink sink;
    EXPECT_TRUE(Export(kind, lineBreak, text, widen, sink));
    return sink.Joined();
}

struct ExportCase {
    EncodingKind kind;
    LineBreakKind lineBreak;
    bool widen;
    std::string text, expected;
};

const ExportCase kCases[] = {
    {kSjis, kWin, false, "\x82\xA0\n", "\x82\xA0\r\n"},
    {kSjis, kMac, false, "\x82\xA0\n", "\x82\xA0\r"},
    {kSjis, kUx, false, "\x82\xA0\n", "\x82\xA0\n"},
    {kSjis, LineBreakKind::MIXED, false, "\n", "\n"},
    {kEuc, kWin, false, "\x82\xA0\n", "\xA4\xA2\r\n"},
    {kJis, kUx, false,
     "\x82\xA0"
     "A",
     "\x1B$B$\"\x1B(B"
     "A"},
    {kJis, kUx, false, "\x82\xA0", "\x1B$B$\""},
    {kJis, kUx, false, "\xB1", "\x1B(I1"},
    {kJis, kUx, true, "\xB1", "\x1B$B%\""},
    {kEuc, kUx, false, "\xB1", "\x8E\xB1"},
    {kEuc, kUx, true, "\xB1", "\xA5\xA2"},
    {kSjis, kUx, true, "\xB6\xDE", "\x83\x4B"},
    {kSjis, kUx, true, "\xCA\xDE\xDF", "\x83\x6F\x81\x4B"},
    {kSjis, kUx, false, "\xB6\xDE", "\xB6\xDE"},
    {kEuc, kUx, true, "\xCA\xDF", "\xA5\xD1"},
    {kJis, kUx, true, "\xB3\xDE\x82\xA0", "\x1B$B%t$\""},  // one escape for both
    {kEuc, kUx, false, "\xF0\x40", "\xA1\xA1"},
    {kJis, kUx, false, "\xF0\x40", "\x1B$B!!"},
    {kSjis, kUx, false, "\xF0\x40", "\xF0\x40"},
    // Stray bytes: never NUL; back as they came in Shift-JIS, else a
    // full-width space (and ESC in JIS).
    {kSjis, kUx, false, "\x80\xA0\xFD\xFE\xFF", "\x80\xA0\xFD\xFE\xFF"},
    {kEuc, kUx, false, "\x80\xA0\xFD", "\xA1\xA1\xA1\xA1\xA1\xA1"},
    {kJis, kUx, false, "\x80\xA0\xFE\xFF", "\x1B$B!!!!!!!!"},
    {kJis, kUx, false,
     "\x82\xA0\x80"
     "a",
     "\x1B$B$\"!!\x1B(Ba"},
    {kSjis, kUx, false, "\x1B", "\x1B"},
    {kEuc, kUx, false, "\x1B", "\x1B"},
    {kJis, kUx, false, "\x1B", "\x1B$B!!"},
    {kJis, kWin, false, "\xB1\x82\xA0\n\xB1", "\x1B(I1\x1B$B$\"\x1B(B\r\n\x1B(I1"},
    {kJis, kMac, false, "\xB1\xB2\x82\xA0\x82\xA2", "\x1B(I12\x1B$B$\"$$"},
    {kSjis, kUx, false, "\0\t\x7F"s, "\0\t\x7F"s},
    {kJis, kUx, false, "\0\t\x7F"s, "\0\t\x7F"s},
    {static_cast<EncodingKind>(-3), kUx, false, "\x82\xA0\xB1", "\x82\xA0\xB1"},
};

TEST(ExportTextTest, Cases) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << " break "
                                        << static_cast<int>(c.lineBreak) << " widen " << c.widen
                                        << " text " << testing::PrintToString(c.text));
        EXPECT_EQ(ExportAll(c.kind, c.lineBreak, c.text, c.widen), c.expected);
        EXPECT_EQ(reference::Export(c.kind, c.lineBreak, c.text, c.widen), c.expected);
    }
}

TEST(ExportTextTest, WritesOnlyTheRange) {
    RecordingSink sink;
    EXPECT_TRUE(Export(kEuc, kUx, "xx\x82\xA0yy", false, sink, 2, 4));
    EXPECT_EQ(sink.Joined(), "\xA4\xA2");
    // A range that cuts a character writes its lead byte as a stray byte.
    RecordingSink cut;
    EXPECT_TRUE(Export(kSjis, kUx, "a\x82\xA0", false, cut, 0, 2));
    EXPECT_EQ(cut.Joined(), "a\x82");
}

TEST(ExportTextTest, EmptyRangeWritesOneEmptyChunk) {
    RecordingSink sink;
    EXPECT_TRUE(Export(kJis, kWin, "abc", false, sink, 1, 1));
    EXPECT_EQ(sink.chunks, std::vector<std::string>{""});
}

std::vector<std::size_t> ChunkSizes(const RecordingSink& sink) {
    std::vector<std::size_t> sizes;
    for (const auto& c : sink.chunks)
        sizes.push_back(c.size());
    return sizes;
}

TEST(ExportTextTest, ChunksOf512) {
    struct Case {
        std::string text;
        LineBreakKind lineBreak;
        std::vector<std::size_t> sizes;
    } const cases[] = {
        {std::string(512, 'a'), kUx, {512}},
        {std::string(513, 'a'), kUx, {512, 1}},
        {std::string(256, '\n'), kWin, {512}},
        {std::string(257, '\n'), kWin, {512, 2}},
        {std::string(511, 'a') + "\n", kWin, {512, 1}},  // CR and LF split
        {std::string(1024, 'a'), kUx, {512, 512}},
    };
    for (const auto& c : cases) {
        RecordingSink sink;
        EXPECT_TRUE(Export(kSjis, c.lineBreak, c.text, false, sink));
        EXPECT_EQ(ChunkSizes(sink), c.sizes) << c.text.size();
        EXPECT_EQ(sink.Joined(), reference::Export(kSjis, c.lineBreak, c.text, false));
    }
}

TEST(ExportTextTest, FailingSinkStopsAtOnce) {
    std::mt19937 rng(3);
    std::string text;
    while (text.size() < 1500)
        text += reference::RandomInternalText(rng, 200);
    for (EncodingKind kind : {kSjis, kJis, kEuc}) {
        RecordingSink whole;
        ASSERT_TRUE(Export(kind, kWin, text, true, whole));
        const int chunkCount = static_cast<int>(whole.chunks.size());
        ASSERT_GE(chunkCount, 3);
        for (int k = 0; k <= chunkCount; ++k) {
            RecordingSink sink(k);
            EXPECT_EQ(Export(kind, kWin, text, true, sink), k == chunkCount) << k;
            const int written = std::min(k, chunkCount);
            EXPECT_EQ(sink.chunks, std::vector<std::string>(whole.chunks.begin(),
                                                            whole.chunks.begin() + written));
            EXPECT_EQ(sink.calls(), written + (k < chunkCount ? 1 : 0)) << "no write after failure";
        }
    }
}

TEST(ExportTextTest, MatchesReferenceOnRandomText) {
    std::mt19937 rng(99);
    constexpr EncodingKind kinds[] = {kSjis, kJis, kEuc, static_cast<EncodingKind>(7)};
    constexpr LineBreakKind breaks[] = {kWin, kUx, kMac, LineBreakKind::MIXED};
    for (int round = 0; round < 1500; ++round) {
        const std::string text = reference::RandomInternalText(rng, round % 10 == 0 ? 900 : 40);
        for (EncodingKind kind : kinds)
            for (LineBreakKind lineBreak : breaks)
                for (bool widen : {false, true})
                    ASSERT_EQ(ExportAll(kind, lineBreak, text, widen),
                              reference::Export(kind, lineBreak, text, widen))
                        << "round " << round << " kind " << static_cast<int>(kind) << " break "
                        << static_cast<int>(lineBreak) << " widen " << widen;
    }
}

TEST(ExportTextTest, ImportGivesBackWhatExportWrote) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 1500; ++round) {
        for (EncodingKind kind : {kSjis, kJis, kEuc}) {
            reference::TextOptions options;
            options.strayBytes = false;
            options.userDefined = false;
            options.esc = kind != kJis;
            const std::string text = reference::RandomInternalText(rng, 60, options);
            const std::uint32_t kanaInText = reference::CountKana(text);
            for (LineBreakKind lineBreak : {kWin, kUx, kMac}) {
                const std::string file = ExportAll(kind, lineBreak, text, false);
                std::vector<std::uint8_t> back(file.begin(), file.end());
                LineBreakKind readBreak;
                std::uint32_t kana;
                const std::uint32_t n =
                    ImportText(kind, false, back.data(), back.data(),
                               static_cast<std::uint32_t>(back.size()), &readBreak, &kana);
                SCOPED_TRACE(testing::Message()
                             << "round " << round << " kind " << static_cast<int>(kind) << " break "
                             << static_cast<int>(lineBreak));
                ASSERT_EQ(std::string(back.begin(), back.begin() + n), text);
                ASSERT_EQ(readBreak, text.find('\n') == std::string::npos ? kWin : lineBreak);
                ASSERT_EQ(kana, kanaInText);
            }
        }
    }
}

TEST(WidenKanaTest, WidensKanaAndCopiesTheRest) {
    struct Case {
        std::string text, expected;
    } const cases[] = {
        {"", ""},
        {"a\xB6\xDE\x82\xA0\xCA\xDF\xB1\n", "a\x83\x4B\x82\xA0\x83\x70\x83\x41\n"},
        {"\x82\xB1", "\x82\xB1"},  // a trail byte in the katakana range stays
        {"\xCA\xDE\xDF\x80", "\x83\x6F\x81\x4B\x80"},
        {"\xB1\xDE", "\x83\x41\x81\x4A"},
        {"\xB1\x82", "\x83\x41\x82"},  // a cut-off lead byte is copied, nothing read past it
    };
    for (const auto& c : cases) {
        // Exactly the documented worst case, so that an overrun is caught.
        std::vector<std::uint8_t> out(c.text.size() + reference::CountKana(c.text));
        const std::uint32_t n =
            WidenKana(out.data(), reinterpret_cast<const std::uint8_t*>(c.text.data()),
                      static_cast<std::uint32_t>(c.text.size()));
        EXPECT_EQ(std::string(out.begin(), out.begin() + n), c.expected);
        EXPECT_EQ(reference::Widen(c.text), c.expected);
    }
}

TEST(WidenKanaTest, MatchesReferenceAndShiftJisExport) {
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = reference::RandomInternalText(rng, 80);
        std::vector<std::uint8_t> source(text.begin(), text.end());
        std::vector<std::uint8_t> out(text.size() + reference::CountKana(text));
        const std::uint32_t n =
            WidenKana(out.data(), source.data(), static_cast<std::uint32_t>(source.size()));
        const std::string widened(out.begin(), out.begin() + n);
        ASSERT_EQ(widened, reference::Widen(text)) << "round " << round;
        // Saving widened as Shift-JIS writes the same as widening the text,
        // except that stray bytes are zeroed on the way out.
        ASSERT_EQ(ExportAll(kSjis, kUx, text, true), ExportAll(kSjis, kUx, widened, false));
    }
}

TEST(ExportUtf8TextTest, Cases) {
    struct Case {
        LineBreakKind lineBreak;
        bool widen;
        std::string text, expected;
    } const cases[] = {
        {kWin, false, "\x82\xA0\n", "\xE3\x81\x82\r\n"},
        {kUx, false, "\xB1", "\xEF\xBD\xB1"},
        {kUx, true, "\xB6\xDE", "\xE3\x82\xAC"},
        {kUx, false, "\\\x81\x5F", "\\\xEF\xBC\xBC"},
        {kMac, false, "a\n\x80", "a\r\xEF\xBF\xBD"},
        {kUx, false, "\x81\xAD", "\xE3\x83\xBB"},  // no mapping
    };
    for (const auto& c : cases) {
        RecordingSink sink;
        auto block = std::make_unique<std::uint8_t[]>(c.text.size());
        std::copy(c.text.begin(), c.text.end(), block.get());
        EXPECT_TRUE(ExportUtf8Text(c.lineBreak, sink, block.get(), 0,
                                   static_cast<std::uint32_t>(c.text.size()), c.widen));
        EXPECT_EQ(sink.Joined(), c.expected) << testing::PrintToString(c.text);
    }
    RecordingSink failing(0);
    const std::uint8_t text[] = {'a'};
    EXPECT_FALSE(ExportUtf8Text(kUx, failing, text, 0, 1, false));
}

}  // namespace
}  // namespace kotoha
