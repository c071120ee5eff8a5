// SPDX-License-Identifier: MIT
// The view settings, other settings and About dialogs: validation of the
// numbers, the font refusals and the three switches.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include "modal_steps.h"
#include "shell/settings.h"
#include "ui/about_dialog.h"
#include "ui/other_settings_dialog.h"
#include "ui/view_settings_dialog.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

QLineEdit* Edit(QWidget* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

void Click(QWidget* dialog, const char* name) {
    dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

QString Label(QWidget* dialog, const char* name) {
    return dialog->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

ViewSettingsFields JapaneseFields() {
    ViewSettingsFields fields;
    fields.font.faceName = "IPAGothic";
    fields.font.height = -16;
    fields.font.charSet = kShiftJisCharSet;
    fields.font.pitchAndFamily = kFixedPitch | kFamilyModern;
    fields.styleName = "Regular";
    return fields;
}

ChosenFont Chosen(const char* face, std::uint8_t charSet, std::int32_t tenths) {
    ChosenFont chosen;
    chosen.font.faceName = face;
    chosen.font.height = -14;
    chosen.font.charSet = charSet;
    chosen.styleName = "Book";
    chosen.pointSizeTenths = tenths;
    return chosen;
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void numbersAreValidated_data();
    void numbersAreValidated();
    void tabLengthIsCheckedFirst();
    void fontChoice_data();
    void fontChoice();
    void platformFontDialogWithoutJapaneseIsRefused();
    void otherSettingsWriteTheirSwitches();
    void aboutNamesThePlatform();
};

void SettingsDialogsTest::numbersAreValidated_data() {
    QTest::addColumn<QString>("wrap");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("message");  // "" when accepted
    const QString wrapRange =
        QStringLiteral("enterIntegerInRangeBox:2 から 255 迄の整数を入力してください。 !");
    const QString tabRange =
        QStringLiteral("enterIntegerInRangeBox:1 から 64 迄の整数を入力してください。 !");
    QTest::newRow("wrap 1") << "1"
                            << "8" << wrapRange;
    QTest::newRow("wrap 256") << "256"
                              << "8" << wrapRange;
    QTest::newRow("tab 0") << "80"
                           << "0" << tabRange;
    QTest::newRow("tab 65") << "80"
                            << "65" << tabRange;
    QTest::newRow("huge") << "99999999999999999999"
                          << "8" << wrapRange;
    QTest::newRow("not a number") << "8x"
                                  << "8"
                                  << QStringLiteral("enterIntegerBox:整数を入力してください。 !");
    QTest::newRow("empty") << ""
                           << "8" << QStringLiteral("enterIntegerBox:整数を入力してください。 !");
    QTest::newRow("wrap 2 tab 1") << "2"
                                  << "1" << QString();
    QTest::newRow("wrap 255 tab 64") << " 255 "
                                     << "64" << QString();
}

void SettingsDialogsTest::numbersAreValidated() {
    ModalSteps modals;
    QFETCH(QString, wrap);
    QFETCH(QString, tab);
    QFETCH(QString, message);
    for (const char* button : {"okButton", "defaultsButton"}) {
        CViewSettingsDlg dialog(JapaneseFields(), nullptr);
        dialog.show();
        Edit(&dialog, "wrapColumnEdit")->setText(wrap);
        Edit(&dialog, "tabLengthEdit")->setText(tab);
        QStringList messages;
        if (!message.isEmpty())
            modals.AnswerMessage(messages);
        Click(&dialog, button);
        if (message.isEmpty()) {
            QVERIFY(messages.isEmpty());
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), QByteArray(button) == "okButton" ? 1 : 127);
            QCOMPARE(dialog.fields().wrapColumn, wrap.trimmed().toInt());
            QCOMPARE(dialog.fields().tabLength, tab.toInt());
        } else {
            QCOMPARE(messages, QStringList{message});
            QVERIFY(dialog.isVisible());
            // The faulty field is selected for the correction.
            QLineEdit* faulty =
                Edit(&dialog, message.contains(QStringLiteral("1 から 64")) ? "tabLengthEdit"
                                                                            : "wrapColumnEdit");
            QCOMPARE(faulty->selectedText(), faulty->text());
            QCOMPARE(dialog.fields().wrapColumn, 80);
        }
    }
}

void SettingsDialogsTest::tabLengthIsCheckedFirst() {
    ModalSteps modals;
    CViewSettingsDlg dialog(JapaneseFields(), nullptr);
    dialog.show();
    Edit(&dialog, "wrapColumnEdit")->setText(QStringLiteral("1"));
    Edit(&dialog, "tabLengthEdit")->setText(QStringLiteral("99"));
    QStringList messages;
    modals.AnswerMessage(messages);
    Click(&dialog, "okButton");
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].contains(QStringLiteral("1 から 64")));
}

void SettingsDialogsTest::fontChoice_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("charSet");
    QTest::addColumn<QString>("message");  // "" when the font is taken
    QTest::newRow("taken") << false << "IPAPGothic" << 128 << QString();
    QTest::newRow("cancelled") << true << "" << 0 << QString();
    QTest::newRow("no kanji, Japanese name")
        << false << "IPAPGothic" << 0
        << QStringLiteral(
               "fontHasNoKanjiBox:指定したフォントでは漢字を表示できません。"
               "サンプルに漢字が表示されるフォントを選びなおしてください。 !");
    QTest::newRow("vertical")
        << false << "@IPAGothic" << 128
        << QStringLiteral(
               "fontIsVerticalBox:指定したフォントは縦書き表示用です。"
               "フォント名の先頭文字が@でないフォントを選びなおしてください。 !");
}

