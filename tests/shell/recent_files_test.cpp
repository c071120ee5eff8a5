// SPDX-License-Identifier: MIT
#include "shell/recent_files.h"

#include <gtest/gtest.h>

#include "fake_profile.h"

namespace kotoha {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFilesTest, AddKeepsFourDistinctPathsMostRecentFirst) {
    struct Case {
        Paths added;  // in the order they are opened
        Paths expected;
    };
    const Case cases[] = {
        {{"/a"}, {"/a"}},
        {{"/a", "/b", "/c", "/d", "/e"}, {"/e", "/d", "/c", "/b"}},
        {{"/a", "/b", "/c", "/a"}, {"/a", "/c", "/b"}},
        {{"/a", "/b", "/c", "/d", "/b"}, {"/b", "/d", "/c", "/a"}},
        // Exact comparison: letter case and a trailing slash make another path.
        {{"/a", "/A", "/a/"}, {"/a/", "/A", "/a"}},
        {{"/a", ""}, {"/a"}},
    };
    for (const Case& c : cases) {
        RecentFileList list;
        for (const std::string& path : c.added)
            list.Add(path);
        EXPECT_EQ(list.Entries(), c.expected) << c.added.size();
    }
}

TEST(RecentFilesTest, LoadSkipsGapsAndRepeats) {
    test::FakeProfile profile;
    profile.entries[{"Recent File List", "File1"}] = "/x y.txt";
    profile.entries[{"Recent File List", "File2"}] = "";
    profile.entries[{"Recent File List", "File3"}] = "/x y.txt";
    profile.entries[{"Recent File List", "File4"}] = "/z.txt";
    profile.entries[{"Recent File List", "File5"}] = "/ignored.txt";
    RecentFileList list;
    list.Load(profile);
    EXPECT_EQ(list.Entries(), (Paths{"/x y.txt", "/z.txt"}));
}

TEST(RecentFilesTest, SaveRemovesStalePlaces) {
    test::FakeProfile profile;
    for (int i = 1; i <= 4; ++i) {
        profile.entries[{"Recent File List", "File" + std::to_string(i)}] = "/old";
    }
    RecentFileList list;
    list.Add("/b");
    list.Add("/a");
    list.Save(profile);
    EXPECT_EQ(profile.entries,
              (std::map<test::FakeProfile::Key, std::string>{
                  {{"Recent File List", "File1"}, "/a"}, {{"Recent File List", "File2"}, "/b"}}));
    RecentFileList reloaded;
    reloaded.Load(profile);
    EXPECT_EQ(reloaded.Entries(), list.Entries());
    EXPECT_TRUE(reloaded.Remove("/a"));
    EXPECT_FALSE(reloaded.Remove("/a"));
    EXPECT_EQ(reloaded.Entries(), Paths{"/b"});
}

}  // namespace
}  // namespace kotoha
