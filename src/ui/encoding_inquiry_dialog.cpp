// SPDX-License-Identifier: MIT
#include "ui/encoding_inquiry_dialog.h"

#include <QApplication>
#include <iterator>
#include <new>

#include "codec/cp932.h"
#include "shell/encoding_preview.h"
#include "ui/dialog_support.h"
#include "ui/message_boxes.h"
#include "ui_encoding_inquiry_dlg.h"

namespace kotoha {

CEncodingInquiryDlg::CEncodingInquiryDlg(EncodingKind initial, const std::uint8_t* bytes,
                                         std::uint32_t length, QWidget* parent,
                                         EncodingChoices choices)
    : QDialog(parent),
      ui_(std::make_unique<Ui::EncodingInquiryDlg>()),
      bytes_(bytes),
      length_(length) {
    ui_->setupUi(this);
    setFont(DialogFont());
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->helpButton, parent);
    const std::size_t offered = choices == EncodingChoices::All        ? 7
                                : choices == EncodingChoices::WithUtf8 ? 4
                                                                       : 3;
    const auto buttons = Buttons();
    for (std::size_t kind = 0; kind < buttons.size(); ++kind) {
        buttons[kind]->setVisible(kind < offered);
        // clicked, not toggled: a click on the button already on shows the
        // preview again, and the button going off does not make one.
        connect(buttons[kind], &QRadioButton::clicked, this, &CEncodingInquiryDlg::MakePreview);
    }
    // A kind without a button starts on Shift-JIS.
    const auto index = static_cast<std::size_t>(initial);
    buttons[index < offered ? index : 0]->setChecked(true);
    MakePreview();
}

CEncodingInquiryDlg::~CEncodingInquiryDlg() = default;

std::array<QRadioButton*, 7> CEncodingInquiryDlg::Buttons() const {
    return {ui_->sjisRadio,    ui_->jisRadio,     ui_->eucRadio,    ui_->utf8Radio,
            ui_->utf8BomRadio, ui_->utf16LeRadio, ui_->utf16BeRadio};
}

std::int32_t CEncodingInquiryDlg::CheckedKind() const {
    const auto buttons = Buttons();
    for (std::size_t kind = 0; kind < buttons.size(); ++kind) {
        if (buttons[kind]->isChecked())
            return static_cast<std::int32_t>(kind);
    }
    return 0;
}

QString CEncodingInquiryDlg::PreviewText() const {
    return ui_->previewText->toPlainText();
}

void CEncodingInquiryDlg::MakePreview() {
    struct WaitCursor {
        WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    } wait;
    // The old preview goes before the new one is computed.
    ui_->previewText->clear();
    ui_->previewText->repaint();
    QString text;
    try {
        ExtensionTable table;
        const std::string sjis =
            MakeEncodingPreview(static_cast<EncodingKind>(CheckedKind()), bytes_, length_, &table);
        text = QString::fromStdU16String(
            SjisToUtf16(reinterpret_cast<const std::uint8_t*>(sjis.data()), sjis.size(), &table));
    } catch (const std::bad_alloc&) {
        // Without memory for a preview the edit stays empty; the choice
        // itself still works.
        return;
    }
    // The edit breaks lines at LF alone, as everywhere on Linux.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui_->previewText->setPlainText(text);
}

std::int32_t InquireEncoding(EncodingKind initial, const std::uint8_t* bytes, std::uint32_t length,
                             QWidget* parent, EncodingChoices choices) {
    // The load shows the wait cursor; the question gets the arrow.
    ArrowCursorScope arrow;
    std::unique_ptr<CEncodingInquiryDlg> dialog;
    try {
        dialog = std::make_unique<CEncodingInquiryDlg>(initial, bytes, length, parent, choices);
    } catch (const std::bad_alloc&) {
        // No dialog: the load goes on with the detected kind.
        return -1;
    }
    dialog->setObjectName(QStringLiteral("encodingInquiry"));
    if (dialog->exec() != QDialog::Accepted)
        return -1;
    return dialog->CheckedKind();
}

}  // namespace kotoha
