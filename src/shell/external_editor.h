// SPDX-License-Identifier: MIT
// Starting an external editor on the document: its command line, when the
// document must be saved first, and the rules of its settings dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/string_ids.h"
#include "codec/byte_class.h"
#include "shell/settings.h"

namespace kotoha {

// True when the editor has no file to take: the document has none (a paste
// or a new document). Every editor here reads a file in its own encoding
// and line breaks, so a file is handed over as it is, never rewritten.
bool MustSaveBeforeEditor(bool hasPath);

// Starts argv (the program, found on PATH, and its arguments, passed as
// the bytes they are) in a process of its own that outlives this one;
// false when it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

// command + " " + arguments with every "$line" replaced by the decimal text
// of topDisplayLine + 1 (topDisplayLine counts from 0), then every "$file"
// by file. Placeholders match without regard to the case of A-Z, never
// inside a multibyte character; inserted text is not searched again, and
// file is inserted as it is, without quotes.
std::string BuildEditorCommandLine(std::string_view command, std::string_view arguments,
                                   std::string_view file, std::int64_t topDisplayLine);

// Splits a command line into words at blanks, tabs and line breaks. Double
// quotes group words with blanks and are removed; three double quotes in a
// row stand for one literal double quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// word written so that SplitCommandLine gives it back as one word: as it is
// when it holds no separator and no double quote, otherwise in double quotes
// with each double quote inside tripled.
std::string QuoteCommandWord(std::string_view word);

// The program (first word) and arguments to start. Via the clipboard: the
// words of command alone. Via the file: the words of command + " " +
// arguments, each with its placeholders replaced as BuildEditorCommandLine
// does. Replacing after splitting keeps a path with blanks or quotes one
// argument. Empty when command has no words.
std::vector<std::string> EditorArgv(std::string_view command, bool viaClipboard,
                                    std::string_view arguments, std::string_view file,
                                    std::int64_t topDisplayLine);

// The command that stands for "the desktop's editor" in the settings (the
// default); it is never started as it is, since it would open this viewer
// when the viewer handles text files.
inline constexpr std::string_view kDesktopEditorCommand = "xdg-open";

// The desktop file names of text/plain's handlers in the output of
// "gio mime text/plain": the default first, then the registered ones.
std::vector<std::string> TextHandlersOf(std::string_view gioMimeOutput);

// The editor command that stands in for kDesktopEditorCommand: $VISUAL
// (visual) when set, else "gio launch <desktop file>" for the first of
// handlers that is not the viewer's own (selfDesktopId), findDesktopFile
// giving its path (empty when it finds none). Empty when there is none:
// the user must choose an editor in the editor settings.
std::string DesktopEditorCommand(std::string_view visual, const std::vector<std::string>& handlers,
                                 std::string_view selfDesktopId,
                                 std::string (*findDesktopFile)(std::string_view id));

// The path of the desktop file id in the applications folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS (their defaults when unset); empty when
// none has it.
std::string FindDesktopFile(std::string_view id);

// The fields of the external-editor settings dialog.
struct ExternalEditorDialogValues {
    std::int32_t handOver = 1;  // 0 via the clipboard, 1 via the file
    std::string command;        // at most 259 bytes
    std::string arguments;      // at most 259 bytes

    // Filled from Path, ViaClipboard and Arguments.
    static ExternalEditorDialogValues FromSettings(const AppSettings& settings);
    // Stores the fields back into Path, ViaClipboard and Arguments.
    void ApplyTo(AppSettings& settings) const;
    // The arguments field and its label are enabled only for the file.
    bool ArgumentsEnabled() const { return handOver == 1; }
    // The message that keeps the dialog open on OK, or none to close: via
    // the file, an empty command (72), then arguments without "$file" (70);
    // via the clipboard nothing is checked.
    std::optional<StringId::Id> Validate() const;
};

}  // namespace kotoha
