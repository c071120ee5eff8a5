// SPDX-License-Identifier: MIT
// The document's view driven by real key and mouse events under the
// offscreen platform: scrolling, selection, status reports, painting.
#include <memory>
#include <string>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "document/fake_host.h"
#include "document/kotoha_doc.h"
#include "fake_frame.h"
#include "shell/settings.h"
#include "view/display_line.h"
#include "view/kotoha_view.h"

namespace kotoha::testing {
namespace {

// Records the region of every paint, to see what a scroll repaints.
class RecordingView : public CKotohaView {
  public:
    using CKotohaView::CKotohaView;
    QRegion painted;

  protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        CKotohaView::paintEvent(event);
    }
};

// "line 000" to "line 099", each ending with LF: 100 display lines.
std::string HundredLines() {
    std::string text;
    for (int i = 0; i < 100; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "line %03d\n", i);
        text += line;
    }
    return text;
}

// A document, a frame and one view sized to whole lines and columns.
struct Harness {
    AppSettings settings;
    RequestRecords requests;
    FakeHost host{&requests};
    CKotohaDoc doc{[this] { return DocumentOptionsOf(settings); }, requests, host};
    FakeFrame frame;
    std::unique_ptr<RecordingView> view;

    explicit Harness(std::string_view bytes, int wrapColumns = 80) {
        settings.WrapColumns.value = wrapColumns;
        doc.ReadLayoutSettings();
        if (!bytes.empty())
            doc.LoadFromBlock(BlockOf(bytes), static_cast<std::uint32_t>(bytes.size()),
                              {OpenOrigin::FileDialog, 0}, host);
        view = std::make_unique<RecordingView>(doc, settings, frame);
        view->OnInitialUpdate();
    }

    // Shows the view with exactly lines whole lines and columns whole
    // columns (a half line and half column more).
    void Show(int lines, int columns) {
        const int barWidth = view->verticalScrollBar()->sizeHint().width();
        const int cw = view->columnWidth();
        const int lh = view->lineHeight();
        view->resize(columns * cw + cw / 2 + barWidth, lines * lh + lh / 2);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        frame.MakeActiveView(view.get());
        // A text that fits shows no vertical bar: give its room back.
        if (!view->verticalScrollBar()->isVisible())
            view->resize(view->width() - barWidth, view->height());
        view->ScrollTo(0, 0);
        QCOMPARE(view->viewport()->height() / lh, lines);
        QCOMPARE(view->viewport()->width() / cw, columns);
    }
    QWidget* viewport() const { return view->viewport(); }
    // A point on display row row at pixel x of the viewport.
    QPoint Row(int row, int x) const {
        return QPoint(x, row * view->lineHeight() + view->lineHeight() / 2);
    }
    // Pixel x where column starts on a line of the given Unicode text.
    int X(const QString& before) const {
        return 10 + QFontMetrics(view->viewFont()).horizontalAdvance(before);
    }
};

class TextViewTest : public QObject {
    Q_OBJECT

  private slots:
    void keysScroll_data();
    void keysScroll();
    void lessKeys_data();
    void lessKeys();
    void lessCloseAndEdit();
    void verticalBarThumbs();
    void wheelScrollsLines();
    void clickHalvesAndTabs_data();
    void clickHalvesAndTabs();
    void clickBelowLastLine();
    void shiftClickExtendsOnlyARealSelection();
    void marginDragUpwardKeepsAnchorLine();
    void cursorFollowsMargin();
    void ctrlClickInMarginSelectsAll();
    void dragBelowScrollsOnTimer();
    void rightClickShowsMenu();
    void activePaneAndSharedBar();
    void paintsSelectionAndBackground();
    void lineStepRepaintsOnlyAStrip();
    void extensionCodesShowTheirCharacters();
};

