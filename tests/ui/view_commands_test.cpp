// SPDX-License-Identifier: MIT
// The view's commands through the real window: find next from the find
// dialog, copy, paste and the view settings command.
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>

#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "ui/command_actions.h"
#include "ui/splitter_wnd.h"
#include "ui/view_settings_dialog.h"
#include "ui_session.h"
#include "view/kotoha_view.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

const QString kNotFound = QStringLiteral("notFoundBox:見つかりませんでした。 i");

// Writes bytes to name in dir and returns the path.
std::string WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return path.toStdString();
}

CKotohaView* View(Session& s) {
    return qobject_cast<CKotohaView*>(s.frame()->ActiveView());
}

QAction* Action(Session& s, CommandId::Id id) {
    return s.frame()->commands().action(id);
}

// The selection as text offsets, "begin-end".
QString SelectedOffsets(Session& s) {
    DisplayPos lo;
    DisplayPos hi;
    View(s)->GetSelection(lo, hi);
    return QStringLiteral("%1-%2").arg(s.doc()->PosToOffset(lo)).arg(s.doc()->PosToOffset(hi));
}

// Opens the find dialog, fills it in and presses "find next" once.
void FindThroughDialog(Session& s, const QString& text, bool down, bool matchCase, bool wholeWord) {
    s.frame()->ExecuteCommand(CommandId::kFind);
    CFindDlg* dialog = s.frame()->findDialog();
    QVERIFY(dialog != nullptr);
    dialog->findChild<QLineEdit*>(QStringLiteral("findTextEdit"))->setText(text);
    dialog->findChild<QRadioButton*>(down ? QStringLiteral("downRadio") : QStringLiteral("upRadio"))
        ->setChecked(true);
    dialog->findChild<QCheckBox*>(QStringLiteral("matchCaseCheck"))->setChecked(matchCase);
    dialog->findChild<QCheckBox*>(QStringLiteral("wholeWordCheck"))->setChecked(wholeWord);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("findNextButton")),
                      Qt::LeftButton);
}

}  // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void findDownWalksThroughMatches();
    void findUpStopsAtTheStart();
    void findOptions_data();
    void findOptions();
    void findBringsMatchIntoView();
    void findDialogMovesOffItsMatchAndKeepsTheFocus();
    void matchEndingWithLineBreakStaysOnItsLine();
    void copyPutsSelectionOnClipboard();
    void pasteAsksFirstAndMarksModified();
    void pasteWithoutQuestion();
    void viewSettingsRelayoutOnlyWhenChanged();
    void viewSettingsDefaultsAreStored();
};

void ViewCommandsTest::findDownWalksThroughMatches() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "two.txt", "ab\nab")});
    QVERIFY(s.exposed);
    QStringList messages;
    FindThroughDialog(s, QStringLiteral("ab"), true, false, false);
    QCOMPARE(SelectedOffsets(s), QStringLiteral("0-2"));
    FindThroughDialog(s, QStringLiteral("ab"), true, false, false);
    QCOMPARE(SelectedOffsets(s), QStringLiteral("3-5"));
    modals.AnswerMessage(messages);
    FindThroughDialog(s, QStringLiteral("ab"), true, false, false);
    QCOMPARE(messages, QStringList{kNotFound});
    // Nothing found leaves the selection where it was.
    QCOMPARE(SelectedOffsets(s), QStringLiteral("3-5"));
}

