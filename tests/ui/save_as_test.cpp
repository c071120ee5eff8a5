// SPDX-License-Identifier: MIT
// Save As and copy to file driven through the window: the file dialog, the
// save-format dialog and its coupling, the bytes written in every format,
// widening, the status bar, and the open settings.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "codec/export.h"
#include "codec/import.h"
#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "ui/command_actions.h"
#include "ui/save_format_dialog.h"
#include "ui/status_panes.h"
#include "ui_session.h"
#include "view/kotoha_view.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

// Names path in the file dialog and confirms it. The dialog proposes the
// document's own file, selected in its list; a name typed by the user
// replaces that selection, which setting the field's text alone would not.
void TypeFileName(QWidget* dialog, const QString& path) {
    auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(fileDialog != nullptr);
    fileDialog->selectFile(path);
    AcceptFileDialog(dialog, path);
}

struct FormatAnswer {
    int textFormat = 0;
    int encoding = 0;
    bool widen = false;
    bool ok = true;
};

// Answers the file dialog with path, then the save-format dialog.
void AnswerSavePrompts(ModalSteps& modals, const QString& path, FormatAnswer answer,
                       QString* fileTitle = nullptr) {
    modals.OnNamed(QStringLiteral("fileDialog"), [=, &modals](QWidget* dialog) {
        if (fileTitle != nullptr)
            *fileTitle = dialog->windowTitle();
        modals.OnNamed(QStringLiteral("saveFormat"), [=](QWidget* format) {
            format->findChild<QComboBox*>(QStringLiteral("lineBreakCombo"))
                ->setCurrentIndex(answer.textFormat);
            format->findChild<QComboBox*>(QStringLiteral("encodingCombo"))
                ->setCurrentIndex(answer.encoding);
            format->findChild<QCheckBox*>(QStringLiteral("widenKanaCheck"))
                ->setChecked(answer.widen);
            const QString button =
                answer.ok ? QStringLiteral("okButton") : QStringLiteral("cancelButton");
            QTest::mouseClick(format->findChild<QPushButton*>(button), Qt::LeftButton);
        });
        TypeFileName(dialog, path);
    });
}

// What the save-format dialog shows first: combo indices, -1 when it did
// not show.
struct FormatPreset {
    int textFormat = -1;
    int encoding = -1;
};

// Answers the file dialog with path, reads what the save-format dialog
// shows (saving its picture to shot, when given) and cancels it.
void ReadFormatPresetThenCancel(ModalSteps& modals, const QString& path, FormatPreset& preset,
                                const QString& shot = {}) {
    modals.OnNamed(QStringLiteral("fileDialog"), [=, &modals, &preset](QWidget* dialog) {
        modals.OnNamed(QStringLiteral("saveFormat"), [=, &preset](QWidget* format) {
            preset.textFormat =
                format->findChild<QComboBox*>(QStringLiteral("lineBreakCombo"))->currentIndex();
            preset.encoding =
                format->findChild<QComboBox*>(QStringLiteral("encodingCombo"))->currentIndex();
            if (!shot.isEmpty())
                format->grab().save(shot);
            QTest::keyClick(format, Qt::Key_Escape);
        });
        TypeFileName(dialog, path);
    });
}

// Clicks a check box or radio button on its indicator: a button the layout
// stretches wider than its text takes clicks only on the indicator and text.
void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The internal form of a Shift-JIS file: LF line breaks.
QByteArray Internal(const QByteArray& sjis) {
    QByteArray text = sjis;
    auto* data = reinterpret_cast<std::uint8_t*>(text.data());
    text.resize(ImportText(EncodingKind::SJIS, false, data, data,
                           static_cast<std::uint32_t>(text.size()), nullptr, nullptr));
    return text;
}

class ArraySink : public ByteSink {
  public:
    bool Write(const std::uint8_t* bytes, std::size_t count) override {
        out.append(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(count));
        return true;
    }
    QByteArray out;
};

