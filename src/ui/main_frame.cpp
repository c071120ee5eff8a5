// SPDX-License-Identifier: MIT
#include "ui/main_frame.h"

#include "viewmodel/find_next.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>

#include "document/kotoha_doc.h"
#include "shell/command_rules.h"
#include "shell/number_format.h"
#include "shell/strings.h"
#include "ui/command_actions.h"
#include "ui/dialog_support.h"
#include "ui/editor_launcher.h"
#include "ui/encoding_inquiry_dialog.h"
#include "ui/external_editor_dialog.h"
#include "ui/find_dialog.h"
#include "ui/help_window.h"
#include "ui/info_bar.h"
#include "ui/kotoha_app.h"
#include "ui/message_boxes.h"
#include "ui/qt_clipboard.h"
#include "ui/splitter_wnd.h"
#include "ui/status_panes.h"
#include "ui/view_settings_dialog.h"
#include "view/kotoha_view.h"

namespace kotoha {

CMainFrame::CMainFrame(CKotohaApp& app, CKotohaDoc& doc) : app_(app), doc_(doc) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QString::fromUtf8(LoadString(StringId::kAppTitle)));
    setWhatsThis(QString::fromUtf8(LoadString(StringId::kMainWindowWhatsThis)));
    ApplyPlacement();

    commands_ = new CommandActions(this);
    commands_->BuildMenuBar(menuBar());
    for (QMenu* menu : commands_->menus()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        menu->installEventFilter(this);
    }
    connect(commands_, &CommandActions::commandTriggered, this, &CMainFrame::ExecuteCommand);
    commands_->action(CommandId::kReopenWithEncoding)
        ->setVisible(app_.settings().ReopenCommand.value != 0);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setWindowTitle(QString::fromUtf8(StringField(CommandId::kToggleToolBar, 1)));
    toolBar_->setWhatsThis(QString::fromUtf8(LoadString(StringId::kToolBarWhatsThis)));
    commands_->FillToolBar(toolBar_);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The bar's own show/hide menu would bypass the setting.
    toolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    panes_ = std::make_unique<StatusPanes>(statusBar());
    // A double click on the encoding pane reopens the file in another one.
    panes_->Pane(StatusPanes::kEncodingPane)->installEventFilter(this);
    statusBar()->setWhatsThis(QString::fromUtf8(LoadString(StringId::kStatusBarWhatsThis)));
    toolBar_->setVisible(app_.settings().ShowToolBar.value != 0);
    statusBar()->setVisible(app_.settings().ShowStatusBar.value != 0);

    rightClickMenu_ = commands_->BuildRightClickMenu(this);
    connect(rightClickMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    rightClickMenu_->installEventFilter(this);
    separator_ = SystemThousandsSeparator();

    // The information bar sits above the panes, inside the central area.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    infoBar_ = new InfoBar(central);
    column->addWidget(infoBar_);
    connect(infoBar_, &InfoBar::reopenRequested, this, [this](int kind) { Reopen(kind); });
    connect(infoBar_, &InfoBar::closeRequested, this, [this] {
        infoBarDismissed_ = true;
        UpdateOpenNotice();
    });
    splitter_ = new MyCSplitterWnd([this](QWidget* parent) { return CreateView(parent); }, central);
    column->addWidget(splitter_, 1);
    setCentralWidget(central);
    connect(splitter_, &MyCSplitterWnd::rowCountChanged, this, [this](int rows) {
        panes_->SetSplit(rows > 1);
        ShowActivePane(active_);
        UpdateCommandStates();
    });
    MakeActiveView(splitter_->AddFirstPane());

    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::UpdateCommandStates);
    UpdateRecentFiles();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // The views go first: they report to the frame while they are destroyed.
    delete findDialog_;
    active_ = nullptr;
    delete splitter_;
}

CKotohaView* CMainFrame::CreateView(QWidget* parent) {
    auto* view = new CKotohaView(doc_, app_.settings(), *this, parent);
    const QString whatsThis = QString::fromUtf8(LoadString(StringId::kViewWhatsThis));
    view->setWhatsThis(whatsThis);
    view->viewport()->setWhatsThis(whatsThis);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    return view;
}

