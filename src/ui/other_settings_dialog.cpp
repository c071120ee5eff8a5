// SPDX-License-Identifier: MIT
#include "ui/other_settings_dialog.h"

#include "shell/settings.h"
#include "ui/dialog_support.h"
#include "ui_other_settings_dlg.h"

namespace kotoha {

COtherSettingsDlg::COtherSettingsDlg(const OtherSettingsFields& fields, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OtherSettingsDlg>()) {
    ui_->setupUi(this);
    setFont(DialogFont());
    ui_->resembleLessCheck->setChecked(fields.resembleLess);
    ui_->saveWindowPositionCheck->setChecked(fields.saveFrameStatus);
    ui_->inquireWhenPasteCheck->setChecked(fields.inquireWhenPaste);
    ui_->askBeforeLossCheck->setChecked(fields.askBeforeLoss);
    ConnectHelpButton(ui_->helpButton, parent);
}

COtherSettingsDlg::~COtherSettingsDlg() = default;

OtherSettingsFields COtherSettingsDlg::fields() const {
    return {ui_->resembleLessCheck->isChecked(), ui_->saveWindowPositionCheck->isChecked(),
            ui_->inquireWhenPasteCheck->isChecked(), ui_->askBeforeLossCheck->isChecked()};
}

void RunOtherSettings(AppSettings& settings, QWidget* parent) {
    COtherSettingsDlg dialog(
        {settings.ResembleLess.value != 0, settings.SaveFrameStatus.value != 0,
         settings.InquireWhenPaste.value != 0, settings.AskBeforeLoss.value != 0},
        parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const OtherSettingsFields fields = dialog.fields();
    settings.ResembleLess.value = fields.resembleLess ? 1 : 0;
    settings.SaveFrameStatus.value = fields.saveFrameStatus ? 1 : 0;
    settings.InquireWhenPaste.value = fields.inquireWhenPaste ? 1 : 0;
    settings.AskBeforeLoss.value = fields.askBeforeLoss ? 1 : 0;
}

}  // namespace kotoha
