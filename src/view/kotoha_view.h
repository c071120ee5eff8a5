// SPDX-License-Identifier: MIT
// The text view bound to the document: its lines come from CKotohaDoc, its
// font and background from the settings, and it reports to the status bar.
#pragma once

#include <functional>
#include <string>

#include "view/log_font.h"
#include "view/text_view.h"

namespace kotoha {

class CKotohaDoc;
class Clipboard;
class UserInterface;
struct AppSettings;
struct FindRequest;

class CKotohaView : public CTextView {
    Q_OBJECT

  public:
    CKotohaView(CKotohaDoc& doc, AppSettings& settings, ViewFrame& frame,
                QWidget* parent = nullptr);
    ~CKotohaView() override;

    const char* GetLineText(std::int32_t line) override;
    const ExtensionTable* Extensions() const override;
    const char* GetLineCells(std::int32_t line) override;
    void OnScrollPosChanged() override;
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

    // --- Font and background, as the settings and the view settings
    // command see them. ---
    // Fills the font description and style name from the settings LogFont,
    // FontName and FontStyle; an unset LogFont (negative width) takes the
    // system fixed font and stores it back at once.
    void LoadFontSettings();
    // Writes the description's 13 numbers to LogFont, its face name to
    // FontName and the style name to FontStyle.
    void StoreFontSettings();
    const LogFont& logFont() const { return logFont_; }
    const std::string& fontStyleName() const { return fontStyleName_; }
    // Takes a new description and style name (each cut to 31 bytes) and
    // makes the font from it (CreateViewFont).
    void SetViewFont(const LogFont& description, const std::string& styleName);
    // The background flag (PaintBkgnd as applied to this view): the areas
    // outside the page in the workspace colour. A change repaints all.
    bool backgroundFlag() const { return backgroundFlag_; }
    void SetBackgroundFlag(bool on);

    // --- Commands on what the view shows (view_commands.cpp). ---
    // Puts the selected text on the clipboard; a failure is reported.
    bool CopySelection();
    // The same for the whole text.
    bool CopyAllToClipboard();
    // The find dialog's first text: the start of the selection.
    std::string InitialFindText() const;
    // Selects and shows the next match of request from the selection or the
    // visible lines; reports when there is none.
    void FindNext(const FindRequest& request);
    // Replaces the document by the clipboard's text, asking through ui
    // first when the settings say so.
    void Paste(Clipboard& clipboard, UserInterface& ui);

  protected:
    QColor OutsideColour() const override;
    void OnActivated(bool active) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The less-like single-key commands; false when the key is not one.
    bool HandleLessKey(const QString& text);

    CKotohaDoc& doc_;
    AppSettings& settings_;
    LogFont logFont_;
    std::string fontStyleName_;
    bool backgroundFlag_ = true;
};

}  // namespace kotoha
