// SPDX-License-Identifier: MIT
// The external editor: its launch through the file (saving first when the
// file is not Shift-JIS with CR LF) and through the clipboard, with a small
// script standing in for the editor that records its arguments; the
// failure message; and the settings dialog's enabling and validation.
#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <iterator>

#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "ui/command_actions.h"
#include "ui/external_editor_dialog.h"
#include "ui_session.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

// Answers the next modal, which must be a message box, and records its text.
void AnswerMessageBox(ModalSteps& modals, QString& text) {
    modals.OnNext<QWidget>([&text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

// An "editor" that writes each of its arguments on a line of args.txt in
// its folder, making the file appear only once it is complete.
class FakeEditor {
  public:
    explicit FakeEditor(const QString& name = QStringLiteral("editor.sh")) {
        const QString script = dir.filePath(name);
        QFile file(script);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("#!/bin/sh\nout='" + OutputPath().toUtf8() + "'\necho run >> '" +
                       RunsPath().toUtf8() +
                       "'\n: > \"$out.part\"\n"
                       "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out.part\"; done\n"
                       "mv \"$out.part\" \"$out\"\n");
        }
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        path = script.toStdString();
    }
    QString OutputPath() const { return dir.filePath(QStringLiteral("args.txt")); }
    // One line per run, written as the run starts.
    QString RunsPath() const { return dir.filePath(QStringLiteral("runs.txt")); }
    int Runs() const {
        QFile file(RunsPath());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }
    // The arguments of the run, once it has written them.
    QStringList WaitForArguments() const {
        if (!QTest::qWaitFor([this] { return QFile::exists(OutputPath()); }, 10000))
            return {QStringLiteral("<not started>")};
        QFile file(OutputPath());
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("<unreadable>")};
        const QString text = QString::fromUtf8(file.readAll());
        QStringList lines = text.split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }
    bool Started() const { return QFile::exists(OutputPath()); }

    QTemporaryDir dir;
    std::string path;
};

QAction* Action(Session& s, CommandId::Id id) {
    return s.frame()->commands().action(id);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ExternalEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void viaFileReplacesPlaceholders();
    void lessKeyStartsTheEditor();
    void viaFileSavesFirst_data();
    void viaFileSavesFirst();
    void fileIsHandedOverAsItIs();
    void cancelledSaveStartsNothing();
    void viaClipboardCopiesAllAndIgnoresArguments();
    void unstartableProgramIsReported_data();
    void unstartableProgramIsReported();
    void commandEnabling();
    void dialogEnablingFollowsHandOver();
    void dialogValidation_data();
    void dialogValidation();
    void settingsCommandStoresFields();
    void browsePutsChosenPath();
};

void ExternalEditorTest::viaFileReplacesPlaceholders() {
    TestFolders folders;
    FakeEditor editor;
    // A Shift-JIS CR LF file whose path holds a blank: it goes over as it is.
    QTemporaryDir docs;
    const QString docPath = docs.filePath(QStringLiteral("my notes.txt"));
    {
        QFile file(docPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 200; ++i)
            file.write("line " + QByteArray::number(i) + "\r\n");
    }
    Session s({docPath.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QCOMPARE(s.doc()->lineBreak, LineBreakKind::WIN);
    s.app->settings().Path.value = editor.path + " --first";
    s.app->settings().Arguments.value = "-l$LINE $File \"+$line\"";
    s.frame()->ActiveView()->ScrollTo(0, 41);
    QCOMPARE(s.frame()->ActiveView()->scrollPos().line, 41);
    Action(s, CommandId::kLaunchEditor)->trigger();
    QCOMPARE(editor.WaitForArguments(),
             QStringList({QStringLiteral("--first"), QStringLiteral("-l42"), docPath,
                          QStringLiteral("+42")}));
    // Nothing was saved: the file and the document stay as they were.
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), docPath);
    QVERIFY(!s.doc()->IsModified());
}

void ExternalEditorTest::lessKeyStartsTheEditor() {
    TestFolders folders;
    FakeEditor editor;
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    s.app->settings().ResembleLess.value = 1;
    s.app->settings().Path.value = editor.path;
    QTest::keyClick(s.frame()->ActiveView(), Qt::Key_V);
    QCOMPARE(editor.WaitForArguments(),
             QStringList({QString::fromStdString(SamplePath("seasons.sjis.crlf.txt"))}));
}

void ExternalEditorTest::viaFileSavesFirst_data() {
    QTest::addColumn<QString>("source");  // empty: a pasted text
    QTest::newRow("pasted text") << QString();
}

// A document read from a file goes to the editor as that file, in its own
// encoding and line breaks, never saved first; a name that is no valid
// UTF-8 reaches the editor byte for byte.
void ExternalEditorTest::fileIsHandedOverAsItIs() {
    QTemporaryDir out;
    std::ifstream sample(SamplePath("seasons.euc.lf.txt"), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(sample), {});
    for (const std::string name : {"euc lf.txt", "\xff\xfe name.txt"}) {
        ModalSteps modals;
        TestFolders folders;
        FakeEditor editor;
        const std::string path = out.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        Session s({path});
        QVERIFY(s.exposed);
        QCOMPARE(s.doc()->encoding, EncodingKind::EUC);
        s.app->settings().Path.value = editor.path;
        s.app->settings().Arguments.value = "$file";
        ModalCounter shown;
        Action(s, CommandId::kLaunchEditor)->trigger();
        QTRY_VERIFY(editor.Started());
        QCOMPARE(shown.count, 0);
        QCOMPARE(ReadAll(editor.OutputPath()).toStdString(), path + "\n");
        std::ifstream in(path, std::ios::binary);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
        QCOMPARE(s.doc()->encoding, EncodingKind::EUC);
    }
}

void ExternalEditorTest::viaFileSavesFirst() {
    ModalSteps modals;
    QFETCH(QString, source);
    TestFolders folders;
    FakeEditor editor;
    QTemporaryDir out;
    std::vector<std::string> args;
    if (!source.isEmpty())
        args.push_back(source.toStdString());
    Session s(args);
    QVERIFY(s.exposed);
    if (source.isEmpty()) {
        QGuiApplication::clipboard()->setText(QStringLiteral("日本語の\nテキスト"));
        QTRY_VERIFY(Action(s, CommandId::kPaste)->isEnabled());
        Action(s, CommandId::kPaste)->trigger();
        QCOMPARE(s.doc()->GetLineCount(), 2);
    }
    // An earlier Save As chose another format; the editor's save ignores it.
    s.app->requests().saveFormatChoice = {LineBreakKind::UX, EncodingKind::EUC, true, true};
    s.app->settings().Path.value = editor.path;
    s.app->settings().Arguments.value = "$file";
    const QString target = out.filePath(QStringLiteral("for editor.txt"));
    bool secondDialog = false;
    modals.OnNext<QWidget>([&](QWidget* modal) {
        QVERIFY(qobject_cast<QFileDialog*>(modal) != nullptr);
        AcceptFileDialog(modal, target);
        // A format dialog that wrongly followed is closed, so the test fails
        // instead of waiting.
        modals.OnNext<QWidget>([&secondDialog](QWidget* next) {
            secondDialog = true;
            next->close();
        });
    });
    ModalCounter shown;
    Action(s, CommandId::kLaunchEditor)->trigger();
    QCOMPARE(editor.WaitForArguments(), QStringList({target}));
    // The file dialog alone, no save-format dialog after it.
    QCOMPARE(shown.count, 1);
    QVERIFY(!secondDialog);
    // Written as Shift-JIS with CR LF, and the document now is that file.
    const QByteArray written = ReadAll(target);
    QVERIFY(!written.isEmpty());
    QVERIFY(written.contains("\r\n"));
    QCOMPARE(written.count('\n'), written.count("\r\n"));
    if (source.isEmpty())
        QCOMPARE(written, QByteArray("\x93\xfa\x96\x7b\x8c\xea\x82\xcc\r\n\x83\x65\x83\x4c\x83"
                                     "\x58\x83\x67"));
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), target);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QCOMPARE(s.doc()->lineBreak, LineBreakKind::WIN);
    QVERIFY(!s.doc()->IsModified());
    const SaveFormatChoice& choice = s.app->requests().saveFormatChoice;
    QCOMPARE(choice.textFormat, LineBreakKind::WIN);
    QCOMPARE(choice.encoding, EncodingKind::SJIS);
    QVERIFY(!choice.widenKana);
    QVERIFY(!choice.forSelection);
}

