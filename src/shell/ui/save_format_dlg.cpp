#include "shell/ui/save_format_dlg.h"

#include "shell/ui/dialog_support.h"
#include "shell/ui/message_boxes.h"
#include "ui_save_format_dlg.h"

namespace kotoha {

namespace {

int ClampIndex(int index) {
    return index >= 0 && index <= 2 ? index : 0;
}

}  // namespace

CSaveFormatDlg::CSaveFormatDlg(const SaveFormatChoice& initial, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SaveFormatDlg>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("saveFormat"));
    setFont(DialogFont());
    connect(ui_->control1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->control2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->control57669, parent);
    ui_->control1020->setCurrentIndex(ClampIndex(static_cast<int>(initial.textFormat)));
    ui_->control123->setCurrentIndex(ClampIndex(static_cast<int>(initial.encoding)));
    ui_->control1018->setChecked(initial.widenKana);
    // Text for Windows or the classic Mac is Shift-JIS text: picking either
    // proposes that encoding, which the user may still change afterwards.
    connect(ui_->control1020, &QComboBox::activated, this, [this](int index) {
        if (index == 0 || index == 2)
            ui_->control123->setCurrentIndex(0);
    });
}

CSaveFormatDlg::~CSaveFormatDlg() = default;

LineBreakKind CSaveFormatDlg::textFormat() const {
    return static_cast<LineBreakKind>(ClampIndex(ui_->control1020->currentIndex()));
}

EncodingKind CSaveFormatDlg::encoding() const {
    return static_cast<EncodingKind>(ClampIndex(ui_->control123->currentIndex()));
}

bool CSaveFormatDlg::widenKana() const {
    return ui_->control1018->isChecked();
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
