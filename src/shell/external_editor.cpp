// SPDX-License-Identifier: MIT
#include "shell/external_editor.h"

#include <algorithm>

namespace kotoha {

namespace {

constexpr char kLinePlaceholder[] = "$line";
constexpr char kFilePlaceholder[] = "$file";

std::string ReplacePlaceholders(const std::string& text, std::string_view file,
                                std::int64_t topDisplayLine) {
    std::string line = std::to_string(topDisplayLine + 1);
    std::string withLine =
        ReplaceAllNoCase(text.c_str(), kLinePlaceholder, line.c_str(), CharSet::Utf8);
    std::string fileText(file);
    return ReplaceAllNoCase(withLine.c_str(), kFilePlaceholder, fileText.c_str(), CharSet::Utf8);
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

bool MustSaveBeforeEditor(EncodingKind encoding, LineBreakKind lineBreak, bool hasPath) {
    return encoding != EncodingKind::SJIS || lineBreak != LineBreakKind::WIN || !hasPath;
}

std::string BuildEditorCommandLine(std::string_view command, std::string_view arguments,
                                   std::string_view file, std::int64_t topDisplayLine) {
    std::string text(command);
    text += ' ';
    text += arguments;
    return ReplacePlaceholders(text, file, topDisplayLine);
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    int quotes = 0;  // double quotes in a row just read
    for (char c : commandLine) {
        if (c == '"') {
            if (++quotes == 3) {
                word += '"';
                quotes = 0;
            }
            continue;
        }
        // A single quote toggles grouping; a pair opens and closes at once.
        if (quotes == 1)
            quoted = !quoted;
        quotes = 0;
        if (!quoted && IsSeparator(c)) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

std::string QuoteCommandWord(std::string_view word) {
    const bool plain = !word.empty() && word.find('"') == std::string_view::npos &&
                       std::none_of(word.begin(), word.end(), IsSeparator);
    if (plain)
        return std::string(word);
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"')
            quoted += "\"\"\"";
        else
            quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::vector<std::string> EditorArgv(std::string_view command, bool viaClipboard,
                                    std::string_view arguments, std::string_view file,
                                    std::int64_t topDisplayLine) {
    if (viaClipboard)
        return SplitCommandLine(command);
    std::string text(command);
    text += ' ';
    text += arguments;
    std::vector<std::string> words = SplitCommandLine(text);
    for (std::string& word : words)
        word = ReplacePlaceholders(word, file, topDisplayLine);
    return words;
}

ExternalEditorDialogValues ExternalEditorDialogValues::FromSettings(const AppSettings& settings) {
    ExternalEditorDialogValues values;
    values.handOver = settings.ViaClipboard.value == 1 ? 0 : 1;
    values.command = settings.Path.value;
    values.arguments = settings.Arguments.value;
    return values;
}

void ExternalEditorDialogValues::ApplyTo(AppSettings& settings) const {
    settings.Path.Set(command);
    settings.ViaClipboard.value = handOver == 0 ? 1 : 0;
    settings.Arguments.Set(arguments);
}

std::optional<StringId::Id> ExternalEditorDialogValues::Validate() const {
    if (handOver == 0)
        return std::nullopt;
    if (command.empty())
        return StringId::kNoEditorCommand;
    if (FindNoCase(arguments.c_str(), kFilePlaceholder, CharSet::Utf8) == nullptr) {
        return StringId::kArgumentsLackFile;
    }
    return std::nullopt;
}

}  // namespace kotoha