void TextViewTest::keysScroll_data() {
    QTest::addColumn<int>("fromColumn");
    QTest::addColumn<int>("fromLine");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("line");
    // 100 lines with 30 visible, 81 columns with 40 visible.
    QTest::newRow("ctrl+end") << 0 << 0 << int(Qt::Key_End) << true << 0 << 70;
    QTest::newRow("ctrl+end stays") << 0 << 85 << int(Qt::Key_End) << true << 0 << 85;
    QTest::newRow("down at end line") << 0 << 100 << int(Qt::Key_Down) << false << 0 << 100;
    QTest::newRow("down") << 0 << 5 << int(Qt::Key_Down) << false << 0 << 6;
    QTest::newRow("up at top") << 0 << 0 << int(Qt::Key_Up) << false << 0 << 0;
    QTest::newRow("ctrl+up nothing") << 0 << 50 << int(Qt::Key_Up) << true << 0 << 50;
    QTest::newRow("page down") << 0 << 0 << int(Qt::Key_PageDown) << false << 0 << 29;
    QTest::newRow("page up") << 0 << 50 << int(Qt::Key_PageUp) << false << 0 << 21;
    QTest::newRow("ctrl+home") << 7 << 50 << int(Qt::Key_Home) << true << 7 << 0;
    QTest::newRow("home") << 7 << 50 << int(Qt::Key_Home) << false << 0 << 50;
    QTest::newRow("end") << 0 << 3 << int(Qt::Key_End) << false << 41 << 3;
    QTest::newRow("right") << 0 << 0 << int(Qt::Key_Right) << false << 1 << 0;
    QTest::newRow("ctrl+right") << 0 << 0 << int(Qt::Key_Right) << true << 20 << 0;
    QTest::newRow("ctrl+left") << 10 << 0 << int(Qt::Key_Left) << true << 0 << 0;
    QTest::newRow("ctrl+page down") << 0 << 0 << int(Qt::Key_PageDown) << true << 39 << 0;
    QTest::newRow("ctrl+page up") << 50 << 0 << int(Qt::Key_PageUp) << true << 11 << 0;
    QTest::newRow("right at extent") << 81 << 0 << int(Qt::Key_Right) << false << 81 << 0;
}

