// SPDX-License-Identifier: MIT
// The help commands and the bundled pages and icons: F1, the index and the
// how-to command open one reused help window on the page of the user's
// language, Shift+F1 enters What's This mode, the pages' links all resolve,
// and the toolbar shows the bundled icons when no icon theme is found.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QWhatsThis>
#include <algorithm>

#include "modal_steps.h"
#include "shell/command_table.h"
#include "ui/command_actions.h"
#include "ui/help_window.h"
#include "ui/status_panes.h"
#include "ui_session.h"
#include "view/kotoha_view.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

QList<HelpWindow*> HelpWindows(Session& s) {
    return s.frame()->findChildren<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

QString ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void pagesAreResources_data();
    void pagesAreResources();
    void commandsOpenThePageOfTheLanguage_data();
    void commandsOpenThePageOfTheLanguage();
    void oneWindowIsReused();
    void shiftF1EntersWhatsThisMode();
    void toolBarShowsBundledIcons();
    void helpFromAModalDialogCanBeRead();
    void manualNamesThePanesInTheirOrder();
    void pagesTakeTheirColoursFromThePalette();
};

void HelpTest::initTestCase() {
    InitBundledResources();
    // No icon theme can be found: every button must fall back on the
    // icons built into the program.
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("kotoha-test-no-theme"));
}

void HelpTest::cleanup() {
    QLocale::setDefault(QLocale::system());
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
}

void HelpTest::pagesAreResources_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("otherLanguage");
    QTest::newRow("ja manual") << ":/help/ja/index.html"
                               << "<h1>Kotoha ヘルプ</h1>"
                               << "../en/index.html";
    QTest::newRow("en manual") << ":/help/en/index.html"
                               << "<h1>Kotoha Help</h1>"
                               << "../ja/index.html";
    QTest::newRow("ja how-to") << ":/help/ja/help.html"
                               << "<h1>ヘルプの使い方</h1>"
                               << "../en/help.html";
    QTest::newRow("en how-to") << ":/help/en/help.html"
                               << "<h1>Using Help</h1>"
                               << "../ja/help.html";
}

void HelpTest::pagesAreResources() {
    QFETCH(QString, path);
    QFETCH(QString, heading);
    QFETCH(QString, otherLanguage);
    const QString html = ReadResource(path);
    QVERIFY2(html.contains(heading), qPrintable(path));
    // No colour of its own: the window's palette gives them all, so that a
    // dark theme stays readable.
    QVERIFY2(!html.contains(QStringLiteral("color")) && !html.contains(QStringLiteral("<style")),
             qPrintable(path));
    QVERIFY(html.contains(QStringLiteral("href=\"%1\"").arg(otherLanguage)));
    // Every link to another page and every in-page anchor must lead somewhere.
    const QUrl base(QStringLiteral("qrc") + path);
    static const QRegularExpression kHref(QStringLiteral("href=\"([^\"]*)\""));
    for (const QRegularExpressionMatch& match : kHref.globalMatch(html)) {
        const QUrl target = base.resolved(QUrl(match.captured(1)));
        QCOMPARE(target.scheme(), QStringLiteral("qrc"));
        const QString page = ReadResource(QLatin1Char(':') + target.path());
        QVERIFY2(!page.isEmpty(), qPrintable(match.captured(1)));
        if (target.hasFragment()) {
            QVERIFY2(page.contains(QStringLiteral("name=\"%1\"").arg(target.fragment())),
                     qPrintable(match.captured(1)));
        }
    }
}

void HelpTest::commandsOpenThePageOfTheLanguage_data() {
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const int f1 = 0;  // the F1 key on the view rather than an action
    QTest::newRow("F1 ja") << QLocale::Japanese << f1 << "Kotoha ヘルプ"
                           << "less に似たキー操作";
    QTest::newRow("F1 en") << QLocale::English << f1 << "Kotoha Help"
                           << "less-like keys";
    QTest::newRow("index ja") << QLocale::Japanese << int(CommandId::kHelpIndex) << "Kotoha ヘルプ"
                              << "変換コマンド kotoha-conv";
    QTest::newRow("index C") << QLocale::C << int(CommandId::kHelpIndex) << "Kotoha ヘルプ"
                             << "設定と保存場所";
    QTest::newRow("index de") << QLocale::German << int(CommandId::kHelpIndex) << "Kotoha Help"
                              << "Settings and where they are stored";
    QTest::newRow("how-to ja") << QLocale::Japanese << int(CommandId::kHelpUsing)
                               << "ヘルプの使い方"
                               << "ヒント モード";
    QTest::newRow("how-to en") << QLocale::English << int(CommandId::kHelpUsing) << "Using Help"
                               << "What's This";
}

