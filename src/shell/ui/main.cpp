// SPDX-License-Identifier: MIT
// The program: command line, start-up, the event loop and the exit.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "shell/command_line.h"
#include "shell/ui/about_dialog.h"
#include "shell/ui/first_paint.h"
#include "shell/ui/kotoha_app.h"
#include "shell/ui/main_frame.h"

int main(int argc, char* argv[]) {
    QElapsedTimer startClock;
    startClock.start();
    const kotoha::CommandLineArgs args = kotoha::ScanCommandLine(argc, argv);
    if (args.help) {
        std::fputs(kotoha::UsageText("kotoha").c_str(), stdout);
        return 0;
    }
    if (args.version) {
        std::printf("kotoha %s\n", kotoha::kProgramVersion);
        return 0;
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kotoha"));
    QApplication::setApplicationVersion(QString::fromLatin1(kotoha::kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("kotoha"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("kotoha"), QIcon::fromTheme(QStringLiteral("accessories-text-editor"))));

    int status = 1;
    {
        kotoha::CKotohaApp app;
        if (app.InitInstance(args)) {
            const QString screenshot =
                args.screenshotPath ? QString::fromStdString(*args.screenshotPath) : QString();
            auto* watch = new kotoha::FirstPaintWatcher(*app.mainFrame(), startClock, screenshot);
            status = QApplication::exec();
            if (!watch->succeeded())
                status = 1;
        }
        const int exitStatus = app.ExitInstance();
        if (status == 0)
            status = exitStatus;
    }
    return status;
}