void ViewCommandsTest::findDialogMovesOffItsMatchAndKeepsTheFocus() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "lines.txt", "xx\nab\nxx\nxx\n")});
    QVERIFY(s.exposed);
    s.frame()->ExecuteCommand(CommandId::kFind);
    CFindDlg* dialog = s.frame()->findDialog();
    QVERIFY(dialog != nullptr);
    CTextView* view = s.frame()->ActiveView();
    // The dialog over the text's first lines, where the match will be.
    dialog->move(view->viewport()->mapToGlobal(QPoint(0, 0)));
    dialog->findChild<QLineEdit*>(QStringLiteral("findTextEdit"))->setText(QStringLiteral("ab"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("findNextButton")),
                      Qt::LeftButton);
    QCOMPARE(SelectedOffsets(s), QStringLiteral("3-5"));
    const QRect band(view->viewport()->mapToGlobal(QPoint(0, view->lineHeight())),
                     QSize(view->viewport()->width(), view->lineHeight()));
    QTRY_VERIFY(!dialog->frameGeometry().intersects(band));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(dialog));
    if (qEnvironmentVariableIsSet("KOTOHA_SHOT_DIR"))
        dialog->screen()->grabWindow(0).save(qEnvironmentVariable("KOTOHA_SHOT_DIR") +
                                             "/find-screen.png");
    // Escape still closes it.
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
    QTRY_VERIFY(s.frame()->findDialog() == nullptr);
}

void ViewCommandsTest::findUpStopsAtTheStart() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "two.txt", "ab\nab")});
    QVERIFY(s.exposed);
    // Without a selection an upward search starts at the end of the last
    // visible line.
    FindThroughDialog(s, QStringLiteral("ab"), false, false, false);
    QCOMPARE(SelectedOffsets(s), QStringLiteral("3-5"));
    FindThroughDialog(s, QStringLiteral("ab"), false, false, false);
    QCOMPARE(SelectedOffsets(s), QStringLiteral("0-2"));
    QStringList messages;
    modals.AnswerMessage(messages);
    FindThroughDialog(s, QStringLiteral("ab"), false, false, false);
    QCOMPARE(messages, QStringList{kNotFound});
    QCOMPARE(SelectedOffsets(s), QStringLiteral("0-2"));
}

void ViewCommandsTest::findOptions_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("selected");  // "" when nothing is found
    QTest::newRow("capitals fold") << QByteArray("xx abc") << "ABC" << false << false << "3-6";
    QTest::newRow("capitals exact") << QByteArray("xx abc") << "ABC" << true << false << "";
    // Full-width "ＡＢ" finds full-width "ａｂ" only without match case.
    QTest::newRow("full-width fold")
        << QByteArray("x\x82\x81\x82\x82") << "ＡＢ" << false << false << "1-5";
    QTest::newRow("full-width exact")
        << QByteArray("x\x82\x81\x82\x82") << "ＡＢ" << true << false << "";
    QTest::newRow("word before stop")
        << QByteArray("a barn bar.") << "bar" << false << true << "7-10";
    QTest::newRow("word prefix only") << QByteArray("a barn") << "bar" << false << true << "";
    QTest::newRow("word after katakana") << QByteArray(
                                                "\xB1"
                                                "bar")
                                         << "bar" << false << true << "";
    QTest::newRow("word with underscores")
        << QByteArray("_bar_") << "bar" << false << true << "1-4";
}

void ViewCommandsTest::findOptions() {
    ModalSteps modals;
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QString, selected);
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "find.txt", text)});
    QVERIFY(s.exposed);
    QStringList messages;
    if (selected.isEmpty())
        modals.AnswerMessage(messages);
    FindThroughDialog(s, pattern, true, matchCase, wholeWord);
    if (selected.isEmpty()) {
        QCOMPARE(messages, QStringList{kNotFound});
        QVERIFY(!View(s)->HasSelection());
    } else {
        QVERIFY(messages.isEmpty());
        QCOMPARE(SelectedOffsets(s), selected);
    }
}

