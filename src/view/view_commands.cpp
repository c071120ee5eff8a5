// The view's commands: copy, find next, paste and the view settings.
#include <QFontMetrics>
#include <algorithm>

#include "document/find.h"
#include "document/kotoha_doc.h"
#include "shell/settings.h"
#include "shell/ui/find_dialog.h"
#include "shell/ui/message_boxes.h"
#include "shell/ui/qt_clipboard.h"
#include "shell/ui/view_settings_dialog.h"
#include "view/display_line.h"
#include "view/kotoha_view.h"

namespace kotoha {

namespace {

// Releases the wait cursor however the scope is left.
class WaitCursor {
  public:
    WaitCursor() { BeginWaitCursor(); }
    ~WaitCursor() { EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Pixels from the left edge of the text to the start and the end of a
// match, as drawn with metrics.
struct PixelSpan {
    std::int32_t left = 0;
    std::int32_t right = 0;
};

PixelSpan MatchPixels(CKotohaDoc& doc, const MatchSelection& match, const QFontMetrics& metrics) {
    DisplayLine line;
    if (match.anchor.line == match.end.line) {
        line.Assign(doc.GetLineText(match.anchor.line), metrics);
        return {line.ExtentTo(match.anchor.column), line.ExtentTo(match.end.column)};
    }
    // Over several lines the match starts at the left edge, and its widest
    // line decides how far right it reaches.
    std::int32_t right = 0;
    for (std::int32_t index = match.anchor.line; index < match.end.line; ++index) {
        line.Assign(doc.GetLineText(index), metrics);
        right = std::max(right, line.ExtentTo(line.columns()));
    }
    line.Assign(doc.GetLineText(match.end.line), metrics);
    return {0, std::max(right, line.ExtentTo(match.end.column))};
}

bool CopyRange(QWidget* parent, CKotohaDoc& doc, DisplayPos lo, DisplayPos hi) {
    WaitCursor wait;
    ByteBlock block = doc.CopyRangeForClipboard(doc.PosToOffset(lo), doc.PosToOffset(hi));
    if (block.empty()) {
        ShowMessageBox(parent, StringId::kOutOfMemory, MessageKind::Warning);
        return false;
    }
    if (!WriteClipboardText(block.data(), block.capacity())) {
        ShowMessageBox(parent, StringId::kClipboardNotOpened, MessageKind::Warning);
        return false;
    }
    return true;
}

}  // namespace

bool CKotohaView::CopySelection() {
    DisplayPos lo;
    DisplayPos hi;
    GetSelection(lo, hi);
    return CopyRange(this, doc_, lo, hi);
}

bool CKotohaView::CopyAllToClipboard() {
    return CopyRange(this, doc_, DisplayPos{0, 0}, DisplayPos{0, doc_.GetLineCount()});
}

std::string CKotohaView::InitialFindText() const {
    DisplayPos lo;
    DisplayPos hi;
    GetSelection(lo, hi);
    return doc_.CopyRangeForFind(doc_.PosToOffset(lo), doc_.PosToOffset(hi));
}

void CKotohaView::FindNext(const FindRequest& request) {
    const LayoutText layout = doc_.Layout();
    const std::int32_t visible = viewport()->height() / std::max(lineHeight(), 1);
    const DisplayPos top = scrollPos();
    DisplayPos lo;
    DisplayPos hi;
    GetSelection(lo, hi);
    const FindStart start =
        FindNextStart(layout, request.down, HasSelection(), lo, top.line, visible);
    std::uint32_t offset = start.offset;
    bool found = false;
    if (!start.nothingBefore) {
        WaitCursor wait;
        found = doc_.FindText(offset, request.findText, request.down, request.matchCase,
                              request.wholeWord);
    }
    if (!found) {
        ShowMessageBox(this, StringId::kNotFound, MessageKind::Information);
        return;
    }

    const auto length = static_cast<std::uint32_t>(request.findText.size());
    const MatchSelection match = SelectionOfMatch(layout, offset, length);
    SetSelection(match.anchor, match.end);

    const PixelSpan span = MatchPixels(doc_, match, QFontMetrics(viewFont()));
    DisplayPos target{
        LeftColumnForMatch(top.column, columnWidth(), viewport()->width(), span.left, span.right),
        TopLineForMatch(top.line, visible, match)};
    ClampScrollPos(target);
    ScrollTo(target.column, target.line);
}

void CKotohaView::Paste(Clipboard& clipboard) {
    doc_.ReplaceFromClipboard(clipboard);
}

void CKotohaView::OnViewSettings(const std::function<void()>& updateAllViews) {
    ViewSettingsFields fields;
    fields.wrapColumn = doc_.wrapColumn;
    fields.tabLength = doc_.tabWidth;
    fields.paintBackground = backgroundFlag_;
    fields.font = logFont_;
    fields.styleName = fontStyleName_;
    CViewSettingsDlg dialog(fields, window());
    const int result = dialog.exec();
    if (result != QDialog::Accepted && result != CViewSettingsDlg::kDefaultsResult)
        return;
    const ViewSettingsFields& chosen = dialog.fields();

    if (chosen.wrapColumn != fields.wrapColumn || chosen.tabLength != fields.tabLength) {
        bool built = false;
        {
            WaitCursor wait;
            built = doc_.BuildLineIndex(chosen.wrapColumn, chosen.tabLength);
        }
        if (built)
            updateAllViews();
        else
            ShowMessageBox(this, StringId::kOutOfMemory, MessageKind::Warning);
    }
    if (chosen.fontChanged)
        SetViewFont(chosen.font, chosen.styleName);
    SetBackgroundFlag(chosen.paintBackground);

    if (result == CViewSettingsDlg::kDefaultsResult) {
        doc_.WriteLayoutSettings();
        StoreFontSettings();
        settings_.PaintBkgnd.value = backgroundFlag_ ? 1 : 0;
    }
}

}  // namespace kotoha