QByteArray Export(const QByteArray& internal, EncodingKind kind, LineBreakKind lineBreak,
                  bool widen) {
    ArraySink sink;
    ExportText(kind, lineBreak, sink, reinterpret_cast<const std::uint8_t*>(internal.data()), 0,
               static_cast<std::uint32_t>(internal.size()), widen);
    return sink.out;
}

QByteArray Widened(const QByteArray& internal) {
    QByteArray out(internal.size() * 2, '\0');
    out.resize(WidenKana(reinterpret_cast<std::uint8_t*>(out.data()),
                         reinterpret_cast<const std::uint8_t*>(internal.data()),
                         static_cast<std::uint32_t>(internal.size())));
    return out;
}

QByteArray DocText(Session& s) {
    return QByteArray(reinterpret_cast<const char*>(s.doc()->text.data()),
                      static_cast<qsizetype>(s.doc()->text.capacity()));
}

bool HasHalfWidthKana(const QByteArray& sjis) {
    for (qsizetype i = 0; i < sjis.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(sjis[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
            ++i;
        else if (b >= 0xA1 && b <= 0xDF)
            return true;
    }
    return false;
}

QString Pane(Session& s, std::size_t pane) {
    return s.frame()->panes().Text(pane);
}

const char* const kEncodingNames[] = {"sjis", "jis", "euc"};
const char* const kEolNames[] = {"crlf", "lf", "cr"};
const char* const kEncodingPaneTexts[] = {"SJIS", "JIS", "EUC"};
const char* const kLineBreakPaneTexts[] = {"WIN", "UX", "MAC"};

QString Sample(const char* name) {
    return QString::fromStdString(SamplePath(name));
}

}  // namespace

class SaveAsTest : public QObject {
    Q_OBJECT

  private slots:
    void roundTripInEveryFormat_data();
    void roundTripInEveryFormat();
    void unicodeFilesComeBackByteIdentical_data();
    void unicodeFilesComeBackByteIdentical();
    void legacySampleSavedAsUtf8EqualsIconv();
    void formatDialogCouplingAndPreset();
    void formatDialogStartsFromTheDocumentsOwnFormat();
    void cancelledFormatWritesNothing();
    void widenOnSaveAsThenReopen();
    void copyToFileWidensOnlyTheFile();
    void openSettingsEnableRule();
    void asksBeforeCharactersBecomeBlanks();
};

void SaveAsTest::roundTripInEveryFormat_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("eol");
    for (int encoding = 0; encoding < 3; ++encoding) {
        for (int eol = 0; eol < 3; ++eol) {
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(
                QLatin1String(kEncodingNames[encoding]), QLatin1String(kEolNames[eol]))))
                << encoding << eol;
        }
    }
}

// The samples were written by the conversion command from the same text,
// so Save As in each format must give the very same bytes.
void SaveAsTest::roundTripInEveryFormat() {
    ModalSteps modals;
    QFETCH(int, encoding);
    QFETCH(int, eol);
    TestFolders folders;
    QTemporaryDir out;
    Session s({SamplePath("shopping.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    const QString target = out.filePath(QStringLiteral("saved.txt"));
    QString fileTitle;
    AnswerSavePrompts(modals, target, {eol, encoding, false}, &fileTitle);
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(fileTitle, QStringLiteral("名前を付けて保存"));

    const QString expected = Sample(qPrintable(
        QStringLiteral("shopping.%1.%2.txt")
            .arg(QLatin1String(kEncodingNames[encoding]), QLatin1String(kEolNames[eol]))));
    QCOMPARE(ReadFile(target), ReadFile(expected));
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), target);
    QCOMPARE(QString::fromStdString(s.doc()->title()), QStringLiteral("saved.txt"));
    QVERIFY(!s.doc()->IsModified());
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QLatin1String(kEncodingPaneTexts[encoding]));
    QCOMPARE(Pane(s, StatusPanes::kLineBreakPane), QLatin1String(kLineBreakPaneTexts[eol]));
    // Without widening the text itself is untouched.
    QCOMPARE(DocText(s), Internal(ReadFile(Sample("shopping.sjis.crlf.txt"))));
}

