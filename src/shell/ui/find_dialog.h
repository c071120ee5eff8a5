// The modeless, find-only dialog: the text to find, the direction, match
// case and whole word. Each "find next" press is reported as a request.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "document/find.h"

namespace Ui {
class FindDlg;
}

namespace kotoha {

class CFindDlg : public QDialog {
    Q_OBJECT

  public:
    // initialText is Shift-JIS; the direction starts as down.
    CFindDlg(const std::string& initialText, QWidget* parent);
    ~CFindDlg() override;

    // The request the controls describe now.
    FindRequest Request() const;

  signals:
    void findNext(const kotoha::FindRequest& request);
    // The dialog is closing and will delete itself.
    void closing();

  public slots:
    void reject() override;

  private:
    std::unique_ptr<Ui::FindDlg> ui_;
};

}  // namespace kotoha
