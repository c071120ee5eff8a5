// The text view bound to the document: its lines come from CKotohaDoc, its
// font and background from the settings, and it reports to the status bar.
#pragma once

#include "view/text_view.h"

namespace kotoha {

class CKotohaDoc;
struct AppSettings;

class CKotohaView : public CTextView {
    Q_OBJECT

  public:
    CKotohaView(CKotohaDoc& doc, AppSettings& settings, ViewFrame& frame,
                QWidget* parent = nullptr);
    ~CKotohaView() override;

    const char* GetLineText(std::int32_t line) override;
    const char* GetLineCells(std::int32_t line) override;
    void ScrollTo(std::int32_t column, std::int32_t line) override;
    // True only when at least one byte of text lies in the selection.
    bool HasSelection() const override;

    // First show of a document: extent (0, 0), background flag and font from
    // the settings, then OnUpdate.
    void OnInitialUpdate();
    // The document changed: status-bar kinds, extent (W + 1, N).
    void OnUpdate();
    // The system's thousands separator may have changed.
    void OnLocaleChange();

    CKotohaDoc& document() const;
};

}  // namespace kotoha