void ViewCommandsTest::findBringsMatchIntoView() {
    TestFolders folders;
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    // A target far down and far right: column 200 of a wrapped display line
    // lies beyond any window, so the wrap column goes up first.
    text += QByteArray(180, 'x') + "target\n";
    Session s({WriteFile(dir, "long.txt", text)});
    QVERIFY(s.exposed);
    s.app->settings().WrapColumns.value = 255;
    s.doc()->BuildLineIndex(255, 8);
    s.frame()->UpdateAllViews();
    CKotohaView* view = View(s);
    FindThroughDialog(s, QStringLiteral("target"), true, true, false);
    const DisplayPos anchor = view->anchor();
    QCOMPARE(anchor, (DisplayPos{180, 300}));
    QCOMPARE(view->selectionEnd(), (DisplayPos{186, 300}));
    const std::int32_t visible = view->viewport()->height() / view->lineHeight();
    const DisplayPos top = view->scrollPos();
    QCOMPARE(top.line, 300 - visible + 1);
    // The whole match lies within the window, 10 pixels kept free.
    const int left = (anchor.column - top.column) * view->columnWidth();
    QVERIFY(left >= 0);
    QVERIFY(left + 6 * view->columnWidth() <= view->viewport()->width());
}

void ViewCommandsTest::matchEndingWithLineBreakStaysOnItsLine() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "lines.txt", "ab\ncd\n")});
    QVERIFY(s.exposed);
    View(s)->FindNext(FindRequest{"b\n", true, false, false});
    QCOMPARE(View(s)->anchor(), (DisplayPos{1, 0}));
    QCOMPARE(View(s)->selectionEnd(), (DisplayPos{s.doc()->wrapColumn + 1, 0}));
}

void ViewCommandsTest::copyPutsSelectionOnClipboard() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "copy.txt", "one\r\n\x93\xFA\x96\x7B two\r\n")});
    QVERIFY(s.exposed);
    FindThroughDialog(s, QStringLiteral("日本 t"), true, true, false);
    // The find changed the selection, and with it the copy command's state.
    QVERIFY(Action(s, CommandId::kCopy)->isEnabled());
    Action(s, CommandId::kCopy)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("日本 t"));
    QVERIFY(View(s)->CopyAllToClipboard());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("one\n日本 two\n"));
}

void ViewCommandsTest::pasteAsksFirstAndMarksModified() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "old.txt", "old text\n")});
    QVERIFY(s.exposed);
    // A pasted text is modified; closing must not stop to ask about it.
    const auto unmodify = qScopeGuard([&s] { s.doc()->SetModifiedFlag(false); });
    QCOMPARE(s.app->settings().InquireWhenPaste.value, 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("新しい\nテキスト"));
    QTRY_VERIFY(Action(s, CommandId::kPaste)->isEnabled());
    QStringList messages;
    modals.AnswerMessage(messages, QMessageBox::No);
    QTest::keyClick(View(s), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith(
        QStringLiteral("replaceTextQuestionBox:現在のテキストと置き換わります。")));
    QCOMPARE(s.doc()->GetLineCount(), 1);
    QVERIFY(!s.doc()->IsModified());

    // The closed message box leaves the main window to be activated again.
    s.frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.frame()));
    modals.AnswerMessage(messages, QMessageBox::Yes);
    QTest::keyClick(View(s), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(messages.size(), 2);
    QCOMPARE(s.doc()->GetLineCount(), 2);
    QVERIFY(s.doc()->IsModified());
    QVERIFY(s.doc()->pathName().empty());
    // The first line's display text ends with the blank of its line break.
    QCOMPARE(QByteArray(s.doc()->GetLineText(0)), QByteArray("\x90V\x82\xb5\x82\xa2 "));
    QVERIFY(!View(s)->HasSelection());
    QCOMPARE(View(s)->scrollPos(), (DisplayPos{0, 0}));
}

void ViewCommandsTest::pasteWithoutQuestion() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "old.txt", "old text\n")});
    QVERIFY(s.exposed);
    // A pasted text is modified; closing must not stop to ask about it.
    const auto unmodify = qScopeGuard([&s] { s.doc()->SetModifiedFlag(false); });
    s.app->settings().InquireWhenPaste.value = 0;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    // A question that did come up is answered, so that the test fails
    // instead of hanging; the counter tells.
    QStringList messages;
    modals.AnswerMessage(messages);
    ModalCounter shown;
    s.frame()->ExecuteCommand(CommandId::kPaste);
    QCOMPARE(shown.count, 0);
    QCOMPARE(QByteArray(s.doc()->GetLineText(0)), QByteArray("pasted"));
    QVERIFY(s.doc()->IsModified());
}

