// Answers the modal dialogs and message boxes a command runs, from a timer,
// while the command waits in the dialog's own event loop.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace kotoha::testing {

// Runs step on the next modal widget of type T once it shows; gives up
// after about five seconds so that a missing dialog fails the test's
// checks instead of answering a later one.
template <typename T>
void OnNextModal(std::function<void(T*)> step, int triesLeft = 250) {
    QTimer::singleShot(20, [step, triesLeft] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            step(modal);
            return;
        }
        if (triesLeft > 0)
            OnNextModal<T>(step, triesLeft - 1);
    });
}

// Answers the next message box with button, logging "objectName:text" and
// whether it showed the information icon ("i") or another ("!").
inline void AnswerNextMessage(QStringList& log,
                              QMessageBox::StandardButton button = QMessageBox::Ok) {
    OnNextModal<QMessageBox>([&log, button](QMessageBox* box) {
        log << box->objectName() + QLatin1Char(':') + box->text() +
                   (box->icon() == QMessageBox::Information ? QStringLiteral(" i")
                                                            : QStringLiteral(" !"));
        box->button(button)->click();
    });
}

}  // namespace kotoha::testing
