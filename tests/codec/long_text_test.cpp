// SPDX-License-Identifier: MIT
// The codec against the reference on long texts shaped like real Japanese
// prose: long stretches of double-byte characters with few line breaks, where
// the conversions take whole blocks of bytes at a time, and with rare damage
// anywhere inside a block or across block edges.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/detect.h"
#include "codec/export.h"
#include "codec/import.h"
#include "reference_codec.h"

namespace kotoha {
namespace {

constexpr EncodingKind kAllKinds[] = {EncodingKind::SJIS, EncodingKind::JIS, EncodingKind::EUC};
constexpr LineBreakKind kAllBreaks[] = {LineBreakKind::WIN, LineBreakKind::UX, LineBreakKind::MAC};

unsigned Pick(std::mt19937& rng, unsigned lo, unsigned hi) {
    return std::uniform_int_distribution<unsigned>(lo, hi)(rng);
}

// Internal text: runs of kanji and kana pairs (user-defined leads included),
// short ASCII words, some half-width katakana with sound marks, an LF every
// hundred characters or so. kanaPercent steers the half-width katakana.
std::string ProseText(std::mt19937& rng, std::size_t length, unsigned kanaPercent = 3) {
    std::string s;
    while (s.size() < length) {
        const unsigned pick = Pick(rng, 0, 99);
        if (pick < kanaPercent) {
            s += static_cast<char>(Pick(rng, 0xA1, 0xDF));
        } else if (pick < kanaPercent + 8) {
            for (unsigned n = Pick(rng, 1, 8); n > 0; --n)
                s += static_cast<char>(Pick(rng, 0x20, 0x7E));
        } else if (pick < kanaPercent + 9) {
            s += '\n';
        } else {
            const unsigned lead = Pick(rng, 0, 2) ? Pick(rng, 0x81, 0x9F) : Pick(rng, 0xE0, 0xFC);
            unsigned trail = Pick(rng, 0x40, 0xFC);
            if (trail == 0x7F)
                trail = 0x80;
            s += static_cast<char>(lead);
            s += static_cast<char>(trail);
        }
    }
    return s;
}

// Overwrites a few random bytes with bytes the decoders single out.
void Damage(std::mt19937& rng, std::string& s, unsigned count) {
    static const unsigned kBad[] = {0x0D, 0x0A, 0x1B, 0x80, 0x8E, 0x8F,
                                    0xA0, 0xFD, 0xFF, 0x00, 0x20};
    for (unsigned k = 0; k < count && !s.empty(); ++k)
        s[Pick(rng, 0, static_cast<unsigned>(s.size() - 1))] =
            static_cast<char>(kBad[Pick(rng, 0, std::size(kBad) - 1)]);
}

// The internal form never holds a lead byte followed by LF (the conversions
// copy such a pair's LF untranslated); turns any such LF into a letter.
void NoLineFeedAfterLead(std::string& s) {
    for (std::size_t i = 0; i + 1 < s.size();) {
        if (IsLeadByte(static_cast<std::uint8_t>(s[i]))) {
            if (s[i + 1] == '\n')
                s[i + 1] = 'x';
            i += 2;
        } else {
            ++i;
        }
    }
}

std::string FastExport(EncodingKind kind, LineBreakKind lineBreak, const std::string& text,
                       bool widen) {
    struct Sink : ByteSink {
        bool Write(const std::uint8_t* bytes, std::size_t count) override {
            // Chunks of 512 bytes, then one last chunk of 0-512 bytes.
            EXPECT_FALSE(closed);
            EXPECT_LE(count, kExportChunkSize);
            closed = count < kExportChunkSize;
            out.append(reinterpret_cast<const char*>(bytes), count);
            return true;
        }
        std::string out;
        bool closed = false;
    } sink;
    auto block = std::make_unique<std::uint8_t[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    EXPECT_TRUE(ExportText(kind, lineBreak, sink, block.get(), 0,
                           static_cast<std::uint32_t>(text.size()), widen));
    return sink.out;
}

TEST(LongTextTest, ExportMatchesReference) {
    std::mt19937 rng(3);
    for (int round = 0; round < 60; ++round) {
        std::string text = ProseText(rng, Pick(rng, 100, 3000), round % 4 == 0 ? 30 : 3);
        if (round % 3 == 0) {
            Damage(rng, text, 3);  // stray 8-bit bytes and ESC
            NoLineFeedAfterLead(text);
        }
        for (EncodingKind kind : kAllKinds)
            for (LineBreakKind lineBreak : kAllBreaks)
                for (bool widen : {false, true})
                    ASSERT_EQ(FastExport(kind, lineBreak, text, widen),
                              reference::Export(kind, lineBreak, text, widen))
                        << "round " << round << " kind " << static_cast<int>(kind);
    }
}

// Every lead byte with every possible second byte, in runs long enough for
// the encoders to convert many pairs at once.
TEST(LongTextTest, ExportOfEveryPairMatchesReference) {
    std::string text;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<std::uint8_t>(lead)))
            continue;
        for (unsigned second = 0; second <= 0xFF; ++second) {
            if (second == '\n')
                continue;
            text += static_cast<char>(lead);
            text += static_cast<char>(second);
        }
        text += 'a';  // shifts the next run against the blocks
    }
    for (EncodingKind kind : kAllKinds)
        EXPECT_EQ(FastExport(kind, LineBreakKind::WIN, text, false),
                  reference::Export(kind, LineBreakKind::WIN, text, false))
            << static_cast<int>(kind);
}

