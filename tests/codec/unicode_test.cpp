// SPDX-License-Identifier: MIT
// Unicode files and characters beyond CP932: detection of UTF-8 and UTF-16,
// their import into the internal form with an extension table, EUC's JIS X
// 0212 characters, and export back without losing a character.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/export.h"
#include "codec/extension_table.h"
#include "codec/import.h"
#include "codec/utf8_scan.h"
#include "reference_codec.h"

namespace kotoha {
namespace {

using reference::StringSink;

struct Imported {
    std::string text;
    ExtensionTable table;
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t kana = 0;
    ImportLosses losses;
};

Imported Import(EncodingKind kind, std::string bytes, bool withTable = true) {
    Imported result;
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    const std::uint32_t length = ImportText(
        kind, false, data, data, static_cast<std::uint32_t>(bytes.size()), &result.lineBreak,
        &result.kana, withTable ? &result.table : nullptr, &result.losses);
    EXPECT_LE(length, bytes.size());
    result.text = bytes.substr(0, length);
    return result;
}

std::string Export(EncodingKind kind, const Imported& imported,
                   LineBreakKind lineBreak = LineBreakKind::UX,
                   std::uint32_t* substituted = nullptr) {
    StringSink sink;
    EXPECT_TRUE(ExportText(
        kind, lineBreak, sink, reinterpret_cast<const std::uint8_t*>(imported.text.data()), 0,
        static_cast<std::uint32_t>(imported.text.size()), false, &imported.table, substituted));
    return sink.bytes;
}

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t ch : text)
        AppendUtf8(out, ch);
    return out;
}

