// SPDX-License-Identifier: MIT
// The main window driven with real key and mouse events: status-bar panes,
// menus, toolbar, split window, bar toggles, find dialog and the enabling
// of commands.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "document/kotoha_doc.h"
#include "ui/command_actions.h"
#include "ui/splitter_wnd.h"
#include "ui/status_panes.h"
#include "ui_session.h"
#include "view/kotoha_view.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

QString PaneText(Session& s, std::size_t position) {
    return s.frame()->panes().Text(position);
}

QAction* Action(Session& s, CommandId::Id id) {
    return s.frame()->commands().action(id);
}

// A Shift-JIS file of many long ASCII lines, so that both bars can scroll.
std::string WriteLongFile(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < 400; ++i)
        file.write(QByteArray("line ") + QByteArray::number(i) + QByteArray(150, 'x') + "\n");
    return path.toStdString();
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void samplesShowTheirKinds_data();
    void samplesShowTheirKinds();
    void emptyStartShowsTitleAlone();
    void menuMatchesTable();
    void toolBarAndRightClickMenu();
    void lineAndColumnPanes();
    void splitWindowKeepsTwoScrollPositions();
    void sharedBarMovesOnlyTheActivePane();
    void panesFollowMovesWithoutAScroll();
    void disabledMenuItemsShowTheirPrompt();
    void togglesHideBarsAndStoreSettings();
    void findDialogIsModelessAndSingle();
    void enablingFollowsDocumentAndSelection();
};

void MainFrameTest::samplesShowTheirKinds_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("lineBreak");
    const QDir samples(QStringLiteral(KOTOHA_SAMPLES_DIR));
    const QStringList names = samples.entryList({QStringLiteral("*.txt")}, QDir::Files);
    QVERIFY(names.size() >= 9);
    for (const QString& name : names) {
        // name.<sjis|jis|euc>.<crlf|lf|cr>.txt
        const QStringList parts = name.split(QLatin1Char('.'));
        const QString encoding = parts[1].toUpper();
        const QString lineBreak = parts[2] == QLatin1String("crlf") ? QStringLiteral("WIN")
                                  : parts[2] == QLatin1String("lf") ? QStringLiteral("UX")
                                                                    : QStringLiteral("MAC");
        QTest::newRow(qPrintable(name)) << samples.filePath(name) << encoding << lineBreak;
    }
}

void MainFrameTest::samplesShowTheirKinds() {
    QFETCH(QString, path);
    QFETCH(QString, encoding);
    QFETCH(QString, lineBreak);
    TestFolders folders;
    Session s({path.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(PaneText(s, StatusPanes::kEncodingPane), encoding);
    QCOMPARE(PaneText(s, StatusPanes::kLineBreakPane), lineBreak);
    QCOMPARE(PaneText(s, StatusPanes::kActivePane), QStringLiteral("↑"));
    QVERIFY(!s.frame()->panes().Pane(StatusPanes::kActivePane)->isEnabled());
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("     1"));
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("  1"));
    QCOMPARE(s.frame()->windowTitle(), QStringLiteral("Kotoha - ") + QFileInfo(path).fileName());
    QVERIFY(s.doc()->GetLineCount() > 0);
    // Gap panes take no room.
    for (std::size_t gap : {1, 4, 6, 9})
        QCOMPARE(s.frame()->panes().Pane(gap)->width(), 0);
}

void MainFrameTest::emptyStartShowsTitleAlone() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QCOMPARE(s.frame()->windowTitle(), QStringLiteral("Kotoha"));
    QCOMPARE(s.doc()->GetLineCount(), 0);
    QCOMPARE(PaneText(s, StatusPanes::kEncodingPane), QStringLiteral("SJIS"));
    QCOMPARE(PaneText(s, 0), QStringLiteral("ﾍﾙﾌﾟを表示するには [F1] を押してください。"));
}