void TextViewTest::keysScroll() {
    QFETCH(int, fromColumn);
    QFETCH(int, fromLine);
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(int, column);
    QFETCH(int, line);
    Harness h(HundredLines());
    h.Show(30, 40);
    h.view->ScrollTo(fromColumn, fromLine);
    QTest::keyClick(h.view.get(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(h.view->scrollPos().column, column);
    QCOMPARE(h.view->scrollPos().line, line);
    // Every scroll reports, moved or not.
    QCOMPARE(h.frame.lineNumbers.back(), line + 1);
    QCOMPARE(h.frame.columnNumbers.back(), column + 1);
    // The keys never select.
    QVERIFY(!h.view->HasSelection());
}

void TextViewTest::lessKeys_data() {
    QTest::addColumn<bool>("less");
    QTest::addColumn<int>("fromLine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::newRow("space") << true << 0 << " " << 29;
    QTest::newRow("f") << true << 0 << "f" << 29;
    QTest::newRow("b") << true << 50 << "b" << 21;
    QTest::newRow("j") << true << 0 << "j" << 1;
    QTest::newRow("e") << true << 0 << "e" << 1;
    QTest::newRow("k") << true << 5 << "k" << 4;
    QTest::newRow("y") << true << 5 << "y" << 4;
    QTest::newRow("g") << true << 50 << "g" << 0;
    QTest::newRow("<") << true << 50 << "<" << 0;
    QTest::newRow("G") << true << 0 << "G" << 70;
    QTest::newRow(">") << true << 85 << ">" << 85;
    QTest::newRow("J is not j") << true << 0 << "J" << 0;
    QTest::newRow("off: j") << false << 0 << "j" << 0;
    QTest::newRow("off: G") << false << 0 << "G" << 0;
}

void TextViewTest::lessKeys() {
    QFETCH(bool, less);
    QFETCH(int, fromLine);
    QFETCH(QString, text);
    QFETCH(int, line);
    Harness h(HundredLines());
    h.settings.ResembleLess.value = less ? 1 : 0;
    h.Show(30, 40);
    h.view->ScrollTo(0, fromLine);
    QTest::keyClicks(h.view.get(), text);
    QCOMPARE(h.view->scrollPos().line, line);
    QCOMPARE(h.frame.closes, 0);
}

void TextViewTest::lessCloseAndEdit() {
    {
        Harness h(HundredLines());
        h.Show(30, 40);
        QTest::keyClicks(h.view.get(), "qv");
        QCOMPARE(h.frame.closes, 0);  // the setting is off
        QCOMPARE(h.frame.launches, 0);
        h.settings.ResembleLess.value = 1;
        QTest::keyClicks(h.view.get(), "v");
        QCOMPARE(h.frame.launches, 1);
        QTest::keyClicks(h.view.get(), "q");
        QCOMPARE(h.frame.closes, 1);
    }
    {
        Harness empty("");
        empty.settings.ResembleLess.value = 1;
        empty.Show(30, 40);
        QTest::keyClicks(empty.view.get(), "v");
        QCOMPARE(empty.frame.launches, 0);
    }
}

void TextViewTest::verticalBarThumbs() {
    Harness h(HundredLines());
    h.Show(30, 40);
    QScrollBar* bar = h.view->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), 32767);
    h.view->ScrollTo(0, 50);
    QCOMPARE(bar->value(), 16384);
    bar->setSliderPosition(32767);  // dragging the thumb to the bottom
    QCOMPARE(h.view->scrollPos().line, 100);
    bar->setSliderPosition(0);
    QCOMPARE(h.view->scrollPos().line, 0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(h.view->scrollPos().line, 29);
    QCOMPARE(bar->value(), ThumbOfPosition(29, 100));

    // A text that fits needs no bar and cannot scroll.
    Harness small("one\ntwo\n");
    small.view->resize(h.view->size());
    small.view->show();
    QVERIFY(QTest::qWaitForWindowExposed(small.view.get()));
    QVERIFY(!small.view->verticalScrollBar()->isVisible());
    QTest::keyClick(small.view.get(), Qt::Key_Down);
    QCOMPARE(small.view->scrollPos().line, 0);
}

void TextViewTest::wheelScrollsLines() {
    Harness h(HundredLines());
    h.Show(30, 40);
    auto wheel = [&](int delta) {
        const QPoint point = h.Row(3, 50);
        QWheelEvent event(point, h.viewport()->mapToGlobal(point), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(h.viewport(), &event);
    };
    const int step = QApplication::wheelScrollLines();
    wheel(-120);
    QCOMPARE(h.view->scrollPos().line, step);
    wheel(-60);  // half a notch waits for the other half
    QCOMPARE(h.view->scrollPos().line, step);
    wheel(-60);
    QCOMPARE(h.view->scrollPos().line, 2 * step);
    wheel(120 * 50);
    QCOMPARE(h.view->scrollPos().line, 0);
}

void TextViewTest::clickHalvesAndTabs_data() {
    QTest::addColumn<QString>("before");  // text left of the character
    QTest::addColumn<QString>("character");
    QTest::addColumn<double>("fraction");  // where in the character
    QTest::addColumn<int>("column");
    // Line 0: "a", HIRAGANA A (2 columns), "b", a tab to column 8, "c", LF.
    const QString a = QStringLiteral("a");
    const QString hiragana = QString(QChar(0x3042));
    QTest::newRow("wide, left half") << a << hiragana << 0.25 << 1;
    QTest::newRow("wide, right half") << a << hiragana << 0.75 << 3;
    QTest::newRow("tab, start") << (a + hiragana + "b") << QStringLiteral("    ") << 0.1 << 4;
    QTest::newRow("tab, before middle")
        << (a + hiragana + "b") << QStringLiteral("    ") << 0.4 << 4;
    QTest::newRow("tab, after middle")
        << (a + hiragana + "b") << QStringLiteral("    ") << 0.6 << 8;
    QTest::newRow("narrow, right half") << QString() << a << 0.8 << 1;
}

void TextViewTest::clickHalvesAndTabs() {
    QFETCH(QString, before);
    QFETCH(QString, character);
    QFETCH(double, fraction);
    QFETCH(int, column);
    Harness h(
        "a\x82\xa0"
        "b\tc\nsecond\n");
    h.Show(10, 40);
    const QFontMetrics metrics(h.view->viewFont());
    const int x = h.X(before) + int(metrics.horizontalAdvance(character) * fraction);
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, x));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{column, 0}));
    QCOMPARE(h.view->anchor(), (DisplayPos{column, 0}));
}

