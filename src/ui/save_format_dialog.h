// SPDX-License-Identifier: MIT
// The save format: line-break kind, encoding and widening of half-width
// katakana for a file about to be written.
#pragma once

#include <QDialog>
#include <memory>

#include "document/requests.h"

namespace Ui {
class SaveFormatDlg;
}

namespace kotoha {

class CSaveFormatDlg : public QDialog {
    Q_OBJECT

  public:
    // Shows the text format, encoding and widening of initial.
    CSaveFormatDlg(const SaveFormatChoice& initial, QWidget* parent);
    ~CSaveFormatDlg() override;

    LineBreakKind textFormat() const;
    EncodingKind encoding() const;
    bool widenKana() const;

  private:
    std::unique_ptr<Ui::SaveFormatDlg> ui_;
};

// Runs the dialog pre-filled from choice. On OK stores its three values in
// choice and returns true; on cancel leaves choice and returns false.
// forSelection is the caller's.
bool RunSaveFormat(SaveFormatChoice& choice, QWidget* parent);

}  // namespace kotoha