void MainFrameTest::menuMatchesTable() {
    struct Item {
        const char* text;  // null for a separator
        CommandId::Id id;
        const char* shortcuts;
    };
    struct Menu {
        const char* title;
        std::vector<Item> items;
    };
    const std::vector<Menu> expected = {
        {"ﾌｧｲﾙ(&F)",
         {{"開く(&O)...", 57601, "Ctrl+O"},
          {"名前を付けて保存(&A)...", 57604, ""},
          {"文字コードを指定して開き直す(&R)...", 32782, ""},
          {nullptr, 0, ""},
          {"外部エディタの起動(&E)", 32771, ""},
          {nullptr, 0, ""},
          {"最新のファイル", 57616, ""},
          {nullptr, 0, ""},
          {"Kotohaの終了(&X)", 57665, ""}}},
        {"編集(&E)",
         {{"コピー(&C)", 57634, "Ctrl+C; Ctrl+Ins"},
          {"ファイルにコピー(&I)...", 32775, ""},
          {"貼り付け(&P)", 57637, "Ctrl+V; Shift+Ins"},
          {nullptr, 0, ""},
          {"全体を選択(&A)", 57642, ""},
          {nullptr, 0, ""},
          {"文字列の検索(&F)...", 57636, ""}}},
        {"表示(&V)",
         {{"分割(&P)", 57653, ""},
          {"切り替え(&C)", 57680, "F6"},
          {nullptr, 0, ""},
          {"ツールバー(&T)", 59392, ""},
          {"ステータス バー(&S)", 59393, ""}}},
        {"ｵﾌﾟｼｮﾝ(&O)",
         {{"開く(&P)...", 32772, ""},
          {"表示(&V)...", 32779, ""},
          {"外部エディタ(&E)...", 32781, ""},
          {"その他(&T)...", 32774, ""}}},
        {"ﾍﾙﾌﾟ(&H)",
         {{"索引(&I)", 57666, ""},
          {"ヘルプの使い方(&U)", 57667, ""},
          {nullptr, 0, ""},
          {"バージョン情報(&A)...", 57664, ""}}},
    };
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    const QList<QAction*> menus = s.frame()->menuBar()->actions();
    QCOMPARE(menus.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t m = 0; m < expected.size(); ++m) {
        QMenu* menu = menus[static_cast<qsizetype>(m)]->menu();
        QCOMPARE(menu->title(), QString::fromUtf8(expected[m].title));
        // The recently-used entries beyond the first are hidden while unused.
        QList<QAction*> shown;
        for (QAction* a : menu->actions()) {
            if (a->isVisible())
                shown << a;
        }
        QCOMPARE(shown.size(), static_cast<qsizetype>(expected[m].items.size()));
        for (std::size_t i = 0; i < expected[m].items.size(); ++i) {
            const Item& want = expected[m].items[i];
            QAction* got = shown[static_cast<qsizetype>(i)];
            if (want.text == nullptr) {
                QVERIFY(got->isSeparator());
                continue;
            }
            QCOMPARE(got->text(), QString::fromUtf8(want.text));
            QCOMPARE(got->data().toUInt(), want.id);
            QCOMPARE(QKeySequence::listToString(got->shortcuts()),
                     QString::fromLatin1(want.shortcuts));
            for (const QKeySequence& keys : got->shortcuts())
                QCOMPARE(keys.count(), 1);
        }
    }
    // Prompts and tooltips come from the command's string.
    QCOMPARE(Action(s, 32771)->statusTip(), QStringLiteral("外部ｴﾃﾞｨﾀの起動"));
    QCOMPARE(Action(s, 32771)->toolTip(), QStringLiteral("ｴﾃﾞｨﾀの起動"));
    // Help without a menu item still has its keys.
    QCOMPARE(Action(s, 57669)->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(Action(s, 57668)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    // The place of the recent list is greyed while the list is empty.
    QVERIFY(!Action(s, 57616)->isEnabled());
}

void MainFrameTest::toolBarAndRightClickMenu() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QList<CommandId::Id> ids;
    for (QAction* a : s.frame()->toolBar()->actions()) {
        ids << (a->isSeparator() ? 0u : a->data().toUInt());
        if (!a->isSeparator())
            QVERIFY2(!a->icon().isNull(), "every toolbar button has an icon");
    }
    const QList<CommandId::Id> toolBar = {57601, 57604, 0, 57634, 57637, 0,    57642,
                                          0,     57636, 0, 32771, 0,     57668};
    QCOMPARE(ids, toolBar);
    ids.clear();
    for (QAction* a : s.frame()->RightClickMenu()->actions())
        ids << (a->isSeparator() ? 0u : a->data().toUInt());
    const QList<CommandId::Id> rightClick = {57634, 32775, 0, 57642, 0, 57636};
    QCOMPARE(ids, rightClick);
}

void MainFrameTest::lineAndColumnPanes() {
    TestFolders folders;
    // Millions of lines: the whole number shows, in a pane wide enough.
    QTemporaryDir dir;
    Session s(
        {WriteFile(dir, QStringLiteral("lines.txt"), QByteArray(6100000, '\n')).toStdString()});
    QVERIFY(s.exposed);
    CTextView* view = s.frame()->ActiveView();
    s.frame()->ShowLineNumber(view, 6089612);
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("6,089,612"));
    auto* pane = s.frame()->statusBar()->findChild<QLabel*>(
        QStringLiteral("pane%1").arg(StatusPanes::kLinePane + 1));
    QVERIFY(pane != nullptr);
    QVERIFY(pane->width() >= pane->fontMetrics().horizontalAdvance(QStringLiteral("6,100,001")));
    if (qEnvironmentVariableIsSet("KOTOHA_SHOT_DIR"))
        s.frame()->grab().save(qEnvironmentVariable("KOTOHA_SHOT_DIR") + "/line-pane.png");
    s.frame()->ShowLineNumber(view, 100000);
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("100,000"));
    s.frame()->ShowColumnNumber(view, 1000);
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("1000"));
    // A view that is not the active one is not listened to.
    s.frame()->ShowLineNumber(nullptr, 5);
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("100,000"));
}

