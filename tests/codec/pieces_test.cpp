// SPDX-License-Identifier: MIT
// Converting a text a piece at a time: the pieces import and export what the
// whole text does, and the line-break scan agrees with the import.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/export.h"
#include "codec/import.h"
#include "reference_codec.h"

namespace kotoha {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}
std::uint32_t Size(const std::string& s) {
    return static_cast<std::uint32_t>(s.size());
}

struct Imported {
    std::string text;
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t kana = 0;
    ImportLosses losses;
};

Imported ImportWhole(EncodingKind kind, const std::string& input, ExtensionTable* table) {
    Imported result;
    std::vector<std::uint8_t> out(input.size());
    const std::uint32_t n = ImportText(kind, false, out.data(), Bytes(input), Size(input),
                                       &result.lineBreak, &result.kana, table, &result.losses);
    result.text.assign(out.begin(), out.begin() + n);
    return result;
}

Imported ImportInPieces(EncodingKind kind, const std::string& input, std::uint32_t pieceBytes,
                        ExtensionTable* table, std::uint32_t* lineBreaksOut = nullptr) {
    Imported result;
    ImportPieces pieces(kind, Bytes(input), Size(input), table);
    while (pieces.Next(pieceBytes)) {
        EXPECT_EQ(pieces.offset(), result.text.size());
        result.text.append(reinterpret_cast<const char*>(pieces.data()), pieces.size());
    }
    EXPECT_EQ(pieces.size(), 0u);
    result.lineBreak = pieces.lineBreakKind();
    result.kana = pieces.kanaCount();
    result.losses = pieces.losses();
    if (lineBreaksOut)
        *lineBreaksOut = pieces.lineBreaks();
    return result;
}

// Calls check(input, kind, its whole import, a name for messages) for random
// inputs in every kind.
template <typename Check>
void ForRandomInputsOfEveryKind(unsigned seed, Check check) {
    std::mt19937 rng(seed);
    for (int round = 0; round < 1500; ++round) {
        const std::string input = reference::RandomRawBytes(rng, round % 10 == 0 ? 600 : 80);
        for (EncodingKind kind : kEveryEncodingKind)
            check(input, kind, ImportWhole(kind, input, nullptr),
                  "round " + std::to_string(round) + " kind " +
                      std::to_string(static_cast<int>(kind)));
    }
}

std::uint32_t LineFeeds(const std::string& text) {
    return static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n'));
}

// Every kind, pieces of one byte up to more than the text: the same bytes,
// counts and first loss as one call, and as many line breaks as line feeds.
TEST(ImportPieces, MatchTheWholeImport) {
    ForRandomInputsOfEveryKind(23, [](const std::string& input, EncodingKind kind,
                                      const Imported& whole, const std::string& name) {
        for (std::uint32_t pieceBytes : {1u, 2u, 7u, 64u, 0u}) {
            std::uint32_t lineBreaks = 0;
            const Imported pieces = ImportInPieces(kind, input, pieceBytes, nullptr, &lineBreaks);
            const std::string where = name + " piece " + std::to_string(pieceBytes);
            ASSERT_EQ(pieces.text, whole.text) << where;
            ASSERT_EQ(pieces.lineBreak, whole.lineBreak) << where;
            ASSERT_EQ(pieces.kana, whole.kana) << where;
            ASSERT_EQ(pieces.losses.noCodeLeft, whole.losses.noCodeLeft) << where;
            ASSERT_EQ(pieces.losses.undecodable, whole.losses.undecodable) << where;
            ASSERT_EQ(pieces.losses.firstOffset, whole.losses.firstOffset) << where;
            ASSERT_EQ(lineBreaks, LineFeeds(whole.text)) << where;
        }
    });
}

// Each piece imported on its own, from where NextPieceStart says it starts
// (the JIS character set found without converting what comes before): the
// same bytes and line breaks as one import.
TEST(ImportPieces, ImportedApartMatchTheWholeImport) {
    ForRandomInputsOfEveryKind(29, [](const std::string& input, EncodingKind kind,
                                      const Imported& whole, const std::string& name) {
        for (std::uint32_t pieceBytes : {1u, 5u, 64u}) {
            std::string text;
            std::uint32_t lineBreaks = 0;
            PieceStart start;
            while (start.offset < input.size()) {
                const PieceStart next =
                    NextPieceStart(kind, Bytes(input), Size(input), start, pieceBytes);
                ImportPieces piece(kind, Bytes(input), Size(input), nullptr, start);
                if (piece.Next(pieceBytes))
                    text.append(reinterpret_cast<const char*>(piece.data()), piece.size());
                lineBreaks += piece.lineBreaks();
                ASSERT_GT(next.offset, start.offset);
                start = next;
            }
            const std::string where = name + " piece " + std::to_string(pieceBytes);
            ASSERT_EQ(text, whole.text) << where;
            ASSERT_EQ(lineBreaks, LineFeeds(whole.text)) << where;
        }
    });
}

