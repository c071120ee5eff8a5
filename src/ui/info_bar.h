// SPDX-License-Identifier: MIT
// The slim bar above the text that tells what an open guessed or lost: a
// message, a button per other plausible encoding, one that asks, and a
// close button. Not modal: the text stays usable beside it.
#pragma once

#include <QFrame>

#include "shell/open_notice_text.h"

class QHBoxLayout;
class QLabel;
class QToolButton;

namespace kotoha {

class InfoBar : public QFrame {
    Q_OBJECT

  public:
    explicit InfoBar(QWidget* parent);

    // Shows content, or hides the bar when it has nothing to tell.
    void SetContent(const InfoBarContent& content);
    QString Message() const;

  signals:
    // A reopen button was pressed: the kind, or -1 for the one that asks.
    void reopenRequested(int kind);
    void closeRequested();

  private:
    QLabel* message_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QToolButton* close_ = nullptr;
};

}  // namespace kotoha
