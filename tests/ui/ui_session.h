// A whole program run inside a test: its own profile and runtime folders,
// the application started with a command line, and the main frame shown.
#pragma once

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/ui/kotoha_app.h"
#include "shell/ui/main_frame.h"
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
    QString IniPath() const { return config.path() + QStringLiteral("/anonymous/Kotoha.ini"); }
    QByteArray IniText() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteIni(const QByteArray& text) const {
        QDir().mkpath(config.path() + QStringLiteral("/anonymous"));
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

inline std::string SamplePath(const char* name) {
    return std::string(KOTOHA_SAMPLES_DIR) + "/" + name;
}

}  // namespace kotoha::testing
