// SPDX-License-Identifier: MIT
#include "shell/command_line.h"

#include <vector>

namespace kotoha {

namespace {

constexpr std::string_view kScreenshotOption = "--screenshot=";

std::int32_t EncodingOfSwitch(std::string_view arg) {
    if (arg.size() < 2)
        return -1;
    switch (arg[1]) {
        case 's':
        case 'S':
            return 0;
        case 'j':
        case 'J':
            return 1;
        case 'e':
        case 'E':
            return 2;
        case 'u':
        case 'U':
            return 3;
        default:
            return -1;
    }
}

// Qt's own options, which QApplication takes out of the arguments: those
// followed by a value, and those without one.
constexpr std::string_view kQtOptionsWithValue[] = {
    "-style",
    "-stylesheet",
    "-session",
    "-platform",
    "-platformpluginpath",
    "-platformtheme",
    "-plugin",
    "-qwindowgeometry",
    "-qwindowicon",
    "-qwindowtitle",
    "-display",
    "-geometry",
    "-title",
    "-name",
    "-fn",
    "-font",
    "-bg",
    "-background",
    "-fg",
    "-foreground",
    "-btn",
    "-button",
    "-visual",
    "-ncols",
    "-cmap",
    "-im",
    "-inputstyle",
    "-qmljsdebugger",
    "-graphicssystem",
};
constexpr std::string_view kQtOptionsAlone[] = {
    "-reverse", "-widgetcount", "-nograb", "-dograb", "-sync", "-testability",
};

bool IsOneOf(std::string_view arg, std::span<const std::string_view> names) {
    for (std::string_view name : names) {
        // Qt takes "--style" and "-style=Fusion" too.
        std::string_view bare = arg.starts_with("--") ? arg.substr(1) : arg;
        if (bare == name ||
            (bare.starts_with(name) && bare.size() > name.size() && bare[name.size()] == '='))
            return true;
    }
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The file an argument names: a file:// URI's path with its percent escapes
// decoded to bytes, anything else as it is.
std::string FileOfArgument(const std::string& arg) {
    constexpr std::string_view kScheme = "file://";
    if (arg.size() <= kScheme.size() || arg.compare(0, kScheme.size(), kScheme) != 0)
        return arg;
    std::string_view rest = std::string_view(arg).substr(kScheme.size());
    // file:///path and file://localhost/path.
    if (rest.starts_with("localhost/"))
        rest.remove_prefix(9);
    if (!rest.starts_with('/'))
        return arg;
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
            HexValue(rest[i + 2]) >= 0) {
            path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

}  // namespace

CommandLineArgs ScanCommandLine(std::span<const std::string> args) {
    CommandLineArgs result;
    bool switchesEnded = false;
    const auto addFile = [&](const std::string& arg) {
        std::string file = FileOfArgument(arg);
        if (!result.fileName)
            result.fileName = std::move(file);
        else
            result.moreFiles.push_back(std::move(file));
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty())
            continue;
        if (switchesEnded || arg[0] != '-' || arg == "-") {
            if (arg != "-")
                addFile(arg);
            continue;
        }
        if (arg == "--") {
            switchesEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--version") {
            result.version = true;
        } else if (arg.starts_with(kScreenshotOption) && arg.size() > kScreenshotOption.size()) {
            result.screenshotPath = arg.substr(kScreenshotOption.size());
        } else if (IsOneOf(arg, kQtOptionsWithValue)) {
            if (arg.find('=') == std::string::npos)
                ++i;
        } else if (IsOneOf(arg, kQtOptionsAlone)) {
        } else if (EncodingOfSwitch(arg) >= 0 && !arg.starts_with("--")) {
            if (result.encodingSwitch == -1)
                result.encodingSwitch = EncodingOfSwitch(arg);
        } else if (result.error.empty()) {
            result.error = "unknown option '" + arg + "'";
        }
    }
    return result;
}

CommandLineArgs ScanCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return ScanCommandLine(args);
}

std::string UsageText(std::string_view programName) {
    std::string text = "Usage: ";
    text += programName;
    text +=
        " [-s | -j | -e | -u] [FILE...]\n"
        "Shows a Japanese text file in Shift-JIS, JIS, EUC-JP, UTF-8 or UTF-16.\n"
        "\n"
        "  -s, -j, -e, -u      read FILE as Shift-JIS, JIS, EUC-JP or UTF-8 instead\n"
        "                      of detecting its encoding\n"
        "  --screenshot=FILE.png  render the main window to FILE.png and exit\n"
        "  -h, --help          print this help and exit\n"
        "  --version           print the version and exit\n"
        "\n"
        "Each FILE is a file name or a file:// URI. The first opens in this window,\n"
        "each further one in a window of its own. Qt's own options (-style, ...)\n"
        "are understood too.\n";
    return text;
}

}  // namespace kotoha