void SaveAsTest::unicodeFilesComeBackByteIdentical_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("eol");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("pane");
    const QString text = QStringLiteral(
        "日本語の文〜です。\U0001F600 ≒ ¥100、‖\n中文 한국어 Ελληνικά Русский\n\tｶﾀｶﾅ\n");
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    struct Row {
        const char* name;
        int encoding, eol;
        const char* pane;
    };
    for (const Row& row :
         {Row{"utf8.lf", 3, 1, "UTF-8"}, Row{"utf8bom.crlf", 4, 0, "UTF-8 BOM"},
          Row{"utf16le.crlf", 5, 0, "UTF-16LE"}, Row{"utf16be.cr", 6, 2, "UTF-16BE"}}) {
        QString withBreaks = text;
        withBreaks.replace(QStringLiteral("\n"), QLatin1String(breaks[row.eol]));
        QByteArray bytes;
        if (row.encoding == 3 || row.encoding == 4) {
            bytes = (row.encoding == 4 ? QByteArray("\xEF\xBB\xBF") : QByteArray()) +
                    withBreaks.toUtf8();
        } else {
            const bool big = row.encoding == 6;
            bytes = big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
            for (const QChar unit : withBreaks) {
                const char hi = static_cast<char>(unit.unicode() >> 8);
                const char lo = static_cast<char>(unit.unicode() & 0xFF);
                bytes.append(big ? hi : lo).append(big ? lo : hi);
            }
        }
        QTest::newRow(row.name) << row.encoding << row.eol << bytes
                                << QString::fromLatin1(row.pane);
    }
}

// A Unicode file opened and saved in its own encoding and line breaks is the
// same file, and the status bar names its encoding.
void SaveAsTest::unicodeFilesComeBackByteIdentical() {
    ModalSteps modals;
    QFETCH(int, encoding);
    QFETCH(int, eol);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, pane);
    TestFolders folders;
    QTemporaryDir out;
    const QString source = out.filePath(QStringLiteral("source.txt"));
    {
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    Session s({source.toStdString()});
    QVERIFY(s.exposed);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), pane);
    const QString target = out.filePath(QStringLiteral("saved.txt"));
    AnswerSavePrompts(modals, target, {eol, encoding, false});
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(ReadFile(target), bytes);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), pane);
}

// A legacy sample saved as UTF-8 is what iconv makes of it.
void SaveAsTest::legacySampleSavedAsUtf8EqualsIconv() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir out;
    struct Case {
        const char* sample;
        const char* iconvName;
    };
    for (const Case& c :
         {Case{"timetable.sjis.lf.txt", "CP932"}, Case{"timetable.euc.lf.txt", "EUC-JP-MS"},
          Case{"timetable.jis.lf.txt", "ISO-2022-JP-3"}}) {
        QProcess iconv;
        iconv.start(QStringLiteral("iconv"),
                    {QStringLiteral("-f"), QLatin1String(c.iconvName), QStringLiteral("-t"),
                     QStringLiteral("UTF-8"), Sample(c.sample)});
        if (!iconv.waitForFinished() || iconv.exitCode() != 0)
            QSKIP("iconv cannot convert the samples here");
        const QByteArray expected = iconv.readAllStandardOutput();
        Session s({SamplePath(c.sample)});
        QVERIFY(s.exposed);
        const QString target = out.filePath(QLatin1String(c.sample));
        AnswerSavePrompts(modals, target, {1, 3, false});
        s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
        QCOMPARE(ReadFile(target), expected);
    }
}