// A piece ends just after a line feed, or holds the rest of a line longer
// than the piece size.
TEST(ImportPieces, EndAfterALineFeed) {
    const std::string input = "ab\ncd\r\nlong line\nx";
    ImportPieces pieces(EncodingKind::SJIS, Bytes(input), Size(input));
    std::vector<std::string> seen;
    while (pieces.Next(4))
        seen.emplace_back(reinterpret_cast<const char*>(pieces.data()), pieces.size());
    EXPECT_EQ(seen, (std::vector<std::string>{"ab\n", "cd\n", "long line\n", "x"}));
}

// Characters beyond CP932 get codes of the table in either way of importing,
// and write back as the same Unicode text, also where the text uses codes
// of the user-defined area itself.
TEST(ImportPieces, CharactersOfTheTableWriteBackTheSame) {
    std::mt19937 rng(5);
    const std::u32string alphabet = U"a\n\u3042\u4E9C\U0001F600\u00E9\uE000\uE001\u20AC\r\n";
    for (int round = 0; round < 300; ++round) {
        std::string utf8;
        const int length = std::uniform_int_distribution<int>(0, 60)(rng);
        for (int i = 0; i < length; ++i)
            AppendUtf8(
                utf8,
                alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)]);
        for (std::uint32_t pieceBytes : {1u, 9u}) {
            ExtensionTable wholeTable;
            ExtensionTable pieceTable;
            const Imported whole = ImportWhole(EncodingKind::UTF8, utf8, &wholeTable);
            const Imported pieces =
                ImportInPieces(EncodingKind::UTF8, utf8, pieceBytes, &pieceTable);
            ASSERT_EQ(pieces.losses.total(), whole.losses.total()) << round;
            ASSERT_EQ(pieces.text.size(), whole.text.size()) << round;
            reference::StringSink wholeOut;
            reference::StringSink pieceOut;
            ASSERT_TRUE(ExportText(EncodingKind::UTF8, LineBreakKind::UX, wholeOut,
                                   Bytes(whole.text), 0, Size(whole.text), false, &wholeTable));
            ASSERT_TRUE(ExportText(EncodingKind::UTF8, LineBreakKind::UX, pieceOut,
                                   Bytes(pieces.text), 0, Size(pieces.text), false, &pieceTable));
            ASSERT_EQ(pieceOut.bytes, wholeOut.bytes) << round;
        }
    }
}

TEST(ScanLineBreakKind, AgreesWithTheImport) {
    std::mt19937 rng(31);
    for (int round = 0; round < 3000; ++round) {
        std::string input = reference::RandomRawBytes(rng, round % 5 == 0 ? 700 : 70);
        for (EncodingKind kind : kEveryEncodingKind) {
            const Imported whole = ImportWhole(kind, input, nullptr);
            ASSERT_EQ(ScanLineBreakKind(kind, Bytes(input), Size(input)), whole.lineBreak)
                << "round " << round << " kind " << static_cast<int>(kind);
        }
    }
    // A CR LF pair split across two blocks of the scan is one pair.
    const std::string split = std::string(63, 'a') + "\r\n" + std::string(70, 'b') + "\r\n";
    EXPECT_EQ(ScanLineBreakKind(EncodingKind::SJIS, Bytes(split), Size(split)), LineBreakKind::WIN);
    const std::string mixed = std::string(63, 'a') + "\r" + std::string(70, 'b') + "\n";
    EXPECT_EQ(ScanLineBreakKind(EncodingKind::EUC, Bytes(mixed), Size(mixed)),
              LineBreakKind::MIXED);
}

// The first piece with ExportText, the others with ExportTextContinued:
// together the bytes of one ExportText of the whole text.
TEST(ExportTextContinued, PiecesWriteTheWholeExport) {
    std::mt19937 rng(17);
    for (int round = 0; round < 800; ++round) {
        const std::string text = reference::RandomInternalText(rng, 300);
        for (EncodingKind kind : kEveryEncodingKind) {
            for (LineBreakKind lineBreak :
                 {LineBreakKind::WIN, LineBreakKind::UX, LineBreakKind::MAC}) {
                for (bool widen : {false, true}) {
                    reference::StringSink whole;
                    ASSERT_TRUE(
                        ExportText(kind, lineBreak, whole, Bytes(text), 0, Size(text), widen));
                    reference::StringSink pieces;
                    std::size_t start = 0;
                    while (start < text.size() || start == 0) {
                        std::size_t end = text.find('\n', start + 5);
                        end = end == std::string::npos ? text.size() : end + 1;
                        const std::string piece = text.substr(start, end - start);
                        ASSERT_TRUE(start == 0
                                        ? ExportText(kind, lineBreak, pieces, Bytes(piece), 0,
                                                     Size(piece), widen)
                                        : ExportTextContinued(kind, lineBreak, pieces, Bytes(piece),
                                                              Size(piece), widen));
                        start = end;
                        if (end == text.size())
                            break;
                    }
                    ASSERT_EQ(pieces.bytes, whole.bytes)
                        << "round " << round << " kind " << static_cast<int>(kind);
                }
            }
        }
    }
}

}  // namespace
}  // namespace kotoha
