// SPDX-License-Identifier: MIT
// The application end to end: start-up with its command line, the
// settings and placement written at exit, File Open through the file
// dialog with its filter memory, the recently-used list, drops and paste.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <functional>

#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "shell/instance_lock.h"
#include "ui/command_actions.h"
#include "ui/file_prompt.h"
#include "ui/status_panes.h"
#include "ui_session.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

// Puts text into the file dialog's name field and presses Enter.
void TypeIntoFileDialog(QWidget* dialog, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit != nullptr);
    // Set rather than typed: typing would open the completer's popup, which
    // takes the Enter key.
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QString EncodingPane(Session& s) {
    return s.frame()->panes().Text(StatusPanes::kEncodingPane);
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

  private slots:
    void settingsWrittenAtExitAreTheChangedOnes();
    void exitKeepsWhatAnotherInstanceSaved();
    void refusedProfileIsToldAndKept();
    void placementSavedByTheFirstInstanceOnly();
    void placementIgnoredWithoutSaveFrameStatus();
    void windowAlwaysFitsOnTheScreen();
    void commandLineSwitchForcesEncoding();
    void missingFileLeavesEmptyWindow();
    void fileOpenThroughTheDialog();
    void typedFilterPatternIsRemembered();
    void everyChosenFilterIsRemembered();
    void saveDialogReportsEveryFilter();
    void recentEntriesAndDrops();
    void pasteLoadsClipboardText();
    void aboutShowsGroupedMemory();
    void screenshotRunNeverWaitsAndLeavesTheProfile();
    void commandLineErrorsAndFolders();
    void terminationSavesTheSettings();
    void screenshotRunOfAStrayedFileTakesTheDetectedKind();
    void recentEntryOfAVanishedFileIsRemoved();
    void qtTextsAreJapanese();
    void instanceLockStaysInTheUsersFolders();
};

void AppTest::settingsWrittenAtExitAreTheChangedOnes() {
    TestFolders folders;
    {
        Session s;
        QVERIFY(s.exposed);
        s.frame()->commands().action(CommandId::kToggleToolBar)->trigger();
    }
    // Only what this instance changed is written (the placement too, by the
    // first instance): another's changes in between stay.
    const QByteArray ini = folders.IniText();
    QVERIFY(ini.contains("ShowToolBar=0"));
    QVERIFY(!ini.contains("ShowStatusBar"));
    QVERIFY(!ini.contains("WrapColumns"));
    Session again;
    QVERIFY(again.exposed);
    QVERIFY(!again.frame()->toolBar()->isVisible());
    QVERIFY(again.frame()->statusBar()->isVisible());
}

// A profile grown past what the reader takes is not read, not written, and
// the user is told so.
void AppTest::refusedProfileIsToldAndKept() {
    ModalSteps modals;
    TestFolders folders;
    const QByteArray big = "[View]\nTabstops=4\n;" + QByteArray(1 << 20, 'x') + "\n";
    folders.WriteIni(big);
    QStringList messages;
    modals.AnswerMessage(messages);
    {
        Session s;
        QVERIFY(s.exposed);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.front().contains(folders.IniPath()), qPrintable(messages.front()));
        QCOMPARE(s.doc()->tabWidth, 8);
        s.frame()->commands().action(CommandId::kToggleToolBar)->trigger();
    }
    QVERIFY(folders.IniText() == big);
}

// Another instance saved its settings while this one ran: this one's exit
// reads the profile again and keeps them.
void AppTest::exitKeepsWhatAnotherInstanceSaved() {
    TestFolders folders;
    folders.WriteIni("[View]\nWrapColumns=80\n");
    {
        Session s;
        QVERIFY(s.exposed);
        folders.WriteIni("[View]\nWrapColumns=72\n[Etc]\nResembleLess=1\n");
        s.frame()->commands().action(CommandId::kToggleToolBar)->trigger();
    }
    const QByteArray ini = folders.IniText();
    QVERIFY2(ini.contains("WrapColumns=72"), ini.constData());
    QVERIFY(ini.contains("ResembleLess=1"));
    QVERIFY(ini.contains("ShowToolBar=0"));
}

