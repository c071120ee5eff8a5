// SPDX-License-Identifier: MIT
#include "ui/dialog_support.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "shell/command_ids.h"
#include "ui/message_boxes.h"
#include "ui/status_panes.h"

namespace kotoha {

namespace {

QAction* HelpAction(QWidget* parent) {
    if (parent == nullptr)
        return nullptr;
    const QList<QAction*> actions = parent->window()->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->data().toUInt() == CommandId::kHelp)
            return action;
    }
    return nullptr;
}

}  // namespace

QFont DialogFont() {
    // The status bar follows the same rule for its font.
    return StatusPanes::StatusFont();
}

void ConnectHelpButton(QPushButton* button, QWidget* parent) {
    QAction* help = HelpAction(parent);
    button->setEnabled(help != nullptr && help->isEnabled());
    if (help != nullptr)
        QObject::connect(button, &QPushButton::clicked, help, &QAction::trigger);
}

IntegerEntry ParseIntegerEntry(const QString& text, std::int32_t minimum, std::int32_t maximum,
                               std::int32_t& value) {
    const QString trimmed = text.trimmed();
    // Digits only after an optional sign: toLongLong alone would take "0x10".
    const qsizetype sign =
        trimmed.startsWith(QLatin1Char('+')) || trimmed.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (sign == trimmed.size())
        return IntegerEntry::NotInteger;
    for (qsizetype i = sign; i < trimmed.size(); ++i) {
        if (trimmed[i] < QLatin1Char('0') || trimmed[i] > QLatin1Char('9'))
            return IntegerEntry::NotInteger;
    }
    bool ok = false;
    const long long number = trimmed.toLongLong(&ok, 10);
    // A number too long for 64 bits is still a number, just out of range.
    if (!ok || number < minimum || number > maximum)
        return IntegerEntry::OutOfRange;
    value = static_cast<std::int32_t>(number);
    return IntegerEntry::Valid;
}

bool ReadIntegerField(QLineEdit* edit, std::int32_t minimum, std::int32_t maximum,
                      std::int32_t& value) {
    switch (ParseIntegerEntry(edit->text(), minimum, maximum, value)) {
        case IntegerEntry::Valid:
            return true;
        case IntegerEntry::NotInteger:
            ShowMessageBox(edit->window(), StringId::kEnterInteger, MessageKind::Warning);
            break;
        case IntegerEntry::OutOfRange:
            ShowMessageBox(edit->window(), StringId::kEnterIntegerInRange, MessageKind::Warning,
                           std::to_string(minimum), std::to_string(maximum));
            break;
    }
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

// rect moved and, when too large, shrunk so that it lies within the
// available area of the screen under its centre (the primary screen when
// none is): a placement saved on a monitor that is gone, or a size made
// for another scale factor, still gives a window the user can reach.
QRect CentredOn(const QScreen& screen, QSize size) {
    const QRect area = screen.availableGeometry();
    QRect rect(QPoint(0, 0), size.boundedTo(area.size() * 9 / 10));
    rect.moveCenter(area.center());
    return rect;
}

QRect FitOnScreen(QRect rect) {
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return rect;
    const QRect area = screen->availableGeometry();
    if (rect.width() > area.width() || rect.height() > area.height())
        return CentredOn(*screen, rect.size());
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    return rect;
}

}  // namespace kotoha
