#include "shell/ui/splitter_wnd.h"

#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "view/kotoha_view.h"

namespace kotoha {

MyCSplitterWnd::MyCSplitterWnd(ViewFactory createView, QWidget* parent)
    : QWidget(parent), createView_(std::move(createView)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    hbar_->setObjectName(QStringLiteral("sharedHorizontalBar"));
    hbar_->setRange(0, 0);
    layout->addWidget(splitter_, 1);
    layout->addWidget(hbar_);
    // The active pane scrolls itself from the bar; the others follow once it
    // has, taking its left column and keeping their own top line.
    connect(hbar_, &QScrollBar::actionTriggered, this,
            [this] { QTimer::singleShot(0, this, &MyCSplitterWnd::FollowSharedBar); });
}

CKotohaView* MyCSplitterWnd::AddFirstPane() {
    if (RowCount() > 0)
        return Pane(0);
    CKotohaView* view = createView_(splitter_);
    view->setMinimumSize(kMinPaneSize, kMinPaneSize);
    splitter_->addWidget(view);
    emit rowCountChanged(RowCount());
    return view;
}

int MyCSplitterWnd::RowCount() const {
    return splitter_->count();
}

CKotohaView* MyCSplitterWnd::Pane(int row) const {
    if (row < 0 || row >= splitter_->count())
        return nullptr;
    return qobject_cast<CKotohaView*>(splitter_->widget(row));
}

int MyCSplitterWnd::RowOf(const CTextView* view) const {
    for (int row = 0; row < splitter_->count(); ++row) {
        if (splitter_->widget(row) == view)
            return row;
    }
    return -1;
}

CKotohaView* MyCSplitterWnd::OtherPane(const CTextView* view) const {
    if (RowCount() < kMaxRows)
        return nullptr;
    const int row = RowOf(view);
    return row < 0 ? nullptr : Pane(1 - row);
}

CKotohaView* MyCSplitterWnd::ToggleSplit(CKotohaView* active) {
    if (active == nullptr || RowOf(active) < 0)
        return nullptr;
    if (RowCount() >= kMaxRows) {
        CKotohaView* other = OtherPane(active);
        if (active_ == other)
            active_ = active;
        delete other;
        emit rowCountChanged(RowCount());
        return active;
    }
    const int total = splitter_->height();
    CKotohaView* view = createView_(splitter_);
    view->setMinimumSize(kMinPaneSize, kMinPaneSize);
    splitter_->addWidget(view);
    splitter_->setSizes({total / 2, total - total / 2});
    view->OnInitialUpdate();
    const DisplayPos pos = active->scrollPos();
    view->ScrollTo(pos.column, pos.line);
    emit rowCountChanged(RowCount());
    return view;
}

void MyCSplitterWnd::FollowSharedBar() {
    if (active_ == nullptr || RowOf(active_) < 0)
        return;
    const std::int32_t column = active_->scrollPos().column;
    for (int row = 0; row < RowCount(); ++row) {
        CKotohaView* pane = Pane(row);
        if (pane != active_ && pane->scrollPos().column != column)
            pane->ScrollTo(column, pane->scrollPos().line);
    }
}

}  // namespace kotoha
