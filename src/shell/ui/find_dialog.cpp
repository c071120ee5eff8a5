#include "shell/ui/find_dialog.h"

#include "codec/cp932.h"
#include "ui_find_dlg.h"

namespace kotoha {

CFindDialog::CFindDialog(const std::string& initialText, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FindDlg>()) {
    ui_->setupUi(this);
    setModal(false);
    const std::u16string text =
        SjisToUtf16(reinterpret_cast<const std::uint8_t*>(initialText.data()), initialText.size());
    ui_->control1152->setText(QString::fromStdU16String(text));
    ui_->control1152->selectAll();
    // Nothing to search for: the find button waits for a text.
    auto updateButton = [this] { ui_->control1->setEnabled(!ui_->control1152->text().isEmpty()); };
    connect(ui_->control1152, &QLineEdit::textChanged, this, updateButton);
    updateButton();
    connect(ui_->control1, &QPushButton::clicked, this, [this] { emit findNext(Request()); });
    connect(ui_->control2, &QPushButton::clicked, this, &CFindDialog::reject);
}

CFindDialog::~CFindDialog() = default;

FindRequest CFindDialog::Request() const {
    FindRequest request;
    request.findText = Utf16ToSjis(ui_->control1152->text().toStdU16String());
    request.down = ui_->control1057->isChecked();
    request.matchCase = ui_->control1041->isChecked();
    request.wholeWord = ui_->control1040->isChecked();
    return request;
}

void CFindDialog::reject() {
    // Escape, the cancel button and the close box all end here.
    emit closing();
    QDialog::reject();
    deleteLater();
}

}  // namespace kotoha
