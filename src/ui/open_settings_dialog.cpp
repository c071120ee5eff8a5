// SPDX-License-Identifier: MIT
#include "ui/open_settings_dialog.h"

#include "shell/settings.h"
#include "ui/dialog_support.h"
#include "ui_open_settings_dlg.h"

namespace kotoha {

COpenSettingsDlg::COpenSettingsDlg(bool ask, int priority, bool detectUnicode, bool showInfoBar,
                                   QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OpenSettingsDlg>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("openSettings"));
    setFont(DialogFont());
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->helpButton, parent);
    ui_->inquireWhenStrayedCheck->setChecked(ask);
    ui_->detectUnicodeCheck->setChecked(detectUnicode);
    ui_->showInfoBarCheck->setChecked(showInfoBar);
    (priority == 0 ? ui_->preferWindowsTextRadio : ui_->preferInternetTextRadio)->setChecked(true);
    connect(ui_->inquireWhenStrayedCheck, &QCheckBox::toggled, this,
            &COpenSettingsDlg::UpdatePriorityButtons);
    UpdatePriorityButtons();
}

COpenSettingsDlg::~COpenSettingsDlg() = default;

bool COpenSettingsDlg::ask() const {
    return ui_->inquireWhenStrayedCheck->isChecked();
}

int COpenSettingsDlg::priority() const {
    return ui_->preferInternetTextRadio->isChecked() ? 1 : 0;
}

bool COpenSettingsDlg::detectUnicode() const {
    return ui_->detectUnicodeCheck->isChecked();
}

bool COpenSettingsDlg::showInfoBar() const {
    return ui_->showInfoBarCheck->isChecked();
}

void COpenSettingsDlg::UpdatePriorityButtons() {
    const bool on = !ui_->inquireWhenStrayedCheck->isChecked();
    ui_->preferWindowsTextRadio->setEnabled(on);
    ui_->preferInternetTextRadio->setEnabled(on);
}

bool RunOpenSettings(AppSettings& settings, QWidget* parent) {
    COpenSettingsDlg dialog(
        settings.InquireWhenStrayed.value != 0, settings.PreferWinText.value != 0 ? 0 : 1,
        settings.DetectUnicode.value != 0, settings.ShowInfoBar.value != 0, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings.InquireWhenStrayed.value = dialog.ask() ? 1 : 0;
    settings.PreferWinText.value = dialog.priority() == 0 ? 1 : 0;
    settings.DetectUnicode.value = dialog.detectUnicode() ? 1 : 0;
    settings.ShowInfoBar.value = dialog.showInfoBar() ? 1 : 0;
    return true;
}

}  // namespace kotoha