void ExternalEditorTest::cancelledSaveStartsNothing() {
    ModalSteps modals;
    TestFolders folders;
    FakeEditor editor;
    Session s;
    QVERIFY(s.exposed);
    QGuiApplication::clipboard()->setText(QStringLiteral("日本語"));
    QTRY_VERIFY(Action(s, CommandId::kPaste)->isEnabled());
    Action(s, CommandId::kPaste)->trigger();
    s.app->settings().Path.value = editor.path;
    bool extraDialog = false;
    modals.OnNext<QWidget>([&](QWidget* modal) {
        QVERIFY(qobject_cast<QFileDialog*>(modal) != nullptr);
        qobject_cast<QFileDialog*>(modal)->reject();
        modals.OnNext<QWidget>([&extraDialog](QWidget* next) {
            extraDialog = true;
            next->close();
        });
    });
    ModalCounter shown;
    Action(s, CommandId::kLaunchEditor)->trigger();
    QCOMPARE(shown.count, 1);
    QVERIFY(!extraDialog);
    QVERIFY(s.doc()->pathName().empty());
    // The editor did not run: a launch that works now is its first run.
    s.app->settings().ViaClipboard.value = 1;
    Action(s, CommandId::kLaunchEditor)->trigger();
    QTRY_VERIFY(editor.Started());
    QCOMPARE(editor.Runs(), 1);
}