void HelpTest::commandsOpenThePageOfTheLanguage() {
    QFETCH(QLocale::Language, language);
    QFETCH(int, command);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(language));
    TestFolders folders;
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    QVERIFY(HelpWindows(s).isEmpty());
    if (command == 0) {
        QTest::keyClick(s.frame()->ActiveView(), Qt::Key_F1);
    } else {
        QAction* action = s.frame()->commands().action(static_cast<CommandId::Id>(command));
        QVERIFY(action->isEnabled());
        action->trigger();
    }
    const QList<HelpWindow*> windows = HelpWindows(s);
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows[0]->isVisible());
    QCOMPARE(windows[0]->windowTitle(), title);
    QVERIFY(windows[0]->browser()->toPlainText().contains(text));
}

void HelpTest::oneWindowIsReused() {
    QLocale::setDefault(QLocale(QLocale::Japanese));
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    s.frame()->ExecuteCommand(CommandId::kHelp);
    QCOMPARE(HelpWindows(s).size(), 1);
    HelpWindow* window = HelpWindows(s)[0];
    s.frame()->ExecuteCommand(CommandId::kHelpUsing);
    QCOMPARE(HelpWindows(s).size(), 1);
    QCOMPARE(window->browser()->source(), QUrl(QStringLiteral("qrc:/help/ja/help.html")));
    // Closed, it opens again on the next request.
    window->close();
    s.frame()->ExecuteCommand(CommandId::kHelpIndex);
    QCOMPARE(HelpWindows(s).size(), 1);
    QVERIFY(window->isVisible());
    QCOMPARE(window->browser()->source(), QUrl(QStringLiteral("qrc:/help/ja/index.html")));
    // The link to the English version follows.
    window->browser()->setSource(window->browser()->source().resolved(QUrl("../en/index.html")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Kotoha Help"));
}

void HelpTest::shiftF1EntersWhatsThisMode() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QVERIFY(s.frame()->commands().action(CommandId::kContextHelp)->isEnabled());
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QTest::keyClick(s.frame()->ActiveView(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    // What the mode explains.
    QVERIFY(!s.frame()->whatsThis().isEmpty());
    QVERIFY(!s.frame()->ActiveView()->whatsThis().isEmpty());
    QVERIFY(!s.frame()->ActiveView()->viewport()->whatsThis().isEmpty());
    QVERIFY(!s.frame()->toolBar()->whatsThis().isEmpty());
    for (QAction* action : s.frame()->toolBar()->actions()) {
        if (!action->isSeparator())
            QVERIFY2(!action->whatsThis().isEmpty(), qPrintable(action->text()));
    }
}

void HelpTest::toolBarShowsBundledIcons() {
    TestFolders folders;
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    const QStringList bundled = {QStringLiteral("open"),
                                 QStringLiteral("save-as"),
                                 QStringLiteral("copy"),
                                 QStringLiteral("paste"),
                                 QStringLiteral("select-all"),
                                 QStringLiteral("find"),
                                 QStringLiteral("external-editor"),
                                 QStringLiteral("context-help")};
    QStringList seen;
    for (CommandId::Id id : ToolBarButtons()) {
        if (id == 0)
            continue;
        const QIcon icon = s.frame()->commands().action(id)->icon();
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(id)));
        const QImage image = icon.pixmap(24, 24).toImage();
        QVERIFY2(!image.isNull(), qPrintable(QString::number(id)));
        // Without a theme the button shows the bundled drawing itself.
        for (const QString& name : bundled) {
            const QImage drawn =
                QIcon(QStringLiteral(":/icons/%1.svg").arg(name)).pixmap(24, 24).toImage();
            QVERIFY2(!drawn.isNull(), qPrintable(name));
            if (drawn == image)
                seen << name;
        }
    }
    seen.sort();
    QStringList expected = bundled;
    expected.sort();
    QCOMPARE(seen, expected);
}

namespace {

// Records, for every help window, whether a modal dialog blocks it now.
class BlockWatcher : public QObject {
  public:
    BlockWatcher() { qApp->installEventFilter(this); }
    ~BlockWatcher() override { qApp->removeEventFilter(this); }
    bool blocked = false;
    int reports = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (qobject_cast<HelpWindow*>(watched) != nullptr &&
            (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)) {
            blocked = event->type() == QEvent::WindowBlocked;
            ++reports;
        }
        return false;
    }
};

}  // namespace

