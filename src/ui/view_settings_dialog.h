// SPDX-License-Identifier: MIT
// The view settings dialog: wrap column, tab length, background painting
// and the text font, checked before they are handed back.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "layout/line_layout.h"
#include "view/log_font.h"
#include "ui/view_settings_fields.h"

namespace Ui {
class ViewSettingsDlg;
}

namespace kotoha {

// A font the user picked in the font dialog.
struct ChosenFont {
    LogFont font;
    std::string styleName;
    std::int32_t pointSizeTenths = 0;
};

// Why a chosen font cannot be the view's: 0 when it can, else the id of the
// message that says why (no Japanese glyphs; a font for vertical writing).
std::uint32_t FontRefusal(const LogFont& chosen);

// "%d ﾎﾟｲﾝﾄ" of the whole points in pointSizeTenths.
QString PointSizeLabel(std::int32_t pointSizeTenths);

// The size of description in tenths of a point, rounded to whole points:
// its character height on the screen converted with the screen's vertical
// pixels per inch.
std::int32_t PointSizeTenthsOf(const LogFont& description);

class CViewSettingsDlg : public QDialog {
    Q_OBJECT

  public:
    // The result of the default-values button: apply, and store as defaults.
    static constexpr int kDefaultsResult = 127;
    // The ranges are the layout's own.
    static constexpr std::int32_t kMinWrapColumn = kotoha::kMinWrapColumn;
    static constexpr std::int32_t kMaxWrapColumn = kotoha::kMaxWrapColumn;
    static constexpr std::int32_t kMinTabLength = kMinTabWidth;
    static constexpr std::int32_t kMaxTabLength = kMaxTabWidth;

    // Shows fields; pointSizeTenths is computed from the font and
    // fontChanged starts clear.
    CViewSettingsDlg(const ViewSettingsFields& fields, QWidget* parent);
    ~CViewSettingsDlg() override;

    // The values as accepted; complete once the dialog ended with 1 or 127.
    const ViewSettingsFields& fields() const { return fields_; }

    // Picks a font starting from the current one; none when cancelled. The
    // default runs the platform font dialog.
    using FontChooser = std::function<std::optional<ChosenFont>(const LogFont& current,
                                                                const std::string& styleName)>;
    void SetFontChooser(FontChooser chooser) { chooser_ = std::move(chooser); }

  public slots:
    void accept() override;

  private:
    // Validates the entries and ends with result; stays open on a fault.
    void Finish(int result);
    void ChooseFont();
    void ShowFont();

    std::unique_ptr<Ui::ViewSettingsDlg> ui_;
    ViewSettingsFields fields_;
    FontChooser chooser_;
};

// The platform font dialog, started from current and styleName, offering
// sizes of 5 to 60 points; none when cancelled.
std::optional<ChosenFont> RunPlatformFontDialog(QWidget* parent, const LogFont& current,
                                                const std::string& styleName);

}  // namespace kotoha
