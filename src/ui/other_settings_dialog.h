// SPDX-License-Identifier: MIT
// The "other settings" dialog: three switches of the settings.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class OtherSettingsDlg;
}

namespace kotoha {

struct AppSettings;

// The three switches, each on or off.
struct OtherSettingsFields {
    bool resembleLess = false;
    bool saveFrameStatus = false;
    bool inquireWhenPaste = false;
    bool askBeforeLoss = false;
};

class COtherSettingsDlg : public QDialog {
    Q_OBJECT

  public:
    COtherSettingsDlg(const OtherSettingsFields& fields, QWidget* parent);
    ~COtherSettingsDlg() override;

    // The boxes as they are now.
    OtherSettingsFields fields() const;

  private:
    std::unique_ptr<Ui::OtherSettingsDlg> ui_;
};

// The command: shows ResembleLess, SaveFrameStatus and InquireWhenPaste
// (any value other than 0 counts as on) and, on OK, stores them back as 0 or
// 1. The profile is written only at exit.
void RunOtherSettings(AppSettings& settings, QWidget* parent);

}  // namespace kotoha