void MainFrameTest::splitWindowKeepsTwoScrollPositions() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteLongFile(dir)});
    QVERIFY(s.exposed);
    MyCSplitterWnd& splitter = s.frame()->splitter();
    Action(s, CommandId::kSplit)->trigger();
    QCOMPARE(splitter.RowCount(), 2);
    CKotohaView* upper = splitter.Pane(0);
    CKotohaView* lower = splitter.Pane(1);
    QCOMPARE(s.frame()->ActiveView(), lower);
    QCOMPARE(PaneText(s, StatusPanes::kActivePane), QStringLiteral("↓"));
    QVERIFY(s.frame()->panes().Pane(StatusPanes::kActivePane)->isEnabled());

    QTest::keyClick(lower, Qt::Key_PageDown);
    QTest::keyClick(lower, Qt::Key_PageDown);
    const std::int32_t lowerLine = lower->scrollPos().line;
    QVERIFY(lowerLine > 0);
    QCOMPARE(upper->scrollPos().line, 0);
    QCOMPARE(PaneText(s, StatusPanes::kLinePane),
             QString::number(lowerLine + 1).rightJustified(6, QLatin1Char(' ')));

    // F6 moves to the other pane, which kept its own position.
    QTest::keyClick(lower, Qt::Key_F6);
    QCOMPARE(s.frame()->ActiveView(), upper);
    QCOMPARE(PaneText(s, StatusPanes::kActivePane), QStringLiteral("↑"));
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("     1"));
    QTest::keyClick(upper, Qt::Key_Down);
    QCOMPARE(upper->scrollPos().line, 1);
    QCOMPARE(lower->scrollPos().line, lowerLine);

    // A click activates the pane under the mouse.
    QTest::mouseClick(lower->viewport(), Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(s.frame()->ActiveView(), lower);

    // Splitting again joins the panes, keeping the active one.
    Action(s, CommandId::kSplit)->trigger();
    QCOMPARE(splitter.RowCount(), 1);
    QCOMPARE(splitter.Pane(0)->scrollPos().line, lowerLine);
    QVERIFY(!s.frame()->panes().Pane(StatusPanes::kActivePane)->isEnabled());
    QVERIFY(!Action(s, CommandId::kNextPane)->isEnabled());
}

