// A generic text view: shows display lines it obtains through GetLineText /
// GetLineCells, scrolls in columns and display lines with bars of range
// 0..32767, and selects with the mouse. It knows nothing of the document.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>

#include "layout/line_layout.h"

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
    virtual void ScrollTo(std::int32_t column, std::int32_t line);
    virtual bool HasSelection() const;

    // Extent in columns (W + 1) and display lines (N); clears the selection.
    void SetExtent(std::int32_t columns, std::int32_t lines);
    void SelectAll();
    // The selection ordered: lo <= hi.
    void GetSelection(DisplayPos& lo, DisplayPos& hi) const;
    DisplayPos scrollPos() const;
    // Makes a font for the view and measures column width and line height.
    void CreateViewFont(const QFont& font);
    const QFont& viewFont() const;
    int columnWidth() const;
    int lineHeight() const;

    // The frame's activation of this pane.
    void SetActive(bool active);
    bool isActive() const;

  protected:
    ViewFrame& frame() const;
};

}  // namespace kotoha