void SaveAsTest::formatDialogCouplingAndPreset() {
    SaveFormatChoice choice;
    choice.textFormat = LineBreakKind::UX;
    choice.encoding = EncodingKind::EUC;
    choice.widenKana = true;
    CSaveFormatDlg dialog(choice, nullptr);
    auto* format = dialog.findChild<QComboBox*>(QStringLiteral("lineBreakCombo"));
    auto* encoding = dialog.findChild<QComboBox*>(QStringLiteral("encodingCombo"));
    QCOMPARE(format->count(), 3);
    QCOMPARE(format->itemText(1), QStringLiteral("UNIX系OS用 (LF)"));
    QCOMPARE(encoding->itemText(0), QStringLiteral("ｼﾌﾄJIS"));
    QCOMPARE(encoding->count(), 7);
    QCOMPARE(encoding->itemText(4), QStringLiteral("UTF-8 (BOM付き)"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("保存形式の指定"));
    QCOMPARE(dialog.textFormat(), LineBreakKind::UX);
    QCOMPARE(dialog.encoding(), EncodingKind::EUC);
    QVERIFY(dialog.widenKana());

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    format->setFocus();
    // Down from UX picks MAC: the encoding goes back to Shift-JIS.
    QTest::keyClick(format, Qt::Key_Down);
    QCOMPARE(dialog.textFormat(), LineBreakKind::MAC);
    QCOMPARE(dialog.encoding(), EncodingKind::SJIS);
    // The user may still pick another encoding afterwards.
    encoding->setFocus();
    QTest::keyClick(encoding, Qt::Key_Down);
    QTest::keyClick(encoding, Qt::Key_Down);
    QCOMPARE(dialog.encoding(), EncodingKind::EUC);
    // Up to UX keeps it; up again to WIN resets it.
    format->setFocus();
    QTest::keyClick(format, Qt::Key_Up);
    QCOMPARE(dialog.textFormat(), LineBreakKind::UX);
    QCOMPARE(dialog.encoding(), EncodingKind::EUC);
    QTest::keyClick(format, Qt::Key_Up);
    QCOMPARE(dialog.textFormat(), LineBreakKind::WIN);
    QCOMPARE(dialog.encoding(), EncodingKind::SJIS);
}

void SaveAsTest::cancelledFormatWritesNothing() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir out;
    Session s({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    // A first save leaves its answer for the next dialog.
    const QString first = out.filePath(QStringLiteral("first.txt"));
    AnswerSavePrompts(modals, first, {1, 2, false});
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QVERIFY(QFile::exists(first));

    const QString second = out.filePath(QStringLiteral("second.txt"));
    FormatPreset preset;
    ReadFormatPresetThenCancel(modals, second, preset);
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(preset.textFormat, 1);
    QCOMPARE(preset.encoding, 2);
    QVERIFY(!QFile::exists(second));
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), first);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("EUC"));
    QCOMPARE(s.app->requests().saveFormatChoice.encoding, EncodingKind::EUC);
}

// Save As of a UTF-8 file with LF starts from UTF-8 and LF, so that the
// file is not converted unless the user says so; with SaveAsOwnFormat=0
// from the last answer (Shift-JIS, CR LF at start).
void SaveAsTest::formatDialogStartsFromTheDocumentsOwnFormat() {
    for (const bool own : {true, false}) {
        ModalSteps modals;
        TestFolders folders;
        if (!own)
            folders.WriteIni("[Etc]\nSaveAsOwnFormat=0\n");
        QTemporaryDir out;
        const QString file = WriteFile(out, QStringLiteral("utf8.txt"), "\xE3\x81\x82\nb\n");
        Session s({file.toStdString()});
        QVERIFY(s.exposed);
        QCOMPARE(s.doc()->encoding, EncodingKind::UTF8);
        FormatPreset preset;
        const QString shot = own && qEnvironmentVariableIsSet("KOTOHA_SHOT_DIR")
                                 ? qEnvironmentVariable("KOTOHA_SHOT_DIR") + "/preset.png"
                                 : QString();
        ReadFormatPresetThenCancel(modals, out.filePath(QStringLiteral("copy.txt")), preset, shot);
        s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
        QCOMPARE(preset.textFormat, own ? 1 : 0);
        QCOMPARE(preset.encoding, own ? 3 : 0);
    }
}

