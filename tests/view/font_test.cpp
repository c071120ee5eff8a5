// SPDX-License-Identifier: MIT
// The font description kept in the settings, its conversion to a QFont and
// back, and the column width and line height measured from it.
#include <QFontDatabase>
#include <QFontMetrics>
#include <QTest>

#include "document/fake_host.h"
#include "fake_frame.h"
#include "view/font_metrics.h"
#include "view/kotoha_view.h"
#include "view/log_font.h"

namespace kotoha::testing {
namespace {

class FontTest : public QObject {
    Q_OBJECT

  private slots:
    void systemFixedFontIsJapaneseAndFixed();
    void unsetSettingTakesSystemFontAndStoresIt();
    void storedSettingRoundTrips();
    void longNamesAreCut();
    void logFontToQFontAndBack();
    void columnWidthRules();
    void heightsBeyondTheDialogAreClamped();
};

void FontTest::systemFixedFontIsJapaneseAndFixed() {
    const LogFont font = SystemFixedLogFont();
    if (!SupportsJapanese(QString::fromStdString(font.faceName)))
        QSKIP("no Japanese font installed");
    QCOMPARE(font.charSet, kShiftJisCharSet);
    QCOMPARE(font.pitchAndFamily & 3, int(kFixedPitch));
    QVERIFY(font.height < 0);
}

void FontTest::unsetSettingTakesSystemFontAndStoresIt() {
    AppDocFixture fixture;
    FakeFrame frame;
    CKotohaView view(fixture.doc, fixture.settings, frame);
    view.OnInitialUpdate();
    const LogFont expected = SystemFixedLogFont();
    QCOMPARE(view.logFont(), expected);
    QCOMPARE(fixture.settings.LogFont.values, LogFontNumbers(expected));
    QCOMPARE(fixture.settings.FontName.value, expected.faceName);
    QVERIFY(fixture.settings.LogFont.values[LogFontIndex::kWidth] >= 0);
    QCOMPARE(view.fontStyleName(), std::string("標準"));
    // Fixed pitch: the average character width.
    QCOMPARE(view.columnWidth(), QFontMetrics(view.viewFont()).averageCharWidth());
}

void FontTest::storedSettingRoundTrips() {
    AppDocFixture fixture;
    FakeFrame frame;
    fixture.settings.LogFont.values = {-20, 0, 0, 0, 700, 1, 0, 0, 384, 0, 0, 0, 0x22};
    fixture.settings.FontName.value = "IPAPGothic";
    fixture.settings.FontStyle.value = "Bold Italic";
    CKotohaView view(fixture.doc, fixture.settings, frame);
    view.OnInitialUpdate();
    QCOMPARE(view.logFont().charSet, std::uint8_t{128});  // stored 384 counts by its low byte
    QCOMPARE(view.viewFont().pixelSize(), 20);
    QVERIFY(view.viewFont().bold());
    QVERIFY(view.viewFont().italic());
    QCOMPARE(view.fontStyleName(), std::string("Bold Italic"));
    view.StoreFontSettings();
    QCOMPARE(fixture.settings.LogFont.values[LogFontIndex::kCharSet], 128);
    QCOMPARE(fixture.settings.LogFont.values[LogFontIndex::kHeight], -20);
    QCOMPARE(fixture.settings.FontName.value, std::string("IPAPGothic"));
}

void FontTest::longNamesAreCut() {
    const std::string longName(40, 'x');
    const LogFont font = LogFontFromNumbers({-12, 0}, longName);
    QCOMPARE(font.faceName.size(), kMaxFaceNameBytes);
    QCOMPARE(font.weight, 0);  // missing numbers count as 0
    // Never inside a UTF-8 character: 10 three-byte characters, 30 bytes fit.
    std::string japanese;
    for (int i = 0; i < 11; ++i)
        japanese += "あ";
    QCOMPARE(LogFontFromNumbers({}, japanese).faceName.size(), std::size_t{30});
}

void FontTest::logFontToQFontAndBack() {
    LogFont description;
    description.height = -18;
    description.weight = 700;
    description.italic = 1;
    description.underline = 1;
    description.pitchAndFamily = kFixedPitch | kFamilyModern;
    description.faceName = "IPAGothic";
    const QFont font = FontFromLogFont(description);
    QCOMPARE(font.family(), QStringLiteral("IPAGothic"));
    QCOMPARE(font.pixelSize(), 18);
    QCOMPARE(font.weight(), QFont::Bold);
    QVERIFY(font.italic() && font.underline() && !font.strikeOut());
    const LogFont back = LogFontFromFont(font);
    QCOMPARE(back.height, -18);
    QCOMPARE(back.weight, 700);
    QCOMPARE(back.italic, std::uint8_t{1});
    QCOMPARE(back.faceName, std::string("IPAGothic"));
    if (SupportsJapanese(QStringLiteral("IPAGothic"))) {
        QCOMPARE(back.charSet, kShiftJisCharSet);
        QCOMPARE(back.pitchAndFamily & 3, int(kFixedPitch));
    }
    // A positive height is the cell: the font's height fits in it.
    description.height = 24;
    QVERIFY(QFontMetrics(FontFromLogFont(description)).height() <= 24);
}

void FontTest::columnWidthRules() {
    if (!SupportsJapanese(QStringLiteral("IPAPGothic")))
        QSKIP("no proportional Japanese font installed");
    QFont proportional(QStringLiteral("IPAPGothic"));
    proportional.setPixelSize(16);
    const QFontMetrics metrics(proportional);
    LogFont description = LogFontFromFont(proportional);
    QCOMPARE(description.pitchAndFamily & 3, int(kVariablePitch));
    const ViewMetrics shiftJis = MeasureViewFont(proportional, description);
    const int ideographicSpace = metrics.horizontalAdvance(QChar(0x3000));
    QVERIFY(shiftJis.columnWidth >= (ideographicSpace + 1) / 2);
    QVERIFY(shiftJis.columnWidth >= metrics.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(shiftJis.lineHeight, metrics.height() + metrics.leading());
    // Below character set 128: the widest character of the font.
    description.charSet = 0;
    QCOMPARE(MeasureViewFont(proportional, description).columnWidth, metrics.maxWidth());
    // Fixed pitch: the average width.
    description.pitchAndFamily = kFixedPitch;
    QCOMPARE(MeasureViewFont(proportional, description).columnWidth, metrics.averageCharWidth());
}

// A damaged profile must not give a font no window can show a line of.
void FontTest::heightsBeyondTheDialogAreClamped() {
    const PixelRange range = FontDialogPixelHeights();
    QVERIFY(range.smallest >= 1 && range.smallest < range.largest && range.largest < 400);
    for (const std::int32_t height : {-30000, 2147483647, INT32_MIN + 1, -1, 1}) {
        AppDocFixture fixture;
        FakeFrame frame;
        fixture.settings.LogFont.values = {height, 0, 0, 0, 400, 0, 0, 0, 128, 0, 0, 0, 0x31};
        fixture.settings.FontName.value = "IPAGothic";
        CKotohaView view(fixture.doc, fixture.settings, frame);
        view.resize(720, 540);
        view.OnInitialUpdate();
        const int pixels = view.viewFont().pixelSize();
        QVERIFY2(pixels >= 1 && pixels <= range.largest, qPrintable(QString::number(height)));
        QVERIFY2(view.lineHeight() <= 2 * range.largest, qPrintable(QString::number(height)));
        if (height < -1 || height > 1)
            QVERIFY(pixels >= range.smallest);
    }
}

}  // namespace
}  // namespace kotoha::testing

QTEST_MAIN(kotoha::testing::FontTest)
#include "font_test.moc"
