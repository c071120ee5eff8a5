// SPDX-License-Identifier: MIT
// What a guess and a loss look like in the window: the information bar, its
// reopen buttons, the encoding pane's tooltip and double click, and the
// reopen command with its preview.
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "ui/command_actions.h"
#include "ui/info_bar.h"
#include "ui/status_panes.h"
#include "ui_session.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

// "このファイルは EUC-JP で書かれています。" and a second line, in EUC-JP:
// every byte pair is also plausible Shift-JIS, which the defaults prefer.
const QByteArray kStrayedEuc =
    "\xa4\xb3\xa4\xce\xa5\xd5\xa5\xa1\xa5\xa4\xa5\xeb\xa4\xcf EUC-JP \xa4\xc7\xbd\xf1"
    "\xa4\xab\xa4\xec\xa4\xc6\xa4\xa4\xa4\xde\xa4\xb9\xa1\xa3\n"
    "\xa4\xab\xa4\xca\xa4\xc8\xa5\xab\xa5\xca\n";
// The same text in the internal form (Shift-JIS).
const QByteArray kFirstLineSjis =
    "\x82\xb1\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd EUC-JP \x82\xc5\x8f\x91"
    "\x82\xa9\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42";

QByteArray FirstLine(const CKotohaDoc& doc) {
    const auto* text = reinterpret_cast<const char*>(doc.text.data());
    const QByteArray all(text, static_cast<qsizetype>(doc.text.capacity()));
    return all.left(all.indexOf('\n'));
}

QMenu* MenuHolding(Session& s, QAction* action) {
    for (QMenu* menu : s.frame()->commands().menus()) {
        if (menu->actions().contains(action))
            return menu;
    }
    return nullptr;
}

// Opens the File menu and clicks the reopen item, as the user would.
void ClickReopenMenuItem(Session& s) {
    QAction* reopen = s.frame()->commands().action(CommandId::kReopenWithEncoding);
    QMenu* menu = MenuHolding(s, reopen);
    QVERIFY(menu != nullptr);
    menu->popup(s.frame()->mapToGlobal(QPoint(10, 30)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(reopen).center());
}

}  // namespace

class ReopenTest : public QObject {
    Q_OBJECT

  private slots:
    void strayedEucShowsTheBarAndItsButtonReadsItRight();
    void closingTheBarKeepsTheTooltipAndTheNextOpenForgets();
    void lossesOnOpenShowInTheBar();
    void withTheSettingsOffNothingIsShownOrOffered();
    void reopenFromTheMenuOffersEveryKindWithAPreview();
    void reopenFromThePaneAsksToSaveAModifiedDocument();
};

void ReopenTest::strayedEucShowsTheBarAndItsButtonReadsItRight() {
    TestFolders folders;
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("strayed.txt"), kStrayedEuc);
    Session s({path.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    InfoBar& bar = s.frame()->infoBar();
    QVERIFY(bar.isVisible());
    QCOMPARE(bar.Message(),
             QStringLiteral("文字コードを自動判定できませんでした。SJIS として表示しています。"));
    // Drawn in the tooltip colours of whatever palette is in force.
    QPalette dark = bar.palette();
    dark.setColor(QPalette::ToolTipBase, QColor(0x40, 0x40, 0x30));
    dark.setColor(QPalette::ToolTipText, QColor(0xf0, 0xf0, 0xe0));
    s.frame()->setPalette(dark);
    QCOMPARE(bar.palette().color(bar.backgroundRole()), QColor(0x40, 0x40, 0x30));
    auto* message = bar.findChild<QLabel*>(QStringLiteral("infoBarMessage"));
    QCOMPARE(message->palette().color(message->foregroundRole()), QColor(0xf0, 0xf0, 0xe0));
    auto* euc = bar.findChild<QPushButton*>(QStringLiteral("reopenButton2"));
    QVERIFY(euc != nullptr);
    QCOMPARE(euc->text(), QStringLiteral("EUC で開き直す"));
    QVERIFY(bar.findChild<QPushButton*>(QStringLiteral("reopenAskButton")) != nullptr);
    QLabel* pane = s.frame()->panes().Pane(StatusPanes::kEncodingPane);
    QVERIFY(pane->toolTip().contains(QStringLiteral("SJIS, EUC")));

    QTest::mouseClick(euc, Qt::LeftButton);
    QTRY_COMPARE(s.doc()->encoding, EncodingKind::EUC);
    QCOMPARE(FirstLine(*s.doc()), kFirstLineSjis);
    QCOMPARE(pane->text(), QStringLiteral("EUC"));
    // Read as the user asked: nothing was guessed.
    QVERIFY(!bar.isVisible());
    QVERIFY(pane->toolTip().isEmpty());
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), path);
}

