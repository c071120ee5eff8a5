// SPDX-License-Identifier: MIT
#include "ui/save_format_dialog.h"

#include "ui/dialog_support.h"
#include "ui/message_boxes.h"
#include "ui_save_format_dlg.h"

namespace kotoha {

namespace {

// The line-break list holds WIN, UX, MAC.
int ClampLineBreakIndex(int index) {
    return index >= 0 && index <= 2 ? index : 0;
}

// The encoding list holds every kind in the order of their values.
int ClampEncodingIndex(int index) {
    return static_cast<int>(EncodingKindOf(index));
}

}  // namespace

CSaveFormatDlg::CSaveFormatDlg(const SaveFormatChoice& initial, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SaveFormatDlg>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("saveFormat"));
    setFont(DialogFont());
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->helpButton, parent);
    ui_->lineBreakCombo->setCurrentIndex(ClampLineBreakIndex(static_cast<int>(initial.textFormat)));
    ui_->encodingCombo->setCurrentIndex(ClampEncodingIndex(static_cast<int>(initial.encoding)));
    ui_->widenKanaCheck->setChecked(initial.widenKana);
    // Text for Windows or the classic Mac is Shift-JIS text: picking either
    // proposes that encoding, which the user may still change afterwards. A
    // Unicode encoding already chosen stays.
    connect(ui_->lineBreakCombo, &QComboBox::activated, this, [this](int index) {
        const bool legacy = !IsUnicodeKind(EncodingKindOf(ui_->encodingCombo->currentIndex()));
        if ((index == 0 || index == 2) && legacy)
            ui_->encodingCombo->setCurrentIndex(0);
    });
}

CSaveFormatDlg::~CSaveFormatDlg() = default;

LineBreakKind CSaveFormatDlg::textFormat() const {
    return static_cast<LineBreakKind>(ClampLineBreakIndex(ui_->lineBreakCombo->currentIndex()));
}

EncodingKind CSaveFormatDlg::encoding() const {
    return static_cast<EncodingKind>(ClampEncodingIndex(ui_->encodingCombo->currentIndex()));
}

bool CSaveFormatDlg::widenKana() const {
    return ui_->widenKanaCheck->isChecked();
}

bool RunSaveFormat(SaveFormatChoice& choice, QWidget* parent) {
    ArrowCursorScope arrow;
    CSaveFormatDlg dialog(choice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.textFormat = dialog.textFormat();
    choice.encoding = dialog.encoding();
    choice.widenKana = dialog.widenKana();
    return true;
}

}  // namespace kotoha
