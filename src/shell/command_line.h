// SPDX-License-Identifier: MIT
// The program's command line: encoding switches, the file name and the
// options for help, version and screenshots.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kotoha {

struct CommandLineArgs {
    // -1 detects the encoding; 0, 1, 2, 3 force SJIS, JIS, EUC, UTF-8.
    std::int32_t encodingSwitch = -1;
    // The file to open; none starts with an empty document.
    std::optional<std::string> fileName;
    // Files after the first, each opened in a window of its own.
    std::vector<std::string> moreFiles;
    // A usage error (an unknown option), one line; empty when there is none.
    std::string error;
    bool help = false;     // --help: print the usage and exit
    bool version = false;  // --version: print the version and exit
    // --screenshot=FILE.png: render the main window to FILE.png and exit.
    std::optional<std::string> screenshotPath;

    // The forced encoding of the start-up open request: the switch when a
    // file is named; 0 for the empty document otherwise.
    std::int32_t ForcedEncoding() const { return fileName ? encodingSwitch : 0; }
};

// Scans the arguments after the program name, each one argument (the shell
// has split them). An argument starting with "-" is a switch: while none has
// been recognised, -s, -j, -e, -u (any case, only the letter after "-"
// counts, so -jis is -j) set the encoding. -h and --help, --version and
// --screenshot=FILE are recognised whole; Qt's own options (-style NAME,
// -session ID, ...) are left to Qt, with their values; any other switch is a
// usage error. "--" ends the switches. Every other argument is a file, taken
// as it is, or a file:// URI, whose path is taken (percent escapes decoded
// to their bytes); the first is fileName, the others moreFiles. Empty
// arguments are skipped.
CommandLineArgs ScanCommandLine(std::span<const std::string> args);
// The same for main's arguments (argv[0] is the program and is skipped).
CommandLineArgs ScanCommandLine(int argc, const char* const* argv);

// The text --help prints.
std::string UsageText(std::string_view programName);

}  // namespace kotoha