void ReopenTest::closingTheBarKeepsTheTooltipAndTheNextOpenForgets() {
    TestFolders folders;
    QTemporaryDir dir;
    const QString strayed = WriteFile(dir, QStringLiteral("strayed.txt"), kStrayedEuc);
    const QString plain = WriteFile(dir, QStringLiteral("plain.txt"), "plain\n");
    Session s({strayed.toStdString()});
    QVERIFY(s.exposed);
    InfoBar& bar = s.frame()->infoBar();
    QVERIFY(bar.isVisible());
    QTest::mouseClick(bar.findChild<QToolButton*>(QStringLiteral("infoBarClose")), Qt::LeftButton);
    QTRY_VERIFY(!bar.isVisible());
    QVERIFY(!s.frame()->panes().Pane(StatusPanes::kEncodingPane)->toolTip().isEmpty());
    // Repaints of the same document keep it closed; a new open shows its own.
    s.frame()->UpdateAllViews();
    QVERIFY(!bar.isVisible());
    QVERIFY(s.app->OpenDocumentFile(strayed.toStdString(), {OpenOrigin::FileDialog, -1}) !=
            nullptr);
    QVERIFY(bar.isVisible());
    QVERIFY(s.app->OpenDocumentFile(plain.toStdString(), {OpenOrigin::FileDialog, -1}) != nullptr);
    QVERIFY(!bar.isVisible());
    QVERIFY(s.frame()->panes().Pane(StatusPanes::kEncodingPane)->toolTip().isEmpty());
}

void ReopenTest::lossesOnOpenShowInTheBar() {
    TestFolders folders;
    QTemporaryDir dir;
    // Line 2 holds a UTF-8 byte that starts nothing, line 3 a cut sequence.
    const QString path =
        WriteFile(dir, QStringLiteral("broken.txt"), "\xe3\x81\x82\nok \xff\n\xe3\x81\n");
    Session s({"-u", path.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(s.doc()->encoding, EncodingKind::UTF8);
    InfoBar& bar = s.frame()->infoBar();
    QVERIFY(bar.isVisible());
    QCOMPARE(bar.Message(), QStringLiteral("3 文字を変換できませんでした (2 行目)"));
    // Nothing was guessed: no reopen buttons.
    QVERIFY(bar.findChildren<QPushButton*>().isEmpty());
}

void ReopenTest::withTheSettingsOffNothingIsShownOrOffered() {
    TestFolders folders;
    folders.WriteIni("[AnalyzeEncoding]\nShowInfoBar=0\n[Etc]\nReopenCommand=0\n");
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("strayed.txt"), kStrayedEuc);
    Session s({path.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QVERIFY(!s.frame()->infoBar().isVisible());
    QVERIFY(s.frame()->panes().Pane(StatusPanes::kEncodingPane)->toolTip().isEmpty());
    QAction* reopen = s.frame()->commands().action(CommandId::kReopenWithEncoding);
    QVERIFY(!reopen->isVisible());
    // A double click on the pane does nothing either.
    ModalSteps modals;
    bool asked = false;
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        asked = true;
        dialog->close();
    });
    QTest::mouseDClick(s.frame()->panes().Pane(StatusPanes::kEncodingPane), Qt::LeftButton);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QVERIFY(!asked);
}

void ReopenTest::reopenFromTheMenuOffersEveryKindWithAPreview() {
    TestFolders folders;
    QTemporaryDir dir;
    // "漢字かな" and a line break in each encoding the menu is tried on.
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* flag;  // read it so from the command line
        EncodingKind opened;
        const char* pick;
        EncodingKind reopened;
    } const cases[] = {
        {"sjis.txt", "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\n", "-s", EncodingKind::SJIS, "eucRadio",
         EncodingKind::EUC},
        {"jis.txt", "\x1b$B4A;z$+$J\x1b(B\n", "-j", EncodingKind::JIS, "sjisRadio",
         EncodingKind::SJIS},
        {"euc.txt", "\xb4\xc1\xbb\xfa\xa4\xab\xa4\xca\n", "-e", EncodingKind::EUC, "jisRadio",
         EncodingKind::JIS},
        {"utf8.txt", "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa\n", "-u", EncodingKind::UTF8,
         "utf16LeRadio", EncodingKind::UTF16LE},
        {"utf8back.txt", "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa\n", "-u",
         EncodingKind::UTF8, "utf8BomRadio", EncodingKind::UTF8BOM},
    };
    const QByteArray kanjiKana = "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8";
    for (const Case& c : cases) {
        const QString path = WriteFile(dir, QString::fromLatin1(c.name), c.bytes);
        Session s({c.flag, path.toStdString()});
        QVERIFY(s.exposed);
        QCOMPARE(s.doc()->encoding, c.opened);
        QCOMPARE(FirstLine(*s.doc()), kanjiKana);
        ModalSteps modals;
        QStringList seen;
        QString preview;
        modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
            for (QRadioButton* radio : dialog->findChildren<QRadioButton*>()) {
                if (radio->isVisible())
                    seen << radio->objectName() + (radio->isChecked() ? QStringLiteral("*") : "");
            }
            preview = dialog->findChild<QPlainTextEdit*>()->toPlainText();
            QTest::mouseClick(dialog->findChild<QRadioButton*>(QLatin1String(c.pick)),
                              Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        });
        ClickReopenMenuItem(s);
        QTRY_COMPARE(s.doc()->encoding, c.reopened);
        QCOMPARE(seen.size(), 7);
        // The current kind is the one on, and the preview shows it read so.
        const char* const names[] = {"sjisRadio",    "jisRadio",     "eucRadio",    "utf8Radio",
                                     "utf8BomRadio", "utf16LeRadio", "utf16BeRadio"};
        QVERIFY(
            seen.contains(QLatin1String(names[static_cast<int>(c.opened)]) + QStringLiteral("*")));
        QCOMPARE(preview, QStringLiteral("漢字かな\n"));
        QCOMPARE(s.frame()->panes().Text(StatusPanes::kEncodingPane),
                 QString::fromUtf8(c.reopened == EncodingKind::SJIS      ? "SJIS"
                                   : c.reopened == EncodingKind::EUC     ? "EUC"
                                   : c.reopened == EncodingKind::JIS     ? "JIS"
                                   : c.reopened == EncodingKind::UTF16LE ? "UTF-16LE"
                                                                         : "UTF-8 BOM"));
    }
    // Cancel changes nothing; without a file the command is greyed.
    const QString path = WriteFile(dir, QStringLiteral("keep.txt"), cases[0].bytes);
    Session s({"-s", path.toStdString()});
    QVERIFY(s.exposed);
    ModalSteps modals;
    bool asked = false;
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        asked = true;
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("eucRadio")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
    });
    ClickReopenMenuItem(s);
    QTRY_VERIFY(asked);
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QCOMPARE(FirstLine(*s.doc()), kanjiKana);
    Session untitled;
    QVERIFY(untitled.exposed);
    untitled.frame()->UpdateCommandStates();
    QVERIFY(!untitled.frame()->commands().action(CommandId::kReopenWithEncoding)->isEnabled());
}