void ExternalEditorTest::viaClipboardCopiesAllAndIgnoresArguments() {
    TestFolders folders;
    FakeEditor editor;
    // Even a file that would need saving goes over without a dialog.
    Session s({SamplePath("seasons.euc.lf.txt")});
    QVERIFY(s.exposed);
    QGuiApplication::clipboard()->clear();
    s.app->settings().ViaClipboard.value = 1;
    s.app->settings().Path.value = editor.path + " --new";
    s.app->settings().Arguments.value = "$file $line";
    s.frame()->ActiveView()->ScrollTo(0, 2);
    Action(s, CommandId::kLaunchEditor)->trigger();
    QCOMPARE(editor.WaitForArguments(), QStringList({QStringLiteral("--new")}));
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("季節の覚え書き\n")));
    // The same text as the copy command gives for the whole text.
    s.frame()->ExecuteCommand(CommandId::kSelectAll);
    QGuiApplication::clipboard()->clear();
    s.frame()->ExecuteCommand(CommandId::kCopy);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    QCOMPARE(s.doc()->encoding, EncodingKind::EUC);
}

void ExternalEditorTest::unstartableProgramIsReported_data() {
    QTest::addColumn<int>("viaClipboard");
    QTest::addColumn<QString>("path");
    QTest::newRow("missing program via file") << 0 << QStringLiteral("/nonexistent/kotoha-editor");
    QTest::newRow("missing program via clipboard")
        << 1 << QStringLiteral("kotoha-no-such-editor-program");
    QTest::newRow("empty command via clipboard") << 1 << QStringLiteral("  ");
}

