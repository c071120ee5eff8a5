// SPDX-License-Identifier: MIT
// A main frame that records what the views report and hands them a shared
// horizontal bar and a right-click menu. Like the real frame it keeps
// reports only from the active view.
#pragma once

#include <string>
#include <vector>

#include <QMenu>
#include <QScrollBar>

#include "document/fake_host.h"
#include "shell/settings.h"
#include "view/text_view.h"
#include "view/view_frame.h"

namespace kotoha::testing {

// A document whose settings are the application's, as a view reads them.
using AppDocFixture = BasicDocFixture<AppSettings, &DocumentOptionsOf>;

class FakeFrame : public ViewFrame {
  public:
    CTextView* active = nullptr;
    std::vector<std::int32_t> lineNumbers;
    std::vector<std::int32_t> columnNumbers;
    std::vector<EncodingKind> encodings;
    std::vector<LineBreakKind> lineBreaks;
    std::vector<const CTextView*> activePanes;
    int droppedReports = 0;
    int closes = 0;
    int launches = 0;
    std::vector<StringId::Id> messages;
    int waitDepth = 0;
    std::string clipboard;
    QScrollBar bar{Qt::Horizontal};
    QMenu menu;

    FakeFrame() { menu.addAction(QStringLiteral("copy")); }

    CTextView* ActiveView() const override { return active; }
    void MakeActiveView(CTextView* view) override {
        if (view == active)
            return;
        if (active != nullptr)
            active->SetActive(false);
        active = view;
        if (view != nullptr)
            view->SetActive(true);
    }
    void ShowLineNumber(const CTextView* view, std::int32_t line) override {
        if (Keep(view))
            lineNumbers.push_back(line);
    }
    void ShowColumnNumber(const CTextView* view, std::int32_t column) override {
        if (Keep(view))
            columnNumbers.push_back(column);
    }
    void ShowLineBreakKind(const CTextView* view, LineBreakKind kind) override {
        if (Keep(view))
            lineBreaks.push_back(kind);
    }
    void ShowEncodingKind(const CTextView* view, EncodingKind kind) override {
        if (Keep(view))
            encodings.push_back(kind);
    }
    void ShowActivePane(const CTextView* view) override {
        if (Keep(view))
            activePanes.push_back(view);
    }
    QScrollBar* SharedHorizontalBar() override { return &bar; }
    QMenu* RightClickMenu() override { return &menu; }
    void CloseMainWindow() override { ++closes; }
    void LaunchExternalEditor() override { ++launches; }
    void ShowMessage(StringId::Id id, MessageKind) override { messages.push_back(id); }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }
    bool WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                            const ExtensionTable*) override {
        clipboard.assign(reinterpret_cast<const char*>(bytes), length);
        return true;
    }

  private:
    bool Keep(const CTextView* view) {
        if (view == active)
            return true;
        ++droppedReports;
        return false;
    }
};

}  // namespace kotoha::testing