void TextViewTest::clickBelowLastLine() {
    Harness h("abc\nde\nfgh\n");
    h.Show(10, 40);
    // Right of the second line's last cell: after its line break.
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(1, 200));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{3, 1}));
    // Far below the three lines: the end line.
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(7, 30));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{0, 3}));
    QCOMPARE(h.view->scrollPos().line, 0);
}

void TextViewTest::shiftClickExtendsOnlyARealSelection() {
    Harness h("abcdef\nghijkl\n");
    h.Show(10, 40);
    const QFontMetrics metrics(h.view->viewFont());
    const int cell = metrics.horizontalAdvance(QLatin1Char('a'));
    // A click alone selects nothing; Shift+click then starts anew.
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, 10 + cell + 1));
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::ShiftModifier, h.Row(1, 10 + 2 * cell + 1));
    QCOMPARE(h.view->anchor(), (DisplayPos{2, 1}));
    QVERIFY(!h.view->HasSelection());
    // A drag makes a selection; Shift+click extends it from its anchor.
    QTest::mousePress(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, 10 + cell + 1));
    QTest::mouseMove(h.viewport(), h.Row(0, 10 + 3 * cell + 1));
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, 10 + 3 * cell + 1));
    QVERIFY(h.view->HasSelection());
    QTest::mouseClick(h.viewport(), Qt::LeftButton, Qt::ShiftModifier, h.Row(1, 10 + 4 * cell + 1));
    QCOMPARE(h.view->anchor(), (DisplayPos{1, 0}));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{4, 1}));
}

void TextViewTest::marginDragUpwardKeepsAnchorLine() {
    Harness h(HundredLines());
    h.Show(30, 40);
    QTest::mousePress(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(5, 3));
    QCOMPARE(h.view->anchor(), (DisplayPos{0, 5}));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{81, 5}));
    QTest::mouseMove(h.viewport(), h.Row(2, 3));
    DisplayPos lo, hi;
    h.view->GetSelection(lo, hi);
    QCOMPARE(lo, (DisplayPos{0, 2}));
    QCOMPARE(hi, (DisplayPos{81, 5}));  // line 5 stays selected whole
    QTest::mouseMove(h.viewport(), h.Row(7, 3));
    h.view->GetSelection(lo, hi);
    QCOMPARE(lo, (DisplayPos{0, 5}));
    QCOMPARE(hi, (DisplayPos{81, 7}));
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(7, 3));
}

void TextViewTest::cursorFollowsMargin() {
    Harness h(HundredLines());
    h.Show(30, 40);
    auto hover = [&](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, h.viewport()->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.viewport(), &move);
        return h.viewport()->cursor();
    };
    const QCursor margin = hover(h.Row(2, 4));
    QCOMPARE(margin.shape(), Qt::BitmapCursor);
    QCOMPARE(margin.hotSpot(), QPoint(12, 0));
    QCOMPARE(h.view->ContextHelpHitTest(h.Row(2, 4)), 1);
    QCOMPARE(hover(h.Row(2, 40)).shape(), Qt::IBeamCursor);
    QCOMPARE(h.view->ContextHelpHitTest(h.Row(2, 40)), 0);
}

