// SPDX-License-Identifier: MIT
// The open settings: whether to ask when detection is unsure, and which
// kind of text detection favours otherwise.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class OpenSettingsDlg;
}

namespace kotoha {

struct AppSettings;

class COpenSettingsDlg : public QDialog {
    Q_OBJECT

  public:
    // ask: whether to ask when detection is uncertain. priority: 0 Windows
    // text first, 1 Internet text
    // first.
    // detectUnicode: whether detection looks for UTF-8 and UTF-16 first.
    // showInfoBar: whether a guess or a loss of an open is told in the bar.
    COpenSettingsDlg(bool ask, int priority, bool detectUnicode, bool showInfoBar, QWidget* parent);
    ~COpenSettingsDlg() override;

    bool ask() const;
    int priority() const;
    bool detectUnicode() const;
    bool showInfoBar() const;

  private:
    // The priority only matters while the user is not asked.
    void UpdatePriorityButtons();

    std::unique_ptr<Ui::OpenSettingsDlg> ui_;
};

// The open-settings command: runs the dialog on InquireWhenStrayed,
// PreferWinText, DetectUnicode and ShowInfoBar and stores them on OK. True
// on OK.
bool RunOpenSettings(AppSettings& settings, QWidget* parent);

}  // namespace kotoha