void MainFrameTest::sharedBarMovesOnlyTheActivePane() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteLongFile(dir)});
    QVERIFY(s.exposed);
    s.frame()->resize(300, 400);
    QTRY_VERIFY(s.frame()->SharedHorizontalBar()->isEnabled());
    Action(s, CommandId::kSplit)->trigger();
    MyCSplitterWnd& splitter = s.frame()->splitter();
    CKotohaView* upper = splitter.Pane(0);
    CKotohaView* lower = splitter.Pane(1);
    QCOMPARE(s.frame()->ActiveView(), lower);
    QScrollBar* bar = s.frame()->SharedHorizontalBar();
    QTRY_VERIFY(bar->isVisible() && bar->isEnabled());
    // Two clicks on the bar's right arrow.
    const QPoint rightArrow(bar->width() - 4, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
    QTRY_COMPARE(lower->scrollPos().column, 2);
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("  3"));
    // Give a wrongly queued follow-up the chance to run, then check the other
    // pane stayed where it was.
    QTRY_COMPARE(upper->scrollPos().column, 0);
    QCoreApplication::processEvents();
    QCOMPARE(upper->scrollPos().column, 0);

    // The bar follows the pane that becomes active.
    QTest::keyClick(lower, Qt::Key_F6);
    QCOMPARE(s.frame()->ActiveView(), upper);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("  1"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, rightArrow);
    QTRY_COMPARE(upper->scrollPos().column, 1);
    QCOMPARE(lower->scrollPos().column, 2);
    QTest::keyClick(upper, Qt::Key_F6);
    QVERIFY(bar->value() > 0);
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("  3"));
}

void MainFrameTest::panesFollowMovesWithoutAScroll() {
    TestFolders folders;
    QTemporaryDir dir;
    Session s({WriteLongFile(dir)});
    QVERIFY(s.exposed);
    s.frame()->resize(300, 400);
    CTextView* view = s.frame()->ActiveView();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_Right);
    QVERIFY(PaneText(s, StatusPanes::kLinePane) != QStringLiteral("     1"));
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane), QStringLiteral("  2"));

    // Another file: the view starts at its top left.
    QVERIFY(s.app->OpenDocumentFile(SamplePath("seasons.sjis.crlf.txt"),
                                    {OpenOrigin::FileDialog, -1}) != nullptr);
    QCOMPARE(PaneText(s, StatusPanes::kLinePane),
             QString::number(view->scrollPos().line + 1).rightJustified(6, QLatin1Char(' ')));
    QCOMPARE(PaneText(s, StatusPanes::kColumnPane),
             QString::number(view->scrollPos().column + 1).rightJustified(3, QLatin1Char(' ')));

    // A paste of a short text.
    QVERIFY(s.app->OpenDocumentFile(WriteLongFile(dir), {OpenOrigin::FileDialog, -1}) != nullptr);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(view, Qt::Key_PageDown);
    s.app->settings().InquireWhenPaste.value = 0;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    Action(s, CommandId::kPaste)->trigger();
    QCOMPARE(QByteArray(s.doc()->GetLineText(0)), QByteArray("pasted"));
    QCOMPARE(PaneText(s, StatusPanes::kLinePane), QStringLiteral("     1"));
    s.doc()->SetModifiedFlag(false);
}