void TextViewTest::ctrlClickInMarginSelectsAll() {
    Harness h(HundredLines());
    h.Show(30, 40);
    QTest::mousePress(h.viewport(), Qt::LeftButton, Qt::ControlModifier, h.Row(4, 2));
    QCOMPARE(h.view->anchor(), (DisplayPos{0, 0}));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{0, 100}));
    QTest::mouseMove(h.viewport(), h.Row(9, 100));
    // Below the window: the timer ticks, yet nothing scrolls.
    QSignalSpy ticks(&h.view->autoScrollTimer(), &QTimer::timeout);
    QTest::mouseMove(h.viewport(), QPoint(100, 5000));
    QTRY_VERIFY(ticks.count() >= 3);
    QCOMPARE(h.view->anchor(), (DisplayPos{0, 0}));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{0, 100}));
    QCOMPARE(h.view->scrollPos().line, 0);
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(9, 100));
}

void TextViewTest::dragBelowScrollsOnTimer() {
    Harness h(HundredLines());
    h.Show(30, 40);
    QTest::mousePress(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, 30));
    QTest::mouseMove(h.viewport(), QPoint(30, h.viewport()->height() + 40));
    QCOMPARE(h.view->scrollPos().line, 1);
    QTRY_VERIFY(h.view->scrollPos().line >= 4);
    QVERIFY(h.view->selectionEnd().line >= 30);
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(30, h.viewport()->height() + 40));
    // Released: the timer is off, so nothing can scroll any more.
    QVERIFY(!h.view->autoScrollTimer().isActive());
    // The anchor stayed where the drag began.
    QCOMPARE(h.view->anchor().line, 0);
}

void TextViewTest::rightClickShowsMenu() {
    Harness h(HundredLines());
    h.Show(30, 40);
    h.view->SelectAll();
    const QPoint point = h.Row(3, 50);
    QTest::mouseClick(h.viewport(), Qt::RightButton, Qt::NoModifier, point);
    QTRY_VERIFY(h.frame.menu.isVisible());
    QCOMPARE(h.frame.menu.pos(), h.viewport()->mapToGlobal(point));
    QCOMPARE(h.view->anchor(), (DisplayPos{0, 0}));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{0, 100}));
    h.frame.menu.hide();
}

void TextViewTest::activePaneAndSharedBar() {
    Harness h(HundredLines());
    h.Show(30, 40);
    auto other = std::make_unique<RecordingView>(h.doc, h.settings, h.frame);
    other->OnInitialUpdate();
    other->resize(h.view->size());
    other->show();
    QVERIFY(QTest::qWaitForWindowExposed(other.get()));

    // The shared bar follows the active view only.
    h.view->ScrollTo(40, 0);
    QCOMPARE(h.frame.bar.value(), ThumbOfPosition(40, 81));
    const auto reports = h.frame.lineNumbers.size();
    other->ScrollTo(20, 10);
    QCOMPARE(h.frame.bar.value(), ThumbOfPosition(40, 81));
    QCOMPARE(h.frame.lineNumbers.size(), reports);  // an inactive view's reports are dropped
    QVERIFY(h.frame.droppedReports > 0);
    // The horizontal bar's actions go to the active view alone.
    h.frame.bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(h.view->scrollPos().column, 41);
    QCOMPARE(other->scrollPos().column, 20);

    // A click activates the other pane, which reports itself.
    QTest::mouseClick(other->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QCOMPARE(h.frame.active, other.get());
    QVERIFY(!h.view->isActive());
    QCOMPARE(h.frame.activePanes.back(), other.get());
    QCOMPARE(h.frame.bar.value(), ThumbOfPosition(20, 81));
    QTest::keyClick(other.get(), Qt::Key_Down);
    QCOMPARE(h.frame.lineNumbers.back(), 12);
    QCOMPARE(h.frame.columnNumbers.back(), 21);
    other.reset();
    h.frame.active = h.view.get();
}

void TextViewTest::paintsSelectionAndBackground() {
    // Narrow page (W = 20) so that the area right of it shows.
    Harness h("ab\tcd\nxy\n", 20);
    h.Show(10, 40);
    const QPalette palette = h.view->palette();
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor dark = palette.color(QPalette::Active, QPalette::Dark);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    QVERIFY(base != dark && base != highlight);
    const int cw = h.view->columnWidth();
    const int lh = h.view->lineHeight();
    const int pageRight = 10 + 20 * cw;
    // Inside the tab's blank cells of line 0, and below the text.
    const QPoint inTab(h.X("ab  "), lh / 2);
    const QPoint rightOfPage(pageRight + cw, lh / 2);
    const QPoint belowText(40, 5 * lh);
    const QPoint margin(4, lh / 2);

    QImage image = h.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(inTab).rgb(), base.rgb());
    QCOMPARE(image.pixelColor(rightOfPage).rgb(), dark.rgb());  // PaintBkgnd defaults to on
    QCOMPARE(image.pixelColor(belowText).rgb(), dark.rgb());
    QCOMPARE(image.pixelColor(margin).rgb(), base.rgb());
    QCOMPARE(image.pixelColor(QPoint(pageRight - 2, lh + lh / 2)).rgb(),
             base.rgb());  // line's own colour

    h.view->SelectAll();
    image = h.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(inTab).rgb(), highlight.rgb());
    QCOMPARE(image.pixelColor(margin).rgb(), base.rgb());
    // Past the line break cell the line keeps the window colour.
    QCOMPARE(image.pixelColor(QPoint(pageRight - 2, lh / 2)).rgb(), base.rgb());
    QCOMPARE(image.pixelColor(rightOfPage).rgb(), dark.rgb());

    h.view->SetBackgroundFlag(false);
    image = h.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(rightOfPage).rgb(), base.rgb());
    QCOMPARE(image.pixelColor(belowText).rgb(), base.rgb());

    // A selection ending at column 0 of line 1 highlights nothing there.
    QTest::mousePress(h.viewport(), Qt::LeftButton, Qt::NoModifier, h.Row(0, h.X("ab") + 1));
    QTest::mouseMove(h.viewport(), QPoint(9, lh + lh / 2));
    QTest::mouseRelease(h.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(9, lh + lh / 2));
    QCOMPARE(h.view->selectionEnd(), (DisplayPos{0, 1}));
    image = h.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(inTab).rgb(), highlight.rgb());
    QCOMPARE(image.pixelColor(QPoint(12, lh + 1)).rgb(), base.rgb());
}

