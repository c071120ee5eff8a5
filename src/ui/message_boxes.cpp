// SPDX-License-Identifier: MIT
#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>

#include "shell/strings.h"

namespace kotoha {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

bool batchMode = false;

QMessageBox::StandardButton Run(QWidget* parent, StringId::Id id, MessageKind kind,
                                std::string_view argument, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton,
                                std::string_view argument2 = {}) {
    const std::string text = FormatMessage(id, argument, argument2);
    if (batchMode) {
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        std::fprintf(stderr, "kotoha: %s\n", line.c_str());
        return defaultButton;
    }
    QApplication::beep();
    ArrowCursorScope arrow;
    QMessageBox box(IconOf(kind), QString::fromUtf8(LoadString(StringId::kAppTitle)),
                    QString::fromStdString(text), buttons, parent);
    box.setObjectName(QString::fromLatin1(MessageBoxName(id)));
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int waitDepth = 0;

}  // namespace

void SetMessageBatchMode(bool batch) {
    batchMode = batch;
}

bool IsMessageBatchMode() {
    return batchMode;
}

void ShowMessageBox(QWidget* parent, StringId::Id id, MessageKind kind, std::string_view argument,
                    std::string_view argument2) {
    Run(parent, id, kind, argument, QMessageBox::Ok, QMessageBox::Ok, argument2);
}

bool AskYesNoBox(QWidget* parent, StringId::Id id, std::string_view argument,
                 std::string_view argument2) {
    return Run(parent, id, MessageKind::Question, argument, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes, argument2) == QMessageBox::Yes;
}

Answer AskYesNoCancelBox(QWidget* parent, StringId::Id id, std::string_view argument) {
    switch (Run(parent, id, MessageKind::Question, argument,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void BeginWaitCursor() {
    ++waitDepth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void EndWaitCursor() {
    if (waitDepth == 0)
        return;
    --waitDepth;
    QApplication::restoreOverrideCursor();
}

ArrowCursorScope::ArrowCursorScope() {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
}

ArrowCursorScope::~ArrowCursorScope() {
    QApplication::restoreOverrideCursor();
}

}  // namespace kotoha
