// SPDX-License-Identifier: MIT
#include "ui/editor_launcher.h"

#include <QFile>
#include <QProcess>
#include <cstdlib>

#include "document/kotoha_doc.h"
#include "shell/external_editor.h"
#include "ui/kotoha_app.h"
#include "ui/main_frame.h"
#include "ui/message_boxes.h"
#include "view/kotoha_view.h"

namespace kotoha {

bool StartDetachedProgram(const std::vector<std::string>& argv) {
    // The words go over as bytes: a file name that is no valid UTF-8 must
    // reach the editor unchanged.
    return StartDetached(argv);
}

namespace {

// The editor the desktop offers for text files, never this viewer itself:
// $VISUAL, else the first other handler "gio mime text/plain" names.
std::string DesktopEditor() {
    QProcess gio;
    gio.start(QStringLiteral("gio"), {QStringLiteral("mime"), QStringLiteral("text/plain")});
    QByteArray output;
    if (gio.waitForFinished(5000))
        output = gio.readAllStandardOutput();
    else
        gio.kill();
    const char* visual = std::getenv("VISUAL");
    return DesktopEditorCommand(visual != nullptr ? visual : "",
                                TextHandlersOf(output.toStdString()),
                                "io.github.kotoha.Kotoha.desktop", &FindDesktopFile);
}

}  // namespace

void LaunchExternalEditor(CKotohaApp& app, CMainFrame& frame) {
    CKotohaDoc* doc = app.document();
    if (doc == nullptr)
        return;
    const AppSettings& settings = app.settings();
    std::string command = settings.Path.value;
    if (command == kDesktopEditorCommand) {
        command = DesktopEditor();
        if (command.empty()) {
            ShowMessageBox(&frame, StringId::kNoDesktopEditor, MessageKind::Warning);
            return;
        }
    }
    std::vector<std::string> argv;
    if (settings.ViaClipboard.value == 1) {
        // The whole text, as the copy command puts a selection there; a
        // failure is reported and the launch goes on regardless.
        if (auto* view = qobject_cast<CKotohaView*>(frame.ActiveView()))
            view->CopyAllToClipboard();
        argv = EditorArgv(command, true, {}, {}, 0);
    } else {
        if (MustSaveBeforeEditor(!doc->pathName().empty())) {
            // The save reports its own failures.
            if (!doc->DoSave(std::nullopt, true, SavePromptMode::EditorSave, app))
                return;
        }
        const CTextView* view = frame.ActiveView();
        const std::int64_t topLine = view != nullptr ? view->scrollPos().line : 0;
        argv = EditorArgv(command, false, settings.Arguments.value, doc->pathName(), topLine);
    }
    if (!StartDetachedProgram(argv))
        ShowMessageBox(&frame, StringId::kEditorNotStarted, MessageKind::Warning);
}

}  // namespace kotoha
