// SPDX-License-Identifier: MIT
// What the document needs from the windowing layer: questions and messages
// to the user, the wait cursor, the views and the status bar, the recently
// used list, the active selection and the clipboard. The Qt layer implements
// these; tests answer them with fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/string_ids.h"
#include "codec/byte_class.h"
#include "document/requests.h"
#include "layout/line_layout.h"

namespace kotoha {

// The sound and icon of a message box.
enum class MessageKind { Warning, Information, Question };

enum class Answer { Yes, No, Cancel };

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // Beeps with the kind's sound and shows the string id's text in a message
    // box with an OK button; argument replaces "%1" in the text.
    virtual void ShowMessage(StringId::Id id, MessageKind kind, std::string_view argument = {},
                             std::string_view argument2 = {}) = 0;
    // Question beep, then the text ("%1" and "%2" replaced by the
    // arguments) with Yes and No; true for Yes.
    virtual bool AskYesNo(StringId::Id id, std::string_view argument = {},
                          std::string_view argument2 = {}) = 0;
    // Question beep, then the text with Yes, No and Cancel.
    virtual Answer AskYesNoCancel(StringId::Id id, std::string_view argument) = 0;
    // Asks which encoding bytes[0, length) is in, proposing detected; returns
    // an EncodingKind value (0-6), or -1 when the user cancelled.
    virtual std::int32_t InquireEncoding(EncodingKind detected, const std::uint8_t* bytes,
                                         std::uint32_t length) = 0;
    // The save file dialog (titled by titleId, proposing fileName) followed,
    // for a save of kind mode, by the save-format dialog: the format chosen
    // (a save for the editor asks none: Shift-JIS, CR LF, no widening), or
    // nothing when the user cancelled either; fileName then is unchanged.
    virtual std::optional<SaveFormatChoice> AskSaveFileName(std::string& fileName,
                                                            StringId::Id titleId,
                                                            SavePromptMode mode) = 0;
    // The save-format dialog alone, for a save of kind mode; nothing when
    // the user cancelled.
    virtual std::optional<SaveFormatChoice> AskSaveFormat(SavePromptMode mode) = 0;
    // The wait cursor; Restore shows it again after a dialog removed it.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void RestoreWaitCursor() = 0;
};

// Shows the wait cursor of ui (anything with BeginWaitCursor and
// EndWaitCursor: the document's host, a view's frame) for the life of the
// scope.
template <class Ui>
class WaitCursorScope {
  public:
    explicit WaitCursorScope(Ui& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
    ~WaitCursorScope() { ui_.EndWaitCursor(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

  private:
    Ui& ui_;
};

class DocumentHost : public UserInterface {
  public:
    // Every view re-reads the document (extent, selection, scroll position).
    virtual void UpdateAllViews() = 0;
    // The main frame's status bar panes.
    virtual void ShowEncodingKind(EncodingKind kind) = 0;
    virtual void ShowLineBreakKind(LineBreakKind kind) = 0;
    // The document's title changed (the frame's caption follows).
    virtual void TitleChanged(const std::string& title) = 0;
    // Adds a path (UTF-8) to the recently-used file list.
    virtual void AddToRecentFileList(const std::string& path) = 0;
    // The active view's selection as an ordered pair of display positions
    // (lo <= hi; equal when there is none).
    virtual void GetActiveSelection(DisplayPos& lo, DisplayPos& hi) = 0;
    // Asks the document template for a new, untitled document (which first
    // asks whether to save a modified one). False when that was cancelled or
    // failed.
    virtual bool StartNewDocument() = 0;
};

// The platform clipboard's plain text.
class Clipboard {
  public:
    enum class ReadResult { NotOpened, NoText, Text };
    virtual ~Clipboard() = default;
    // Reads the clipboard's text into text as Shift-JIS bytes, each character
    // CP932 cannot hold as "?"; it ends at its first NUL, if any.
    virtual ReadResult ReadText(std::string& text) = 0;
    // Reads the clipboard's text as it is (UTF-16), to its first NUL.
    virtual ReadResult ReadUnicodeText(std::u16string& text) = 0;
};

}  // namespace kotoha
