// SPDX-License-Identifier: MIT
#include "ui/external_editor_dialog.h"

#include <QFile>
#include <QFileDialog>

#include "shell/file_dialog.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "ui/dialog_support.h"
#include "ui/file_prompt.h"
#include "ui/message_boxes.h"
#include "ui_external_editor_dlg.h"

namespace kotoha {

CExternalEditorDlg::CExternalEditorDlg(const ExternalEditorDialogValues& values, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExternalEditorDlg>()) {
    ui_->setupUi(this);
    ui_->commandEdit->setText(QString::fromStdString(values.command));
    ui_->argumentsEdit->setText(QString::fromStdString(values.arguments));
    if (values.handOver == 0)
        ui_->viaClipboardRadio->setChecked(true);
    else
        ui_->viaFileRadio->setChecked(true);
    UpdateEnabling();
    connect(ui_->viaClipboardRadio, &QRadioButton::clicked, this,
            &CExternalEditorDlg::UpdateEnabling);
    connect(ui_->viaFileRadio, &QRadioButton::clicked, this, &CExternalEditorDlg::UpdateEnabling);
    connect(ui_->browseButton, &QPushButton::clicked, this, &CExternalEditorDlg::Browse);
    connect(ui_->okButton, &QPushButton::clicked, this, &CExternalEditorDlg::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CExternalEditorDlg::reject);
    ConnectHelpButton(ui_->helpButton, parent);
}

CExternalEditorDlg::~CExternalEditorDlg() = default;

ExternalEditorDialogValues CExternalEditorDlg::Values() const {
    ExternalEditorDialogValues values;
    values.handOver = ui_->viaClipboardRadio->isChecked() ? 0 : 1;
    values.command = ui_->commandEdit->text().toStdString();
    values.arguments = ui_->argumentsEdit->text().toStdString();
    return values;
}

void CExternalEditorDlg::UpdateEnabling() {
    const bool viaFile = ui_->viaFileRadio->isChecked();
    ui_->argumentsLabel->setEnabled(viaFile);
    ui_->argumentsEdit->setEnabled(viaFile);
}

QString CExternalEditorDlg::BrowseTitle() {
    return QStringLiteral("ファイルの参照");
}

QStringList CExternalEditorDlg::BrowseFilters() {
    QStringList filters;
    for (const FileFilter& filter : ParseFilterList(LoadString(StringId::kProgramFilters)))
        filters << KotohaFileDialog::QtFilter(filter);
    return filters;
}

void CExternalEditorDlg::Browse() {
    QFileDialog dialog(this, BrowseTitle());
    dialog.setObjectName(QStringLiteral("browseDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = BrowseFilters();
    dialog.setNameFilters(filters);
    // Programs here carry no extension, so the list starts with every file.
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.back());
    // The program is the command's first word, quoted or not.
    const std::vector<std::string> words =
        SplitCommandLine(ui_->commandEdit->text().left(259).toStdString());
    if (!words.empty())
        dialog.selectFile(QString::fromStdString(words.front()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // Quoted the way the command line is split later, so that a path with
    // blanks stays one word.
    ui_->commandEdit->setText(QString::fromStdString(
        QuoteCommandWord(QFile::encodeName(dialog.selectedFiles().front()).toStdString())));
}

void CExternalEditorDlg::accept() {
    if (const auto message = Values().Validate()) {
        ShowMessageBox(this, *message, MessageKind::Warning);
        // The field at fault takes the focus.
        QLineEdit* field =
            *message == StringId::kNoEditorCommand ? ui_->commandEdit : ui_->argumentsEdit;
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
}

bool EditExternalEditorSettings(AppSettings& settings, QWidget* parent) {
    CExternalEditorDlg dialog(ExternalEditorDialogValues::FromSettings(settings), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.Values().ApplyTo(settings);
    return true;
}

}  // namespace kotoha