// Open a Shift-JIS file with half-width katakana, save it as EUC-JP with LF
// and widening, and open the new file again.
void SaveAsTest::widenOnSaveAsThenReopen() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir out;
    Session s({SamplePath("shopping.sjis.crlf.txt")});
    QVERIFY(s.exposed);
    const QByteArray original = Internal(ReadFile(Sample("shopping.sjis.crlf.txt")));
    QVERIFY(HasHalfWidthKana(original));
    QVERIFY(s.doc()->halfWidthKanaCount > 0);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("SJIS"));

    const QString target = out.filePath(QStringLiteral("wide.euc"));
    AnswerSavePrompts(modals, target, {1, 2, true});
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);

    QCOMPARE(ReadFile(target), Export(original, EncodingKind::EUC, LineBreakKind::UX, true));
    QVERIFY(!ReadFile(target).contains('\r'));
    // The window shows what was written.
    QCOMPARE(DocText(s), Widened(original));
    QVERIFY(!HasHalfWidthKana(DocText(s)));
    QCOMPARE(s.doc()->halfWidthKanaCount, 0u);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("EUC"));
    QCOMPARE(Pane(s, StatusPanes::kLineBreakPane), QStringLiteral("UX"));
    QVERIFY(s.frame()->windowTitle().endsWith(QStringLiteral("wide.euc")));

    // A second Save As with widening changes nothing more in the text.
    const QString again = out.filePath(QStringLiteral("again.euc"));
    AnswerSavePrompts(modals, again, {1, 2, true});
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(ReadFile(again), ReadFile(target));
    QCOMPARE(DocText(s), Widened(original));

    // Reopened, the file is detected as EUC-JP with LF and shows the
    // full-width katakana.
    QVERIFY(s.app->OpenDocumentFile(target.toStdString(), {OpenOrigin::FileDialog, -1}) != nullptr);
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), target);
    QCOMPARE(DocText(s), Widened(original));
    QCOMPARE(s.doc()->halfWidthKanaCount, 0u);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("EUC"));
    QCOMPARE(Pane(s, StatusPanes::kLineBreakPane), QStringLiteral("UX"));
}

void SaveAsTest::copyToFileWidensOnlyTheFile() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir out;
    const std::string sample = SamplePath("shopping.sjis.lf.txt");
    Session s({sample});
    QVERIFY(s.exposed);
    const QByteArray original = DocText(s);
    const std::uint32_t kana = s.doc()->halfWidthKanaCount;
    QVERIFY(kana > 0);
    QAction* copyToFile = s.frame()->commands().action(CommandId::kCopyToFile);
    s.frame()->UpdateCommandStates();
    QVERIFY(!copyToFile->isEnabled());
    s.frame()->ExecuteCommand(CommandId::kSelectAll);
    QVERIFY(copyToFile->isEnabled());

    const QString target = out.filePath(QStringLiteral("copy.txt"));
    QString fileTitle;
    AnswerSavePrompts(modals, target, {0, 0, true}, &fileTitle);
    s.frame()->ExecuteCommand(CommandId::kCopyToFile);
    QCOMPARE(fileTitle, QStringLiteral("ファイルにコピー"));

    QCOMPARE(ReadFile(target), Export(original, EncodingKind::SJIS, LineBreakKind::WIN, true));
    QVERIFY(!HasHalfWidthKana(ReadFile(target)));
    QVERIFY(s.app->requests().saveFormatChoice.forSelection);
    // The window keeps its half-width katakana, its file and its format.
    QCOMPARE(DocText(s), original);
    QCOMPARE(s.doc()->halfWidthKanaCount, kana);
    QCOMPARE(s.doc()->pathName(), sample);
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("SJIS"));
    QCOMPARE(Pane(s, StatusPanes::kLineBreakPane), QStringLiteral("UX"));
}