void ExternalEditorTest::unstartableProgramIsReported() {
    ModalSteps modals;
    QFETCH(int, viaClipboard);
    QFETCH(QString, path);
    TestFolders folders;
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    s.app->settings().ViaClipboard.value = viaClipboard;
    s.app->settings().Path.value = path.toStdString();
    QString shown;
    AnswerMessageBox(modals, shown);
    Action(s, CommandId::kLaunchEditor)->trigger();
    QCOMPARE(shown, QStringLiteral(
                        "起動できませんでした。パスが正しく設定されているか確認してください。"));
}

void ExternalEditorTest::commandEnabling() {
    TestFolders folders;
    {
        Session s;
        QVERIFY(s.exposed);
        QVERIFY(!Action(s, CommandId::kLaunchEditor)->isEnabled());
        QVERIFY(Action(s, CommandId::kEditorSettings)->isEnabled());
        // The less key does nothing on an empty text either.
        FakeEditor editor;
        s.app->settings().ResembleLess.value = 1;
        s.app->settings().Path.value = editor.path;
        QTest::keyClick(s.frame()->ActiveView(), Qt::Key_V);
        // The editor did not run: once a text is there, the same key gives
        // its first run.
        QVERIFY(s.app->OpenDocumentFile(SamplePath("seasons.sjis.crlf.txt"),
                                        {OpenOrigin::FileDialog, -1}) != nullptr);
        s.app->settings().ViaClipboard.value = 1;
        QTest::keyClick(s.frame()->ActiveView(), Qt::Key_V);
        QTRY_VERIFY(editor.Started());
        QCOMPARE(editor.Runs(), 1);
    }
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    QVERIFY(Action(s, CommandId::kLaunchEditor)->isEnabled());
    QVERIFY(Action(s, CommandId::kEditorSettings)->isEnabled());
}

void ExternalEditorTest::dialogEnablingFollowsHandOver() {
    for (int handOver : {0, 1}) {
        ExternalEditorDialogValues values;
        values.handOver = handOver;
        values.command = "vi";
        values.arguments = "$file";
        CExternalEditorDlg dialog(values, nullptr);
        auto* clipboard = dialog.findChild<QRadioButton*>(QStringLiteral("viaClipboardRadio"));
        auto* file = dialog.findChild<QRadioButton*>(QStringLiteral("viaFileRadio"));
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("argumentsLabel"));
        auto* arguments = dialog.findChild<QLineEdit*>(QStringLiteral("argumentsEdit"));
        QVERIFY(clipboard && file && label && arguments);
        QCOMPARE(file->isChecked(), handOver == 1);
        QCOMPARE(arguments->isEnabled(), handOver == 1);
        QCOMPARE(label->isEnabled(), handOver == 1);
        QTest::mouseClick(handOver == 1 ? clipboard : file, Qt::LeftButton);
        QCOMPARE(arguments->isEnabled(), handOver == 0);
        QCOMPARE(label->isEnabled(), handOver == 0);
        QCOMPARE(dialog.Values().handOver, 1 - handOver);
        // The fields take at most 259 characters.
        auto* command = dialog.findChild<QLineEdit*>(QStringLiteral("commandEdit"));
        QCOMPARE(command->maxLength(), 259);
        QCOMPARE(arguments->maxLength(), 259);
    }
}

void ExternalEditorTest::dialogValidation_data() {
    QTest::addColumn<int>("handOver");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("message");  // empty: the dialog closes
    const QString noCommand =
        QStringLiteral("コマンドラインにエディタのパス名が指定されていません。");
    const QString noFile = QStringLiteral("引数に $file が指定されていません。");
    QTest::newRow("file, all set") << 1 << "vi"
                                   << "+$line $FILE" << QString();
    QTest::newRow("file, empty command") << 1 << ""
                                         << "$file" << noCommand;
    QTest::newRow("file, both wrong") << 1 << ""
                                      << "" << noCommand;
    QTest::newRow("file, no $file") << 1 << "vi"
                                    << "+$line" << noFile;
    QTest::newRow("file, $fil only") << 1 << "vi"
                                     << "$fil e" << noFile;
    QTest::newRow("clipboard, nothing checked") << 0 << ""
                                                << "" << QString();
}

