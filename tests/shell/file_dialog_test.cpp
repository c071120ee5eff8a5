// SPDX-License-Identifier: MIT
#include "shell/file_dialog.h"

#include <gtest/gtest.h>

namespace kotoha {
namespace {

TEST(FileDialogTest, EightFiltersInOrder) {
    const std::vector<FileFilter> filters = FileDialogFilters();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)", "*.txt"},
        {"INI ﾌｧｲﾙ (*.ini)", "*.ini"},
        {"ﾛｸﾞ ﾌｧｲﾙ (*.log)", "*.log"},
        {"HTML ﾌｧｲﾙ (*.htm;*.html)", "*.htm;*.html"},
        {"C ﾌｧｲﾙ (*.c;*.cpp;*.h)", "*.c;*.cpp;*.h"},
        {"TeX ﾌｧｲﾙ (*.tex)", "*.tex"},
        {"RTF ﾌｧｲﾙ (*.rtf)", "*.rtf"},
        {"すべてのﾌｧｲﾙ (*.*)", "*.*"},
    };
    ASSERT_EQ(filters.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(filters[i].label, expected[i].first);
        EXPECT_EQ(filters[i].pattern, expected[i].second);
    }
}

TEST(FileDialogTest, MemoryUpdate) {
    struct Case {
        std::int32_t selected;
        const char* typed;
        std::int32_t filterIndex;
        const char* customLabel;  // after the update; the memory starts with *.old
    };
    const Case cases[] = {
        {3, "", 3, "ｶｽﾀﾑ (*.old)"},
        {1, "*.H", 4, "ｶｽﾀﾑ (*.old)"},
        {1, "*.cpp", 5, "ｶｽﾀﾑ (*.old)"},
        {1, "*.*", 8, "ｶｽﾀﾑ (*.old)"},
        {1, "*.DOC", 0, "ｶｽﾀﾑ (*.doc)"},
        {1, "*.ｶﾅ", 0, "ｶｽﾀﾑ (*.ｶﾅ)"},
        {1, "123456789012", 0, "ｶｽﾀﾑ (123456789012)"},
        // Too long to keep: the selection stands, the old custom filter stays.
        {2, "1234567890123", 2, "ｶｽﾀﾑ (*.old)"},
    };
    const std::vector<FileFilter> filters = FileDialogFilters();
    for (const Case& c : cases) {
        FileDialogMemory memory;
        memory.Update(filters, 0, "*.old");
        memory.Update(filters, c.selected, c.typed);
        EXPECT_EQ(memory.filterIndex, c.filterIndex) << c.typed;
        EXPECT_EQ(memory.customLabel, c.customLabel) << c.typed;
    }
    FileDialogMemory fresh;
    EXPECT_FALSE(fresh.HasCustomFilter());
    EXPECT_EQ(fresh.filterIndex, 0);
}

}  // namespace
}  // namespace kotoha