void MainFrameTest::disabledMenuItemsShowTheirPrompt() {
    TestFolders folders;
    Session s;  // an empty document: Save As is greyed
    QVERIFY(s.exposed);
    QAction* saveAs = Action(s, CommandId::kFileSaveAs);
    QVERIFY(!saveAs->isEnabled());
    QVERIFY(!saveAs->statusTip().isEmpty());
    QMenu* fileMenu = nullptr;
    for (QMenu* menu : s.frame()->commands().menus()) {
        if (menu->actions().contains(saveAs))
            fileMenu = menu;
    }
    QVERIFY(fileMenu != nullptr);
    fileMenu->popup(s.frame()->mapToGlobal(QPoint(10, 30)));
    QVERIFY(QTest::qWaitForWindowExposed(fileMenu));
    const QPoint over = fileMenu->actionGeometry(saveAs).center();
    QTest::mouseMove(fileMenu, over);
    QTRY_COMPARE(s.frame()->statusBar()->currentMessage(), saveAs->statusTip());

    // An enabled item shows its prompt as before.
    QAction* open = Action(s, CommandId::kFileOpen);
    QTest::mouseMove(fileMenu, fileMenu->actionGeometry(open).center());
    QTRY_COMPARE(s.frame()->statusBar()->currentMessage(), open->statusTip());
    fileMenu->close();
}

void MainFrameTest::togglesHideBarsAndStoreSettings() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QVERIFY(s.frame()->toolBar()->isVisible());
    QVERIFY(Action(s, CommandId::kToggleToolBar)->isChecked());
    Action(s, CommandId::kToggleToolBar)->trigger();
    QVERIFY(!s.frame()->toolBar()->isVisible());
    QCOMPARE(s.app->settings().ShowToolBar.value, 0);
    QVERIFY(!Action(s, CommandId::kToggleToolBar)->isChecked());
    Action(s, CommandId::kToggleStatusBar)->trigger();
    QVERIFY(!s.frame()->statusBar()->isVisible());
    QCOMPARE(s.app->settings().ShowStatusBar.value, 0);
    Action(s, CommandId::kToggleToolBar)->trigger();
    QVERIFY(s.frame()->toolBar()->isVisible());
    QCOMPARE(s.app->settings().ShowToolBar.value, 1);
}

void MainFrameTest::findDialogIsModelessAndSingle() {
    TestFolders folders;
    Session s({SamplePath("shopping.sjis.lf.txt")});
    QVERIFY(s.exposed);
    Action(s, CommandId::kFind)->trigger();
    QPointer<CFindDlg> dialog = s.frame()->findDialog();
    QVERIFY(dialog != nullptr);
    QVERIFY(!dialog->isModal());
    QVERIFY(dialog->isVisible());
    const FindRequest request = dialog->Request();
    QVERIFY(request.down);
    QVERIFY(!request.matchCase);
    QVERIFY(!request.wholeWord);
    Action(s, CommandId::kFind)->trigger();
    QCOMPARE(s.frame()->findDialog(), dialog.data());
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(dialog.isNull());
    QVERIFY(s.frame()->findDialog() == nullptr);
}

void MainFrameTest::enablingFollowsDocumentAndSelection() {
    TestFolders folders;
    {
        Session s;
        QVERIFY(s.exposed);
        for (CommandId::Id id : {CommandId::kFileSaveAs, CommandId::kSelectAll, CommandId::kFind,
                                 CommandId::kCopy, CommandId::kCopyToFile}) {
            QVERIFY2(!Action(s, id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(Action(s, CommandId::kFileOpen)->isEnabled());
    }
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    QVERIFY(Action(s, CommandId::kFileSaveAs)->isEnabled());
    QVERIFY(Action(s, CommandId::kSelectAll)->isEnabled());
    QVERIFY(!Action(s, CommandId::kCopy)->isEnabled());
    Action(s, CommandId::kSelectAll)->trigger();
    QVERIFY(Action(s, CommandId::kCopy)->isEnabled());
    QVERIFY(Action(s, CommandId::kCopyToFile)->isEnabled());
    // Ctrl+C copies the whole text with LF line breaks.
    QTest::keyClick(s.frame()->ActiveView(), Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("季節の覚え書き\n")));
    QVERIFY(!copied.contains(QLatin1Char('\r')));
    QVERIFY(Action(s, CommandId::kPaste)->isEnabled());
    QGuiApplication::clipboard()->clear();
    QTRY_VERIFY(!Action(s, CommandId::kPaste)->isEnabled());
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