void TextViewTest::lineStepRepaintsOnlyAStrip() {
    Harness h(HundredLines());
    h.Show(30, 40);
    QCoreApplication::processEvents();
    h.view->painted = QRegion();
    QTest::keyClick(h.view.get(), Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(h.view->scrollPos().line, 1);
    const QRect painted = h.view->painted.boundingRect();
    QVERIFY(!painted.isEmpty());
    QCOMPARE(painted.bottom(), h.viewport()->height() - 1);  // the uncovered bottom strip
    QVERIFY2(painted.height() <= 2 * h.view->lineHeight(),
             qPrintable(QStringLiteral("painted %1 pixels high").arg(painted.height())));
}

// A code of the extension table is drawn as its character, one beyond
// U+FFFF from its surrogate pair, still two columns wide.
void TextViewTest::extensionCodesShowTheirCharacters() {
    ExtensionTable table;
    QCOMPARE(table.CodeFor(U'\U0001F600'), std::uint16_t{0xF040});
    QCOMPARE(table.CodeFor(U'\u301C'), std::uint16_t{0xF041});
    const QFontMetrics metrics(QApplication::font());
    DisplayLine line;
    line.Assign(
        "a\xF0\x40\xF0\x41"
        "b",
        metrics, &table);
    QCOMPARE(line.string(), QString::fromUtf16(u"a\U0001F600\u301Cb"));
    const std::int32_t positions[] = {0, 1, 3, 3, 4, 4, 5};
    for (std::int32_t column = 0; column <= 6; ++column)
        QCOMPARE(line.PositionOfColumn(column), positions[column]);
    QVERIFY(line.ExtentTo(3) > line.ExtentTo(1));
    // Without the table the codes are the user-defined characters they are.
    line.Assign("a\xF0\x40", metrics);
    QCOMPARE(line.string(), QString::fromUtf16(u"a\uE000"));
}

}  // namespace
}  // namespace kotoha::testing

QTEST_MAIN(kotoha::testing::TextViewTest)
#include "text_view_test.moc"