CKotohaView* CMainFrame::ActiveKotohaView() const {
    return active_;
}

// --- ViewFrame ---

CTextView* CMainFrame::ActiveView() const {
    return active_;
}

void CMainFrame::MakeActiveView(CTextView* view) {
    auto* kotohaView = qobject_cast<CKotohaView*>(view);
    if (kotohaView == nullptr || splitter_->RowOf(kotohaView) < 0)
        return;
    if (active_ != kotohaView) {
        if (active_ != nullptr)
            active_->SetActive(false);
        active_ = kotohaView;
        splitter_->SetActivePane(active_);
        active_->SetActive(true);
    }
    if (!active_->hasFocus())
        active_->setFocus(Qt::OtherFocusReason);
    ShowActivePane(active_);
    const DisplayPos pos = active_->scrollPos();
    ShowLineNumber(active_, pos.line + 1);
    ShowColumnNumber(active_, pos.column + 1);
    UpdateCommandStates();
}

void CMainFrame::ShowLineNumber(const CTextView* view, std::int32_t line) {
    if (view == nullptr || view != active_)
        return;
    // The pane fits the largest line number the text has.
    panes_->FitLineText(FormatLineNumberPane(
        static_cast<std::uint64_t>(std::max(doc_.GetLineCount(), 1)), separator_));
    panes_->SetLineText(
        FormatLineNumberPane(static_cast<std::uint64_t>(std::max(line, 0)), separator_));
}

void CMainFrame::ShowColumnNumber(const CTextView* view, std::int32_t column) {
    if (view == nullptr || view != active_)
        return;
    panes_->SetColumnText(FormatColumnPane(static_cast<std::uint64_t>(std::max(column, 0))));
}

void CMainFrame::ShowLineBreakKind(const CTextView* view, LineBreakKind kind) {
    if (view == nullptr || view != active_)
        return;
    panes_->SetLineBreakKind(kind);
}

void CMainFrame::ShowEncodingKind(const CTextView* view, EncodingKind kind) {
    if (view == nullptr || view != active_)
        return;
    panes_->SetEncodingKind(kind);
}

void CMainFrame::ShowActivePane(const CTextView* view) {
    if (view == nullptr || view != active_)
        return;
    panes_->SetActivePaneRow(splitter_->RowOf(view));
}

QScrollBar* CMainFrame::SharedHorizontalBar() {
    return splitter_->SharedHorizontalBar();
}

QMenu* CMainFrame::RightClickMenu() {
    return rightClickMenu_;
}

void CMainFrame::CloseMainWindow() {
    close();
}

void CMainFrame::LaunchExternalEditor() {
    ExecuteCommand(CommandId::kLaunchEditor);
}

void CMainFrame::ShowMessage(StringId::Id id, MessageKind kind) {
    ShowMessageBox(this, id, kind);
}

void CMainFrame::BeginWaitCursor() {
    kotoha::BeginWaitCursor();
}

void CMainFrame::EndWaitCursor() {
    kotoha::EndWaitCursor();
}

bool CMainFrame::WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                                    const ExtensionTable* table) {
    return kotoha::WriteClipboardText(bytes, length, table);
}

ViewSettingsAnswer CMainFrame::RunViewSettings(ViewSettingsFields& fields) {
    CViewSettingsDlg dialog(fields, this);
    const int result = dialog.exec();
    if (result != QDialog::Accepted && result != CViewSettingsDlg::kDefaultsResult)
        return ViewSettingsAnswer::Cancel;
    fields = dialog.fields();
    return result == CViewSettingsDlg::kDefaultsResult ? ViewSettingsAnswer::ApplyAsDefaults
                                                       : ViewSettingsAnswer::Apply;
}