void AppTest::placementSavedByTheFirstInstanceOnly() {
    TestFolders folders;
    {
        Session s;
        QVERIFY(s.exposed);
        QVERIFY(s.app->firstInstance());
        s.frame()->setGeometry(100, 120, 500, 400);
        QTRY_COMPARE(s.frame()->geometry(), QRect(100, 120, 500, 400));
    }
    QVERIFY(folders.IniText().contains("FramePosition=100,120,600,520"));
    QVERIFY(folders.IniText().contains("FrameIsMax=0"));

    // Another process holds the lock: this one is a later instance.
    InstanceLock other;
    QVERIFY(other.Acquire(InstanceLock::DefaultPath()));
    {
        Session s;
        QVERIFY(s.exposed);
        QVERIFY(!s.app->firstInstance());
        QCOMPARE(s.frame()->size(), QSize(500, 400));
        s.frame()->setGeometry(10, 10, 300, 200);
    }
    QVERIFY(folders.IniText().contains("FramePosition=100,120,600,520"));
}

void AppTest::placementIgnoredWithoutSaveFrameStatus() {
    TestFolders folders;
    folders.WriteIni("[Window]\nSaveFrameStatus=0\nFramePosition=50,60,450,360\n");
    {
        Session s;
        QVERIFY(s.exposed);
        QVERIFY(s.frame()->size() != QSize(400, 300));
        s.frame()->setGeometry(5, 5, 333, 222);
    }
    // Kept as stored, neither used nor replaced.
    QVERIFY(folders.IniText().contains("FramePosition=50,60,450,360"));
}

// A placement saved for a larger screen or a gone monitor, and the default
// size, all give a window inside the screen's available area.
void AppTest::windowAlwaysFitsOnTheScreen() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray placements[] = {
        "[Window]\nSaveFrameStatus=1\nFramePosition=-4000,-3000,-3300,-2500\n",
        "[Window]\nSaveFrameStatus=1\nFramePosition=100,100,3100,2100\n",
        "[Window]\nSaveFrameStatus=0\n",
    };
    for (const QByteArray& ini : placements) {
        TestFolders folders;
        folders.WriteIni(ini);
        Session s;
        QVERIFY(s.exposed);
        QVERIFY2(area.contains(s.frame()->frameGeometry()), ini.constData());
    }
    // A placement that fits is kept as it was.
    TestFolders folders;
    folders.WriteIni("[Window]\nSaveFrameStatus=1\nFramePosition=20,30,420,330\n");
    Session s;
    QVERIFY(s.exposed);
    QCOMPARE(s.frame()->geometry(), QRect(20, 30, 400, 300));
}

void AppTest::commandLineSwitchForcesEncoding() {
    TestFolders folders;
    {
        Session s({"-E", SamplePath("seasons.sjis.lf.txt")});
        QVERIFY(s.exposed);
        QCOMPARE(EncodingPane(s), QStringLiteral("EUC"));
        QCOMPARE(s.app->requests().openRequest.origin, OpenOrigin::CommandLine);
        QCOMPARE(s.app->requests().openRequest.forcedEncoding, 2);
    }
    Session s({"-q", "-jis", SamplePath("seasons.sjis.lf.txt")});
    QVERIFY(s.exposed);
    QCOMPARE(EncodingPane(s), QStringLiteral("JIS"));
}

void AppTest::missingFileLeavesEmptyWindow() {
    ModalSteps modals;
    TestFolders folders;
    QString shown;
    modals.OnNext<QWidget>([&shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
            QCOMPARE(box->windowTitle(), QStringLiteral("Kotoha"));
        }
        modal->close();
    });
    Session s({"/nonexistent/kotoha-test.txt"});
    QVERIFY(s.exposed);
    QVERIFY(shown.contains(QStringLiteral("/nonexistent/kotoha-test.txt")));
    QCOMPARE(s.frame()->windowTitle(), QStringLiteral("Kotoha"));
    QCOMPARE(s.doc()->GetLineCount(), 0);
    QVERIFY(s.app->recentFiles().Entries().empty());
}

