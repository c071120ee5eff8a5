// SPDX-License-Identifier: MIT
// What happens once the main window has first been painted: the
// screenshot of --screenshot, and the timings of the benchmark (enabled by
// environment variables, see below).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace kotoha {

class CMainFrame;

// Environment:
//   KOTOHA_TIMING=1           prints the milliseconds from start to the first
//                             paint of the text view to standard error
//   KOTOHA_PAGEDOWN_BENCH=N   before the screenshot, scrolls to the middle of
//                             the text and times N page-down keys, each with
//                             its repaint; prints the median and the maximum
class FirstPaintWatcher : public QObject {
    Q_OBJECT

  public:
    // startClock runs since the program started. screenshotPath empty: no
    // screenshot, the program keeps running.
    FirstPaintWatcher(CMainFrame& frame, QElapsedTimer startClock, QString screenshotPath);

    // The result of the screenshot: true when written (or none asked).
    bool succeeded() const { return succeeded_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AfterFirstPaint();
    void TimePageDowns(int count);

    CMainFrame& frame_;
    QElapsedTimer startClock_;
    QString screenshotPath_;
    bool painted_ = false;
    bool succeeded_ = true;
};

}  // namespace kotoha