void CMainFrame::ViewSettingsCommand() {
    if (active_ == nullptr)
        return;
    CKotohaView& view = *active_;
    ViewSettingsFields fields;
    fields.wrapColumn = doc_.wrapColumn;
    fields.tabLength = doc_.tabWidth;
    fields.paintBackground = view.backgroundFlag();
    fields.font = view.logFont();
    fields.styleName = view.fontStyleName();
    ViewSettingsFields chosen = fields;
    const ViewSettingsAnswer answer = RunViewSettings(chosen);
    if (answer == ViewSettingsAnswer::Cancel)
        return;

    if (chosen.wrapColumn != fields.wrapColumn || chosen.tabLength != fields.tabLength) {
        bool built = false;
        {
            WaitCursorScope wait(*this);
            built = doc_.BuildLineIndex(chosen.wrapColumn, chosen.tabLength);
        }
        if (built)
            UpdateAllViews();
        else
            ShowMessageBox(this, StringId::kOutOfMemory, MessageKind::Warning);
    }
    if (chosen.fontChanged)
        view.SetViewFont(chosen.font, chosen.styleName);
    view.SetBackgroundFlag(chosen.paintBackground);

    if (answer == ViewSettingsAnswer::ApplyAsDefaults) {
        AppSettings& settings = app_.settings();
        settings.WrapColumns.value = doc_.wrapColumn;
        settings.Tabstops.value = doc_.tabWidth;
        view.StoreFontSettings();
        settings.PaintBkgnd.value = view.backgroundFlag() ? 1 : 0;
    }
}

// --- What the document reports. ---

void CMainFrame::ShowLineBreakKind(LineBreakKind kind) {
    panes_->SetLineBreakKind(kind);
}

void CMainFrame::ShowEncodingKind(EncodingKind kind) {
    panes_->SetEncodingKind(kind);
}

void CMainFrame::InitialUpdate() {
    for (int row = 0; row < splitter_->RowCount(); ++row)
        splitter_->Pane(row)->OnInitialUpdate();
    // Each open or new document brings its own notice.
    infoBarDismissed_ = false;
    UpdateOpenNotice();
    UpdateTitle();
    UpdateCommandStates();
}

void CMainFrame::UpdateAllViews() {
    for (int row = 0; row < splitter_->RowCount(); ++row)
        splitter_->Pane(row)->OnUpdate();
    UpdateOpenNotice();
    UpdateTitle();
    UpdateCommandStates();
}

void CMainFrame::UpdateOpenNotice() {
    const OpenNotice& notice = doc_.openNotice;
    infoBar_->SetContent(
        infoBarDismissed_
            ? InfoBarContent{}
            : InfoBarContentOf(notice, doc_.encoding, app_.settings().ReopenCommand.value != 0));
    panes_->SetEncodingTip(EncodingPaneTip(notice));
}

void CMainFrame::Reopen(std::int32_t kind) {
    const std::string path = doc_.pathName();
    if (path.empty() || app_.settings().ReopenCommand.value == 0)
        return;
    if (kind < 0) {
        // A run no one watches cannot answer the question.
        if (IsMessageBatchMode())
            return;
        GlobalArray<std::uint8_t> bytes;
        if (!doc_.ReadOwnFile(bytes))
            return;
        kind = InquireEncoding(doc_.encoding, bytes.data(), bytes.capacity(), this,
                               EncodingChoices::All);
        if (kind < 0)
            return;
    }
    // Each pane keeps its top line where the new text is that long.
    std::vector<std::int32_t> topLines;
    for (int row = 0; row < splitter_->RowCount(); ++row)
        topLines.push_back(splitter_->Pane(row)->scrollPos().line);
    if (app_.OpenDocumentFile(path, {app_.requests().openRequest.origin, kind}) == nullptr)
        return;
    const std::int32_t lines = doc_.GetLineCount();
    for (int row = 0; row < splitter_->RowCount() && row < static_cast<int>(topLines.size());
         ++row) {
        const std::int32_t top = topLines[static_cast<std::size_t>(row)];
        if (top > 0 && top < lines)
            splitter_->Pane(row)->ScrollTo(0, top);
    }
}

void CMainFrame::UpdateTitle() {
    QString title = QString::fromUtf8(LoadString(StringId::kAppTitle));
    if (doc_.GetLineCount() > 0 || doc_.title() != app_.untitledName())
        title += QStringLiteral(" - ") + QString::fromStdString(doc_.title());
    setWindowTitle(title);
}

void CMainFrame::UpdateRecentFiles() {
    commands_->SetRecentFiles(app_.recentFiles().Entries());
}

