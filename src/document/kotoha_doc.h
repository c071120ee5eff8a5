// SPDX-License-Identifier: MIT
// The one document of the program: its text in internal form (Shift-JIS, LF
// line breaks), the display-line index, and what is known of its file.
// Replaced only as a whole (open, paste) or converted as a whole (widening
// after a Save As); views read it through the operations below.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/global_array.h"
#include "codec/byte_class.h"
#include "codec/extension_table.h"
#include "document/document_host.h"
#include "document/document_options.h"
#include "document/requests.h"
#include "document/safe_file.h"
#include "layout/line_layout.h"

namespace kotoha {

// Names the document template lends the document: the title of an untitled
// document and the default extension of save dialogs (UTF-8).
struct DocumentNames {
    std::string untitledTitle;
    std::string defaultExtension;
};

// Longest string CopyRangeForFind returns, in bytes.
inline constexpr std::size_t kMaxFindText = 255;

// The name Save As proposes for an untitled document: the title cut to its
// first 8 bytes (never inside a UTF-8 character), then before the first of
// blank, "#", "%", ";", "/", "\", followed by the default extension.
std::string ProposeSaveName(std::string_view title, std::string_view defaultExtension);

// What the last open could not decide or convert, for the window to show
// beside the text rather than in a box. Empty when there is nothing to say.
struct OpenNotice {
    // Detection was unsure and no one was asked: the kind shown is a guess
    // among the detection bits of candidates (the shown kind's included).
    bool guessed = false;
    std::uint16_t candidates = 0;
    // Characters the import could not convert, and the line (1-based, of
    // the text's own lines) of the first one.
    std::uint32_t lostCharacters = 0;
    std::int32_t firstLostLine = 0;
    bool empty() const { return !guessed && lostCharacters == 0; }
};

// Every call that may ask the user a question takes the UserInterface that
// asks it (ui); the host is told only what happened.
class CKotohaDoc {
  public:
    // Both arrays empty, SJIS, WIN, no half-width katakana, layout settings
    // read. The references must outlive the document.
    CKotohaDoc(DocumentOptionsSource options, RequestRecords& requests, DocumentHost& host);
    CKotohaDoc(const CKotohaDoc&) = delete;
    CKotohaDoc& operator=(const CKotohaDoc&) = delete;

    // --- Fields. Written only by the document's own operations. ---
    EncodingKind encoding = EncodingKind::SJIS;
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t halfWidthKanaCount = 0;
    TextStore text;
    // The characters CP932 cannot hold that the text uses, by their codes.
    ExtensionTable extensions;
    LineIndex lineIndex;
    std::int32_t wrapColumn = 80;  // W, 2..255
    std::int32_t tabWidth = 8;     // T, 1..64
    // Set by each load when the setting says so; emptied with the text.
    OpenNotice openNotice;

    // --- Store. ---
    // wrapColumn and tabWidth from the settings WrapColumns and Tabstops,
    // clamped into their ranges: the layout the document keeps.
    void ReadLayoutSettings();
    // Frees text, extension table, index and open notice and sets encoding
    // to SJIS;
    // lineBreak and
    // halfWidthKanaCount keep their values until the next import.
    void DeleteContents();
    // Reads the layout settings, empties the document, clears the path and
    // the modified flag. Always succeeds.
    bool OnNewDocument();
    // Stores the kind and shows it in the status bar.
    void SetEncoding(EncodingKind kind);
    void SetLineBreak(LineBreakKind kind);
    // The text between begin and end (offsets, begin <= end; an offset on a
    // second byte moves back to its character) as NUL-terminated clipboard
    // text with CR LF line breaks, NUL and unshowable bytes as blanks, in the
    // internal form (codes of the extension table stay codes). The caller
    // owns the block; an empty block when memory ran out.
    ByteBlock CopyRangeForClipboard(std::uint32_t begin, std::uint32_t end);
    // The range's leading run of showable characters, at most 255 bytes,
    // cut before the first tab, line break or control byte, never ending in
    // half a character.
    std::string CopyRangeForFind(std::uint32_t begin, std::uint32_t end) const;

    // --- Layout (see layout/line_layout.h). ---
    LayoutText Layout() const;
    // Rebuilds the index for W and T (already in range) and records them;
    // false when memory ran out, nothing then changes.
    bool BuildLineIndex(std::int32_t newWrapColumn, std::int32_t newTabWidth);
    // Display text / cells of a line in the document's scratch buffers, valid
    // until the next call of the same operation; columns receives the length.
    const char* GetLineText(std::int32_t line, std::uint32_t* columns = nullptr);
    const char* GetLineCells(std::int32_t line, std::uint32_t* columns = nullptr);
    // N; the document has text exactly when N > 0.
    std::int32_t GetLineCount() const;
    std::uint32_t PosToOffset(DisplayPos pos) const;
    DisplayPos OffsetToPos(std::uint32_t offset) const;
    std::int32_t LineOfOffset(std::uint32_t offset) const;
    bool IsTrailByteAt(std::uint32_t offset) const;
    // Searches the text (see document/find.h).
    bool FindText(std::uint32_t& offset, std::string_view pattern, bool down, bool matchCase,
                  bool wholeWord) const;