void AppTest::fileOpenThroughTheDialog() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const QString path = QString::fromStdString(SamplePath("timetable.euc.crlf.txt"));
    modals.OnNext<QWidget>([&](QWidget* modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("fileDialog"));
        QCOMPARE(modal->windowTitle(), QStringLiteral("開く"));
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->nameFilters().size(), 8);
        AcceptFileDialog(modal, path);
    });
    // Ctrl+O, as the user would press it.
    QTest::keyClick(s.frame()->ActiveView(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), path);
    QCOMPARE(EncodingPane(s), QStringLiteral("EUC"));
    QCOMPARE(s.app->requests().openRequest.origin, OpenOrigin::FileDialog);
    QCOMPARE(s.app->requests().openRequest.forcedEncoding, -1);
    QCOMPARE(s.app->recentFiles().Entries().front(), path.toStdString());
    QCOMPARE(s.app->openMemory().filterIndex, 1);
    QVERIFY(s.frame()->commands().action(CommandId::kRecentFirst)->isEnabled());
}

void AppTest::typedFilterPatternIsRemembered() {
    ModalSteps modals;
    struct Case {
        const char* typed;
        std::int32_t filterIndex;
        const char* customLabel;
    };
    const Case cases[] = {
        {"*.H", 4, ""},
        {"*.cpp", 5, ""},
        {"*.doc", 0, "ｶｽﾀﾑ (*.doc)"},
    };
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const QString path = QString::fromStdString(SamplePath("shopping.jis.lf.txt"));
    for (const Case& c : cases) {
        modals.OnNext<QWidget>([&](QWidget* modal) {
            TypeIntoFileDialog(modal, QString::fromLatin1(c.typed));

            // The pattern filters the list; the dialog stays open.
            QVERIFY(modal->isVisible());
            AcceptFileDialog(modal, path);
        });
        s.frame()->ExecuteCommand(CommandId::kFileOpen);
        QCOMPARE(s.app->openMemory().filterIndex, c.filterIndex);
        QCOMPARE(QString::fromStdString(s.app->openMemory().customLabel),
                 QString::fromUtf8(c.customLabel));
        QCOMPARE(EncodingPane(s), QStringLiteral("JIS"));
    }
    // The custom filter is preselected next time.
    modals.OnNext<QWidget>([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog->selectedNameFilter().startsWith(QStringLiteral("ｶｽﾀﾑ (*.doc)")));
        modal->close();
    });
    s.frame()->ExecuteCommand(CommandId::kFileOpen);
}

namespace {

// Picks the filter at position in the dialog's filter box with the keys.
void ChooseFilterWithKeys(QWidget* dialog, int position) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo != nullptr);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), position);
}

}  // namespace

void AppTest::everyChosenFilterIsRemembered() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const QString path = QString::fromStdString(SamplePath("shopping.jis.lf.txt"));
    for (std::int32_t filter = 1; filter <= 8; ++filter) {
        QString preselected;
        modals.OnNext<QWidget>([&](QWidget* modal) {
            auto* combo = modal->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            preselected = combo != nullptr ? QString::number(combo->currentIndex() + 1) : QString();
            ChooseFilterWithKeys(modal, filter - 1);
            AcceptFileDialog(modal, path);
        });
        s.frame()->ExecuteCommand(CommandId::kFileOpen);
        QCOMPARE(s.app->openMemory().filterIndex, filter);
        // The filter chosen last time is the one that shows first.
        if (filter > 1)
            QCOMPARE(preselected, QString::number(filter - 1));
    }
}

void AppTest::saveDialogReportsEveryFilter() {
    FileDialogMemory memory;
    FilePromptOptions options;
    options.titleId = StringId::kSaveAsTitle;
    options.save = true;
    for (int position = 0; position < 8; ++position) {
        KotohaFileDialog dialog(nullptr, options, memory);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ChooseFilterWithKeys(&dialog, position);
        QCOMPARE(dialog.SelectedFilterNumber(), position + 1);
    }
}