void SettingsDialogsTest::fontChoice() {
    ModalSteps modals;
    QFETCH(bool, cancel);
    QFETCH(QString, face);
    QFETCH(int, charSet);
    QFETCH(QString, message);
    const ViewSettingsFields before = JapaneseFields();
    CViewSettingsDlg dialog(before, nullptr);
    dialog.show();
    // 16 pixels at the offscreen screen's resolution.
    const QString initialSize = Label(&dialog, "fontSizeLabel");
    QVERIFY(initialSize.endsWith(QStringLiteral(" ﾎﾟｲﾝﾄ")));
    const QByteArray faceBytes = face.toUtf8();
    dialog.SetFontChooser([&](const LogFont& current, const std::string& style) {
        [&] {
            QCOMPARE(current, before.font);
            QCOMPARE(style, before.styleName);
        }();
        return cancel ? std::nullopt
                      : std::optional(
                            Chosen(faceBytes.constData(), static_cast<std::uint8_t>(charSet), 105));
    });
    QStringList messages;
    if (!message.isEmpty())
        modals.AnswerMessage(messages);
    Click(&dialog, "fontButton");
    Click(&dialog, "okButton");
    QCOMPARE(dialog.result(), 1);
    const bool taken = !cancel && message.isEmpty();
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(dialog.fields().fontChanged, taken);
    QCOMPARE(dialog.fields().font.faceName, taken ? faceBytes.toStdString() : before.font.faceName);
    QCOMPARE(Label(&dialog, "fontLabel"), taken ? face : QStringLiteral("IPAGothic"));
    QCOMPARE(Label(&dialog, "fontStyleLabel"),
             taken ? QStringLiteral("Book") : QStringLiteral("Regular"));
    // 10.5 points show as 10.
    QCOMPARE(Label(&dialog, "fontSizeLabel"), taken ? QStringLiteral("10 ﾎﾟｲﾝﾄ") : initialSize);
}

void SettingsDialogsTest::platformFontDialogWithoutJapaneseIsRefused() {
    ModalSteps modals;
    CViewSettingsDlg dialog(JapaneseFields(), nullptr);
    dialog.show();
    QStringList messages;
    modals.OnNext<QFontDialog>([&messages, &modals](QFontDialog* fonts) {
        fonts->setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        modals.AnswerMessage(messages);
        fonts->accept();
    });
    Click(&dialog, "fontButton");
    QTRY_COMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith(QStringLiteral("fontHasNoKanjiBox:")));
    QVERIFY(!dialog.fields().fontChanged);

    modals.OnNext<QFontDialog>([](QFontDialog* fonts) {
        fonts->setCurrentFont(QFont(QStringLiteral("IPAPGothic"), 12));
        fonts->accept();
    });
    Click(&dialog, "fontButton");
    QVERIFY(dialog.fields().fontChanged);
    QCOMPARE(dialog.fields().font.faceName, std::string("IPAPGothic"));
    QCOMPARE(dialog.fields().font.charSet, kShiftJisCharSet);
    QCOMPARE(dialog.fields().pointSizeTenths, 120);
    QCOMPARE(Label(&dialog, "fontSizeLabel"), QStringLiteral("12 ﾎﾟｲﾝﾄ"));
}

void SettingsDialogsTest::otherSettingsWriteTheirSwitches() {
    ModalSteps modals;
    AppSettings settings;
    settings.ResembleLess.value = 0;
    settings.SaveFrameStatus.value = 2;  // any value but 0 is on
    settings.InquireWhenPaste.value = 1;
    QList<bool> shown;
    QStringList keys;
    auto answer = [&shown, &keys, &modals](const char* button) {
        modals.OnNext<COtherSettingsDlg>([&shown, &keys, button](COtherSettingsDlg* dialog) {
            // Every button has an access key of its own.
            keys.clear();
            for (auto* control : dialog->findChildren<QAbstractButton*>()) {
                const QString text = control->text();
                const qsizetype amp = text.indexOf(QLatin1Char('&'));
                if (amp >= 0 && amp + 1 < text.size())
                    keys << text.mid(amp + 1, 1).toUpper();
            }
            for (const char* name : {"resembleLessCheck", "saveWindowPositionCheck",
                                     "inquireWhenPasteCheck", "askBeforeLossCheck"}) {
                auto* box = dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
                shown << box->isChecked();
                box->setChecked(!box->isChecked());
            }
            Click(dialog, button);
        });
    };
    answer("cancelButton");
    RunOtherSettings(settings, nullptr);
    QCOMPARE(shown, (QList<bool>{false, true, true, true}));
    QVERIFY(!keys.isEmpty());
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    QCOMPARE(settings.SaveFrameStatus.value, 2);

    answer("okButton");
    RunOtherSettings(settings, nullptr);
    QCOMPARE(settings.ResembleLess.value, 1);
    QCOMPARE(settings.SaveFrameStatus.value, 0);
    QCOMPARE(settings.InquireWhenPaste.value, 0);
    QCOMPARE(settings.AskBeforeLoss.value, 0);
}

void SettingsDialogsTest::aboutNamesThePlatform() {
    CAboutDlg dialog("1,024 KB", nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Kotohaのバージョン情報"));
    QCOMPARE(Label(&dialog, "programLine"), QStringLiteral("Kotoha (Linux)"));
    QCOMPARE(Label(&dialog, "memoryLabel"), QStringLiteral("1,024 KB"));
    QCOMPARE(dialog.font().pointSize(), 10);
}

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
