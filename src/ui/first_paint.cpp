// SPDX-License-Identifier: MIT
#include "ui/first_paint.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/kotoha_doc.h"
#include "ui/main_frame.h"
#include "view/kotoha_view.h"

namespace kotoha {

namespace {

// A window that never paints (no screen at all) still gets its screenshot.
constexpr int kPaintTimeoutMs = 20000;

int EnvInt(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : 0;
}

}  // namespace

FirstPaintWatcher::FirstPaintWatcher(CMainFrame& frame, QElapsedTimer startClock,
                                     QString screenshotPath)
    : QObject(&frame),
      frame_(frame),
      startClock_(startClock),
      screenshotPath_(std::move(screenshotPath)) {
    if (CTextView* view = frame_.ActiveView(); view != nullptr)
        view->viewport()->installEventFilter(this);
    if (!screenshotPath_.isEmpty()) {
        QTimer::singleShot(kPaintTimeoutMs, this, [this] {
            if (!painted_) {
                painted_ = true;
                AfterFirstPaint();
            }
        });
    }
}

bool FirstPaintWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        watched->removeEventFilter(this);
        // Runs once this paint has finished.
        QTimer::singleShot(0, this, &FirstPaintWatcher::AfterFirstPaint);
    }
    return QObject::eventFilter(watched, event);
}

void FirstPaintWatcher::AfterFirstPaint() {
    if (EnvInt("KOTOHA_TIMING") != 0)
        std::fprintf(stderr, "kotoha: first paint after %lld ms\n",
                     static_cast<long long>(startClock_.elapsed()));
    if (const int count = EnvInt("KOTOHA_PAGEDOWN_BENCH"); count > 0)
        TimePageDowns(count);
    if (screenshotPath_.isEmpty())
        return;
    succeeded_ = frame_.grab().save(screenshotPath_, "PNG");
    if (!succeeded_)
        std::fprintf(stderr, "kotoha: cannot write %s\n", qPrintable(screenshotPath_));
    frame_.close();
    QApplication::exit(succeeded_ ? 0 : 1);
}

void FirstPaintWatcher::TimePageDowns(int count) {
    auto* view = qobject_cast<CKotohaView*>(frame_.ActiveView());
    if (view == nullptr)
        return;
    // Start in the middle of the text, where nothing is cached yet.
    view->ScrollTo(0, view->document().GetLineCount() / 2);
    view->viewport()->repaint();
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(view, &release);
        view->viewport()->repaint();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    std::fprintf(stderr, "kotoha: page down with repaint: median %.0f us, max %.0f us (%d keys)\n",
                 times[times.size() / 2], times.back(), count);
}

}  // namespace kotoha
