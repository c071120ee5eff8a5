// SPDX-License-Identifier: MIT
// The modeless, find-only dialog: the text to find, the direction, match
// case and whole word. Each "find next" press is reported as a request.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "codec/extension_table.h"
#include "document/find.h"

namespace Ui {
class FindDlg;
}

namespace kotoha {

class CFindDlg : public QDialog {
    Q_OBJECT

  public:
    // initialText is in the internal form, read (and the text to find
    // written) through table, which must outlive the dialog; the direction
    // starts as down.
    CFindDlg(const std::string& initialText, const ExtensionTable* table, QWidget* parent);
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
    const ExtensionTable* table_;
};

}  // namespace kotoha
