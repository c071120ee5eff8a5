// SPDX-License-Identifier: MIT
// The program: command line, start-up, the event loop and the exit.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

#include "shell/command_line.h"
#include "ui/about_dialog.h"
#include "ui/first_paint.h"
#include "ui/kotoha_app.h"
#include "ui/main_frame.h"

namespace {

// A session that ends sends SIGTERM (SIGHUP when the terminal goes): the
// signal is handed to the event loop through a socket, and the main window
// is closed as the menu's exit closes it, so that settings and placement
// are saved.
int terminationSocket[2] = {-1, -1};

extern "C" void NoteTermination(int) {
    const char byte = 1;
    (void)!write(terminationSocket[0], &byte, 1);
}

void CloseOnTermination(kotoha::CKotohaApp& app) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationSocket) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(terminationSocket[1], QSocketNotifier::Read, QApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [&app] {
        char byte = 0;
        (void)!read(terminationSocket[1], &byte, 1);
        if (app.mainFrame() != nullptr)
            app.mainFrame()->close();
        else
            QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = NoteTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// Each file after the first in a window of its own: a viewer of its own,
// with the same encoding switch.
void OpenInWindowsOfTheirOwn(const kotoha::CommandLineArgs& args) {
    static const char* const kSwitches[] = {"-s", "-j", "-e", "-u"};
    for (const std::string& file : args.moreFiles) {
        QStringList arguments;
        if (args.encodingSwitch >= 0 && args.encodingSwitch < 4)
            arguments << QString::fromLatin1(kSwitches[args.encodingSwitch]);
        arguments << QStringLiteral("--") << QString::fromLocal8Bit(file.c_str());
        QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer startClock;
    startClock.start();
    const kotoha::CommandLineArgs args = kotoha::ScanCommandLine(argc, argv);
    if (!args.error.empty()) {
        std::fprintf(stderr, "kotoha: %s; see 'kotoha --help'\n", args.error.c_str());
        return 2;
    }
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
    // The desktop entry's name, and the window class it names (StartupWMClass).
    QApplication::setDesktopFileName(QStringLiteral("io.github.kotoha.Kotoha"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("kotoha"), QIcon::fromTheme(QStringLiteral("accessories-text-editor"))));

    int status = 1;
    {
        kotoha::CKotohaApp app;
        if (!args.screenshotPath)
            CloseOnTermination(app);
        if (app.InitInstance(args)) {
            const QString screenshot =
                args.screenshotPath ? QString::fromStdString(*args.screenshotPath) : QString();
            if (!args.screenshotPath)
                OpenInWindowsOfTheirOwn(args);
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
