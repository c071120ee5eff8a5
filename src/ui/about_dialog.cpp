// SPDX-License-Identifier: MIT
#include "ui/about_dialog.h"

#include <unistd.h>

#include <QApplication>
#include <QStyle>

#include "ui/dialog_support.h"
#include "ui_about_dlg.h"

namespace kotoha {

CAboutDlg::CAboutDlg(const std::string& memoryText, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDlg>()) {
    ui_->setupUi(this);
    setFont(DialogFont());
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    ui_->icon->setPixmap(icon.pixmap(32, 32));
    ui_->versionLine->setText(ui_->versionLine->text().arg(QString::fromLatin1(kProgramVersion)));
    ui_->memoryLabel->setText(QString::fromStdString(memoryText));
}

CAboutDlg::~CAboutDlg() = default;

std::uint64_t PhysicalMemoryKilobytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 1024;
}

}  // namespace kotoha
