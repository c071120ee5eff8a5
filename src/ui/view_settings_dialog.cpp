// SPDX-License-Identifier: MIT
#include "ui/view_settings_dialog.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "base/string_ids.h"
#include "shell/settings.h"
#include "ui/dialog_support.h"
#include "ui/message_boxes.h"
#include "ui_view_settings_dlg.h"

namespace kotoha {

namespace {

constexpr double kMinPointSize = 5.0;
constexpr double kMaxPointSize = 60.0;

double VerticalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::uint32_t FontRefusal(const LogFont& chosen) {
    if (chosen.charSet != kShiftJisCharSet)
        return StringId::kFontHasNoKanji;
    if (!chosen.faceName.empty() && chosen.faceName.front() == '@')
        return StringId::kFontIsVertical;
    return 0;
}

QString PointSizeLabel(std::int32_t pointSizeTenths) {
    return QStringLiteral("%1 ﾎﾟｲﾝﾄ").arg(pointSizeTenths / 10);
}

std::int32_t PointSizeTenthsOf(const LogFont& description) {
    const QFont font = FontFromLogFont(description);
    // The character height without internal leading is the pixel size the
    // font was made with.
    const double pixels =
        font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * VerticalDpi() / 72.0;
    return 10 * static_cast<std::int32_t>(std::lround(pixels * 72.0 / VerticalDpi()));
}

std::optional<ChosenFont> RunPlatformFontDialog(QWidget* parent, const LogFont& current,
                                                const std::string& styleName) {
    QFont initial = FontFromLogFont(current);
    if (!styleName.empty())
        initial.setStyleName(FromUtf8(styleName));
    QFontDialog dialog(initial, parent);
    dialog.setObjectName(QStringLiteral("fontDialog"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QFont font = dialog.selectedFont();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::clamp(font.pointSizeF(), kMinPointSize, kMaxPointSize));
    ChosenFont chosen;
    chosen.font = LogFontFromFont(font);
    const QString style =
        font.styleName().isEmpty() ? QFontDatabase::styleString(font) : font.styleName();
    chosen.styleName = std::string(CutUtf8(style.toStdString(), kMaxFaceNameBytes));
    chosen.pointSizeTenths = font.pointSizeF() > 0
                                 ? static_cast<std::int32_t>(std::lround(font.pointSizeF() * 10))
                                 : PointSizeTenthsOf(chosen.font);
    return chosen;
}

CViewSettingsDlg::CViewSettingsDlg(const ViewSettingsFields& fields, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ViewSettingsDlg>()), fields_(fields) {
    ui_->setupUi(this);
    setFont(DialogFont());
    chooser_ = [this](const LogFont& current, const std::string& styleName) {
        return RunPlatformFontDialog(this, current, styleName);
    };
    ui_->wrapColumnEdit->setText(QString::number(fields_.wrapColumn));
    ui_->tabLengthEdit->setText(QString::number(fields_.tabLength));
    ui_->paintBackgroundCheck->setChecked(fields_.paintBackground);
    fields_.pointSizeTenths = PointSizeTenthsOf(fields_.font);
    fields_.fontChanged = false;
    ShowFont();
    connect(ui_->okButton, &QPushButton::clicked, this, &CViewSettingsDlg::accept);
    connect(ui_->defaultsButton, &QPushButton::clicked, this, [this] { Finish(kDefaultsResult); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CViewSettingsDlg::reject);
    connect(ui_->fontButton, &QPushButton::clicked, this, &CViewSettingsDlg::ChooseFont);
    ConnectHelpButton(ui_->helpButton, parent);
    ui_->wrapColumnEdit->setFocus(Qt::OtherFocusReason);
    ui_->wrapColumnEdit->selectAll();
}

CViewSettingsDlg::~CViewSettingsDlg() = default;

void CViewSettingsDlg::accept() {
    Finish(QDialog::Accepted);
}

void CViewSettingsDlg::Finish(int result) {
    std::int32_t tabLength = 0;
    std::int32_t wrapColumn = 0;
    if (!ReadIntegerField(ui_->tabLengthEdit, kMinTabLength, kMaxTabLength, tabLength) ||
        !ReadIntegerField(ui_->wrapColumnEdit, kMinWrapColumn, kMaxWrapColumn, wrapColumn)) {
        return;
    }
    fields_.tabLength = tabLength;
    fields_.wrapColumn = wrapColumn;
    fields_.paintBackground = ui_->paintBackgroundCheck->isChecked();
    done(result);
}

void CViewSettingsDlg::ChooseFont() {
    const std::optional<ChosenFont> chosen = chooser_(fields_.font, fields_.styleName);
    if (!chosen)
        return;
    if (const std::uint32_t refusal = FontRefusal(chosen->font); refusal != 0) {
        ShowMessageBox(this, refusal, MessageKind::Warning);
        return;
    }
    fields_.font = chosen->font;
    fields_.font.faceName = std::string(CutUtf8(chosen->font.faceName, kMaxFaceNameBytes));
    fields_.styleName = std::string(CutUtf8(chosen->styleName, kMaxFaceNameBytes));
    fields_.fontChanged = true;
    fields_.pointSizeTenths = chosen->pointSizeTenths;
    ShowFont();
}

void CViewSettingsDlg::ShowFont() {
    ui_->fontLabel->setText(FromUtf8(fields_.font.faceName));
    ui_->fontStyleLabel->setText(FromUtf8(fields_.styleName));
    ui_->fontSizeLabel->setText(PointSizeLabel(fields_.pointSizeTenths));
}

}  // namespace kotoha
