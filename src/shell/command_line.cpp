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

}  // namespace

CommandLineArgs ScanCommandLine(std::span<const std::string> args) {
    CommandLineArgs result;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty())
            continue;
        if (arg[0] != '-')
            break;
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--help") {
            result.help = true;
        } else if (arg == "--version") {
            result.version = true;
        } else if (arg.starts_with(kScreenshotOption) && arg.size() > kScreenshotOption.size()) {
            result.screenshotPath = arg.substr(kScreenshotOption.size());
        } else if (result.encodingSwitch == -1) {
            result.encodingSwitch = EncodingOfSwitch(arg);
        }
    }
    // After "--" empty arguments are skipped as well, so that "--" alone
    // names no file.
    while (i < args.size() && args[i].empty())
        ++i;
    if (i < args.size()) {
        std::string name = args[i];
        for (++i; i < args.size(); ++i) {
            name += ' ';
            name += args[i];
        }
        result.fileName = std::move(name);
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
        " [-s | -j | -e | -u] [FILE]\n"
        "Shows a Japanese text file in Shift-JIS, JIS, EUC-JP, UTF-8 or UTF-16.\n"
        "\n"
        "  -s, -j, -e, -u      read FILE as Shift-JIS, JIS, EUC-JP or UTF-8 instead\n"
        "                      of detecting its encoding\n"
        "  --screenshot=FILE.png  render the main window to FILE.png and exit\n"
        "  --help              print this help and exit\n"
        "  --version           print the version and exit\n"
        "\n"
        "Every argument from the first one not starting with \"-\" on, joined by\n"
        "single blanks, is the file name.\n";
    return text;
}

}  // namespace kotoha
