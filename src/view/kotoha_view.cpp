// SPDX-License-Identifier: MIT
#include "view/kotoha_view.h"

#include <QKeyEvent>

#include "document/kotoha_doc.h"
#include "shell/settings.h"
#include "view/view_frame.h"

namespace kotoha {

CKotohaView::CKotohaView(CKotohaDoc& doc, AppSettings& settings, ViewFrame& frame, QWidget* parent)
    : CTextView(frame, parent), doc_(doc), settings_(settings), logFont_(SystemFixedLogFont()) {}

CKotohaView::~CKotohaView() = default;

CKotohaDoc& CKotohaView::document() const {
    return doc_;
}

const ExtensionTable* CKotohaView::Extensions() const {
    return &doc_.extensions;
}

const char* CKotohaView::GetLineText(std::int32_t line) {
    return doc_.GetLineText(line);
}

const char* CKotohaView::GetLineCells(std::int32_t line) {
    return doc_.GetLineCells(line);
}

void CKotohaView::OnScrollPosChanged() {
    // Reported even when nothing moved, so the status bar always follows.
    const DisplayPos pos = scrollPos();
    frame().ShowLineNumber(this, pos.line + 1);
    frame().ShowColumnNumber(this, pos.column + 1);
}

bool CKotohaView::HasSelection() const {
    DisplayPos lo, hi;
    GetSelection(lo, hi);
    return doc_.PosToOffset(lo) != doc_.PosToOffset(hi);
}

void CKotohaView::OnInitialUpdate() {
    SetExtent(0, 0);
    backgroundFlag_ = settings_.PaintBkgnd.value != 0;
    LoadFontSettings();
    CreateViewFont(logFont_);
    OnUpdate();
}

void CKotohaView::OnUpdate() {
    frame().ShowLineBreakKind(this, doc_.lineBreak);
    frame().ShowEncodingKind(this, doc_.encoding);
    SetExtent(doc_.wrapColumn + 1, doc_.GetLineCount());
}

void CKotohaView::OnLocaleChange() {
    frame().ShowLineNumber(this, scrollPos().line + 1);
}

void CKotohaView::LoadFontSettings() {
    fontStyleName_ = std::string(CutUtf8(settings_.FontStyle.value, kMaxFaceNameBytes));
    const std::vector<std::int32_t>& numbers = settings_.LogFont.values;
    if (numbers.size() < LogFontIndex::kCount || numbers[LogFontIndex::kWidth] < 0) {
        logFont_ = SystemFixedLogFont();
        StoreFontSettings();
        return;
    }
    logFont_ = LogFontFromNumbers(numbers, settings_.FontName.value);
}

void CKotohaView::StoreFontSettings() {
    settings_.LogFont.values = LogFontNumbers(logFont_);
    settings_.FontName.Set(logFont_.faceName);
    settings_.FontStyle.Set(fontStyleName_);
}

void CKotohaView::SetViewFont(const LogFont& description, const std::string& styleName) {
    logFont_ = description;
    logFont_.faceName = std::string(CutUtf8(description.faceName, kMaxFaceNameBytes));
    fontStyleName_ = std::string(CutUtf8(styleName, kMaxFaceNameBytes));
    CreateViewFont(logFont_);
}

void CKotohaView::SetBackgroundFlag(bool on) {
    if (on == backgroundFlag_)
        return;
    backgroundFlag_ = on;
    viewport()->update();
}

QColor CKotohaView::OutsideColour() const {
    return palette().color(QPalette::Active, backgroundFlag_ ? QPalette::Dark : QPalette::Base);
}

void CKotohaView::OnActivated(bool active) {
    if (active)
        frame().ShowActivePane(this);
}

void CKotohaView::keyPressEvent(QKeyEvent* event) {
    if (settings_.ResembleLess.value != 0 &&
        !event->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier |
                                         Qt::MetaModifier) &&
        HandleLessKey(event->text())) {
        event->accept();
        return;
    }
    CTextView::keyPressEvent(event);
}

bool CKotohaView::HandleLessKey(const QString& text) {
    if (text.size() != 1)
        return false;
    const LessCommand command = LessCommandFor(text.front().unicode());
    switch (command) {
        case LessCommand::None:
            return false;
        case LessCommand::Close:
            frame().CloseMainWindow();
            return true;
        case LessCommand::Edit:
            if (doc_.GetLineCount() > 0)
                frame().LaunchExternalEditor();
            return true;
        default:
            if (const auto action = LessScrollAction(command))
                ApplyScrollAction(*action);
            return true;
    }
}

}  // namespace kotoha
