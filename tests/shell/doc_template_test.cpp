// SPDX-License-Identifier: MIT
// The document template's open and new-document steps and its
// recently-used rule.
#include "shell/doc_template.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "shell/settings.h"

namespace kotoha {
namespace {

using testing::AllocationFaultScope;
using testing::FakeHost;
using testing::TempDir;

constexpr const char* kTemplateString =
    "Kotoha\nUntitled\n\nText files (*.txt)\n.txt\nKOTOHA32\nKotoha text";

class FakeFrames : public FrameHost {
  public:
    bool createSucceeds = true;
    bool hasMainWindow = false;
    std::vector<std::string> calls;

    bool CreateFrame(CKotohaDoc&) override {
        calls.push_back("create");
        return createSucceeds;
    }
    void DestroyFrame() override { calls.push_back("destroy"); }
    bool HasMainWindow() override { return hasMainWindow; }
    void SetMainWindowToFrame() override {
        calls.push_back("main");
        hasMainWindow = true;
    }
    void InitialUpdateFrame(CKotohaDoc&, bool visible) override {
        calls.push_back(visible ? "update visible" : "update");
    }
};

struct TemplateFixture {
    AppSettings settings;
    RequestRecords requests;
    FakeHost host{&requests};
    FakeFrames frames;
    const char* temp = nullptr;
    bool factoryFails = false;
    TempDir dir;
    MyCSingleDocTemplate docTemplate{DocTemplateStrings::Parse(kTemplateString),
                                     [this]() -> std::unique_ptr<CKotohaDoc> {
                                         if (factoryFails)
                                             return nullptr;
                                         return std::make_unique<CKotohaDoc>(
                                             [this] { return DocumentOptionsOf(settings); },
                                             requests, host);
                                     },
                                     frames, host, [this] { return temp; }};

    CKotohaDoc* Open(const std::string& path, OpenOrigin origin = OpenOrigin::FileDialog) {
        return docTemplate.OpenDocumentFile(path, true, {origin, -1});
    }
};

TEST(DocTemplateStrings, ParsesTheSevenFields) {
    const DocTemplateStrings s = DocTemplateStrings::Parse(kTemplateString);
    EXPECT_EQ(s.windowTitle, "Kotoha");
    EXPECT_EQ(s.docName, "Untitled");
    EXPECT_EQ(s.fileNewName, "");
    EXPECT_EQ(s.filterExt, ".txt");
    EXPECT_EQ(s.regFileTypeName, "Kotoha text");
    EXPECT_EQ(DocTemplateStrings::Parse("A\nB").filterExt, "");
}

TEST(ShouldAddToRecentList, Table) {
    struct Case {
        OpenOrigin origin;
        const char* temp;
        const char* path;
        bool add;
    };
    const Case cases[] = {
        {OpenOrigin::CommandLine, "/tmp/TEMP", "/TMP/temp/x.txt", false},
        {OpenOrigin::FileDialog, "/tmp/TEMP", "/tmp/TEMP/x.txt", true},
        {OpenOrigin::DroppedFile, "/tmp/TEMP", "/tmp/TEMP/x.txt", true},
        {OpenOrigin::CommandLine, nullptr, "/tmp/TEMP/x.txt", true},
        {OpenOrigin::CommandLine, "", "/tmp/x.txt", true},
        {OpenOrigin::CommandLine, "/d/T", "/d/TEXT/a.txt", false},  // a plain prefix test
        {OpenOrigin::CommandLine, "/d/T", "/e/T/a.txt", true},
        {OpenOrigin::CommandLine, "/long/prefix", "/long", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShouldAddToRecentList(c.origin, c.temp, c.path), c.add) << c.path;
    }
}

TEST(OpenDocumentFile, FirstNewDocumentCreatesDocumentAndFrame) {
    TemplateFixture f;
    CKotohaDoc* doc = f.docTemplate.OpenDocumentFile(std::nullopt, true);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->title(), "Untitled");
    EXPECT_EQ(doc->GetLineCount(), 0);
    EXPECT_EQ(f.frames.calls, (std::vector<std::string>{"create", "main", "update visible"}));
    EXPECT_EQ(doc->documentNames().defaultExtension, ".txt");
    // The second call reuses both.
    EXPECT_EQ(f.docTemplate.OpenDocumentFile(std::nullopt, false), doc);
    EXPECT_EQ(f.frames.calls.size(), 4u);
}

TEST(OpenDocumentFile, CreationFailures) {
    TemplateFixture f;
    f.factoryFails = true;
    EXPECT_EQ(f.docTemplate.OpenDocumentFile(std::nullopt, true), nullptr);
    f.factoryFails = false;
    f.frames.createSucceeds = false;
    EXPECT_EQ(f.docTemplate.OpenDocumentFile(std::nullopt, true), nullptr);
    EXPECT_EQ(f.docTemplate.document(), nullptr);
    ASSERT_EQ(f.host.messages.size(), 2u);
    EXPECT_EQ(f.host.messages[0].id, StringId::kCreateEmptyFailed);
    EXPECT_EQ(f.host.messages[1].id, StringId::kCreateEmptyFailed);
}

TEST(OpenDocumentFile, OpensAndAppliesTheRecentRule) {
    TemplateFixture f;
    const std::string file = f.dir.Write("a.txt", "abc");
    f.temp = "/nowhere";
    CKotohaDoc* doc = f.Open(file);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->pathName(), file);
    EXPECT_EQ(doc->title(), "a.txt");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(f.host.recent, std::vector<std::string>{file});