    // --- Opening. ---
    // Opens the file at path (UTF-8), then reads the layout settings. A file
    // that cannot be opened or is not a regular file (a folder, a pipe, a
    // device) is reported and leaves the document as it was;
    // once reading began, a failure is reported and leaves it empty (and
    // marked modified, so that the template knows it changed). True on
    // success, the modified flag then clear. request says why it opens and
    // which encoding, if any, the user forced.
    bool OnOpenDocument(const std::string& path, const OpenRequest& request, UserInterface& ui);
    // Reads the open file fd to its end into one block and loads it. A file
    // of 4 GiB or more, or one there is no memory for, fails as Other (out of
    // memory); read errors are classified.
    FileResult LoadFromFile(int fd, const OpenRequest& request, UserInterface& ui);
    // Reads the document's own file whole, as it is on disk now, for a
    // reopen to look at. Failures are reported as an open's; false then.
    bool ReadOwnFile(GlobalArray<std::uint8_t>& bytes);
    // Takes over block, whose first length bytes are the raw text: chooses
    // the encoding (forced by request, or detected, asking the user
    // when detection strayed and the settings say so), converts in place,
    // shrinks the block and builds the index. False when memory ran out; the
    // document then holds no text.
    bool LoadFromBlock(ByteBlock block, std::uint32_t length, const OpenRequest& request,
                       UserInterface& ui);

    // --- Saving. ---
    // Writes the document (replace set) or the selection (copy to file) to
    // path, asking for a name and format (a save of kind mode) when path is
    // none or empty, else in the format chosen last. With replace and a
    // prompted name the document then takes on the file, its encoding and
    // line-break kind, widening its own text when the user chose so.
    // Failures are reported; false when nothing was written.
    bool DoSave(std::optional<std::string> path, bool replace, SavePromptMode mode,
                UserInterface& ui);
    // Saves under the current path when that file exists and may be
    // written, otherwise prompts as Save As does.
    bool DoFileSave(UserInterface& ui);
    // Writes the text (or, for a copy to file, the active selection) to sink
    // in format. False when the sink failed.
    bool Serialize(ByteSink& sink, bool forCopy, const SaveFormatChoice& format);
    // Replaces the text by its widened form and rebuilds the index; true on
    // success or when there is nothing to widen, false when memory ran out
    // (the text and index then stay as they were).
    bool WidenHalfWidthKana();

    // --- Pasting. ---
    // Replaces the whole document by the clipboard's text, asking first when
    // the settings say so. True when a text was loaded.
    bool ReplaceFromClipboard(Clipboard& clipboard, UserInterface& ui);

    // --- The document's file: title, path, modified flag, names. ---
    const std::string& title() const { return title_; }
    void SetTitle(const std::string& title);
    const std::string& pathName() const { return pathName_; }
    // Sets the path and the title (the file's name) and, when addToRecent is
    // set, adds the path to the recently-used list.
    void SetPathName(const std::string& path, bool addToRecent = true);
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified) { modified_ = modified; }
    // Asks whether to save a modified document: Yes saves (DoFileSave), No
    // discards. False when the user cancelled or the save failed.
    bool SaveModified(UserInterface& ui);
    void SetDocumentNames(DocumentNames names) { names_ = std::move(names); }
    const DocumentNames& documentNames() const { return names_; }

  private:
    const std::uint8_t* TextData() const;
    // The text range a save writes: the active selection for a copy to
    // file, else the whole text.
    void SaveRange(const SaveFormatChoice& format, bool forCopy, std::uint32_t& begin,
                   std::uint32_t& end);

    // Counts the characters format cannot hold and, when there are any,
    // asks whether to write substitutes. No goes back to the save-format
    // dialog after a prompt (promptedAs, a save of that kind), which
    // changes format; false when the user gave up saving.
    bool ConfirmLosses(SaveFormatChoice& format, bool forCopy,
                       std::optional<SavePromptMode> promptedAs, UserInterface& ui);
    void ReportFileError(const FileResult& result, const std::string& path);

    DocumentOptionsSource options_;
    RequestRecords& requests_;
    DocumentHost& host_;
    std::string title_;
    std::string pathName_;
    bool modified_ = false;
    DocumentNames names_;
    std::array<char, kLineBufferSize> lineText_{};
    std::array<char, kLineBufferSize> lineCells_{};
};

}  // namespace kotoha
