// SPDX-License-Identifier: MIT
// The encoding inquiry: its buttons, its live preview of a long file, its
// answer, and the question asked while a file opens.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "document/kotoha_doc.h"
#include "modal_steps.h"
#include "ui/encoding_inquiry_dialog.h"
#include "ui/status_panes.h"
#include "ui_session.h"

using namespace kotoha;
using namespace kotoha::testing;

namespace {

// 700 lines of 100 bytes: 49 EUC-JP characters alternating "あ" and "い",
// then CR LF; cut to 70,000 bytes.
QByteArray LongEucFile() {
    QByteArray line;
    for (int i = 0; i < 49; ++i)
        line += i % 2 == 0 ? QByteArray("\xa4\xa2") : QByteArray("\xa4\xa4");
    line += "\r\n";
    QByteArray file;
    while (file.size() < 70000)
        file += line;
    file.resize(70000);
    return file;
}

QString Line(const QString& unit, int count) {
    QString line;
    for (int i = 0; i < count; ++i)
        line += unit[i % unit.size()];
    return line + QLatin1Char('\n');
}

const auto* Bytes(const QByteArray& data) {
    return reinterpret_cast<const std::uint8_t*>(data.constData());
}

}  // namespace

class EncodingInquiryTest : public QObject {
    Q_OBJECT

  private slots:
    void previewOfLongFileFollowsTheButtons();
    void previewShowsNulAsBlankAndEveryBreakOnce();
    void answerIsTheButtonOnOrMinusOne();
    void openingAsksWhenDetectionStrays();
    void withoutUnicodeTheQuestionOffersTheLegacyKinds();
};

void EncodingInquiryTest::previewOfLongFileFollowsTheButtons() {
    const QByteArray file = LongEucFile();
    CEncodingInquiryDlg dialog(EncodingKind::EUC, Bytes(file),
                               static_cast<std::uint32_t>(file.size()), nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("エンコーディングの問い合わせ"));
    auto* euc = dialog.findChild<QRadioButton*>(QStringLiteral("eucRadio"));
    auto* sjis = dialog.findChild<QRadioButton*>(QStringLiteral("sjisRadio"));
    QVERIFY(euc->isChecked());
    // The first 61440 bytes hold 614 whole lines; the 615th is cut off.
    const QString eucLine = Line(QStringLiteral("あい"), 49);
    QCOMPARE(dialog.PreviewText(), eucLine.repeated(614));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(sjis, Qt::LeftButton);
    QCOMPARE(dialog.CheckedKind(), 0);
    // Read as Shift-JIS the same bytes are half-width katakana pairs.
    QCOMPARE(dialog.PreviewText(), Line(QStringLiteral("､｢､､"), 98).repeated(614));
    QTest::mouseClick(euc, Qt::LeftButton);
    QCOMPARE(dialog.PreviewText(), eucLine.repeated(614));
    auto* preview = dialog.findChild<QPlainTextEdit*>(QStringLiteral("previewText"));
    QVERIFY(preview->isReadOnly());
}

void EncodingInquiryTest::previewShowsNulAsBlankAndEveryBreakOnce() {
    const QByteArray file("a\0b\r\nc\rd\ne", 10);
    CEncodingInquiryDlg dialog(EncodingKind::SJIS, Bytes(file),
                               static_cast<std::uint32_t>(file.size()), nullptr);
    QCOMPARE(dialog.PreviewText(), QStringLiteral("a b\nc\nd\ne"));
}

void EncodingInquiryTest::answerIsTheButtonOnOrMinusOne() {
    ModalSteps modals;
    const QByteArray file("\xa4\xa2\xa4\xa4");
    struct Case {
        const char* button;
        const char* end;
        int want;
    };
    const Case cases[] = {
        {"jisRadio", "okButton", 1},
        {"eucRadio", "okButton", 2},
        {"sjisRadio", "okButton", 0},
        {"eucRadio", "cancelButton", -1},
    };
    for (const Case& c : cases) {
        modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
            QTest::mouseClick(dialog->findChild<QRadioButton*>(QLatin1String(c.button)),
                              Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(c.end)),
                              Qt::LeftButton);
        });
        QCOMPARE(InquireEncoding(EncodingKind::SJIS, Bytes(file), 4, nullptr), c.want);
    }
}

void EncodingInquiryTest::openingAsksWhenDetectionStrays() {
    ModalSteps modals;
    TestFolders folders;
    folders.WriteIni("[AnalyzeEncoding]\nInquireWhenStrayed=1\n");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("strayed.txt"));
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(LongEucFile());
    }
    // The answer EUC is taken.
    bool asked = false;
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        asked = true;
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("eucRadio")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
    Session s({path.toStdString()});
    QVERIFY(s.exposed);
    QVERIFY(asked);
    QCOMPARE(s.doc()->encoding, EncodingKind::EUC);
    QCOMPARE(s.frame()->panes().Text(StatusPanes::kEncodingPane), QStringLiteral("EUC"));

    // Cancel keeps the detected kind.
    asked = false;
    modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
        asked = true;
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("jisRadio")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
    });
    QVERIFY(s.app->OpenDocumentFile(path.toStdString(), {OpenOrigin::FileDialog, -1}) != nullptr);
    QVERIFY(asked);
    QVERIFY(s.doc()->encoding != EncodingKind::JIS);
}

void EncodingInquiryTest::withoutUnicodeTheQuestionOffersTheLegacyKinds() {
    ModalSteps modals;
    for (const bool unicode : {true, false}) {
        TestFolders folders;
        folders.WriteIni(unicode ? "[AnalyzeEncoding]\nInquireWhenStrayed=1\n"
                                 : "[AnalyzeEncoding]\nInquireWhenStrayed=1\nDetectUnicode=0\n");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("strayed.txt"));
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(LongEucFile());
        }
        QStringList shown;
        modals.OnNamed(QStringLiteral("encodingInquiry"), [&](QWidget* dialog) {
            for (QRadioButton* radio : dialog->findChildren<QRadioButton*>()) {
                if (radio->isVisible())
                    shown << radio->objectName();
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                              Qt::LeftButton);
        });
        Session s({path.toStdString()});
        QVERIFY(s.exposed);
        QStringList want = {QStringLiteral("sjisRadio"), QStringLiteral("jisRadio"),
                            QStringLiteral("eucRadio")};
        if (unicode)
            want << QStringLiteral("utf8Radio");
        shown.sort();
        want.sort();
        QCOMPARE(shown, want);
    }
}

QTEST_MAIN(EncodingInquiryTest)
#include "encoding_inquiry_test.moc"
