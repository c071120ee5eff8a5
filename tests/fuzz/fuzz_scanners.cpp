// SPDX-License-Identifier: MIT
// libFuzzer target for the scanners of words: the program's command line
// and the external editor's command line. The input, cut at NUL bytes, is a
// list of words. Invariants:
//   - the command-line scan names a file only when some argument is
//     neither empty nor a switch, and never more files than arguments;
//   - a word quoted for the editor's command line splits back to itself,
//     and quoted words joined by blanks split back to the list;
//   - the editor's argument list never has an empty program and keeps the
//     file path whole as one argument where "$file" stands alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "shell/command_line.h"
#include "shell/external_editor.h"

namespace {

using namespace kotoha;

using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    words.push_back(word);

    const CommandLineArgs args = ScanCommandLine(words);
    bool switchesEnded = false;
    const std::string* firstName = nullptr;
    for (const std::string& arg : words) {
        if (!switchesEnded && arg == "--") {
            switchesEnded = true;
            continue;
        }
        if (arg.empty() || (!switchesEnded && arg.front() == '-'))
            continue;
        firstName = &arg;
        break;
    }
    // A file is named only where some argument is neither empty nor a
    // switch (one may be the value of a Qt option instead), and every file
    // is one argument.
    if (firstName == nullptr)
        Check(!args.fileName.has_value() && args.moreFiles.empty());
    if (args.fileName.has_value())
        Check(firstName != nullptr);
    Check(args.moreFiles.size() < words.size());
    Check(args.encodingSwitch >= -1 && args.encodingSwitch <= 3);

    std::string joined;
    std::vector<std::string> nonEmpty;
    for (const std::string& w : words) {
        if (w.empty())
            continue;
        Check(SplitCommandLine(QuoteCommandWord(w)) == std::vector<std::string>{w});
        if (!joined.empty())
            joined += ' ';
        joined += QuoteCommandWord(w);
        nonEmpty.push_back(w);
    }
    Check(SplitCommandLine(joined) == nonEmpty);

    const std::string command = words.empty() ? std::string() : words.front();
    const std::string arguments = words.size() > 1 ? words[1] : std::string("$file");
    const std::string file = words.size() > 2 ? words[2] : std::string("/tmp/a b.txt");
    for (const std::string& w : SplitCommandLine(command))
        Check(!w.empty());
    const std::vector<std::string> argv =
        EditorArgv(QuoteCommandWord(command.empty() ? "ed" : command), false, "$file", file, 41);
    Check(argv.size() == 2 && argv.back() == file);
    (void)EditorArgv(command, words.size() % 2 == 0, arguments, file, 3);
    (void)BuildEditorCommandLine(command, arguments, file, 7);
    return 0;
}