std::string Utf16(std::u32string_view text, bool bigEndian) {
    std::string out;
    auto unit = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (char32_t ch : text) {
        if (ch >= 0x10000) {
            unit(0xD800 + ((ch - 0x10000) >> 10));
            unit(0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            unit(ch);
        }
    }
    return out;
}

TEST(DetectTextEncoding, UnicodeBeforeTheLegacyKinds) {
    const std::string kana3 = "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86";  // あいう
    const std::string kana4 = kana3 + "\xE3\x81\x88";
    struct Case {
        const char* name;
        std::string bytes;
        std::uint16_t choice;
        bool certain;
    };
    const Case cases[] = {
        {"UTF-8 BOM",
         "\xEF\xBB\xBF"
         "abc",
         kDetectUtf8Bom, true},
        {"UTF-16LE BOM",
         std::string("\xFF\xFE"
                     "a\0",
                     4),
         kDetectUtf16Le, true},
        {"UTF-16BE BOM", std::string("\xFE\xFF\0a", 4), kDetectUtf16Be, true},
        {"four multibyte sequences", kana4, kDetectUtf8, true},
        {"three multibyte sequences", "abc" + kana3, kDetectUtf8, false},
        {"one emoji", "x\xF0\x9F\x98\x80", kDetectUtf8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        const auto length = static_cast<std::uint32_t>(c.bytes.size());
        const DetectionResult r = DetectTextEncoding(bytes, length, true, true);
        EXPECT_EQ(DetectionChoice(r), c.choice);
        EXPECT_EQ(IsDetectionCertain(r), c.certain);
        if (!c.certain) {
            // The legacy guesses stay on offer beside UTF-8.
            EXPECT_EQ(DetectionCandidates(r),
                      kDetectUtf8 | DetectionCandidates(DetectEncoding(bytes, length, true)));
        }
        // Switched off, detection is the legacy one on every input.
        EXPECT_EQ(DetectTextEncoding(bytes, length, true, false),
                  DetectEncoding(bytes, length, true));
    }
}

TEST(DetectTextEncoding, AnythingButValidUtf8WithAMultibyteSequenceIsLegacy) {
    const std::string cases[] = {
        "plain ASCII only",
        "\xC0\x80 overlong NUL" + std::string("\xE3\x81\x82\xE3\x81\x82\xE3\x81\x82\xE3\x81\x82"),
        "\xE0\x80\xAF overlong slash",
        "\xED\xA0\x80 surrogate",
        "\xF4\x90\x80\x80 beyond U+10FFFF",
        "\xE3\x81\x82\xE3\x81\x82\xE3\x81\x82\xE3\x81\x82\xE3\x81",  // cut off at the end
        "\x82\xA0\x82\xA2 Shift-JIS",
        "\xA4\xA2\xA4\xA4 EUC-JP",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const auto n = static_cast<std::uint32_t>(bytes.size());
        EXPECT_EQ(DetectTextEncoding(p, n, true, true), DetectEncoding(p, n, true));
        EXPECT_EQ(DetectTextEncoding(p, n, false, true), DetectEncoding(p, n, false));
    }
}

TEST(ImportUnicode, CharactersToCp932OrTheExtensionTable) {
    struct Case {
        const char* name;
        std::u32string text;
        std::string internal;  // extension codes are given from 0xF040 on
        std::uint32_t kana;
        std::u32string extensions;  // the characters of 0xF040, 0xF041, ...
    };
    const Case cases[] = {
        {"hiragana and ASCII", U"a\u3042b",
         "a\x82\xA0"
         "b",
         0, U""},
        {"half-width katakana", U"\uFF71\uFF9E", "\xB1\xDE", 2, U""},
        {"full-width tilde is CP932's own", U"\uFF5E", "\x81\x60", 0, U""},
        // WAVE DASH only pastes into 0x8160, which means U+FF5E: a code of
        // its own keeps it apart.
        {"wave dash", U"\u301C\uFF5E\u301C", "\xF0\x40\x81\x60\xF0\x40", 0, U"\u301C"},
        {"yen sign and emoji", U"\u00A5\U0001F600", "\xF0\x40\xF0\x41", 0, U"\u00A5\U0001F600"},
        {"Korean and Greek", U"\uD55C\u03B1", "\xF0\x40\x83\xBF", 0, U"\uD55C"},
        // A private-use character is CP932's user-defined code 0xF040, so the
        // wave dash after it gets the next free code.
        {"user-defined code in the text", U"\u301C\uE000", "\xF0\x41\xF0\x40", 0,
         std::u32string(U"\0\u301C", 2)},
        {"line breaks", U"a\r\nb\r\n", "a\nb\n", 0, U""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (EncodingKind kind : {EncodingKind::UTF8, EncodingKind::UTF8BOM, EncodingKind::UTF16LE,
                                  EncodingKind::UTF16BE}) {
            SCOPED_TRACE(static_cast<int>(kind));
            std::string bytes = kind == EncodingKind::UTF16LE   ? "\xFF\xFE" + Utf16(c.text, false)
                                : kind == EncodingKind::UTF16BE ? "\xFE\xFF" + Utf16(c.text, true)
                                : kind == EncodingKind::UTF8BOM ? "\xEF\xBB\xBF" + Utf8(c.text)
                                                                : Utf8(c.text);
            const Imported imported = Import(kind, bytes);
            EXPECT_EQ(imported.text, c.internal);
            EXPECT_EQ(imported.kana, c.kana);
            EXPECT_EQ(imported.losses.noCodeLeft, 0u);
            for (std::size_t i = 0; i < c.extensions.size(); ++i) {
                if (c.extensions[i] != 0) {
                    EXPECT_EQ(imported.table.CharOf(UserCodeAt(i)), c.extensions[i]);
                }
            }
            // And back, exactly.
            EXPECT_EQ(Export(kind, imported, LineBreakKind::WIN),
                      kind == EncodingKind::UTF16BE || kind == EncodingKind::UTF16LE ||
                              kind == EncodingKind::UTF8BOM
                          ? bytes
                          : Utf8(c.text));
        }
    }
}

TEST(ImportUnicode, BadInputBecomesBlanks) {
    struct Case {
        const char* name;
        EncodingKind kind;
        std::string bytes;
        std::string internal;
    };
    const Case cases[] = {
        {"invalid UTF-8 bytes", EncodingKind::UTF8,
         "a\xFF\xC0\x80"
         "b",
         "a   b"},
        {"cut-off UTF-8", EncodingKind::UTF8, "a\xE3\x81", "a  "},
        {"lone surrogate", EncodingKind::UTF16LE,
         std::string("\x00\xD8"
                     "a\0",
                     4),
         " a"},
        {"cut-off unit", EncodingKind::UTF16BE, std::string("\0a\0", 3), "a "},
        {"forced UTF-8 keeps a BOM as a character", EncodingKind::UTF8,
         "\xEF\xBB\xBF"
         "a",
         "\xF0\x40"
         "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Import(c.kind, c.bytes).text, c.internal);
    }
}

TEST(ImportUnicode, CharactersBeyondTheFreeCodesBecomeTheMiddleDot) {
    std::u32string text;
    for (char32_t ch = 0x4E00; text.size() < kUserCodeCount + 3; ++ch) {
        std::uint16_t code;
        if (!ExactCp932Code(ch, code))
            text.push_back(ch);
    }
    const Imported imported = Import(EncodingKind::UTF8, Utf8(text));
    EXPECT_EQ(imported.losses.noCodeLeft, 3u);
    EXPECT_EQ(imported.table.size(), kUserCodeCount);
    EXPECT_EQ(imported.text.substr(imported.text.size() - 2), "\x81\x45");
    // Without a table each one is replaced.
    EXPECT_EQ(Import(EncodingKind::UTF8, Utf8(U"\u301C\u301C"), false).losses.noCodeLeft, 2u);
}

TEST(ImportUnicode, RandomTextRoundTripsThroughUtf8AndUtf16) {
    std::mt19937 rng(11);
    // Ranges that mix CP932 characters, characters beyond it and controls.
    const std::pair<char32_t, char32_t> ranges[] = {
        {0x20, 0x7E},     {0x09, 0x0A},       {0xA0, 0x17F},      {0x370, 0x4FF},
        {0x3000, 0x30FF}, {0x4E00, 0x9FFF},   {0xAC00, 0xD7A3},   {0xE000, 0xE757},
        {0xFF01, 0xFFEF}, {0x1F300, 0x1F64F}, {0x20000, 0x2A6DF},
    };
    for (int round = 0; round < 200; ++round) {
        std::u32string text;
        const int length = static_cast<int>(rng() % 200);
        for (int i = 0; i < length; ++i) {
            const auto& [lo, hi] = ranges[rng() % std::size(ranges)];
            const char32_t ch = lo + rng() % (hi - lo + 1);
            if (ch != 0xFEFF && ch != 0x0D)
                text.push_back(ch);
        }
        SCOPED_TRACE(round);
        const std::string utf8 = Utf8(text);
        EXPECT_EQ(Export(EncodingKind::UTF8, Import(EncodingKind::UTF8, utf8)), utf8);
        const std::string utf16 = "\xFE\xFF" + Utf16(text, true);
        EXPECT_EQ(Export(EncodingKind::UTF16BE, Import(EncodingKind::UTF16BE, utf16)), utf16);
    }
}

TEST(ImportEuc, Jis0212CharactersRoundTrip) {
    // 丂 (U+4E02) and ¡ (U+00A1) are JIS X 0212 only.
    const std::string euc = "\xA4\xA2\x8F\xB0\xA1\x8F\xA2\xC2\n";
    const Imported imported = Import(EncodingKind::EUC, euc);
    EXPECT_EQ(imported.text, "\x82\xA0\xF0\x40\xF0\x41\n");
    EXPECT_EQ(Export(EncodingKind::EUC, imported), euc);
    EXPECT_EQ(Export(EncodingKind::UTF8, imported), "\xE3\x81\x82\xE4\xB8\x82\xC2\xA1\n");
}

TEST(ExportLegacy, ExtensionCharactersTakeTheNearestCodeOrAreCounted) {
    const Imported imported = Import(EncodingKind::UTF8, Utf8(U"\u301C\U0001F600a"));
    struct Case {
        EncodingKind kind;
        std::string bytes;
    };
    const Case cases[] = {
        {EncodingKind::SJIS,
         "\x81\x60\x81\x40"
         "a"},
        {EncodingKind::EUC,
         "\xA1\xC1\xA1\xA1"
         "a"},
        {EncodingKind::JIS, "\x1B$B!A!!\x1B(Ba"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        std::uint32_t substituted = 0;
        EXPECT_EQ(Export(c.kind, imported, LineBreakKind::UX, &substituted), c.bytes);
        EXPECT_EQ(substituted, 1u);
    }
}

TEST(ExportUnicode, LineBreaksAndByteOrderMarks) {
    const Imported imported = Import(EncodingKind::SJIS, "a\n\x82\xA0");
    EXPECT_EQ(Export(EncodingKind::UTF16LE, imported, LineBreakKind::WIN),
              std::string("\xFF\xFE"
                          "a\0\r\0\n\0\x42\x30",
                          10));
    EXPECT_EQ(Export(EncodingKind::UTF16BE, imported, LineBreakKind::MAC),
              std::string("\xFE\xFF\0a\0\r\x30\x42", 8));
    EXPECT_EQ(Export(EncodingKind::UTF8BOM, imported, LineBreakKind::WIN),
              "\xEF\xBB\xBF"
              "a\r\n\xE3\x81\x82");
}

// What a legacy export would turn into full-width spaces, counted before
// writing.
TEST(CountUnwritable, NecIbmAndTableCharacters) {
    // あ, NEC ① (row 13), IBM ⅰ, NEC-selected IBM 纊, then WAVE DASH and an
    // emoji from a UTF-8 file.
    Imported imported = Import(EncodingKind::UTF8, Utf8(U"\u301C\U0001F600"));
    imported.text = "\x82\xA0\x87\x40\xFA\x40\xED\x40" + imported.text;
    struct Case {
        EncodingKind kind;
        std::uint32_t count, first;
    };
    const Case cases[] = {
        {EncodingKind::SJIS, 1, 10},  // only the emoji
        // ⅰ and the emoji; 纊 (0xED40) has a JIS row by the arithmetic and is
        // written there, ① is row 13.
        {EncodingKind::EUC, 2, 4},
        {EncodingKind::JIS, 2, 4},
        {EncodingKind::UTF8, 0, 12},
        {EncodingKind::UTF16BE, 0, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        std::uint32_t first = 0;
        const auto* text = reinterpret_cast<const std::uint8_t*>(imported.text.data());
        const auto length = static_cast<std::uint32_t>(imported.text.size());
        EXPECT_EQ(CountUnwritableCharacters(c.kind, text, length, &imported.table, &first),
                  c.count);
        EXPECT_EQ(first, c.first);
    }
    // A text without such characters counts none, first at its end.
    std::uint32_t first = 0;
    EXPECT_EQ(CountUnwritableCharacters(EncodingKind::EUC,
                                        reinterpret_cast<const std::uint8_t*>("\x82\xA0"
                                                                              "a"),
                                        3, nullptr, &first),
              0u);
    EXPECT_EQ(first, 3u);
}

// The 64-byte block count of a text without extension characters agrees
// with the pair-by-pair rule on random bytes of every kind, the first
// position included: pairs without a JIS X 0208 row, stray bytes, and in
// JIS the ESC.
TEST(CountUnwritable, BlocksAgreeWithPairByPair) {
    const auto pairByPair = [](EncodingKind kind, const std::string& s, std::uint32_t& first) {
        first = static_cast<std::uint32_t>(s.size());
        std::uint32_t count = 0;
        const bool unicode = kind == EncodingKind::UTF8;
        for (std::size_t i = 0; i < s.size();) {
            const auto lead = static_cast<std::uint8_t>(s[i]);
            if (!IsLeadByte(lead) || i + 1 >= s.size()) {
                const bool stray = (lead >= 0x80 && !IsHalfWidthKana(lead)) ||
                                   (lead == 0x1B && kind == EncodingKind::JIS);
                if (stray && count++ == 0)
                    first = static_cast<std::uint32_t>(i);
                ++i;
                continue;
            }
            if (unicode) {
                i += 2;
                continue;
            }
            const auto trail = static_cast<std::uint8_t>(s[i + 1]);
            const bool lost = lead >= 0xF0 || trail < 0x40 || trail == 0x7F || trail > 0xFC;
            if (lost && count++ == 0)
                first = static_cast<std::uint32_t>(i);
            i += 2;
        }
        return count;
    };
    std::mt19937 rng(23);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = round % 2 == 0 ? reference::RandomRawBytes(rng, 400)
                                                : reference::RandomInternalText(rng, 400);
        for (EncodingKind kind : {EncodingKind::EUC, EncodingKind::JIS, EncodingKind::UTF8}) {
            std::uint32_t wantFirst = 0;
            const std::uint32_t want = pairByPair(kind, text, wantFirst);
            std::uint32_t first = 0;
            ASSERT_EQ(
                CountUnwritableCharacters(kind, reinterpret_cast<const std::uint8_t*>(text.data()),
                                          static_cast<std::uint32_t>(text.size()), nullptr, &first),
                want)
                << "round " << round;
            ASSERT_EQ(first, wantFirst) << "round " << round;
        }
        std::uint32_t first = 0;
        ASSERT_EQ(CountUnwritableCharacters(
                      EncodingKind::SJIS, reinterpret_cast<const std::uint8_t*>(text.data()),
                      static_cast<std::uint32_t>(text.size()), nullptr, &first),
                  0u);
    }
}

// Random UTF-8 (Japanese three-byte runs, half-width katakana, characters
// CP932 lacks, overlong forms, surrogates, cut and stray bytes, line breaks)
// decodes as the sequence-by-sequence rule says: the fast runs change
// nothing.
TEST(ImportUnicode, Utf8MatchesTheSequenceBySequenceRule) {
    const auto expected = [](const std::string& in, std::uint32_t& kana) {
        std::string out;
        kana = 0;
        const auto* p = reinterpret_cast<const std::uint8_t*>(in.data());
        const auto* end = p + in.size();
        while (p < end) {
            if (*p < 0x80) {
                if (*p == '\r') {
                    out += '\n';
                    p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
                } else {
                    out += static_cast<char>(*p++);
                }
                continue;
            }
            char32_t ch = 0;
            const std::size_t n = ReadUtf8Sequence(p, end, ch);
            if (n == 0) {
                out += ' ';
                ++p;
                continue;
            }
            p += n;
            std::uint16_t code = 0;
            if (!ExactCp932Code(ch, code))
                code = 0x8145;
            if (code >= 0x100) {
                out += static_cast<char>(code >> 8);
                out += static_cast<char>(code & 0xFF);
            } else {
                kana += IsHalfWidthKana(static_cast<std::uint8_t>(code));
                out += static_cast<char>(code);
            }
        }
        return out;
    };
    const std::string pieces[] = {
        "\xE3\x81\x82",
        "\xE6\xBC\xA2",
        "\xE3\x80\x9C",
        "\xEF\xBD\xB1",
        "\xEF\xBE\x9F",
        "\xE2\x80\x94",
        "\xE0\x80\x80",
        "\xE0\xA0\x80",
        "\xED\xA0\x80",
        "\xED\x9F\xBF",
        "\xEE\x80\x80",
        "\xE3\x81",
        "\xE3",
        "\x80",
        "\xC3\xA9",
        "\xF0\x9F\x98\x80",
        "a",
        "\r\n",
        "\n",
        "\r",
        "\xFF",
        " ",
    };
    std::mt19937 rng(31);
    for (int round = 0; round < 3000; ++round) {
        std::string in;
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i)
            in += pieces[rng() % std::size(pieces)];
        std::uint32_t wantKana = 0;
        const std::string want = expected(in, wantKana);
        const Imported got = Import(EncodingKind::UTF8, in, false);
        ASSERT_EQ(got.text, want) << "round " << round;
        ASSERT_EQ(got.kana, wantKana) << "round " << round;
    }
}

// Random legacy text exports to UTF-8 as the character-by-character rule
// says (pairs through the CP932 table, unmapped ones as U+30FB, stray bytes
// as U+FFFD, LF translated): the runs of pairs and 7-bit bytes change nothing.
TEST(ExportUnicode, Utf8MatchesTheCharacterByCharacterRule) {
    const auto put = [](std::string& out, char32_t ch) {
        std::u32string one(1, ch);
        out += Utf8(one);
    };
    std::mt19937 rng(37);
    for (int round = 0; round < 2000; ++round) {
        Imported text;
        text.text = reference::RandomInternalText(rng, 600);
        for (LineBreakKind lineBreak : {LineBreakKind::UX, LineBreakKind::WIN}) {
            std::string want;
            for (std::size_t i = 0; i < text.text.size();) {
                const auto b = static_cast<std::uint8_t>(text.text[i]);
                if (IsLeadByte(b) && i + 1 < text.text.size()) {
                    put(want, Cp932ToUnicode(static_cast<std::uint16_t>(
                                  (b << 8) | static_cast<std::uint8_t>(text.text[i + 1]))));
                    i += 2;
                } else if (IsHalfWidthKana(b)) {
                    put(want, Cp932ToUnicode(b));
                    ++i;
                } else if (b == '\n') {
                    want += lineBreak == LineBreakKind::WIN ? "\r\n" : "\n";
                    ++i;
                } else if (b >= 0x80) {
                    put(want, 0xFFFD);
                    ++i;
                } else {
                    want += static_cast<char>(b);
                    ++i;
                }
            }
            ASSERT_EQ(Export(EncodingKind::UTF8, text, lineBreak), want) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace kotoha
