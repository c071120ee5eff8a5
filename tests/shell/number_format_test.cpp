// SPDX-License-Identifier: MIT
#include "shell/number_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kotoha {
namespace {

TEST(NumberFormatTest, GroupThousands) {
    struct Case {
        std::uint64_t number;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {0, ",", "0"},
        {999, ",", "999"},
        {1000, ",", "1,000"},
        {65536, ",", "65,536"},
        {100000, ",", "100,000"},
        {1234567, ".", "1.234.567"},
        {1234567, "\xE2\x80\xAF",
         "1\xE2\x80\xAF"
         "234\xE2\x80\xAF"
         "567"},
        {1234567, "", "1234567"},
        {18446744073709551615u, ",", "18,446,744,073,709,551,615"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GroupThousands(c.number, c.separator), c.expected) << c.number;
    }
}

TEST(NumberFormatTest, StatusBarPanes) {
    // Whole numbers: a line of millions is not shown as another line.
    EXPECT_EQ(FormatLineNumberPane(6089612, ","), "6,089,612");
    EXPECT_EQ(FormatLineNumberPane(100000, ","), "100,000");
    EXPECT_EQ(FormatLineNumberPane(42, ","), "    42");
    // Padding counts characters, not bytes, for a multibyte separator.
    EXPECT_EQ(FormatLineNumberPane(1234, "\xE2\x80\x99"),
              " 1\xE2\x80\x99"
              "234");
    EXPECT_EQ(FormatColumnPane(1000), "1000");
    EXPECT_EQ(FormatColumnPane(81), " 81");
    EXPECT_EQ(FormatMemoryKilobytes(16367288, ","), "16,367,288 KB");
}

TEST(NumberFormatTest, SystemSeparatorIsOneCharacter) {
    // The C locale has no group separator.
    const char* saved = std::getenv("LC_ALL");
    std::string restore = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(SystemThousandsSeparator(), ",");
    if (saved) {
        setenv("LC_ALL", restore.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
}  // namespace kotoha
