// SPDX-License-Identifier: MIT
#include "shell/external_editor.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>

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

bool MustSaveBeforeEditor(bool hasPath) {
    return !hasPath;
}

bool StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty())
        return false;
    std::vector<char*> words;
    for (const std::string& word : argv)
        words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    // The exec's failure comes back through a pipe that a successful exec
    // closes unwritten.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        // A grandchild in a session of its own, so that it is nobody's
        // zombie and no terminal's signal reaches it.
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            const int error = errno;
            (void)!write(report[1], &error, sizeof error);
            _exit(1);
        }
        if (grandchild > 0)
            _exit(0);
        signal(SIGPIPE, SIG_DFL);
        execvp(words.front(), words.data());
        const int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got == 0;
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

std::vector<std::string> TextHandlersOf(std::string_view output) {
    std::vector<std::string> handlers;
    const auto add = [&](std::string_view id) {
        while (!id.empty() && IsSeparator(id.back()))
            id.remove_suffix(1);
        while (!id.empty() && IsSeparator(id.front()))
            id.remove_prefix(1);
        if (id.ends_with(".desktop") &&
            std::find(handlers.begin(), handlers.end(), id) == handlers.end())
            handlers.emplace_back(id);
    };
    bool listing = false;
    while (!output.empty()) {
        const std::size_t end = std::min(output.find('\n'), output.size());
        const std::string_view line = output.substr(0, end);
        output.remove_prefix(std::min(end + 1, output.size()));
        if (!line.empty() && (line.front() == '\t' || line.front() == ' ')) {
            if (listing)
                add(line);
            continue;
        }
        // "Default application for “text/plain”: X.desktop", then lists
        // under "Registered applications:" and "Recommended applications:".
        listing = line.starts_with("Registered applications") ||
                  line.starts_with("Recommended applications");
        if (const std::size_t colon = line.rfind(": ");
            line.starts_with("Default application") && colon != std::string_view::npos)
            add(line.substr(colon + 2));
    }
    return handlers;
}

std::string DesktopEditorCommand(std::string_view visual, const std::vector<std::string>& handlers,
                                 std::string_view selfDesktopId,
                                 std::string (*findDesktopFile)(std::string_view id)) {
    if (!SplitCommandLine(visual).empty())
        return std::string(visual);
    for (const std::string& id : handlers) {
        if (id == selfDesktopId)
            continue;
        const std::string path = findDesktopFile(id);
        if (!path.empty())
            return "gio launch " + QuoteCommandWord(path);
    }
    return {};
}

std::string FindDesktopFile(std::string_view id) {
    std::vector<std::string> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        folders.emplace_back(dataHome);
    else if (home != nullptr && home[0] == '/')
        folders.push_back(std::string(home) + "/.local/share");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string_view dirs =
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    while (!dirs.empty()) {
        const std::size_t colon = std::min(dirs.find(':'), dirs.size());
        if (colon > 0 && dirs.front() == '/')
            folders.emplace_back(dirs.substr(0, colon));
        dirs.remove_prefix(std::min(colon + 1, dirs.size()));
    }
    for (const std::string& folder : folders) {
        const std::string path = folder + "/applications/" + std::string(id);
        if (access(path.c_str(), R_OK) == 0)
            return path;
    }
    return {};
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
