// SPDX-License-Identifier: MIT
#include "ui/info_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "shell/strings.h"

namespace kotoha {

namespace {

QString Loaded(StringId::Id id) {
    return QString::fromUtf8(LoadString(id));
}

}  // namespace

InfoBar::InfoBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("infoBar"));
    setFrameShape(QFrame::StyledPanel);
    // The tooltip colours are made to be read together on any theme, dark
    // ones included, and stand out from the window's own; as roles they
    // follow a change of the palette.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 2, 2);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size, size));
    layout->addWidget(icon);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("infoBarMessage"));
    message_->setTextFormat(Qt::PlainText);
    message_->setForegroundRole(QPalette::ToolTipText);
    message_->setWordWrap(true);
    layout->addWidget(message_, 1);
    buttons_ = new QHBoxLayout;
    layout->addLayout(buttons_);
    close_ = new QToolButton(this);
    close_->setObjectName(QStringLiteral("infoBarClose"));
    close_->setAutoRaise(true);
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setToolTip(Loaded(StringId::kCloseInfoBar));
    close_->setAccessibleName(Loaded(StringId::kCloseInfoBar));
    connect(close_, &QToolButton::clicked, this, &InfoBar::closeRequested);
    layout->addWidget(close_);
    hide();
}

void InfoBar::SetContent(const InfoBarContent& content) {
    while (QLayoutItem* item = buttons_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (content.lines.empty()) {
        hide();
        return;
    }
    QStringList lines;
    for (const std::string& line : content.lines)
        lines << QString::fromStdString(line);
    message_->setText(lines.join(QLatin1Char('\n')));
    auto addButton = [this](const QString& text, int kind) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(kind < 0 ? QStringLiteral("reopenAskButton")
                                       : QStringLiteral("reopenButton%1").arg(kind));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, kind] { emit reopenRequested(kind); });
        buttons_->addWidget(button);
    };
    for (EncodingKind kind : content.reopenKinds) {
        addButton(QString::fromStdString(
                      FormatMessage(StringId::kReopenAs, LoadString(EncodingPaneNameId(kind)))),
                  static_cast<int>(kind));
    }
    if (content.offersInquiry)
        addButton(Loaded(StringId::kSpecifyEncoding), -1);
    show();
}

QString InfoBar::Message() const {
    return message_->text();
}

}  // namespace kotoha