void CMainFrame::UpdateCommandStates() {
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    CommandState state;
    state.hasText = doc_.GetLineCount() > 0;
    state.hasFile = !doc_.pathName().empty();
    state.hasSelection = active_ != nullptr && active_->HasSelection();
    state.clipboardHasText = clip != nullptr && clip->hasText();
    state.hasActiveView = active_ != nullptr;
    state.split = splitter_->RowCount() > 1;
    for (CommandId::Id id : RuledCommands())
        commands_->action(id)->setEnabled(IsCommandEnabled(id, state));
    commands_->action(CommandId::kToggleToolBar)->setChecked(toolBar_->isVisibleTo(this));
    commands_->action(CommandId::kToggleStatusBar)->setChecked(statusBar()->isVisibleTo(this));
}

// --- Commands. ---

void CMainFrame::ExecuteCommand(CommandId::Id id) {
    // A shortcut still fires while its action waits for the next update.
    UpdateCommandStates();
    QAction* action = commands_->action(id);
    if (action != nullptr && !action->isEnabled())
        return;
    switch (id) {
        case CommandId::kToggleToolBar:
            ToggleBar(toolBar_, app_.settings().ShowToolBar.value);
            break;
        case CommandId::kToggleStatusBar:
            ToggleBar(statusBar(), app_.settings().ShowStatusBar.value);
            break;
        case CommandId::kSplit:
            ToggleSplit();
            break;
        case CommandId::kNextPane:
            NextPane();
            break;
        case CommandId::kExit:
            close();
            break;
        case CommandId::kCopy:
            CopySelection();
            break;
        case CommandId::kPaste:
            Paste();
            break;
        case CommandId::kSelectAll:
            if (active_ != nullptr)
                active_->SelectAll();
            break;
        case CommandId::kFind:
            FindCommand();
            break;
        case CommandId::kFileSaveAs:
            SaveDocument(true);
            break;
        case CommandId::kCopyToFile:
            SaveDocument(false);
            break;
        case CommandId::kReopenWithEncoding:
            Reopen(-1);
            break;
        case CommandId::kViewSettings:
            ViewSettingsCommand();
            break;
        case CommandId::kLaunchEditor:
            kotoha::LaunchExternalEditor(app_, *this);
            break;
        case CommandId::kEditorSettings:
            EditExternalEditorSettings(app_.settings(), this);
            break;
        case CommandId::kHelpIndex:
        case CommandId::kHelp:
            ShowHelp(this, HelpPage::Manual);
            break;
        case CommandId::kHelpUsing:
            ShowHelp(this, HelpPage::HowToUse);
            break;
        case CommandId::kContextHelp:
            QWhatsThis::enterWhatsThisMode();
            break;
        default:
            app_.OnCommand(id);
            break;
    }
    UpdateCommandStates();
}

void CMainFrame::ToggleBar(QWidget* bar, int& setting) {
    const bool show = !bar->isVisibleTo(this);
    bar->setVisible(show);
    setting = show ? 1 : 0;
}

void CMainFrame::ToggleSplit() {
    CKotohaView* view = splitter_->ToggleSplit(active_);
    if (view != nullptr)
        MakeActiveView(view);
}

void CMainFrame::NextPane() {
    if (CKotohaView* other = splitter_->OtherPane(active_))
        MakeActiveView(other);
}

void CMainFrame::CopySelection() {
    if (active_ != nullptr)
        active_->CopySelection();
}

void CMainFrame::Paste() {
    if (active_ != nullptr)
        active_->Paste(app_.clipboard(), app_);
}

void CMainFrame::FindCommand() {
    const std::string text = active_ != nullptr ? active_->InitialFindText() : std::string();
    if (!OpenFindDialog(text))
        ShowMessageBox(this, StringId::kOutOfMemory, MessageKind::Warning);
}

void CMainFrame::SaveDocument(bool replace) {
    doc_.DoSave(std::nullopt, replace,
                replace ? SavePromptMode::SaveAs : SavePromptMode::CopySelection, app_);
}