void AppTest::recentEntriesAndDrops() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const std::string first = SamplePath("seasons.euc.lf.txt");
    const std::string second = SamplePath("shopping.sjis.cr.txt");
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                   QUrl::fromLocalFile(QString::fromStdString(second))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.frame(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.frame(), &drop);
    // The last dropped file stays open; both entered the list.
    QCOMPARE(s.doc()->pathName(), second);
    QCOMPARE(s.app->requests().openRequest.origin, OpenOrigin::DroppedFile);
    const std::vector<std::string> both = {second, first};
    QCOMPARE(s.app->recentFiles().Entries(), both);
    QCOMPARE(s.frame()->panes().Text(StatusPanes::kLineBreakPane), QStringLiteral("MAC"));

    // The second recent entry opens the first file again.
    QAction* entry = s.frame()->commands().action(CommandId::kRecentFirst + 1);
    QVERIFY(entry->isVisible());
    QVERIFY(entry->text().endsWith(QString::fromStdString(first)));
    entry->trigger();
    QCOMPARE(s.doc()->pathName(), first);
    QCOMPARE(s.app->requests().openRequest.origin, OpenOrigin::RecentFile);
    QCOMPARE(EncodingPane(s), QStringLiteral("EUC"));
    s.Stop();
    QVERIFY(folders.IniText().contains(QByteArray("File1=") + first.c_str()));
    delete mime;
}

void AppTest::pasteLoadsClipboardText() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    // The pasted text is a change: closing asks whether to save it.
    QString asked;
    modals.OnNext<QWidget>([&asked](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        asked = box->text();
        box->button(QMessageBox::No)->click();
    });
    QGuiApplication::clipboard()->setText(QStringLiteral("日本語のテキスト\nsecond ①"));
    QTRY_VERIFY(s.frame()->commands().action(CommandId::kPaste)->isEnabled());
    QTest::keyClick(s.frame()->ActiveView(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(s.doc()->GetLineCount(), 2);
    QCOMPARE(s.app->requests().openRequest.origin, OpenOrigin::Paste);
    QCOMPARE(EncodingPane(s), QStringLiteral("SJIS"));
    // Copying it back gives the same text: the round trip through CP932.
    s.frame()->ExecuteCommand(CommandId::kSelectAll);
    s.frame()->ExecuteCommand(CommandId::kCopy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("日本語のテキスト\nsecond ①"));
    s.Stop();
    QVERIFY2(asked.endsWith(QStringLiteral("への変更を保存しますか？")), qPrintable(asked));
}

void AppTest::aboutShowsGroupedMemory() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const QString text = QString::fromStdString(s.app->MemoryText());
    const QString separator = QString::fromStdString(s.frame()->thousandsSeparator());
    const QRegularExpression grouped(
        QStringLiteral("^\\d{1,3}(%1\\d{3})* KB$").arg(QRegularExpression::escape(separator)));
    QVERIFY2(grouped.match(text).hasMatch(), qPrintable(text));
    QString shown;
    QString caption;
    modals.OnNext<QWidget>([&shown, &caption](QWidget* modal) {
        if (auto* field = modal->findChild<QLabel*>(QStringLiteral("memoryLabel")))
            shown = field->text();
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("memoryCaption")))
            caption = label->text();
        if (qEnvironmentVariableIsSet("KOTOHA_SHOT_DIR"))
            modal->grab().save(qEnvironmentVariable("KOTOHA_SHOT_DIR") + "/about.png");
        modal->close();
    });
    s.frame()->commands().action(CommandId::kAbout)->trigger();
    QCOMPARE(shown, text);
    QCOMPARE(caption, QStringLiteral("物理メモリの容量:"));
}

namespace {

struct BatchRun {
    int status = -1;
    QString err;
};

// Runs the built viewer as its own process with the test's folders.
BatchRun RunViewer(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KOTOHA_VIEWER_PATH), args);
    BatchRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

