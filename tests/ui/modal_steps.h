// SPDX-License-Identifier: MIT
// Answers the modal dialogs and message boxes a command runs, from timers,
// while the command waits in the dialog's own event loop.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace kotoha::testing {

// Every pending step belongs to this object: destroying it (a test's local,
// at the end of the test) stops them all, so that no step ever runs on the
// locals of a test that has ended.
class ModalSteps {
  public:
    ModalSteps() = default;
    ModalSteps(const ModalSteps&) = delete;
    ModalSteps& operator=(const ModalSteps&) = delete;

    // Runs step on the next modal widget of type T (and of objectName name,
    // when given) once it shows; gives up after about five seconds so that a
    // missing dialog fails the test's checks instead of answering a later
    // one. A dialog the step left open is closed fifteen seconds later, so
    // that a failed step fails the test instead of waiting forever.
    template <typename T = QWidget>
    void OnNext(std::function<void(T*)> step, const QString& name = QString()) {
        QTimer* poll = NewTimer();
        auto triesLeft = std::make_shared<int>(250);
        QObject::connect(poll, &QTimer::timeout, [this, poll, step, name, triesLeft] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (modal == nullptr || (!name.isEmpty() && modal->objectName() != name)) {
                if (--*triesLeft <= 0)
                    poll->stop();
                return;
            }
            poll->stop();
            QPointer<QWidget> guarded(modal);
            step(modal);
            QTimer* rescue = NewTimer();
            rescue->setSingleShot(true);
            QObject::connect(rescue, &QTimer::timeout, [guarded] {
                if (guarded && guarded->isVisible())
                    guarded->close();
            });
            rescue->start(15000);
        });
        poll->start(20);
    }

    // Runs step on the next modal widget named name.
    void OnNamed(const QString& name, std::function<void(QWidget*)> step) {
        OnNext<QWidget>(std::move(step), name);
    }

    // Answers the next message box with button, logging "objectName:text"
    // and whether it showed the information icon ("i") or another ("!").
    void AnswerMessage(QStringList& log, QMessageBox::StandardButton button = QMessageBox::Ok) {
        OnNext<QMessageBox>([&log, button](QMessageBox* box) {
            log << box->objectName() + QLatin1Char(':') + box->text() +
                       (box->icon() == QMessageBox::Information ? QStringLiteral(" i")
                                                                : QStringLiteral(" !"));
            box->button(button)->click();
        });
    }

  private:
    QTimer* NewTimer() {
        timers_.push_back(std::make_unique<QTimer>());
        return timers_.back().get();
    }

    std::vector<std::unique_ptr<QTimer>> timers_;
};

// Counts the modal windows (dialogs, message boxes) shown while it lives.
// Commands run their dialogs inside the call, so once a command has
// returned the count is final: "no second dialog" needs no waiting.
class ModalCounter : public QObject {
  public:
    ModalCounter() { qApp->installEventFilter(this); }
    ~ModalCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->isWindow() && widget->isModal())
                ++count;
        }
        return false;
    }
};

}  // namespace kotoha::testing
