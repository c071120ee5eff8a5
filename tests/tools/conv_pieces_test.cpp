// SPDX-License-Identifier: MIT
// The command's conversion piece by piece against the same conversion in one
// piece: every input kind (with and without a byte-order mark) into every
// output kind, pieces of 1 to 200 bytes; and Unicode text with more distinct
// characters than the extension table has codes comes through exactly.
#include "conv_pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/export.h"
#include "codec/import.h"

namespace kotoha::conv {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

// text (UTF-8) written in kind, with the line breaks it has.
std::string Encoded(EncodingKind kind, const std::string& utf8, LineBreakKind lineBreak) {
    std::vector<std::uint8_t> internal(utf8.size() + 1);
    ExtensionTable table;
    const std::uint32_t n =
        ImportText(EncodingKind::UTF8, false, internal.data(), Bytes(utf8),
                   static_cast<std::uint32_t>(utf8.size()), nullptr, nullptr, &table);
    StringSink sink;
    ExportText(kind, lineBreak, sink, internal.data(), 0, n, false, &table);
    return sink.bytes;
}

struct Result {
    std::string bytes;
    Unwritable losses;
};

Result Convert(const PieceConversion& conversion, const std::string& input) {
    Result result;
    StringSink sink;
    EXPECT_EQ(ConvertPieces(conversion, Bytes(input), static_cast<std::uint32_t>(input.size()),
                            &sink, result.losses),
              PiecesResult::Done);
    result.bytes = sink.bytes;
    return result;
}

void ExpectSameLosses(const Unwritable& a, const Unwritable& b) {
    EXPECT_EQ(a.unreadable.count, b.unreadable.count);
    EXPECT_EQ(a.unreadable.firstLine, b.unreadable.firstLine);
    EXPECT_EQ(a.unwritable.count, b.unwritable.count);
    EXPECT_EQ(a.unwritable.firstLine, b.unwritable.firstLine);
}

TEST(ConvPieces, SmallPiecesWriteWhatOnePieceWrites) {
    // Empty lines right after the byte-order mark and after piece ends, kana
    // in JIS's kana set, CR LF pairs, characters beyond CP932.
    const std::string text = "\n\nあいう\r\n\r\nｶﾀｶﾅ abc\n\n漢字〜❤한국\r\n\n\nend\r\rx\n\n\n";
    for (const EncodingKind from : kEveryEncodingKind) {
        for (const LineBreakKind breaks : {LineBreakKind::UX, LineBreakKind::WIN}) {
            const std::string input = Encoded(from, text, breaks);
            for (const EncodingKind to : kEveryEncodingKind) {
                for (const EolChoice eol : {EolChoice::Keep, EolChoice::MAC}) {
                    SCOPED_TRACE(std::string(EncodingDisplayName(from)) + " -> " +
                                 EncodingDisplayName(to));
                    PieceConversion conversion{from, to, false, eol, UINT32_MAX};
                    const Result whole = Convert(conversion, input);
                    for (std::uint32_t piece = 1; piece <= 200; piece += piece < 20 ? 1 : 17) {
                        conversion.pieceBytes = piece;
                        const Result pieces = Convert(conversion, input);
                        ASSERT_EQ(pieces.bytes, whole.bytes) << "pieces of " << piece;
                        ExpectSameLosses(pieces.losses, whole.losses);
                    }
                }
            }
        }
    }
}

TEST(ConvPieces, UnicodeBeyondTheTableIsExact) {
    // 6,000 distinct Hangul syllables: more than the table's 1,880 codes.
    std::string text;
    std::string utf16 = "\xff\xfe";
    for (char32_t ch = 0xAC00; ch < 0xAC00 + 6000; ++ch) {
        text += static_cast<char>(0xE0 | (ch >> 12));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
        utf16 += static_cast<char>(ch & 0xFF);
        utf16 += static_cast<char>(ch >> 8);
        if (ch % 50 == 0) {
            text += '\n';
            utf16 += std::string("\n\0", 2);
        }
    }
    for (const std::uint32_t piece : {PieceConversion::kDefaultPieceBytes, 4096u, 7u}) {
        SCOPED_TRACE(piece);
        Result result =
            Convert({EncodingKind::UTF8, EncodingKind::UTF8, false, EolChoice::Keep, piece}, text);
        EXPECT_TRUE(result.bytes == text);
        EXPECT_EQ(result.losses.count(), 0u);
        result = Convert({EncodingKind::UTF8, EncodingKind::UTF16LE, false, EolChoice::Keep, piece},
                         text);
        EXPECT_TRUE(result.bytes == utf16);
        result = Convert({EncodingKind::UTF16LE, EncodingKind::UTF8, false, EolChoice::Keep, piece},
                         utf16);
        EXPECT_TRUE(result.bytes == text);
    }
}

TEST(ConvPieces, UnreadableInputIsCountedWithItsLine) {
    struct Case {
        EncodingKind from;
        std::string input;
        std::uint32_t count;
        std::uint32_t firstLine;
    };
    const Case cases[] = {
        {EncodingKind::UTF8, "ok\nok\n\xff\xfe x \xc3", 3, 3},
        {EncodingKind::UTF16LE, std::string("a\0\n\0\x00\xd8\n\0z", 9), 2, 2},
        {EncodingKind::SJIS, "abc\n\x82", 1, 2},
        {EncodingKind::UTF8, "clean\n", 0, 0},
    };
    for (const Case& c : cases) {
        for (const std::uint32_t piece : {1u, 3u, UINT32_MAX}) {
            const Result result =
                Convert({c.from, EncodingKind::UTF8, false, EolChoice::Keep, piece}, c.input);
            EXPECT_EQ(result.losses.unreadable.count, c.count) << c.input;
            EXPECT_EQ(result.losses.unreadable.firstLine, c.firstLine) << c.input;
        }
    }
}

}  // namespace
}  // namespace kotoha::conv
