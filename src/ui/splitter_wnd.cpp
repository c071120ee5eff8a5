// SPDX-License-Identifier: MIT
#include "ui/splitter_wnd.h"

#include <QScrollBar>
#include <QSplitter>
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
    // Only the active pane acts on the bar (each pane listens to it and
    // ignores it while inactive); the bar shows the active pane's column.
    layout->addWidget(hbar_);
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

}  // namespace kotoha