    f.temp = f.dir.path().c_str();
    ASSERT_NE(f.Open(file, OpenOrigin::CommandLine), nullptr);
    EXPECT_EQ(f.host.recent.size(), 1u);  // under TEMP from the command line: not added
    ASSERT_NE(f.Open(file, OpenOrigin::DroppedFile), nullptr);
    EXPECT_EQ(f.host.recent.size(), 2u);
    EXPECT_EQ(f.host.waitDepth, 0);
}

TEST(OpenDocumentFile, FailedOpenBeforeAnyChangeKeepsTheDocument) {
    TemplateFixture f;
    CKotohaDoc* doc = f.Open(f.dir.Write("a.txt", "keep"));
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag(true);
    f.host.yesNoCancelAnswer = Answer::No;
    const std::size_t updates = f.frames.calls.size();
    EXPECT_EQ(f.Open(f.dir.Path("missing.txt")), nullptr);
    EXPECT_EQ(doc->GetLineCount(), 1);
    EXPECT_TRUE(doc->IsModified());  // the remembered flag is restored
    EXPECT_EQ(doc->title(), "a.txt");
    EXPECT_EQ(f.frames.calls.size(), updates);
}

TEST(OpenDocumentFile, FailedOpenAfterTheDocumentChangedStartsANewOne) {
    TemplateFixture f;
    CKotohaDoc* doc = f.Open(f.dir.Write("a.txt", "old"));
    ASSERT_NE(doc, nullptr);
    const std::string other = f.dir.Write("b.txt", "other");
    {
        AllocationFaultScope fail(0, 1);
        EXPECT_EQ(f.Open(other), nullptr);
    }
    EXPECT_EQ(doc->GetLineCount(), 0);
    EXPECT_EQ(doc->title(), "Untitled");
    EXPECT_EQ(doc->pathName(), "");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(f.frames.calls.back(), "update visible");
}

TEST(OpenDocumentFile, FailedFirstOpenDestroysFrameAndDocument) {
    TemplateFixture f;
    EXPECT_EQ(f.Open(f.dir.Path("missing.txt")), nullptr);
    EXPECT_EQ(f.docTemplate.document(), nullptr);
    EXPECT_EQ(f.frames.calls, (std::vector<std::string>{"create", "destroy"}));
}

TEST(OpenDocumentFile, CancelledSaveQuestionKeepsEverything) {
    TemplateFixture f;
    CKotohaDoc* doc = f.Open(f.dir.Write("a.txt", "keep"));
    doc->SetModifiedFlag(true);
    f.host.yesNoCancelAnswer = Answer::Cancel;
    EXPECT_EQ(f.docTemplate.OpenDocumentFile(std::nullopt, true), nullptr);
    EXPECT_EQ(f.host.questions, std::vector<StringId::Id>{StringId::kSaveChangesQuestion});
    EXPECT_EQ(doc->GetLineCount(), 1);
    EXPECT_TRUE(doc->IsModified());
}

}  // namespace
}  // namespace kotoha