void ExternalEditorTest::dialogValidation() {
    ModalSteps modals;
    QFETCH(int, handOver);
    QFETCH(QString, command);
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    ExternalEditorDialogValues values;
    values.handOver = handOver;
    values.command = command.toStdString();
    values.arguments = arguments.toStdString();
    CExternalEditorDlg dialog(values, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QString shown;
    if (!message.isEmpty())
        AnswerMessageBox(modals, shown);
    dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    QCOMPARE(shown, message);
    QCOMPARE(dialog.isVisible(), !message.isEmpty());
    QCOMPARE(dialog.result(), message.isEmpty() ? int(QDialog::Accepted) : 0);
}

void ExternalEditorTest::settingsCommandStoresFields() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    AppSettings& settings = s.app->settings();
    QCOMPARE(settings.Path.value, std::string("xdg-open"));
    // Cancel keeps everything; OK stores the three fields.
    for (bool ok : {false, true}) {
        modals.OnNext<QWidget>([ok](QWidget* modal) {
            QVERIFY(qobject_cast<CExternalEditorDlg*>(modal) != nullptr);
            auto* file = modal->findChild<QRadioButton*>(QStringLiteral("viaFileRadio"));
            QVERIFY(file->isChecked());
            modal->findChild<QLineEdit*>(QStringLiteral("commandEdit"))->setText("gedit");
            modal->findChild<QLineEdit*>(QStringLiteral("argumentsEdit"))->setText("+$line");
            QTest::mouseClick(modal->findChild<QRadioButton*>(QStringLiteral("viaClipboardRadio")),
                              Qt::LeftButton);
            const char* button = ok ? "okButton" : "cancelButton";
            modal->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        Action(s, CommandId::kEditorSettings)->trigger();
        QCOMPARE(settings.Path.value, std::string(ok ? "gedit" : "xdg-open"));
        QCOMPARE(settings.ViaClipboard.value, ok ? 1 : 0);
        QCOMPARE(settings.Arguments.value, std::string(ok ? "+$line" : "$file"));
    }
    // Nothing reaches the profile before exit.
    QVERIFY(!folders.IniText().contains("gedit"));
    s.Stop();
    QVERIFY(folders.IniText().contains("Path=gedit"));
    QVERIFY(folders.IniText().contains("ViaClipboard=1"));
}

void ExternalEditorTest::browsePutsChosenPath() {
    ModalSteps modals;
    // A program whose path holds blanks goes in quoted, so that it is still
    // one word when the command line is split at launch.
    FakeEditor editor(QStringLiteral("my editor.sh"));
    ExternalEditorDialogValues values;
    values.command = "nothing-here";
    values.arguments = "$file";
    CExternalEditorDlg dialog(values, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QString title;
    QStringList filters;
    modals.OnNext<QWidget>([&](QWidget* modal) {
        auto* browse = qobject_cast<QFileDialog*>(modal);
        QVERIFY(browse != nullptr);
        title = browse->windowTitle();
        filters = browse->nameFilters();
        AcceptFileDialog(browse, QString::fromStdString(editor.path));
    });
    dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
    QCOMPARE(title, QStringLiteral("ファイルの参照"));
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters[0].startsWith(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ ﾌｧｲﾙ")));
    QVERIFY(filters[1].startsWith(QStringLiteral("すべてのﾌｧｲﾙ")));
    QCOMPARE(SplitCommandLine(dialog.Values().command), std::vector<std::string>{editor.path});
    QVERIFY(dialog.Values().command != editor.path);
    const std::vector<std::string> argv =
        EditorArgv(dialog.Values().command, false, "$file", "/tmp/a b.txt", 0);
    QCOMPARE(argv, (std::vector<std::string>{editor.path, "/tmp/a b.txt"}));
}

QTEST_MAIN(ExternalEditorTest)
#include "external_editor_test.moc"