TEST(LongTextTest, ImportMatchesReference) {
    std::mt19937 rng(5);
    for (int round = 0; round < 90; ++round) {
        const EncodingKind kind = kAllKinds[round % 3];
        const std::string text = ProseText(rng, Pick(rng, 100, 3000), round % 5 == 0 ? 30 : 3);
        std::string file = reference::Export(kind, kAllBreaks[round / 3 % 3], text, false);
        if (round % 2 == 0)
            Damage(rng, file, 4);
        for (bool emitCrLf : {false, true}) {
            const auto ref = reference::Import(kind, emitCrLf, file);
            std::vector<std::uint8_t> out(2 * file.size() + 1);
            LineBreakKind lineBreak;
            std::uint32_t kana = 0;
            const std::uint32_t n = ImportText(
                kind, emitCrLf, out.data(), reinterpret_cast<const std::uint8_t*>(file.data()),
                static_cast<std::uint32_t>(file.size()), &lineBreak, &kana);
            ASSERT_EQ(std::string(out.begin(), out.begin() + n), ref.text)
                << "round " << round << " crlf " << emitCrLf;
            ASSERT_EQ(lineBreak, ref.lineBreak) << "round " << round;
            ASSERT_EQ(kana, ref.kanaCount) << "round " << round;
        }
        // In place, as the loader converts.
        std::string inPlace = file;
        auto* bytes = reinterpret_cast<std::uint8_t*>(inPlace.data());
        const std::uint32_t n =
            ImportText(kind, false, bytes, bytes, static_cast<std::uint32_t>(inPlace.size()),
                       nullptr, nullptr);
        ASSERT_EQ(inPlace.substr(0, n), reference::Import(kind, false, file).text)
            << "round " << round;
    }
}

TEST(LongTextTest, DetectionMatchesReference) {
    std::mt19937 rng(9);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            // Files in each encoding, some damaged.
            const std::string text = ProseText(rng, Pick(rng, 60, 2000), round % 8 == 0 ? 30 : 3);
            bytes = reference::Export(kAllKinds[round / 2 % 3], LineBreakKind::WIN, text, false);
            if (round % 4 == 0)
                Damage(rng, bytes, 1);
        } else {
            // Bytes 0xA1-0xFC in pairs read as both EUC and Shift-JIS, so the
            // kana share (around the threshold of 40) decides.
            const unsigned leadPercent = Pick(rng, 20, 45);
            for (std::size_t n = Pick(rng, 30, 1500); n > 0; --n) {
                if (Pick(rng, 0, 9) == 0) {
                    bytes += "ab";
                    continue;
                }
                bytes += static_cast<char>(Pick(rng, 0, 99) < leadPercent ? Pick(rng, 0xE0, 0xFC)
                                                                          : Pick(rng, 0xA1, 0xDF));
                bytes += static_cast<char>(Pick(rng, 0xA1, 0xFC));
            }
        }
        for (bool prefer : {false, true})
            ASSERT_EQ(DetectEncoding(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     static_cast<std::uint32_t>(bytes.size()), prefer),
                      reference::Detect(bytes, prefer))
                << "round " << round << " prefer " << prefer;
    }
}

// A pair split by a block edge counts once: 78 half-width katakana bytes in
// 196 bytes of characters give a kana share of exactly 40, which picks EUC;
// counting the split pair twice would give 39 and Shift-JIS.
TEST(LongTextTest, KanaShareCountsAPairAcrossBlocksOnce) {
    std::string bytes(62, '\xB1');
    bytes += "a\xE0\xA1";  // the lead byte is the 64th byte
    bytes += std::string(16, '\xB1');
    for (int n = 0; n < 58; ++n)
        bytes += "\xE0\xA1";
    const DetectionResult expected = MakeDetectionResult(kDetectEuc, kDetectSjis | kDetectEuc);
    ASSERT_EQ(reference::Detect(bytes, false), expected);
    EXPECT_EQ(DetectEncoding(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()), false),
              expected);
}

}  // namespace
}  // namespace kotoha