bool CMainFrame::OpenFindDialog(const std::string& initialText) {
    if (findDialog_ != nullptr) {
        findDialog_->show();
        findDialog_->raise();
        findDialog_->activateWindow();
        return true;
    }
    auto* dialog = new CFindDlg(initialText, &doc_.extensions, this);
    connect(dialog, &CFindDlg::findNext, this, &CMainFrame::RelayFind);
    connect(dialog, &CFindDlg::closing, this, [this] { findDialog_ = nullptr; });
    findDialog_ = dialog;
    dialog->show();
    return true;
}

void CMainFrame::RelayFind(const FindRequest& request) {
    if (active_ != nullptr)
        active_->FindNext(request);
    // The new selection may enable copying.
    UpdateCommandStates();
    if (findDialog_ == nullptr)
        return;
    // The dialog moves off the match it found, and keeps the focus, so that
    // Enter finds the next and Escape closes it.
    DisplayPos lo;
    DisplayPos hi;
    if (active_ != nullptr) {
        active_->GetSelection(lo, hi);
        if (lo.line != hi.line || lo.column != hi.column) {
            const int top = active_->scrollPos().line;
            const QPoint origin = active_->viewport()->mapToGlobal(
                QPoint(0, (lo.line - top) * active_->lineHeight()));
            const ScreenBox match{origin.x(), origin.y(), active_->viewport()->width(),
                                  (hi.line - lo.line + 1) * active_->lineHeight()};
            const QRect frame = findDialog_->frameGeometry();
            const QRect screen = findDialog_->screen()->availableGeometry();
            const ScreenBox placed =
                DialogBesideMatch({frame.x(), frame.y(), frame.width(), frame.height()}, match,
                                  {screen.x(), screen.y(), screen.width(), screen.height()});
            if (placed.top != frame.y())
                findDialog_->move(placed.left, placed.top);
        }
    }
    findDialog_->raise();
    findDialog_->activateWindow();
}

// --- Window events. ---

void CMainFrame::ApplyPlacement() {
    const AppSettings& settings = app_.settings();
    const std::vector<std::int32_t>& rect = settings.FramePosition.values;
    const bool usable = settings.SaveFrameStatus.value == 1 && rect.size() == 4 &&
                        rect[0] < rect[2] && rect[1] < rect[3];
    if (!usable) {
        // The default size, centred on the screen.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(CentredOn(*screen, QSize(720, 540)));
        else
            resize(720, 540);
        return;
    }
    if (app_.firstInstance()) {
        setGeometry(FitOnScreen(QRect(rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1])));
    } else {
        resize(FitOnScreen(QRect(0, 0, rect[2] - rect[0], rect[3] - rect[1])).size());
    }
}

void CMainFrame::SavePlacement() {
    AppSettings& settings = app_.settings();
    if (!app_.firstInstance() || settings.SaveFrameStatus.value != 1)
        return;
    QRect rect = normalGeometry();
    if (!rect.isValid())
        rect = geometry();
    settings.FramePosition.values = {rect.left(), rect.top(), rect.left() + rect.width(),
                                     rect.top() + rect.height()};
    settings.FrameIsMax.value = isMaximized() ? 1 : 0;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!doc_.SaveModified(app_)) {
        event->ignore();
        return;
    }
    SavePlacement();
    if (findDialog_ != nullptr)
        findDialog_->close();
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        separator_ = SystemThousandsSeparator();
        if (active_ != nullptr)
            active_->OnLocaleChange();
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
    QMainWindow::dragEnterEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    if (paths.empty())
        return;
    event->acceptProposedAction();
    activateWindow();
    app_.OnDropFiles(paths);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
            if (auto* view = qobject_cast<CKotohaView*>(watched); view != nullptr)
                MakeActiveView(view);
            break;
        case QEvent::MouseMove:
            // Qt shows the prompt of enabled items only; a greyed item tells
            // as much about what it would do.
            if (auto* menu = qobject_cast<QMenu*>(watched); menu != nullptr) {
                const QAction* action =
                    menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
                if (action != nullptr && !action->isEnabled() && !action->statusTip().isEmpty())
                    statusBar()->showMessage(action->statusTip());
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (watched == panes_->Pane(StatusPanes::kEncodingPane) &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                ExecuteCommand(CommandId::kReopenWithEncoding);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
            // The selection may have changed.
            UpdateCommandStates();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kotoha
