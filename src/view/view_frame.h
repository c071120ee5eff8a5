// SPDX-License-Identifier: MIT
// What a text view asks of the main frame that holds it: which view is
// active, the status-bar reports, the shared horizontal scroll bar, the
// frame-level actions a key can start, and the window services of the view's
// commands (messages, the wait cursor, the clipboard).
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/string_ids.h"
#include "codec/byte_class.h"
#include "codec/extension_table.h"
#include "document/document_host.h"

class QMenu;
class QScrollBar;

namespace kotoha {

class CTextView;

class ViewFrame {
  public:
    virtual ~ViewFrame() = default;

    // The frame's active view (the one the commands and the horizontal bar
    // follow); MakeActiveView activates view, deactivating the other pane.
    virtual CTextView* ActiveView() const = 0;
    virtual void MakeActiveView(CTextView* view) = 0;

    // Status-bar reports. Each does nothing unless view is the active view.
    // line and column are 1-based display numbers.
    virtual void ShowLineNumber(const CTextView* view, std::int32_t line) = 0;
    virtual void ShowColumnNumber(const CTextView* view, std::int32_t column) = 0;
    virtual void ShowLineBreakKind(const CTextView* view, LineBreakKind kind) = 0;
    virtual void ShowEncodingKind(const CTextView* view, EncodingKind kind) = 0;
    virtual void ShowActivePane(const CTextView* view) = 0;

    // The horizontal bar shared by every pane of the splitter; only the
    // active view drives it. Never null while the view lives.
    virtual QScrollBar* SharedHorizontalBar() = 0;

    // The right-click menu (menu 110); its commands go to the active view.
    virtual QMenu* RightClickMenu() = 0;

    // Less-like key q: close the main window.
    virtual void CloseMainWindow() = 0;
    // Less-like key v: start the external editor on the text.
    virtual void LaunchExternalEditor() = 0;

    // A message box with the string id's text, after the kind's beep.
    virtual void ShowMessage(StringId::Id id, MessageKind kind) = 0;
    // The wait cursor; calls nest.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Puts NUL-terminated clipboard text in the internal form (CR LF line
    // breaks, codes of table read as its characters) on the clipboard; false
    // when the clipboard could not take it.
    virtual bool WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                                    const ExtensionTable* table) = 0;
};

}  // namespace kotoha