void SaveAsTest::openSettingsEnableRule() {
    ModalSteps modals;
    TestFolders folders;
    Session s;
    QVERIFY(s.exposed);
    QCOMPARE(s.app->settings().InquireWhenStrayed.value, 0);
    QCOMPARE(s.app->settings().PreferWinText.value, 1);
    s.frame()->UpdateCommandStates();
    QVERIFY(s.frame()->commands().action(CommandId::kOpenSettings)->isEnabled());

    bool checkedFirst = true;
    bool windowsFirst = false;
    bool enabledAtStart = false;
    bool enabledWhileAsking = true;
    bool enabledAgain = false;
    bool unicodeFirst = false;
    bool barFirst = false;
    modals.OnNamed(QStringLiteral("openSettings"), [&](QWidget* dialog) {
        auto* ask = dialog->findChild<QCheckBox*>(QStringLiteral("inquireWhenStrayedCheck"));
        auto* windows = dialog->findChild<QRadioButton*>(QStringLiteral("preferWindowsTextRadio"));
        auto* internet =
            dialog->findChild<QRadioButton*>(QStringLiteral("preferInternetTextRadio"));
        checkedFirst = ask->isChecked();
        windowsFirst = windows->isChecked();
        enabledAtStart = windows->isEnabled() && internet->isEnabled();
        ClickIndicator(internet);
        ClickIndicator(ask);
        enabledWhileAsking = windows->isEnabled() || internet->isEnabled();
        ClickIndicator(ask);
        enabledAgain = windows->isEnabled() && internet->isEnabled();
        ClickIndicator(ask);
        auto* unicode = dialog->findChild<QCheckBox*>(QStringLiteral("detectUnicodeCheck"));
        QCOMPARE(unicode->text(), QStringLiteral("Unicode (UTF-8/UTF-16) も判定する"));
        unicodeFirst = unicode->isChecked();
        ClickIndicator(unicode);
        auto* bar = dialog->findChild<QCheckBox*>(QStringLiteral("showInfoBarCheck"));
        barFirst = bar->isChecked();
        ClickIndicator(bar);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
    s.frame()->ExecuteCommand(CommandId::kOpenSettings);
    QVERIFY(!checkedFirst);
    QVERIFY(windowsFirst);
    QVERIFY(enabledAtStart);
    QVERIFY(!enabledWhileAsking);
    QVERIFY(enabledAgain);
    QCOMPARE(s.app->settings().InquireWhenStrayed.value, 1);
    QCOMPARE(s.app->settings().PreferWinText.value, 0);
    QVERIFY(unicodeFirst);
    QCOMPARE(s.app->settings().DetectUnicode.value, 0);
    QVERIFY(barFirst);
    QCOMPARE(s.app->settings().ShowInfoBar.value, 0);

    // Cancel changes nothing.
    modals.OnNamed(QStringLiteral("openSettings"), [&](QWidget* dialog) {
        ClickIndicator(dialog->findChild<QCheckBox*>(QStringLiteral("inquireWhenStrayedCheck")));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
    });
    s.frame()->ExecuteCommand(CommandId::kOpenSettings);
    QCOMPARE(s.app->settings().InquireWhenStrayed.value, 1);
    s.Stop();
    QVERIFY(folders.IniText().contains("InquireWhenStrayed=1"));
    QVERIFY(folders.IniText().contains("PreferWinText=0"));
    QVERIFY(folders.IniText().contains("DetectUnicode=0"));
    QVERIFY(folders.IniText().contains("ShowInfoBar=0"));
}

// A text with an IBM extension and a user-defined character, saved as
// EUC-JP: the count is asked before writing; No goes back to the format.
void SaveAsTest::asksBeforeCharactersBecomeBlanks() {
    ModalSteps modals;
    TestFolders folders;
    QTemporaryDir dir;
    const QString source = WriteFile(dir, QStringLiteral("ext.txt"),
                                     "a\xfa\x40\xf0\x40"
                                     "b\r\n");
    Session s({"-s", source.toStdString()});
    QVERIFY(s.exposed);
    const QString question = QStringLiteral(
        "unwritableQuestionBox:2 文字は EUC-JP で表せないため全角空白になります。"
        "保存しますか？ !");

    // No, then Shift-JIS in the format dialog shown again: written as it was.
    QStringList log;
    const QString first = dir.filePath(QStringLiteral("first.txt"));
    modals.OnNamed(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        modals.OnNamed(QStringLiteral("saveFormat"), [&](QWidget* format) {
            format->findChild<QComboBox*>(QStringLiteral("encodingCombo"))->setCurrentIndex(2);
            modals.OnNext<QMessageBox>([&](QMessageBox* box) {
                log << box->objectName() + QLatin1Char(':') + box->text() + QStringLiteral(" !");
                modals.OnNamed(QStringLiteral("saveFormat"), [&](QWidget* again) {
                    log << QStringLiteral("format again");
                    again->findChild<QComboBox*>(QStringLiteral("encodingCombo"))
                        ->setCurrentIndex(0);
                    QTest::mouseClick(again->findChild<QPushButton*>(QStringLiteral("okButton")),
                                      Qt::LeftButton);
                });
                box->button(QMessageBox::No)->click();
            });
            QTest::mouseClick(format->findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        });
        TypeFileName(dialog, first);
    });
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(log, QStringList({question, QStringLiteral("format again")}));
    QCOMPARE(ReadFile(first), QByteArray("a\xfa\x40\xf0\x40"
                                         "b\r\n"));
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("SJIS"));

    // No, then cancel: nothing written, the document stays as it was.
    log.clear();
    const QString second = dir.filePath(QStringLiteral("second.txt"));
    modals.OnNamed(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        modals.OnNamed(QStringLiteral("saveFormat"), [&](QWidget* format) {
            format->findChild<QComboBox*>(QStringLiteral("encodingCombo"))->setCurrentIndex(2);
            modals.OnNext<QMessageBox>([&](QMessageBox* box) {
                log << box->objectName();
                modals.OnNamed(QStringLiteral("saveFormat"),
                               [&](QWidget* again) { QTest::keyClick(again, Qt::Key_Escape); });
                box->button(QMessageBox::No)->click();
            });
            QTest::mouseClick(format->findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        });
        TypeFileName(dialog, second);
    });
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(log, QStringList({QStringLiteral("unwritableQuestionBox")}));
    QVERIFY(!QFile::exists(second));
    QCOMPARE(QString::fromStdString(s.doc()->pathName()), first);

    // Yes writes full-width spaces in their place.
    log.clear();
    AnswerSavePrompts(modals, second, {1, 2, false});
    modals.AnswerMessage(log, QMessageBox::Yes);
    s.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QCOMPARE(log, QStringList({question}));
    QCOMPARE(ReadFile(second), QByteArray("a\xa1\xa1\xa1\xa1"
                                          "b\n"));
    QCOMPARE(Pane(s, StatusPanes::kEncodingPane), QStringLiteral("EUC"));

    // A text EUC-JP holds whole never asks.
    Session plain({SamplePath("seasons.sjis.crlf.txt")});
    QVERIFY(plain.exposed);
    log.clear();
    const QString third = dir.filePath(QStringLiteral("third.txt"));
    AnswerSavePrompts(modals, third, {1, 2, false});
    modals.AnswerMessage(log, QMessageBox::No);
    plain.frame()->ExecuteCommand(CommandId::kFileSaveAs);
    QVERIFY(QFile::exists(third));
    QVERIFY(log.isEmpty());
}

QTEST_MAIN(SaveAsTest)
#include "save_as_test.moc"
