// SPDX-License-Identifier: MIT
#include "shell/settings.h"

#include <gtest/gtest.h>

#include "fake_profile.h"
#include "shell/ini_profile.h"

namespace kotoha {
namespace {

using test::FakeProfile;
using Values = std::vector<std::int32_t>;

TEST(SettingsTest, FreshProfileLoadsDefaultsAndSavesEveryKeyInOrder) {
    FakeProfile profile;
    AppSettings settings;
    settings.LoadAll(profile);
    EXPECT_EQ(settings.WrapColumns.value, 80);
    EXPECT_EQ(settings.FramePosition.values, Values(4, -1));
    EXPECT_EQ(settings.FontStyle.value, "標準");
    EXPECT_EQ(settings.Arguments.value, "$file");

    settings.SaveAll(profile);
    const std::vector<FakeProfile::Key> expected = {
        {"Window", "SaveFrameStatus"},
        {"Window", "FramePosition"},
        {"Window", "FrameIsMax"},
        {"Window", "ShowToolBar"},
        {"Window", "ShowStatusBar"},
        {"View", "Tabstops"},
        {"View", "WrapColumns"},
        {"View", "PaintBkgnd"},
        {"View", "LogFont"},
        {"View", "FontName"},
        {"View", "FontStyle"},
        {"AnalyzeEncoding", "InquireWhenStrayed"},
        {"AnalyzeEncoding", "PreferWinText"},
        {"AnalyzeEncoding", "DetectUnicode"},
        {"AnalyzeEncoding", "ShowInfoBar"},
        {"ExternalEditor", "Path"},
        {"ExternalEditor", "ViaClipboard"},
        {"ExternalEditor", "Arguments"},
        {"Etc", "ResembleLess"},
        {"Etc", "InquireWhenPaste"},
        {"Etc", "AskBeforeLoss"},
        {"Etc", "ReopenCommand"},
        {"Etc", "SaveAsOwnFormat"},
    };
    EXPECT_EQ(profile.writes, expected);
    EXPECT_EQ(profile.Get("Window", "FramePosition"), "-1,-1,-1,-1");
    EXPECT_EQ(profile.Get("View", "LogFont"), "-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1");
    EXPECT_EQ(profile.Get("View", "FontName"), "");
    EXPECT_EQ(profile.Get("ExternalEditor", "Path"), "xdg-open");
    EXPECT_EQ(profile.Get("AnalyzeEncoding", "DetectUnicode"), "1");
}

TEST(SettingsTest, ParseListText) {
    struct Case {
        const char* text;
        std::size_t count;
        Values expected;
    };
    const Case cases[] = {
        {"10,20", 4, {10, 20, 0, 0}},
        {"1,2,3,4,5", 4, {1, 2, 3, 4}},
        {"", 4, {0, 0, 0, 0}},
        {"5", 3, {5, 0, 0}},
        {"1,,3", 3, {1, 0, 3}},
        {" 7,\t-3,x9,+4", 4, {7, -3, 0, 4}},
        {"12abc,34", 2, {12, 34}},
        {"-", 1, {0}},
        {"99999999999,-99999999999", 2, {INT32_MAX, INT32_MIN}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntListSetting::Parse(c.text, c.count), c.expected) << c.text;
    }
}

TEST(SettingsTest, FormatListText) {
    EXPECT_EQ(IntListSetting::Format({10, -20, 0, 2147483647}), "10,-20,0,2147483647");
    EXPECT_EQ(IntListSetting::Format({INT32_MIN}), "-2147483648");
    EXPECT_EQ(IntListSetting::Format({}), "");
}

TEST(SettingsTest, OverlongListIsTruncatedOnTheNextSave) {
    FakeProfile profile;
    profile.entries[{"Window", "FramePosition"}] = "1,2,3,4,5";
    AppSettings settings;
    settings.LoadAll(profile);
    EXPECT_EQ(settings.FramePosition.values, (Values{1, 2, 3, 4}));
    settings.SaveAll(profile);
    EXPECT_EQ(profile.Get("Window", "FramePosition"), "1,2,3,4");
}

TEST(SettingsTest, LogFontByteFieldsUseTheLowByte) {
    FakeProfile profile;
    profile.entries[{"View", "LogFont"}] = "-16,0,0,0,400,0,0,0,384,0,0,0,-1";
    AppSettings settings;
    settings.LoadAll(profile);
    const Values& font = settings.LogFont.values;
    EXPECT_EQ(font[LogFontIndex::kWidth], 0);  // a chosen font
    EXPECT_EQ(LowByte(font[LogFontIndex::kCharSet]), 128);
    EXPECT_EQ(LowByte(font[LogFontIndex::kPitchAndFamily]), 255);
}

TEST(SettingsTest, EmptyStringStaysEmptyAndMissingKeyGivesDefault) {
    FakeProfile profile;
    profile.entries[{"ExternalEditor", "Arguments"}] = "";
    AppSettings settings;
    settings.LoadAll(profile);
    EXPECT_EQ(settings.Arguments.value, "");
    EXPECT_EQ(settings.Path.value, "xdg-open");
}

TEST(SettingsTest, OverlongTextsAreCutAtACharacterBoundary) {
    // 257 ASCII bytes and a three-byte character: the character would end
    // at byte 260, so it is dropped whole.
    const std::string name = std::string(257, 'a') + "あ";
    FakeProfile profile;
    profile.entries[{"View", "FontName"}] = name;
    // The list's second value lies beyond the limit and is lost with it.
    profile.entries[{"Window", "FramePosition"}] = "1," + std::string(300, ' ') + "2";
    AppSettings settings;
    settings.LoadAll(profile);
    EXPECT_EQ(settings.FontName.value, std::string(257, 'a'));
    EXPECT_EQ(settings.FramePosition.values, (Values{1, 0, 0, 0}));

    settings.Path.Set(std::string(258, 'b') + "é");  // é ends at byte 260
    EXPECT_EQ(settings.Path.value.size(), 258u);
    settings.Path.Set(std::string(257, 'b') + "é");  // ends exactly at 259
    EXPECT_EQ(settings.Path.value.size(), 259u);
}

TEST(SettingsTest, CutUtf8) {
    EXPECT_EQ(CutUtf8("abc", 5), "abc");
    EXPECT_EQ(CutUtf8("ab\xE3\x81\x82", 4), "ab");
    EXPECT_EQ(CutUtf8("ab\xE3\x81\x82", 5), "ab\xE3\x81\x82");
    // Not UTF-8: a run of continuation bytes is cut at the plain limit.
    EXPECT_EQ(CutUtf8("\x80\x80\x80\x80\x80\x80", 5), "\x80\x80\x80\x80\x80");
}

// Two instances: the one that ends last writes only what it changed, so
// what the other saved meanwhile stays.
TEST(SettingsTest, SaveChangedWritesOnlyThisInstancesChanges) {
    IniProfile atStart;
    atStart.Parse("[View]\nTabstops=4\nWrapColumns=80\n");
    AppSettings settings;
    settings.LoadAll(atStart);
    IniProfile before;
    settings.SaveAll(before);
    settings.WrapColumns.value = 60;
    // The other instance changed the tab width on disk meanwhile.
    IniProfile onDisk;
    onDisk.Parse("[View]\nTabstops=2\nWrapColumns=80\n");
    settings.SaveChanged(onDisk, before);
    EXPECT_EQ(onDisk.ReadInt("View", "Tabstops", 0), 2);
    EXPECT_EQ(onDisk.ReadInt("View", "WrapColumns", 0), 60);
    EXPECT_EQ(onDisk.ReadString("Etc", "ReopenCommand", "absent"), "absent");
}

}  // namespace
}  // namespace kotoha
