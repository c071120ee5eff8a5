// SPDX-License-Identifier: MIT
// The main window's client area: a vertical splitter of one or two text
// views, each with its own vertical bar, above one horizontal bar that all
// panes share.
#pragma once

#include <QWidget>
#include <functional>

class QScrollBar;
class QSplitter;

namespace kotoha {

class CKotohaView;
class CTextView;

class MyCSplitterWnd : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMaxRows = 2;
    static constexpr int kMinPaneSize = 10;

    // Makes a view with the given parent; the splitter owns it.
    using ViewFactory = std::function<CKotohaView*(QWidget* parent)>;

    // The shared bar exists before any pane, so that a view finds it while
    // it is being built; AddFirstPane then creates the first pane.
    MyCSplitterWnd(ViewFactory createView, QWidget* parent = nullptr);
    CKotohaView* AddFirstPane();

    QScrollBar* SharedHorizontalBar() const { return hbar_; }
    int RowCount() const;
    // The pane in row (0 upper, 1 lower), or null.
    CKotohaView* Pane(int row) const;
    // The row of view, or -1 when it is not a pane of this splitter.
    int RowOf(const CTextView* view) const;

    // With one row: adds a second pane below, showing what active shows, and
    // returns it. With two: removes the pane that is not active and returns
    // active. Null when nothing changed.
    CKotohaView* ToggleSplit(CKotohaView* active);
    // The other pane of a split window, or null.
    CKotohaView* OtherPane(const CTextView* view) const;

    // The pane the shared bar shows and moves; the others keep their own
    // left column.
    void SetActivePane(CKotohaView* view) { active_ = view; }

  signals:
    void rowCountChanged(int rows);

  private:
    ViewFactory createView_;
    QSplitter* splitter_;
    QScrollBar* hbar_;
    CKotohaView* active_ = nullptr;
};

}  // namespace kotoha
