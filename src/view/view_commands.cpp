// SPDX-License-Identifier: MIT
// The view's commands: copy, find next, paste and the view settings.
#include <QFontMetrics>
#include <algorithm>

#include "document/find.h"
#include "document/kotoha_doc.h"
#include "shell/settings.h"
#include "view/display_line.h"
#include "view/kotoha_view.h"
#include "view/view_frame.h"
#include "viewmodel/find_next.h"

namespace kotoha {

namespace {

// Pixels from the left edge of the text to the start and the end of a
// match, as drawn with metrics.
struct PixelSpan {
    std::int32_t left = 0;
    std::int32_t right = 0;
};

PixelSpan MatchPixels(CKotohaDoc& doc, const MatchSelection& match, const QFontMetrics& metrics) {
    DisplayLine line;
    if (match.anchor.line == match.end.line) {
        line.Assign(doc.GetLineText(match.anchor.line), metrics, &doc.extensions);
        return {line.ExtentTo(match.anchor.column), line.ExtentTo(match.end.column)};
    }
    // Over several lines the match starts at the left edge, and its widest
    // line decides how far right it reaches.
    std::int32_t right = 0;
    for (std::int32_t index = match.anchor.line; index < match.end.line; ++index) {
        line.Assign(doc.GetLineText(index), metrics, &doc.extensions);
        right = std::max(right, line.ExtentTo(line.columns()));
    }
    line.Assign(doc.GetLineText(match.end.line), metrics, &doc.extensions);
    return {0, std::max(right, line.ExtentTo(match.end.column))};
}

bool CopyRange(ViewFrame& frame, CKotohaDoc& doc, DisplayPos lo, DisplayPos hi) {
    WaitCursorScope wait(frame);
    ByteBlock block = doc.CopyRangeForClipboard(doc.PosToOffset(lo), doc.PosToOffset(hi));
    if (block.empty()) {
        frame.ShowMessage(StringId::kOutOfMemory, MessageKind::Warning);
        return false;
    }
    if (!frame.WriteClipboardText(block.data(), block.capacity(), &doc.extensions)) {
        frame.ShowMessage(StringId::kClipboardNotOpened, MessageKind::Warning);
        return false;
    }
    return true;
}

}  // namespace

bool CKotohaView::CopySelection() {
    DisplayPos lo;
    DisplayPos hi;
    GetSelection(lo, hi);
    return CopyRange(frame(), doc_, lo, hi);
}

bool CKotohaView::CopyAllToClipboard() {
    return CopyRange(frame(), doc_, DisplayPos{0, 0}, DisplayPos{0, doc_.GetLineCount()});
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
        WaitCursorScope wait(frame());
        found = doc_.FindText(offset, request.findText, request.down, request.matchCase,
                              request.wholeWord);
    }
    if (!found) {
        frame().ShowMessage(StringId::kNotFound, MessageKind::Information);
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

void CKotohaView::Paste(Clipboard& clipboard, UserInterface& ui) {
    doc_.ReplaceFromClipboard(clipboard, ui);
}

}  // namespace kotoha