void AppTest::screenshotRunNeverWaitsAndLeavesTheProfile() {
    TestFolders folders;
    const QByteArray profile =
        "[Window]\nSaveFrameStatus=1\nFramePosition=30,40,730,540\n"
        "[Recent File List]\nFile1=/somewhere/kept.txt\n";
    folders.WriteIni(profile);
    const QString png = folders.config.filePath(QStringLiteral("shot.png"));
    const QString fifo = folders.config.filePath(QStringLiteral("fifo"));
    QCOMPARE(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);

    for (const QString& file : {QStringLiteral("/no/such/file"), fifo}) {
        const BatchRun run = RunViewer({QStringLiteral("--screenshot=") + png, file});
        QCOMPARE(run.status, 1);
        // One line: the message that would have been a box.
        QVERIFY2(run.err.startsWith(QStringLiteral("kotoha: ") + file), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY(run.err.endsWith(QLatin1Char('\n')));
        QVERIFY(!QFile::exists(png));
    }

    const BatchRun good = RunViewer({QStringLiteral("--screenshot=") + png,
                                     QString::fromStdString(SamplePath("seasons.euc.lf.txt"))});
    QCOMPARE(good.status, 0);
    QVERIFY(QFile::exists(png));
    QCOMPARE(folders.IniText(), profile);
}

void AppTest::commandLineErrorsAndFolders() {
    TestFolders folders;
    const BatchRun unknown = RunViewer({QStringLiteral("-q"), QStringLiteral("f.txt")});
    QCOMPARE(unknown.status, 2);
    QCOMPARE(unknown.err, QStringLiteral("kotoha: unknown option '-q'; see 'kotoha --help'\n"));
    QCOMPARE(RunViewer({QStringLiteral("-h")}).status, 0);
    const QString png = folders.config.filePath(QStringLiteral("shot.png"));
    const BatchRun folder =
        RunViewer({QStringLiteral("--screenshot=") + png, folders.config.path()});
    QCOMPARE(folder.status, 1);
    QVERIFY2(folder.err.contains(QStringLiteral("フォルダー")), qPrintable(folder.err));
    // Qt's own options are Qt's, and a file:// URI opens its file.
    const BatchRun styled = RunViewer(
        {QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("--screenshot=") + png,
         QStringLiteral("file://") + QString::fromStdString(SamplePath("seasons.euc.lf.txt"))});
    QCOMPARE(styled.status, 0);
    QVERIFY(QFile::exists(png));
}

// A session that ends sends SIGTERM: the viewer ends as its menu's exit
// does, writing its settings.
void AppTest::terminationSavesTheSettings() {
    TestFolders folders;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KOTOHA_VIEWER_PATH),
                  {QString::fromStdString(SamplePath("seasons.euc.lf.txt"))});
    // The lock is taken once the signal is handled.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(folders.runtime.path()).entryList(QDir::Files).isEmpty(), 30000);
    QVERIFY(!QFile::exists(folders.IniPath()));
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(folders.IniText().contains("seasons.euc.lf.txt"));
}

