// SPDX-License-Identifier: MIT
// The main window: menus, toolbar, the ten status-bar panes, the splitter
// with its views, the find dialog and the right-click menu. It places itself
// from the saved placement, stores it when it closes, opens dropped files
// and keeps every command's enabled state current.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>

#include "codec/byte_class.h"
#include "shell/command_ids.h"
#include "ui/find_dialog.h"
#include "ui/view_settings_fields.h"
#include "view/view_frame.h"

class QToolBar;

namespace kotoha {

class CKotohaApp;
class CKotohaDoc;
class CKotohaView;
class CommandActions;
class InfoBar;
class MyCSplitterWnd;
class StatusPanes;

class CMainFrame : public QMainWindow, public ViewFrame {
    Q_OBJECT

  public:
    CMainFrame(CKotohaApp& app, CKotohaDoc& doc);
    ~CMainFrame() override;

    // --- ViewFrame ---
    CTextView* ActiveView() const override;
    void MakeActiveView(CTextView* view) override;
    void ShowLineNumber(const CTextView* view, std::int32_t line) override;
    void ShowColumnNumber(const CTextView* view, std::int32_t column) override;
    void ShowLineBreakKind(const CTextView* view, LineBreakKind kind) override;
    void ShowEncodingKind(const CTextView* view, EncodingKind kind) override;
    void ShowActivePane(const CTextView* view) override;
    QScrollBar* SharedHorizontalBar() override;
    QMenu* RightClickMenu() override;
    void CloseMainWindow() override;
    void LaunchExternalEditor() override;
    void ShowMessage(StringId::Id id, MessageKind kind) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                            const ExtensionTable* table) override;

    // --- What the document reports. ---
    void ShowLineBreakKind(LineBreakKind kind);
    void ShowEncodingKind(EncodingKind kind);
    // First show of the document in every pane.
    void InitialUpdate();
    // The document changed: every pane re-reads it.
    void UpdateAllViews();
    // "Kotoha - title" while the document has something to show, else
    // "Kotoha" alone.
    void UpdateTitle();
    void UpdateRecentFiles();
    // Shows the document's open notice in the information bar (unless the
    // user closed it since the open) and the encoding pane's tooltip.
    void UpdateOpenNotice();
    // Reads the document's file again in kind, or in the kind the user picks
    // from a preview of its bytes when kind is -1, asking first to save a
    // modified document; each pane keeps its top line.
    void Reopen(std::int32_t kind);
    // Re-evaluates every command's enabling rule.
    void UpdateCommandStates();

    // Brings an open find dialog to the front, or opens one with
    // initialText (Shift-JIS) and the direction down. False when none could
    // be opened.
    bool OpenFindDialog(const std::string& initialText);
    CFindDlg* findDialog() const { return findDialog_; }

    // Runs a command as its menu item would.
    void ExecuteCommand(CommandId::Id id);

    CommandActions& commands() const { return *commands_; }
    StatusPanes& panes() const { return *panes_; }
    InfoBar& infoBar() const { return *infoBar_; }
    MyCSplitterWnd& splitter() const { return *splitter_; }
    QToolBar* toolBar() const { return toolBar_; }
    const std::string& thousandsSeparator() const { return separator_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CKotohaView* CreateView(QWidget* parent);
    CKotohaView* ActiveKotohaView() const;
    void ApplyPlacement();
    void SavePlacement();
    void ToggleBar(QWidget* bar, int& setting);
    void ToggleSplit();
    void NextPane();
    void CopySelection();
    void Paste();
    void FindCommand();
    void SaveDocument(bool replace);
    // The view settings dialog on the active view and the document's
    // layout; its answer applied, and with Defaults stored in the settings.
    void ViewSettingsCommand();
    ViewSettingsAnswer RunViewSettings(ViewSettingsFields& fields);
    void RelayFind(const FindRequest& request);

    CKotohaApp& app_;
    CKotohaDoc& doc_;
    CommandActions* commands_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::unique_ptr<StatusPanes> panes_;
    MyCSplitterWnd* splitter_ = nullptr;
    InfoBar* infoBar_ = nullptr;
    bool infoBarDismissed_ = false;
    QMenu* rightClickMenu_ = nullptr;
    CKotohaView* active_ = nullptr;
    QPointer<CFindDlg> findDialog_;
    std::string separator_ = ",";
};

}  // namespace kotoha
