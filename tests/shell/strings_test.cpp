// SPDX-License-Identifier: MIT
#include "shell/strings.h"

#include <gtest/gtest.h>

namespace kotoha {
namespace {

TEST(StringsTest, LookupAndFields) {
    EXPECT_STREQ(LoadString(StringId::kCompanyName), "anonymous");
    EXPECT_STREQ(LoadString(StringId::kAppTitle), "Kotoha");
    EXPECT_STREQ(LoadString(StringId::kOutOfMemory), "実行するためのﾒﾓﾘが足りません。");
    EXPECT_STREQ(LoadString(12345), "");
    EXPECT_EQ(StringField(32771, 0), "外部ｴﾃﾞｨﾀの起動");
    EXPECT_EQ(StringField(32771, 1), "ｴﾃﾞｨﾀの起動");
    EXPECT_EQ(StringField(57616, 1), "");
    EXPECT_EQ(StringField(StringId::kDocTemplate, 1), "無題");
    EXPECT_EQ(StringField(StringId::kDocTemplate, 2), "");
    EXPECT_EQ(StringField(StringId::kDocTemplate, 5), "KOTOHA32");
}

TEST(StringsTest, FormatMessage) {
    EXPECT_EQ(FormatMessage(StringId::kEnterIntegerInRange, "2", "255"),
              "2 から 255 迄の整数を入力してください。");
    EXPECT_EQ(
        FormatMessage(StringId::kFileNotFound, "/a b.txt"),
        "/a b.txt\nこのﾌｧｲﾙが見つかりません。\n正しいﾃﾞｨﾚｸﾄﾘとﾌｧｲﾙ名を確認して入力してください。");
    // An argument holding a placeholder is inserted as it is.
    EXPECT_EQ(FormatMessage(StringId::kSaveChangesQuestion, "%2 100%"),
              "%2 100% への変更を保存しますか？");
    EXPECT_EQ(FormatMessage(StringId::kNotFound, "x"), "見つかりませんでした。");
}

}  // namespace
}  // namespace kotoha