void HelpTest::helpFromAModalDialogCanBeRead() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    BlockWatcher watcher;
    bool blockedWhileUp = true;
    bool visibleWhileUp = false;
    bool scrolled = false;
    modals.OnNext<QDialog>([&](QDialog* dialog) {
        auto* help = dialog->findChild<QPushButton*>(QStringLiteral("helpButton"));
        QVERIFY(help != nullptr && help->isEnabled());
        QTest::mouseClick(help, Qt::LeftButton);
        HelpWindow* window = dialog->findChild<HelpWindow*>();
        if (window == nullptr)
            window = s.frame()->findChild<HelpWindow*>();
        QVERIFY(window != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        visibleWhileUp = window->isVisible();
        blockedWhileUp = watcher.blocked;
        // The manual scrolls while the dialog waits for its answer.
        window->resize(300, 200);
        QScrollBar* bar = window->browser()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QTest::keyClick(window->browser()->viewport(), Qt::Key_PageDown);
        scrolled = bar->value() > 0;
        dialog->reject();
    });
    s.frame()->ExecuteCommand(CommandId::kOpenSettings);
    QVERIFY(visibleWhileUp);
    QVERIFY(!blockedWhileUp);
    QVERIFY(scrolled);
    // The window outlives the dialog, back with the main window.
    const QList<HelpWindow*> windows = HelpWindows(s);
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows[0]->isVisible());
}

void HelpTest::manualNamesThePanesInTheirOrder() {
    // The panes as the status bar places them, left to right.
    const std::size_t order[] = {StatusPanes::kLineBreakPane, StatusPanes::kEncodingPane,
                                 StatusPanes::kActivePane, StatusPanes::kLinePane,
                                 StatusPanes::kColumnPane};
    QVERIFY(std::is_sorted(std::begin(order), std::end(order)));
    struct Page {
        const char* path;
        QStringList names;  // how the page names those panes
    };
    const Page pages[] = {
        {":/help/ja/index.html",
         {QStringLiteral("改行コード"), QStringLiteral("エンコーディング"),
          QStringLiteral("作業中のペイン"), QStringLiteral("行番号"), QStringLiteral("桁位置")}},
        {":/help/en/index.html",
         {QStringLiteral("line-break kind"), QStringLiteral("the encoding"),
          QStringLiteral("the active pane"), QStringLiteral("the line number"),
          QStringLiteral("the column")}},
    };
    for (const Page& page : pages) {
        QFile file(QString::fromLatin1(page.path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const qsizetype start = html.indexOf(
            QRegularExpression(QStringLiteral("ステータス バーには|The status bar shows")));
        QVERIFY2(start >= 0, page.path);
        const QString paragraph =
            html.mid(start, html.indexOf(QStringLiteral("</p>"), start) - start);
        qsizetype last = -1;
        for (const QString& name : page.names) {
            const qsizetype at = paragraph.indexOf(name);
            QVERIFY2(at > last,
                     qPrintable(QString::fromLatin1(page.path) + QLatin1Char(' ') + name));
            last = at;
        }
    }
}

// On a dark palette the headings, table heads and code take the palette's
// colours, the text its text colour; changing the palette restyles the page.
void HelpTest::pagesTakeTheirColoursFromThePalette() {
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    s.frame()->ExecuteCommand(CommandId::kHelpIndex);
    auto* window = s.frame()->findChild<HelpWindow*>();
    QVERIFY(window != nullptr);
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    // No larger than the screen.
    const QSize screen = window->screen()->availableGeometry().size();
    QVERIFY(window->width() <= screen.width() && window->height() <= screen.height());
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Link, QColor(0x80, 0xb0, 0xff));
    dark.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x38));
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    window->setPalette(dark);
    QTRY_VERIFY(browser->document()->defaultStyleSheet().contains(QStringLiteral("#80b0ff")));
    const QString css = browser->document()->defaultStyleSheet();
    QVERIFY(css.contains(QStringLiteral("#303038")));
    QVERIFY(css.contains(QStringLiteral("#a0a0a0")));
    QCOMPARE(browser->palette().color(QPalette::Text), QColor(0xe0, 0xe0, 0xe0));
    // The first heading is drawn in the link colour.
    bool found = false;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) {
            const QTextCharFormat format = block.begin().fragment().charFormat();
            QCOMPARE(format.foreground().color(), QColor(0x80, 0xb0, 0xff));
            found = true;
            break;
        }
    }
    QVERIFY(found);
    // So are the links, whatever the application's palette says.
    bool linked = false;
    for (QTextBlock block = browser->document()->begin(); block.isValid() && !linked;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) {
                QCOMPARE(format.foreground().color(), QColor(0x80, 0xb0, 0xff));
                linked = true;
                break;
            }
        }
    }
    QVERIFY(linked);
}

QTEST_MAIN(HelpTest)
#include "help_test.moc"
