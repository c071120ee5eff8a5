// SPDX-License-Identifier: MIT
// The application: start-up (instance lock, profile, settings, template,
// command line), the one open operation every path goes through, File Open
// with its filter memory, the recently-used list, the About box, and the
// exit that writes the settings back. It is also the document's window
// layer (message boxes, wait cursor, views, status bar) and makes the main
// frame for the template.
#pragma once

#include <QObject>
#include <QTranslator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document_host.h"
#include "document/requests.h"
#include "shell/command_ids.h"
#include "shell/command_line.h"
#include "shell/doc_template.h"
#include "shell/file_dialog.h"
#include "shell/ini_profile.h"
#include "shell/instance_lock.h"
#include "shell/recent_files.h"
#include "shell/settings.h"
#include "ui/qt_clipboard.h"

namespace kotoha {

class CMainFrame;

class CKotohaApp : public QObject, public DocumentHost, public FrameHost {
    Q_OBJECT

  public:
    // A QApplication must exist already.
    CKotohaApp();
    ~CKotohaApp() override;

    // Start-up with the scanned command line. True when the program should
    // run its event loop (a main window exists). A screenshot run answers
    // every question with its default and fails when its file did not open.
    bool InitInstance(const CommandLineArgs& args);
    // Writes every setting and the recently-used list back to the profile
    // (not in a screenshot run) and releases the instance lock. Returns the
    // exit status.
    int ExitInstance();

    // The one open operation: opens path (made absolute) into the document
    // as request says (why, and the encoding forced if any), and remembers
    // the request for a reopen. Null when it failed.
    CKotohaDoc* OpenDocumentFile(const std::string& path, const OpenRequest& request);

    // Runs a command the application handles; false for other ids.
    bool OnCommand(CommandId::Id id);
    // Opens each file in turn as dropped on the main window.
    void OnDropFiles(const std::vector<std::string>& paths);
    // The text of the About box's memory field ("16,323,632 KB").
    std::string MemoryText() const;

    bool firstInstance() const { return firstInstance_; }
    AppSettings& settings() { return settings_; }
    RequestRecords& requests() { return requests_; }
    const RecentFileList& recentFiles() const { return recent_; }
    FileDialogMemory& openMemory() { return openMemory_; }
    FileDialogMemory& saveMemory() { return saveMemory_; }
    IniProfile& profile() { return profile_; }
    QtClipboard& clipboard() { return clipboard_; }
    CMainFrame* mainFrame() const { return frame_.get(); }
    CKotohaDoc* document() const;
    // The title of an untitled document.
    std::string untitledName() const;

    // --- UserInterface ---
    void ShowMessage(StringId::Id id, MessageKind kind, std::string_view argument = {},
                     std::string_view argument2 = {}) override;
    bool AskYesNo(StringId::Id id, std::string_view argument = {},
                  std::string_view argument2 = {}) override;
    Answer AskYesNoCancel(StringId::Id id, std::string_view argument) override;
    std::int32_t InquireEncoding(EncodingKind detected, const std::uint8_t* bytes,
                                 std::uint32_t length) override;
    std::optional<SaveFormatChoice> AskSaveFileName(std::string& fileName, StringId::Id titleId,
                                                    SavePromptMode mode) override;
    std::optional<SaveFormatChoice> AskSaveFormat(SavePromptMode mode) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RestoreWaitCursor() override;

    // --- DocumentHost ---
    void UpdateAllViews() override;
    void ShowEncodingKind(EncodingKind kind) override;
    void ShowLineBreakKind(LineBreakKind kind) override;
    void TitleChanged(const std::string& title) override;
    void AddToRecentFileList(const std::string& path) override;
    void GetActiveSelection(DisplayPos& lo, DisplayPos& hi) override;
    bool StartNewDocument() override;

    // --- FrameHost ---
    bool CreateFrame(CKotohaDoc& doc) override;
    void DestroyFrame() override;
    bool HasMainWindow() override;
    void SetMainWindowToFrame() override;
    void InitialUpdateFrame(CKotohaDoc& doc, bool makeVisible) override;

  private:
    void OnFileOpen();
    void OnRecentFile(int index);
    void OnAbout();
    void NewDocument();

    InstanceLock lock_;
    bool firstInstance_ = false;
    IniProfile profile_;
    // The settings and the recent files as they were read at start.
    IniProfile settingsAtStart_;
    IniProfile recentAtStart_;
    AppSettings settings_;
    RecentFileList recent_;
    RequestRecords requests_;
    FileDialogMemory openMemory_;
    FileDialogMemory saveMemory_;
    // The document (and its file) the last save-format answer was given
    // for: only for another does Save As start from the document's own
    // format.
    const CKotohaDoc* formatAnsweredFor_ = nullptr;
    std::string formatAnsweredPath_;
    QtClipboard clipboard_;
    QTranslator qtTranslator_;
    bool showMaximized_ = false;
    bool hasMainWindow_ = false;
    bool exited_ = false;
    bool batch_ = false;  // --screenshot: no questions, no profile writes
    // The frame goes before the template, whose document the views show.
    std::unique_ptr<MyCSingleDocTemplate> template_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace kotoha