void ReopenTest::reopenFromThePaneAsksToSaveAModifiedDocument() {
    TestFolders folders;
    QTemporaryDir dir;
    // 300 lines: the view keeps its top line through the reopen.
    QByteArray many;
    for (int i = 0; i < 300; ++i)
        many += "\xa4\xa2\xa4\xa4 line\n";
    const QString path = WriteFile(dir, QStringLiteral("long.txt"), many);
    Session s({"-s", path.toStdString()});
    QVERIFY(s.exposed);
    CTextView* view = s.frame()->ActiveView();
    view->ScrollTo(0, 120);
    QCOMPARE(view->scrollPos().line, 120);
    s.doc()->SetModifiedFlag(true);

    ModalSteps modals;
    QStringList log;
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        log << QStringLiteral("inquiry");
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("eucRadio")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
        // The question to save comes after the choice, before the reload.
        modals.AnswerMessage(log, QMessageBox::Cancel);
    });
    QTest::mouseDClick(s.frame()->panes().Pane(StatusPanes::kEncodingPane), Qt::LeftButton);
    QTRY_COMPARE(log.size(), 2);
    QVERIFY(log[1].startsWith(QStringLiteral("saveChangesQuestionBox:")));
    // Cancel: still the old reading, still modified.
    QCOMPARE(s.doc()->encoding, EncodingKind::SJIS);
    QVERIFY(s.doc()->IsModified());

    log.clear();
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("eucRadio")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
        modals.AnswerMessage(log, QMessageBox::No);
    });
    QTest::mouseDClick(s.frame()->panes().Pane(StatusPanes::kEncodingPane), Qt::LeftButton);
    QTRY_COMPARE(s.doc()->encoding, EncodingKind::EUC);
    QCOMPARE(log.size(), 1);
    QVERIFY(!s.doc()->IsModified());
    QCOMPARE(FirstLine(*s.doc()), QByteArray("\x82\xa0\x82\xa2 line"));
    QCOMPARE(s.frame()->ActiveView()->scrollPos().line, 120);
}

QTEST_MAIN(ReopenTest)
#include "reopen_test.moc"
