// SPDX-License-Identifier: MIT
// The external-editor settings dialog: the editor's command, the way the
// text is handed over (clipboard or file) and the argument template, with
// a browse button for the command.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "shell/external_editor.h"

namespace Ui {
class ExternalEditorDlg;
}

namespace kotoha {

struct AppSettings;

class CExternalEditorDlg : public QDialog {
    Q_OBJECT

  public:
    CExternalEditorDlg(const ExternalEditorDialogValues& values, QWidget* parent);
    ~CExternalEditorDlg() override;

    // The fields as the controls hold them now.
    ExternalEditorDialogValues Values() const;

    // The title and filters of the browse dialog, exposed for tests.
    static QString BrowseTitle();
    static QStringList BrowseFilters();

  public slots:
    // Refuses to close while the fields break a rule, saying which.
    void accept() override;

  private:
    // The arguments field and its label follow the file radio button.
    void UpdateEnabling();
    void Browse();

    std::unique_ptr<Ui::ExternalEditorDlg> ui_;
};

// The settings command: fills the dialog from Path, ViaClipboard and
// Arguments, and stores its fields back on OK. True on OK.
bool EditExternalEditorSettings(AppSettings& settings, QWidget* parent);

}  // namespace kotoha
