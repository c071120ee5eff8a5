// SPDX-License-Identifier: MIT
// A whole program run inside a test: its own profile and runtime folders,
// the application started with a command line, and the main frame shown.
#pragma once

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "ui/kotoha_app.h"
#include "ui/main_frame.h"
#include "view/text_view.h"

namespace kotoha::testing {

// Points the profile and the instance lock at fresh folders for the life of
// the object.
class TestFolders {
  public:
    TestFolders() {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    }
    QString IniPath() const { return config.path() + QStringLiteral("/kotoha/kotoha.ini"); }
    QByteArray IniText() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteIni(const QByteArray& text) const {
        QDir().mkpath(config.path() + QStringLiteral("/kotoha"));
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir config;
    QTemporaryDir runtime;
};

class Session {
  public:
    explicit Session(std::vector<std::string> args = {}) {
        app = std::make_unique<CKotohaApp>();
        started = app->InitInstance(ScanCommandLine(args));
        if (started)
            exposed = QTest::qWaitForWindowExposed(frame());
    }
    ~Session() { Stop(); }

    CMainFrame* frame() const { return app ? app->mainFrame() : nullptr; }
    CKotohaDoc* doc() const { return app ? app->document() : nullptr; }

    // Closes the window as the user would and runs the exit.
    void Stop() {
        if (!app)
            return;
        if (frame() != nullptr)
            frame()->close();
        app->ExitInstance();
        app.reset();
    }

    std::unique_ptr<CKotohaApp> app;
    bool started = false;
    bool exposed = false;
};

// Writes bytes to the file name in dir and returns its path.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
    return path;
}

inline std::string SamplePath(const char* name) {
    return std::string(KOTOHA_SAMPLES_DIR) + "/" + name;
}

// Closes, every two seconds after the first ten, whatever modal widget is
// up while dialog is still open, so that a test whose answer did not land
// fails instead of waiting forever.
inline void CloseIfStuck(QPointer<QWidget> dialog, int delayMs = 10000) {
    QTimer::singleShot(delayMs, [dialog] {
        if (!dialog || !dialog->isVisible())
            return;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        CloseIfStuck(dialog, 2000);
    });
}

// Names path in a file dialog and presses Enter until the dialog takes it:
// the dialog reads its folder on a thread of its own, and on a busy machine
// the first Enter may come before it has. The name also replaces the
// selection in the dialog's list (a proposed file is selected there, and
// the field's text alone would not replace it).
inline void AcceptFileDialog(QWidget* dialog, const QString& path) {
    QPointer<QWidget> guarded(dialog);
    CloseIfStuck(guarded);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit != nullptr);
    auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
    for (int attempt = 0; attempt < 5 && guarded && guarded->isVisible() &&
                          QApplication::activeModalWidget() == guarded;
         ++attempt) {
        if (fileDialog != nullptr)
            fileDialog->selectFile(path);
        // Set rather than typed: typing would open the completer's popup,
        // which takes the Enter key.
        edit->setText(path);
        QTest::keyClick(edit, Qt::Key_Return);
        for (int waited = 0; waited < 2000 && guarded && guarded->isVisible() &&
                             QApplication::activeModalWidget() == guarded;
             waited += 50)
            QTest::qWait(50);
    }
}

}  // namespace kotoha::testing