void AppTest::screenshotRunOfAStrayedFileTakesTheDetectedKind() {
    TestFolders folders;
    folders.WriteIni("[AnalyzeEncoding]\nInquireWhenStrayed=1\n");
    const QString file = folders.config.filePath(QStringLiteral("strayed.txt"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("\xa4\xa2\xa4\xa4");  // EUC-JP or Shift-JIS half-width katakana
    out.close();
    const QString png = folders.config.filePath(QStringLiteral("shot.png"));
    const BatchRun run = RunViewer({QStringLiteral("--screenshot=") + png, file});
    QCOMPARE(run.status, 0);
    QVERIFY(QFile::exists(png));
}

void AppTest::recentEntryOfAVanishedFileIsRemoved() {
    ModalSteps modals;
    TestFolders folders;
    const QString gone = folders.config.filePath(QStringLiteral("gone.txt"));
    const std::string kept = SamplePath("seasons.euc.lf.txt");
    folders.WriteIni("[Recent File List]\nFile1=" + gone.toUtf8() + "\nFile2=" + kept.c_str() +
                     "\n");
    Session s;
    QVERIFY(s.exposed);
    QCOMPARE(s.app->recentFiles().Entries().size(), std::size_t{2});
    QStringList log;
    modals.AnswerMessage(log);
    s.frame()->commands().action(CommandId::kRecentFirst)->trigger();
    QCOMPARE(log.size(), 1);
    QVERIFY(log.front().contains(gone));
    QCOMPARE(s.app->recentFiles().Entries(), std::vector<std::string>{kept});
    // The menu follows: the entry that is left is the first.
    QVERIFY(s.frame()
                ->commands()
                .action(CommandId::kRecentFirst)
                ->text()
                .endsWith(QString::fromStdString(kept)));
    QVERIFY(!s.frame()->commands().action(CommandId::kRecentFirst + 1)->isVisible());
}

void AppTest::qtTextsAreJapanese() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QStringList buttons;
    modals.OnNext<QMessageBox>([&buttons](QMessageBox* box) {
        // Japanese buttons carry their access key after the word: "はい(&Y)".
        static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)$"));
        for (QAbstractButton* button : box->buttons())
            buttons << button->text().remove(accessKey);
        box->button(QMessageBox::Cancel)->click();
    });
    s.app->AskYesNoCancel(StringId::kSaveChangesQuestion, "x");
    buttons.sort();
    QStringList expected = {QStringLiteral("はい"), QStringLiteral("いいえ"),
                            QStringLiteral("キャンセル")};
    expected.sort();
    QCOMPARE(buttons, expected);

    // The file dialog's own labels.
    QStringList labels;
    modals.OnNext<QFileDialog>([&labels](QFileDialog* dialog) {
        labels << dialog->labelText(QFileDialog::LookIn) << dialog->labelText(QFileDialog::FileName)
               << dialog->labelText(QFileDialog::Reject);
        dialog->reject();
    });
    s.frame()->ExecuteCommand(CommandId::kFileOpen);
    QCOMPARE(labels.size(), 3);
    for (const QString& label : labels) {
        QVERIFY2(!label.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}"))),
                 qPrintable(label));
    }
}

void AppTest::instanceLockStaysInTheUsersFolders() {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    const std::string runtime = base + "/run";
    QVERIFY(QDir().mkpath(QString::fromStdString(runtime)));
    QCOMPARE(InstanceLock::DefaultPath(runtime.c_str(), "/c", "/h"), runtime + "/kotoha.lock");
    QCOMPARE(InstanceLock::DefaultPath(nullptr, (base + "/cache").c_str(), "/h"),
             base + "/cache/kotoha.lock");
    QVERIFY(QDir(QString::fromStdString(base + "/cache")).exists());
    QCOMPARE(InstanceLock::DefaultPath("", nullptr, base.c_str()), base + "/.cache/kotoha.lock");
    QCOMPARE(InstanceLock::DefaultPath(nullptr, "relative", nullptr), std::string());

    // What someone else put in the lock's place is refused and left alone.
    const std::string victim = base + "/victim";
    const std::string link = base + "/link.lock";
    QVERIFY(symlink(victim.c_str(), link.c_str()) == 0);
    InstanceLock lock;
    QVERIFY(!lock.Acquire(link));
    QVERIFY(!QFile::exists(QString::fromStdString(victim)));
    const std::string fifo = base + "/fifo.lock";
    QVERIFY(mkfifo(fifo.c_str(), 0600) == 0);
    QVERIFY(!lock.Acquire(fifo));
    if (geteuid() == 0) {
        const std::string foreign = base + "/foreign.lock";
        QFile(QString::fromStdString(foreign)).open(QIODevice::WriteOnly);
        QVERIFY(chown(foreign.c_str(), 65534, 65534) == 0);
        QVERIFY(!lock.Acquire(foreign));
    }
    QVERIFY(lock.Acquire(base + "/own.lock"));
    InstanceLock second;
    QVERIFY(!second.Acquire(base + "/own.lock"));
}

QTEST_MAIN(AppTest)
#include "app_test.moc"
