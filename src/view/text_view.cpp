// SPDX-License-Identifier: MIT
#include "view/text_view.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleHints>

#include "view/font_metrics.h"
#include "view/margin_cursor.h"
#include "view/view_frame.h"

namespace kotoha {

CTextView::CTextView(ViewFrame& frame, QWidget* parent)
    : QAbstractScrollArea(parent), frame_(frame), metrics_(font_) {
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
    return anchor_ != end_;
}

void CTextView::GetSelection(DisplayPos& lo, DisplayPos& hi) const {
    lo = std::min(anchor_, end_);
    hi = std::max(anchor_, end_);
}

DisplayPos CTextView::scrollPos() const {
    return scrollPos_;
}

const QFont& CTextView::viewFont() const {
    return font_;
}

int CTextView::columnWidth() const {
    return columnWidth_;
}

int CTextView::lineHeight() const {
    return lineHeight_;
}

bool CTextView::isActive() const {
    return active_;
}

int CTextView::ContextHelpHitTest(const QPoint& point) const {
    return point.x() < kMarginWidth ? 1 : 0;
}

void CTextView::SetExtent(std::int32_t columns, std::int32_t lines) {
    extentColumns_ = std::max(columns, 0);
    extentLines_ = std::max(lines, 0);
    anchor_ = end_ = DisplayPos{};
    pendingCount_ = 0;
    UpdateScrollBars();
    ClampScrollPos(scrollPos_);
    SetScrollThumbs(scrollPos_);
    viewport()->update();
    OnScrollPosChanged();
}

void CTextView::CreateViewFont(const QFont& font) {
    AdoptFont(font, LogFontFromFont(font));
}

void CTextView::CreateViewFont(const LogFont& description) {
    AdoptFont(FontFromLogFont(description), description);
}

void CTextView::AdoptFont(const QFont& font, const LogFont& description) {
    font_ = font;
    metrics_ = QFontMetrics(font_);
    const ViewMetrics measured = MeasureViewFont(font_, description);
    columnWidth_ = measured.columnWidth;
    lineHeight_ = measured.lineHeight;
    UpdateScrollBars();
    ClampScrollPos(scrollPos_);
    SetScrollThumbs(scrollPos_);
    viewport()->update();
    OnScrollPosChanged();
}

void CTextView::SetActive(bool active) {
    active_ = active;
    UpdateScrollBars();
    SetScrollThumbs(scrollPos_);
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
