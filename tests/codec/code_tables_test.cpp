// SPDX-License-Identifier: MIT
// The compiled-in code tables against the host's iconv, code by code.
#include <gtest/gtest.h>

#include <map>

#include "codec/cp932.h"
#include "codec/jis0212.h"
#include "codec/jis0213.h"
#include "iconv_tables.h"

namespace kotoha {
namespace {

using tables::CodeMapping;

// The codes iconv maps, by code (none where iconv lacks the table).
std::map<std::uint32_t, CodeMapping> ByCode(const std::vector<CodeMapping>& mappings) {
    std::map<std::uint32_t, CodeMapping> byCode;
    for (const CodeMapping& m : mappings)
        byCode.emplace(m.code, m);
    return byCode;
}

TEST(CodeTables, Cp932IsIconvsButForTheFixedMappings) {
    const auto fromIconv = ByCode(tables::Cp932DoubleBytesFromIconv());
    if (fromIconv.empty()) {
        GTEST_SKIP() << "the host's iconv has no CP932";
    }
    // Vendors differ on these; the table takes Microsoft's forms.
    const std::map<std::uint16_t, char16_t> fixed = {
        {0x815F, u'\uFF3C'}, {0x8160, u'\uFF5E'}, {0x8161, u'\u2225'}, {0x817C, u'\uFF0D'},
        {0x8191, u'\uFFE0'}, {0x8192, u'\uFFE1'}, {0x81CA, u'\uFFE2'}};
    int mapped = 0;
    for (unsigned code = 0x8100; code < 0x10000; ++code) {
        if (!IsLeadByte(static_cast<std::uint8_t>(code >> 8)) ||
            !IsTrailByte(static_cast<std::uint8_t>(code & 0xFF)))
            continue;
        const auto it = fromIconv.find(code);
        const char16_t expected = fixed.contains(static_cast<std::uint16_t>(code)) ? fixed.at(code)
                                  : it != fromIconv.end() ? static_cast<char16_t>(it->second.first)
                                                          : kUnmappedChar;
        ASSERT_EQ(Cp932ToUnicode(static_cast<std::uint16_t>(code)), expected) << std::hex << code;
        mapped += it != fromIconv.end();
    }
    EXPECT_GT(mapped, 9000);
}

TEST(CodeTables, Jis0212IsIconvsBothWays) {
    const auto fromIconv = ByCode(tables::Jis0212FromIconv());
    if (fromIconv.empty()) {
        GTEST_SKIP() << "the host's iconv has no EUC-JP";
    }
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
            const auto jis = static_cast<std::uint16_t>(row << 8 | cell);
            const auto it = fromIconv.find(jis);
            const char32_t expected = it != fromIconv.end() ? it->second.first : 0;
            ASSERT_EQ(Jis0212ToUnicode(jis), expected) << std::hex << jis;
            if (expected != 0) {
                ASSERT_EQ(Jis0212ToUnicode(UnicodeToJis0212(expected)), expected)
                    << std::hex << jis;
            }
        }
    }
    EXPECT_EQ(UnicodeToJis0212(U'A'), 0);
}

TEST(CodeTables, Jis0213IsIconvsBothWays) {
    const auto fromIconv = ByCode(tables::Jis0213FromIconv());
    if (fromIconv.empty()) {
        GTEST_SKIP() << "the host's iconv has no EUC-JISX0213";
    }
    for (unsigned plane = 1; plane <= 2; ++plane) {
        for (unsigned row = 0x21; row <= 0x7E; ++row) {
            for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
                const auto jis = static_cast<std::uint16_t>(row << 8 | cell);
                const auto it = fromIconv.find(plane << 16 | jis);
                const Jis0213Chars chars = Jis0213ToUnicode(plane, jis);
                ASSERT_EQ(chars.first, it != fromIconv.end() ? it->second.first : 0);
                ASSERT_EQ(chars.second, it != fromIconv.end() ? it->second.second : 0);
                if (chars.first != 0) {
                    const std::uint32_t back = UnicodeToJis0213(chars.first, chars.second);
                    const Jis0213Chars again =
                        Jis0213ToUnicode(back >> 16, static_cast<std::uint16_t>(back));
                    ASSERT_EQ(again.first, chars.first) << std::hex << (plane << 16 | jis);
                    ASSERT_EQ(again.second, chars.second);
                }
            }
        }
    }
    // Characters CP932 lacks: 剝 (plane 1, row 15, cell 94), 𠮟 (1-47-52) and
    // か with the semi-voiced mark, one code for two characters.
    EXPECT_EQ(UnicodeToJis0213(U'\u525D'), 0x12F7Eu);
    EXPECT_EQ(UnicodeToJis0213(U'\U00020B9F'), 0x14F54u);
    EXPECT_EQ(UnicodeToJis0213(U'\u304B', U'\u309A'), 0x12477u);
}

}  // namespace
}  // namespace kotoha
