// SPDX-License-Identifier: MIT
#include "shell/encoding_preview.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/import.h"

namespace kotoha {
namespace {

// The line-break expansion done literally: in place in a buffer of limit
// bytes plus a terminator, shifting the rest of the text right at each LF
// and dropping the last byte once the buffer is full.
bool ExpandInPlace(std::string& text, std::uint32_t limit) {
    std::vector<char> buffer(limit + 1, 'Z');
    std::memcpy(buffer.data(), text.data(), text.size());
    std::size_t length = text.size();
    buffer[length] = '\0';
    bool lost = false;
    std::size_t at = 0;
    while (at < length) {
        if (buffer[at] == '\n') {
            if (length < limit) {
                std::memmove(&buffer[at + 1], &buffer[at], length - at + 1);
                ++length;
            } else {
                std::memmove(&buffer[at + 1], &buffer[at], length - 1 - at);
                buffer[length] = '\0';
                lost = true;
            }
            buffer[at] = '\r';
            at += 2;
        } else if (buffer[at] == '\r') {
            if (at + 1 < length && buffer[at + 1] == '\n')
                at += 2;
            else
                buffer[at] = '\n';
        } else {
            ++at;
        }
    }
    text.assign(buffer.data(), std::min(length, static_cast<std::size_t>(limit)));
    return lost;
}

TEST(ExpandLineBreaksToCrLf, Table) {
    struct Case {
        std::string in;
        std::uint32_t limit;
        std::string out;
        bool lost;
    };
    const Case cases[] = {
        {"a\nb", 100, "a\r\nb", false},
        {"a\r\nb\rc\n", 100, "a\r\nb\r\nc\r\n", false},
        {"\r\r\n\n", 100, "\r\n\r\n\r\n", false},
        {"ab\ncd", 6, "ab\r\ncd", false},    // exactly fills the limit
        {"ab\ncde", 6, "ab\r\ncd", true},    // the last byte gives way
        {"abcde\n", 6, "abcde\r", true},     // the final LF itself is lost
        {"abcd\r\n", 6, "abcd\r\n", false},  // a pair needs no room
        {"", 6, "", false},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(ExpandLineBreaksToCrLf(text, c.limit), c.lost) << c.in;
        EXPECT_EQ(text, c.out) << c.in;
    }
}

// The one-pass expansion agrees with the literal in-place one on texts
// dense with line breaks, right around the limit.
TEST(ExpandLineBreaksToCrLf, MatchesInPlaceExpansion) {
    std::mt19937 random(5);
    const char alphabet[] = {'a', 'b', '\r', '\n'};
    for (int round = 0; round < 3000; ++round) {
        const std::uint32_t limit = 1 + random() % 24;
        std::string text(random() % (limit + 1), 'a');
        for (char& c : text)
            c = alphabet[random() % 4];
        std::string expected = text;
        const bool expectedLost = ExpandInPlace(expected, limit);
        std::string actual = text;
        const bool actualLost = ExpandLineBreaksToCrLf(actual, limit);
        ASSERT_EQ(actual, expected) << "round " << round;
        ASSERT_EQ(actualLost, expectedLost) << "round " << round;
    }
}

std::string Preview(EncodingKind kind, const std::string& bytes) {
    return MakeEncodingPreview(kind, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               static_cast<std::uint32_t>(bytes.size()));
}

TEST(MakeEncodingPreview, SmallFileIsWholeWithCrLfAndBlanksForNul) {
    const std::string file = std::string("a\0b\rc\r\nd", 8);
    EXPECT_EQ(Preview(EncodingKind::SJIS, file), "a b\r\nc\r\nd");
}

TEST(MakeEncodingPreview, DecodesWithTheGivenKind) {
    // "漢" in each encoding, then a line break.
    EXPECT_EQ(Preview(EncodingKind::SJIS, "\x8a\xbf\n"), "\x8a\xbf\r\n");
    EXPECT_EQ(Preview(EncodingKind::EUC, "\xb4\xc1\n"), "\x8a\xbf\r\n");
    EXPECT_EQ(Preview(EncodingKind::JIS, "\x1b$B4A\x1b(B\n"), "\x8a\xbf\r\n");
    // A half-width katakana in EUC.
    EXPECT_EQ(Preview(EncodingKind::EUC, "\x8e\xb1"), "\xb1");
}

TEST(MakeEncodingPreview, LongFileShowsWholeLinesWithinTheLimit) {
    // 70,000 bytes of 100-byte CR LF lines: the limit falls inside line 615.
    std::string file;
    while (file.size() < 70000)
        file += std::string(98, 'x') + "\r\n";
    file.resize(70000);
    const std::string preview = Preview(EncodingKind::SJIS, file);
    EXPECT_EQ(preview.size(), 614u * 100u);
    EXPECT_EQ(preview, file.substr(0, preview.size()));
}

TEST(MakeEncodingPreview, LossNearTheLimitCutsAfterTheLastLine) {
    // Bare LFs: each line grows by one byte, so the expansion overruns the
    // limit although the file is shorter than it.
    std::string file;
    while (file.size() + 50 <= kPreviewLimit)
        file += std::string(49, 'y') + "\n";
    ASSERT_LE(file.size(), kPreviewLimit);
    const std::string preview = Preview(EncodingKind::SJIS, file);
    ASSERT_LE(preview.size(), kPreviewLimit);
    ASSERT_GE(preview.size(), 2u);
    EXPECT_EQ(preview.substr(preview.size() - 2), "\r\n");
    EXPECT_EQ(preview.size() % 51, 0u);
    EXPECT_EQ(preview.size(), kPreviewLimit / 51 * 51);
}

TEST(MakeEncodingPreview, NoLineToCutAfterShowsTheTruncatedText) {
    const std::string file(70000, 'z');
    EXPECT_EQ(Preview(EncodingKind::SJIS, file), std::string(kPreviewLimit, 'z'));
}

TEST(MakeEncodingPreview, CutNeverLeavesHalfACharacter) {
    // Double-byte characters straddle the limit: the cut lands after the
    // last LF, so the preview ends with a whole line.
    std::string file = "\x82\xa0\n";
    while (file.size() < 70000)
        file += "\x82\xa0";
    const std::string preview = Preview(EncodingKind::SJIS, file);
    EXPECT_EQ(preview, "\x82\xa0\r\n");
}

TEST(MakeEncodingPreview, Utf16IsDecodedBeforeItsBytesAreLookedAt) {
    // "漢" NUL CR LF "a" CR, with and without a byte-order mark, both orders.
    const std::string le = std::string("\x22\x6f\0\0\r\0\n\0a\0\r\0", 12);
    std::string be;
    for (std::size_t i = 0; i < le.size(); i += 2)
        be += std::string{le[i + 1], le[i]};
    const std::string want = "\x8a\xbf \r\na\r\n";
    EXPECT_EQ(Preview(EncodingKind::UTF16LE, le), want);
    EXPECT_EQ(Preview(EncodingKind::UTF16LE, "\xff\xfe" + le), want);
    EXPECT_EQ(Preview(EncodingKind::UTF16BE, be), want);
    EXPECT_EQ(Preview(EncodingKind::UTF16BE, "\xfe\xff" + be), want);
    // A long file: whole lines within the limit.
    std::string file;
    while (file.size() < 70000)
        file += std::string("x\0y\0\n\0", 6);
    const std::string preview = Preview(EncodingKind::UTF16LE, file);
    ASSERT_LE(preview.size(), kPreviewLimit);
    EXPECT_EQ(preview.size() % 4, 0u);
    EXPECT_EQ(preview.substr(0, 8), "xy\r\nxy\r\n");
    EXPECT_EQ(preview.substr(preview.size() - 2), "\r\n");
}

}  // namespace
}  // namespace kotoha
