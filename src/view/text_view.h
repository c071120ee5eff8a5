// SPDX-License-Identifier: MIT
// A generic text view: shows display lines it obtains through GetLineText /
// GetLineCells, scrolls in columns and display lines with bars of range
// 0..32767, and selects with the mouse. It knows nothing of the document.
// Its parts each keep their own state: where it stands (ScrollPosition),
// what is selected and how the mouse is selecting (TextSelection), and the
// font and the drawing of a line (LinePainter); the view wires them to Qt's
// events, bars and viewport.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QTimer>

#include <array>
#include <utility>

#include "layout/line_layout.h"
#include "view/display_line.h"
#include "view/line_painter.h"
#include "view/log_font.h"
#include "viewmodel/scroll_model.h"
#include "viewmodel/scroll_position.h"
#include "viewmodel/text_selection.h"

class QScrollBar;

namespace kotoha {

class ViewFrame;

class CTextView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    CTextView(ViewFrame& frame, QWidget* parent = nullptr);
    ~CTextView() override;

    // Display text and cell string of a display line, as the layout gives
    // them (Shift-JIS bytes, one per column). Valid until the next call.
    virtual const char* GetLineText(std::int32_t line) = 0;
    virtual const char* GetLineCells(std::int32_t line) = 0;
    // The table the text's extension codes are read through; none here.
    virtual const ExtensionTable* Extensions() const { return nullptr; }
    // Moves the window contents so that (column, line) is at the top left;
    // nothing when it is there already. The caller clamps.
    virtual void ScrollTo(std::int32_t column, std::int32_t line);
    // Here: anchor and end differ.
    virtual bool HasSelection() const;

    // Extent in columns (W + 1) and display lines (N); clears the selection.
    void SetExtent(std::int32_t columns, std::int32_t lines);
    void SelectAll();
    // Selects from anchor to end (unordered), repainting the old and the new
    // selection; the view does not scroll.
    void SetSelection(DisplayPos anchor, DisplayPos end);
    // The selection ordered: lo <= hi.
    void GetSelection(DisplayPos& lo, DisplayPos& hi) const;
    DisplayPos scrollPos() const;
    // Makes a font for the view and measures column width and line height.
    // The column-width rule follows the font's description (LogFontFromFont).
    void CreateViewFont(const QFont& font);
    // The same for a stored description, whose pitch bits and character set
    // choose the column-width rule.
    void CreateViewFont(const LogFont& description);
    const QFont& viewFont() const;
    int columnWidth() const;
    int lineHeight() const;
    std::int32_t extentColumns() const { return scroll_.extentColumns(); }
    std::int32_t extentLines() const { return scroll_.extentLines(); }
    // The selection as set, unordered.
    DisplayPos anchor() const { return selection_.anchor(); }
    DisplayPos selectionEnd() const { return selection_.end(); }
    // Runs while the left button is held, moving the selection at each tick.
    const QTimer& autoScrollTimer() const { return autoScrollTimer_; }

    // The frame's activation of this pane. The frame calls it for both panes
    // from MakeActiveView; the view asks for activation itself when it is
    // clicked, focused or scrolled with its bar.
    void SetActive(bool active);
    bool isActive() const;

    // The context-help hit test: 1 for a viewport point in the left margin,
    // 0 elsewhere.
    int ContextHelpHitTest(const QPoint& point) const;

  protected:
    ViewFrame& frame() const;

    // Paints what the line drawing does not cover: right of the page and
    // below the last line with brush, the margin in the window colour; only
    // within clip.
    virtual void EraseOutsideText(QPainter& painter, const QBrush& brush, const QRect& clip);
    // Colour of the areas outside the page; here the window colour.
    virtual QColor OutsideColour() const;
    // Called at the end of SetActive.
    virtual void OnActivated(bool active);
    // Called whenever the top line or left column may have changed, by a
    // scroll or by a new extent or font that clamped them; also when a
    // scroll found the position already there.
    virtual void OnScrollPosChanged();

    // Scroll bars and scroll position.
    void UpdateScrollBars();
    void ClampScrollPos(DisplayPos& pos) const;
    void SetScrollThumbs(DisplayPos pos);
    void ScrollLines(ScrollDirection direction, ScrollUnit unit);
    void ScrollColumns(ScrollDirection direction, ScrollUnit unit);
    void ApplyScrollAction(const ScrollAction& action);
    // Whole lines and columns that fit in the window.
    std::int32_t visibleLines() const;
    std::int32_t visibleColumns() const;

    // Selection by the mouse at a viewport point.
    void SelectToPoint(const QPoint& point, bool startNew);
    void SelectLinesToPoint(const QPoint& point, bool startNew);
    // Marks for repaint the pixels between two positions, without erasing.
    void InvalidateRange(DisplayPos a, DisplayPos b);

    // Events (those of the viewport arrive here too).
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void OnAutoScroll();
    // Moves the selection being dragged to a viewport point.
    void DragTo(const QPoint& point);
    void MakeActive();
    bool HorizontalAvailable() const;
    bool VerticalAvailable() const;
    QScrollBar* SharedBar() const;
    void AdoptFont(const QFont& font, const LogFont& description);
    // After a new extent or font: the bars, the position clamped in place
    // (no pixels move), the thumbs, and a repaint of everything.
    void RefitToWindow();
    // Pending repaints of selection changes, made after the window scrolled
    // so that they land where the positions show now.
    void QueueInvalidate(const SelectionRepaint& repaint);
    void FlushInvalidates();
    void Invalidate(const SelectionRepaint& repaint);
    void InvalidateLine(std::int32_t line, std::int32_t from, std::int32_t to);
    void DrawLine(QPainter& painter, std::int32_t line, std::int32_t y, DisplayPos lo,
                  DisplayPos hi, const QRect& textClip);
    DisplayLine& LoadLine(std::int32_t line);

    ViewFrame& frame_;
    LinePainter painter_;
    ScrollPosition scroll_;
    TextSelection selection_;
    bool active_ = false;
    bool updatingBars_ = false;
    QTimer autoScrollTimer_;
    QPoint lastMousePoint_;
    QCursor marginCursor_;
    std::array<std::pair<DisplayPos, DisplayPos>, 4> pending_{};
    std::size_t pendingCount_ = 0;
};

}  // namespace kotoha
