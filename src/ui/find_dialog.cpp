// SPDX-License-Identifier: MIT
#include "ui/find_dialog.h"

#include "codec/cp932.h"
#include "ui_find_dlg.h"

namespace kotoha {

CFindDlg::CFindDlg(const std::string& initialText, const ExtensionTable* table, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FindDlg>()), table_(table) {
    ui_->setupUi(this);
    setModal(false);
    const std::u16string text = SjisToUtf16(
        reinterpret_cast<const std::uint8_t*>(initialText.data()), initialText.size(), table_);
    ui_->findTextEdit->setText(QString::fromStdU16String(text));
    ui_->findTextEdit->selectAll();
    // Nothing to search for: the find button waits for a text.
    auto updateButton = [this] {
        ui_->findNextButton->setEnabled(!ui_->findTextEdit->text().isEmpty());
    };
    connect(ui_->findTextEdit, &QLineEdit::textChanged, this, updateButton);
    updateButton();
    connect(ui_->findNextButton, &QPushButton::clicked, this, [this] { emit findNext(Request()); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CFindDlg::reject);
}

CFindDlg::~CFindDlg() = default;

FindRequest CFindDlg::Request() const {
    FindRequest request;
    request.findText = Utf16ToSjis(ui_->findTextEdit->text().toStdU16String(), table_);
    request.down = ui_->downRadio->isChecked();
    request.matchCase = ui_->matchCaseCheck->isChecked();
    request.wholeWord = ui_->wholeWordCheck->isChecked();
    return request;
}

void CFindDlg::reject() {
    // Escape, the cancel button and the close box all end here.
    emit closing();
    QDialog::reject();
    deleteLater();
}

}  // namespace kotoha