void ViewCommandsTest::viewSettingsRelayoutOnlyWhenChanged() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "wide.txt", QByteArray(100, 'w') + "\n\tx\n")});
    QVERIFY(s.exposed);
    CKotohaView* view = View(s);
    QCOMPARE(s.doc()->GetLineCount(), 3);  // 80 + 20 columns, then the tab line
    view->SelectAll();

    // OK with W and T unchanged and only the background toggled: no relayout,
    // so the selection survives.
    const bool background = view->backgroundFlag();
    modals.OnNext<CViewSettingsDlg>([](CViewSettingsDlg* dialog) {
        auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("paintBackgroundCheck"));
        box->setChecked(!box->isChecked());
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    Action(s, CommandId::kViewSettings)->trigger();
    QCOMPARE(view->backgroundFlag(), !background);
    QVERIFY(view->HasSelection());

    // A new wrap column lays the text out anew in every pane.
    s.frame()->ExecuteCommand(CommandId::kSplit);
    modals.OnNext<CViewSettingsDlg>([](CViewSettingsDlg* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("wrapColumnEdit"))
            ->setText(QStringLiteral("40"));
        dialog->findChild<QLineEdit*>(QStringLiteral("tabLengthEdit"))
            ->setText(QStringLiteral("4"));
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    Action(s, CommandId::kViewSettings)->trigger();
    QCOMPARE(s.doc()->wrapColumn, 40);
    QCOMPARE(s.doc()->tabWidth, 4);
    QCOMPARE(s.doc()->GetLineCount(), 4);
    for (int row = 0; row < s.frame()->splitter().RowCount(); ++row) {
        QCOMPARE(s.frame()->splitter().Pane(row)->extentColumns(), 41);
        QCOMPARE(s.frame()->splitter().Pane(row)->extentLines(), 4);
    }
    QVERIFY(!view->HasSelection());
    // OK alone leaves the defaults as they were.
    QCOMPARE(s.app->settings().WrapColumns.value, 80);
    QCOMPARE(s.app->settings().PaintBkgnd.value, background ? 1 : 0);

    // Cancel changes nothing.
    modals.OnNext<CViewSettingsDlg>([](CViewSettingsDlg* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("wrapColumnEdit"))
            ->setText(QStringLiteral("60"));
        dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    Action(s, CommandId::kViewSettings)->trigger();
    QCOMPARE(s.doc()->wrapColumn, 40);
}

void ViewCommandsTest::viewSettingsDefaultsAreStored() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteFile(dir, "text.txt", "text\n")});
    QVERIFY(s.exposed);
    CKotohaView* view = View(s);
    s.app->settings().LogFont.values.clear();
    s.app->settings().FontName.Set("");
    modals.OnNext<CViewSettingsDlg>([](CViewSettingsDlg* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("wrapColumnEdit"))
            ->setText(QStringLiteral("120"));
        dialog->findChild<QCheckBox*>(QStringLiteral("paintBackgroundCheck"))->setChecked(false);
        dialog->findChild<QPushButton*>(QStringLiteral("defaultsButton"))->click();
    });
    Action(s, CommandId::kViewSettings)->trigger();
    QCOMPARE(s.doc()->wrapColumn, 120);
    QCOMPARE(s.app->settings().WrapColumns.value, 120);
    QCOMPARE(s.app->settings().Tabstops.value, 8);
    QCOMPARE(s.app->settings().PaintBkgnd.value, 0);
    // The font untouched in the dialog is stored as the default all the same.
    QCOMPARE(s.app->settings().LogFont.values, LogFontNumbers(view->logFont()));
    QCOMPARE(s.app->settings().FontName.value, view->logFont().faceName);
}

QTEST_MAIN(ViewCommandsTest)
#include "view_commands_test.moc"
