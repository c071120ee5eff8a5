// SPDX-License-Identifier: MIT
#include "view/text_view.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleHints>

#include "view/margin_cursor.h"
#include "view/view_frame.h"

namespace kotoha {

CTextView::CTextView(ViewFrame& frame, QWidget* parent)
    : QAbstractScrollArea(parent), frame_(frame) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setRange(0, kThumbRange);
    // Every pixel of the viewport is painted by the view itself, which also
    // lets scrolling move pixels instead of repainting them.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);
    marginCursor_ = MarginCursor();

    autoScrollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&autoScrollTimer_, &QTimer::timeout, this, &CTextView::OnAutoScroll);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &CTextView::OnVerticalAction);
    connect(SharedBar(), &QScrollBar::actionTriggered, this, &CTextView::OnHorizontalAction);

    CreateViewFont(SystemFixedLogFont());
}

CTextView::~CTextView() = default;

ViewFrame& CTextView::frame() const {
    return frame_;
}

QScrollBar* CTextView::SharedBar() const {
    return frame_.SharedHorizontalBar();
}

bool CTextView::HasSelection() const {
    return !selection_.Empty();
}

void CTextView::GetSelection(DisplayPos& lo, DisplayPos& hi) const {
    selection_.Ordered(lo, hi);
}

DisplayPos CTextView::scrollPos() const {
    return scroll_.top();
}

const QFont& CTextView::viewFont() const {
    return painter_.font();
}

int CTextView::columnWidth() const {
    return painter_.columnWidth();
}

int CTextView::lineHeight() const {
    return painter_.lineHeight();
}

bool CTextView::isActive() const {
    return active_;
}

int CTextView::ContextHelpHitTest(const QPoint& point) const {
    return point.x() < kMarginWidth ? 1 : 0;
}

void CTextView::SetExtent(std::int32_t columns, std::int32_t lines) {
    scroll_.SetExtent(columns, lines);
    selection_.Clear();
    pendingCount_ = 0;
    RefitToWindow();
}

void CTextView::CreateViewFont(const QFont& font) {
    AdoptFont(font, LogFontFromFont(font));
}

void CTextView::CreateViewFont(const LogFont& description) {
    AdoptFont(FontFromLogFont(description), description);
}

void CTextView::AdoptFont(const QFont& font, const LogFont& description) {
    painter_.Adopt(font, description);
    RefitToWindow();
}

void CTextView::RefitToWindow() {
    UpdateScrollBars();
    DisplayPos top = scroll_.top();
    ClampScrollPos(top);
    scroll_.MoveTo(top);
    SetScrollThumbs(top);
    viewport()->update();
    OnScrollPosChanged();
}

void CTextView::SetActive(bool active) {
    active_ = active;
    UpdateScrollBars();
    SetScrollThumbs(scroll_.top());
    OnActivated(active);
}

void CTextView::OnActivated(bool) {}

void CTextView::OnScrollPosChanged() {}

void CTextView::MakeActive() {
    if (frame_.ActiveView() != this)
        frame_.MakeActiveView(this);
}

void CTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    MakeActive();
}

void CTextView::keyPressEvent(QKeyEvent* event) {
    std::optional<NavKey> key;
    switch (event->key()) {
        case Qt::Key_Up:
            key = NavKey::Up;
            break;
        case Qt::Key_Down:
            key = NavKey::Down;
            break;
        case Qt::Key_Left:
            key = NavKey::Left;
            break;
        case Qt::Key_Right:
            key = NavKey::Right;
            break;
        case Qt::Key_PageUp:
            key = NavKey::PageUp;
            break;
        case Qt::Key_PageDown:
            key = NavKey::PageDown;
            break;
        case Qt::Key_Home:
            key = NavKey::Home;
            break;
        case Qt::Key_End:
            key = NavKey::End;
            break;
        default:
            // Not a key of the view: let the parents see it.
            event->ignore();
            return;
    }
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    if (const auto action = KeyScrollAction(*key, ctrl))
        ApplyScrollAction(*action);
    event->accept();
}

}  // namespace kotoha
