// kotoha-conv: converts Japanese text files between Shift-JIS, JIS and
// EUC-JP (or to UTF-8), detecting the input's encoding the way the viewer
// does, reports what the detection makes of a file, or shows how the viewer
// lays the text out in display lines and where its search finds a text.

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "base/global_array.h"
#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/export.h"
#include "codec/import.h"
#include "conv_io.h"
#include "document/find.h"
#include "layout/line_layout.h"

namespace kotoha::conv {
namespace {

constexpr int kExitIoError = 1;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    R"(Usage: kotoha-conv [OPTIONS] [FILE]
Converts Japanese text between Shift-JIS, JIS and EUC-JP, or to UTF-8.
FILE absent or "-": standard input. The output goes to standard output.

  --guess            print one line and exit:
                       encoding=<SJIS|JIS|EUC> linebreak=<WIN|UX|MAC|MIXED>
                       choice=<n> candidates=<n> kana=<n>
                     choice and candidates are detection bits (SJIS 1, JIS 2,
                     EUC 4); they differ when the guess is uncertain. With -s,
                     -j or -e nothing is detected and both are the bit of the
                     forced kind. An empty input is not examined: it is SJIS
                     with choice=0 candidates=0. linebreak and kana (half-width
                     katakana) are counted while converting in that encoding.
  -s | -j | -e       input is Shift-JIS / JIS / EUC-JP: no detection
                     (default: detect)
  --prefer-internet  detect without preferring Shift-JIS when the guess is
                     uncertain; escape sequences and half-width katakana decide
  --to=sjis|jis|euc|utf8
                     output encoding (default sjis); utf8 goes through the
                     CP932 table
  --eol=win|ux|mac|keep
                     output line breaks: CR LF, LF, CR, or the input's own kind
                     (default keep; an input with mixed line breaks gets LF)
  --widen            widen half-width katakana to full-width characters
  -o FILE            write FILE instead of standard output ("-": standard
                     output). FILE is replaced only once the whole output is
                     written; on failure an existing FILE stays as it was.
  -h, --help         print this help and exit
  --version          print the version and exit

Instead of converting, --lines and --find show how the viewer lays out and
searches the text. The input is read, detected and converted to the viewer's
internal form as above; the output is UTF-8 and goes where -o says. They
cannot be combined with each other, nor with --guess, --to, --eol or --widen.
  --lines            print every display line as
                       <line> <begin> <end> <text>
                     the line's index, the text offsets it spans (in the
                     internal text: Shift-JIS, every line break one LF) and
                     its display text, tabs expanded to blanks and a line
                     break shown as a trailing blank
  --find=TEXT        print every match of TEXT (UTF-8) as
                       <offset> <line> <column>
                     its text offset and its display line and column,
                     searching again after each match (down: from the match's
                     offset + 1; up: from its offset - 1, ending after a match
                     at 0); exit status 1 when there is none
  --up               search towards the start of the text
  --case             compare letters with their case
  --word             find whole words only
  --from=OFFSET      offset of the first search (0..4294967295; default 0
                     down, the end of the text up)
  --wrap=W           display lines of at most W columns (default 80; values
                     outside 2..255 count as the nearest bound)
  --tab=T            tab stops every T columns (default 8; limited to 1..64)

Exit status: 0 on success, 1 when reading or writing fails (or --find finds
nothing), 2 for a usage error.
)";

enum class OutputEncoding { SJIS, JIS, EUC, UTF8 };
enum class EolChoice { Keep, WIN, UX, MAC };

struct Options {
    bool help = false;
    bool version = false;
    bool guess = false;
    bool lines = false;
    std::optional<std::string> find;  // the text to find, as given (UTF-8)
    bool up = false;
    bool matchCase = false;
    bool wholeWord = false;
    std::optional<std::uint32_t> from;
    std::int32_t wrapColumn = 80;  // as given; clamped when laid out
    std::int32_t tabWidth = 8;
    // Which options were given, for the checks of their combinations.
    std::vector<std::string> exportOptions;  // --to, --eol, --widen
    std::vector<std::string> layoutOptions;  // --wrap, --tab
    std::vector<std::string> findOptions;    // --up, --case, --word, --from
    std::optional<EncodingKind> inputKind;   // set by -s, -j, -e
    bool preferWinText = true;
    OutputEncoding to = OutputEncoding::SJIS;
    EolChoice eol = EolChoice::Keep;
    bool widen = false;
    std::optional<std::string> input;  // "-" or absent: standard input
    std::string output;                // empty or "-": standard output
};

bool ParseOutputEncoding(std::string_view value, OutputEncoding& to) {
    if (value == "sjis") {
        to = OutputEncoding::SJIS;
    } else if (value == "jis") {
        to = OutputEncoding::JIS;
    } else if (value == "euc") {
        to = OutputEncoding::EUC;
    } else if (value == "utf8") {
        to = OutputEncoding::UTF8;
    } else {
        return false;
    }
    return true;
}

bool ParseEol(std::string_view value, EolChoice& eol) {
    if (value == "win") {
        eol = EolChoice::WIN;
    } else if (value == "ux") {
        eol = EolChoice::UX;
    } else if (value == "mac") {
        eol = EolChoice::MAC;
    } else if (value == "keep") {
        eol = EolChoice::Keep;
    } else {
        return false;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
    // "'" + std::string(text) in optimised builds.
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

// A decimal integer, optionally signed. A value beyond the 32-bit range
// becomes the range's nearest end: it is clamped further anyway.
bool ParseLayoutValue(std::string_view value, std::int32_t& out) {
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (value.empty() || value.front() < '0' || value.front() > '9')
        return false;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), magnitude);
    if (end != value.data() + value.size())
        return false;
    if (error == std::errc::result_out_of_range) {
        magnitude = std::numeric_limits<std::uint64_t>::max();
    } else if (error != std::errc()) {
        return false;
    }
    constexpr std::uint64_t kLargest = std::numeric_limits<std::int32_t>::max();
    out = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(
                         std::min<std::uint64_t>(magnitude, kLargest + 1)))
                   : static_cast<std::int32_t>(std::min(magnitude, kLargest));
    return true;
}

// A text offset: decimal digits, at most the largest 32-bit offset.
bool ParseOffset(std::string_view value, std::uint32_t& out) {
    if (value.empty() || value.front() < '0' || value.front() > '9')
        return false;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), out);
    return error == std::errc() && end == value.data() + value.size();
}

// Checks the combinations of options once all were read: the layout and
// search options only make sense with --lines or --find, and those two
// replace the conversion and the guess.
bool CheckCombinations(const Options& options, std::string& error) {
    const bool showing = options.lines || options.find;
    if (options.lines && options.find) {
        error = "options '--lines' and '--find' cannot be combined";
    } else if (showing && options.guess) {
        error = std::string("option '--guess' cannot be combined with ") +
                (options.lines ? "'--lines'" : "'--find'");
    } else if (showing && !options.exportOptions.empty()) {
        error = "option " + Quoted(options.exportOptions.front()) +
                " only applies to a conversion, not to " +
                (options.lines ? "'--lines'" : "'--find'");
    } else if (!showing && !options.layoutOptions.empty()) {
        error = "option " + Quoted(options.layoutOptions.front()) + " needs '--lines' or '--find'";
    } else if (!options.find && !options.findOptions.empty()) {
        error = "option " + Quoted(options.findOptions.front()) + " needs '--find'";
    } else {
        return true;
    }
    return false;
}

// One long option: its name, whether it takes a value (--name=VALUE or
// --name VALUE), what it sets, and the group whose combinations
// CheckCombinations checks (none for most).
struct LongOption {
    std::string_view name;
    bool takesValue;
    bool (*apply)(Options& options, std::string_view value, std::string& error);
    std::vector<std::string> Options::*group;
};

constexpr bool Set(bool& flag) {
    flag = true;
    return true;
}

const LongOption kLongOptions[] = {
    {"--help", false, [](Options& o, std::string_view, std::string&) { return Set(o.help); },
     nullptr},
    {"--version", false, [](Options& o, std::string_view, std::string&) { return Set(o.version); },
     nullptr},
    {"--guess", false, [](Options& o, std::string_view, std::string&) { return Set(o.guess); },
     nullptr},
    {"--prefer-internet", false,
     [](Options& o, std::string_view, std::string&) {
         o.preferWinText = false;
         return true;
     },
     nullptr},
    {"--widen", false, [](Options& o, std::string_view, std::string&) { return Set(o.widen); },
     &Options::exportOptions},
    {"--lines", false, [](Options& o, std::string_view, std::string&) { return Set(o.lines); },
     nullptr},
    {"--up", false, [](Options& o, std::string_view, std::string&) { return Set(o.up); },
     &Options::findOptions},
    {"--case", false, [](Options& o, std::string_view, std::string&) { return Set(o.matchCase); },
     &Options::findOptions},
    {"--word", false, [](Options& o, std::string_view, std::string&) { return Set(o.wholeWord); },
     &Options::findOptions},
    {"--to", true,
     [](Options& o, std::string_view value, std::string& error) {
         if (ParseOutputEncoding(value, o.to))
             return true;
         error = "unknown output encoding " + Quoted(value) + " (use sjis, jis, euc or utf8)";
         return false;
     },
     &Options::exportOptions},
    {"--eol", true,
     [](Options& o, std::string_view value, std::string& error) {
         if (ParseEol(value, o.eol))
             return true;
         error = "unknown line-break kind " + Quoted(value) + " (use win, ux, mac or keep)";
         return false;
     },
     &Options::exportOptions},
    {"--wrap", true,
     [](Options& o, std::string_view value, std::string& error) {
         if (ParseLayoutValue(value, o.wrapColumn))
             return true;
         error = "option '--wrap' needs a number, not " + Quoted(value);
         return false;
     },
     &Options::layoutOptions},
    {"--tab", true,
     [](Options& o, std::string_view value, std::string& error) {
         if (ParseLayoutValue(value, o.tabWidth))
             return true;
         error = "option '--tab' needs a number, not " + Quoted(value);
         return false;
     },
     &Options::layoutOptions},
    {"--from", true,
     [](Options& o, std::string_view value, std::string& error) {
         std::uint32_t offset = 0;
         if (!ParseOffset(value, offset)) {
             error = "option '--from' needs an offset from 0 to 4294967295, not " + Quoted(value);
             return false;
         }
         o.from = offset;
         return true;
     },
     &Options::findOptions},
    {"--find", true,
     [](Options& o, std::string_view value, std::string& error) {
         if (value.empty()) {
             error = "option '--find' needs a text to find";
             return false;
         }
         o.find = std::string(value);
         return true;
     },
     nullptr},
};

const LongOption* FindLongOption(std::string_view name) {
    for (const LongOption& option : kLongOptions) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

// Reads argv into options. Returns false with error set on a usage error.
// Parsing stops at -h, --help or --version.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    bool optionsEnded = false;
    auto setInputKind = [&](EncodingKind kind, std::string_view arg) {
        if (options.inputKind && *options.inputKind != kind) {
            error = "option " + Quoted(arg) + " conflicts with an earlier -s, -j or -e";
            return false;
        }
        options.inputKind = kind;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            if (options.input) {
                error = "more than one input file (" + Quoted(*options.input) + " and " +
                        Quoted(arg) + ")";
                return false;
            }
            options.input = std::string(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            const std::string_view name = arg.substr(0, equals);
            const LongOption* option = FindLongOption(name);
            if (option == nullptr) {
                error = "unknown option " + Quoted(name);
                return false;
            }
            std::optional<std::string_view> value;
            if (equals != std::string_view::npos)
                value = arg.substr(equals + 1);
            if (!option->takesValue && value) {
                error = "option " + Quoted(name) + " takes no value";
                return false;
            }
            if (option->takesValue && !value) {
                if (i + 1 >= argc) {
                    error = "option " + Quoted(name) + " needs a value";
                    return false;
                }
                value = argv[++i];
            }
            if (!option->apply(options, value.value_or(std::string_view()), error))
                return false;
            if (option->group != nullptr)
                (options.*(option->group)).emplace_back(name);
            // --help and --version end the parsing.
            if (options.help || options.version)
                return true;
            continue;
        }

        if (arg == "-h") {
            options.help = true;
            return true;
        }
        if (arg == "-s" || arg == "-j" || arg == "-e") {
            const EncodingKind kind = arg == "-j"   ? EncodingKind::JIS
                                      : arg == "-e" ? EncodingKind::EUC
                                                    : EncodingKind::SJIS;
            if (!setInputKind(kind, arg))
                return false;
            continue;
        }
        if (arg.starts_with("-o")) {
            if (arg.size() > 2) {
                options.output = std::string(arg.substr(2));
            } else if (i + 1 < argc) {
                options.output = argv[++i];
            } else {
                error = "option '-o' needs a file name";
                return false;
            }
            if (options.output.empty()) {
                error = "option '-o' needs a file name";
                return false;
            }
            continue;
        }
        error = "unknown option " + Quoted(arg);
        return false;
    }
    return CheckCombinations(options, error);
}

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "kotoha-conv: %s\n", message.c_str());
    return status;
}

const char* EncodingName(EncodingKind kind) {
    switch (kind) {
        case EncodingKind::JIS:
            return "JIS";
        case EncodingKind::EUC:
            return "EUC";
        default:
            return "SJIS";
    }
}

const char* LineBreakName(LineBreakKind kind) {
    switch (kind) {
        case LineBreakKind::UX:
            return "UX";
        case LineBreakKind::MAC:
            return "MAC";
        case LineBreakKind::MIXED:
            return "MIXED";
        default:
            return "WIN";
    }
}

std::uint16_t DetectionBitOf(EncodingKind kind) {
    switch (kind) {
        case EncodingKind::JIS:
            return kDetectJis;
        case EncodingKind::EUC:
            return kDetectEuc;
        default:
            return kDetectSjis;
    }
}

// The line-break kind the export writes. Keeping a mixed input's breaks is
// impossible once they are all LF, so such a text is written with LF.
LineBreakKind OutputLineBreak(EolChoice eol, LineBreakKind input) {
    switch (eol) {
        case EolChoice::WIN:
            return LineBreakKind::WIN;
        case EolChoice::UX:
            return LineBreakKind::UX;
        case EolChoice::MAC:
            return LineBreakKind::MAC;
        case EolChoice::Keep:
            break;
    }
    return input == LineBreakKind::MIXED ? LineBreakKind::UX : input;
}

bool Export(const Options& options, LineBreakKind inputLineBreak, ByteSink& sink,
            const std::uint8_t* text, std::uint32_t length) {
    const LineBreakKind lineBreak = OutputLineBreak(options.eol, inputLineBreak);
    switch (options.to) {
        case OutputEncoding::UTF8:
            return ExportUtf8Text(lineBreak, sink, text, 0, length, options.widen);
        case OutputEncoding::JIS:
            return ExportText(EncodingKind::JIS, lineBreak, sink, text, 0, length, options.widen);
        case OutputEncoding::EUC:
            return ExportText(EncodingKind::EUC, lineBreak, sink, text, 0, length, options.widen);
        case OutputEncoding::SJIS:
            break;
    }
    return ExportText(EncodingKind::SJIS, lineBreak, sink, text, 0, length, options.widen);
}

// Collects output lines and hands them to a sink in large pieces, so that a
// text of many lines does not cost a system call per line.
class LineWriter {
  public:
    explicit LineWriter(ByteSink& sink) : sink_(sink) {}
    bool Add(const std::string& line) {
        pending_ += line;
        return pending_.size() < kFlushBytes || Flush();
    }
    bool Flush() {
        const bool ok =
            sink_.Write(reinterpret_cast<const std::uint8_t*>(pending_.data()), pending_.size());
        pending_.clear();
        return ok;
    }

  private:
    static constexpr std::size_t kFlushBytes = 64 * 1024;
    ByteSink& sink_;
    std::string pending_;
};

// Every display line as "<line> <begin> <end> <text>", the display text in
// UTF-8 with its line-break cell (a blank) included.
bool WriteLines(const LayoutText& layout, ByteSink& sink) {
    LineWriter writer(sink);
    char display[kLineBufferSize];
    for (std::int32_t line = 0; line < layout.LineCount(); ++line) {
        const std::uint32_t columns = GetLineText(layout, line, display);
        if (!writer.Add(std::to_string(line) + ' ' + std::to_string(layout.entries[line]) + ' ' +
                        std::to_string(layout.entries[line + 1]) + ' ' +
                        SjisToUtf8(reinterpret_cast<const std::uint8_t*>(display), columns) +
                        '\n')) {
            return false;
        }
    }
    return writer.Flush();
}

// Runs the search again and again from just past (down) or just before (up)
// each match and writes every match as "<offset> <line> <column>"; found
// tells whether there was any.
bool WriteMatches(const Options& options, const LayoutText& layout, std::string_view pattern,
                  ByteSink& sink, bool& found) {
    LineWriter writer(sink);
    const bool down = !options.up;
    std::uint32_t offset = options.from.value_or(down ? 0 : layout.length);
    found = false;
    while (FindText(layout, offset, pattern, down, options.matchCase, options.wholeWord)) {
        found = true;
        const DisplayPos pos = OffsetToPos(layout, offset);
        if (!writer.Add(std::to_string(offset) + ' ' + std::to_string(pos.line) + ' ' +
                        std::to_string(pos.column) + '\n')) {
            return false;
        }
        if (down) {
            // A match lies wholly inside the text, so offset + 1 cannot wrap.
            ++offset;
        } else if (offset == 0) {
            break;
        } else {
            --offset;
        }
    }
    return writer.Flush();
}

// The text to find in Shift-JIS. A character Shift-JIS cannot hold (or
// malformed UTF-8) would be searched as "?", a different text: refused.
bool FindPattern(const std::string& utf8, std::string& sjis, std::string& error) {
    sjis = Utf8ToSjis(utf8);
    if (std::count(sjis.begin(), sjis.end(), kUnrepresentableChar) !=
        std::count(utf8.begin(), utf8.end(), kUnrepresentableChar)) {
        error = "the text to find " + Quoted(utf8) + " cannot be written in Shift-JIS";
        return false;
    }
    return true;
}

int Run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        return Fail(error + "; see 'kotoha-conv --help'", kExitUsage);
    }
    FdSink stdoutSink(STDOUT_FILENO);
    if (options.help || options.version) {
        const std::string text = options.help
                                     ? std::string(kUsage)
                                     : std::string("kotoha-conv ") + KOTOHA_VERSION_STRING + "\n";
        if (!stdoutSink.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {
            return Fail(
                "cannot write standard output: " + std::string(std::strerror(stdoutSink.error())),
                kExitIoError);
        }
        return 0;
    }

    std::string pattern;
    if (options.find && !FindPattern(*options.find, pattern, error))
        return Fail(error + "; see 'kotoha-conv --help'", kExitUsage);

    TextStore bytes;
    if (!ReadWholeInput(options.input.value_or("-"), bytes, error)) {
        return Fail(error, kExitIoError);
    }
    static std::uint8_t emptyText = 0;
    std::uint8_t* text = bytes.data() == nullptr ? &emptyText : bytes.data();
    std::uint32_t length = bytes.capacity();

    EncodingKind kind = EncodingKind::SJIS;
    DetectionResult detection = MakeDetectionResult(0, 0);
    if (options.inputKind) {
        kind = *options.inputKind;
        detection = MakeDetectionResult(DetectionBitOf(kind), DetectionBitOf(kind));
    } else if (length > 0) {
        detection = DetectEncoding(text, length, options.preferWinText);
        kind = EncodingKindFromChoice(DetectionChoice(detection));
    }
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t kanaCount = 0;
    length = ImportText(kind, false, text, text, length, &lineBreak, &kanaCount);

    // The display-line index, with the settings clamped as the document
    // clamps its own.
    LineIndex index;
    LayoutText layout;
    if (options.lines || options.find) {
        layout.wrapColumn = std::clamp(options.wrapColumn, kMinWrapColumn, kMaxWrapColumn);
        layout.tabWidth = std::clamp(options.tabWidth, kMinTabWidth, kMaxTabWidth);
        if (!BuildLineIndex(text, length, layout.wrapColumn, layout.tabWidth, index))
            return Fail("out of memory laying out the text", kExitIoError);
        layout.text = text;
        layout.length = length;
        layout.entries = index.data();
        layout.entryCount = index.capacity();
    }

    bool found = true;
    const auto writeOutput = [&](ByteSink& sink) {
        if (options.lines)
            return WriteLines(layout, sink);
        if (options.find)
            return WriteMatches(options, layout, pattern, sink, found);
        if (options.guess) {
            const std::string line =
                std::string("encoding=") + EncodingName(kind) +
                " linebreak=" + LineBreakName(lineBreak) +
                " choice=" + std::to_string(DetectionChoice(detection)) +
                " candidates=" + std::to_string(DetectionCandidates(detection)) +
                " kana=" + std::to_string(kanaCount) + "\n";
            return sink.Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
        }
        return Export(options, lineBreak, sink, text, length);
    };
    if (!options.output.empty() && options.output != "-") {
        if (!WriteOutputFile(options.output, writeOutput, error))
            return Fail(error, kExitIoError);
    } else if (!writeOutput(stdoutSink)) {
        return Fail(
            "cannot write standard output: " + std::string(std::strerror(stdoutSink.error())),
            kExitIoError);
    }
    // Like grep, a search without a match is no error message, only a status.
    return found ? 0 : kExitNotFound;
}

}  // namespace
}  // namespace kotoha::conv

int main(int argc, char** argv) {
    // A closed pipe or an exceeded file-size limit must be a write error that
    // the command reports (removing a partial output file), not a signal
    // that ends it silently.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return kotoha::conv::Run(argc, argv);
    } catch (const std::bad_alloc&) {
        // Whatever ran out, the output file (if any) was not replaced.
        std::fputs("kotoha-conv: out of memory\n", stderr);
        return 1;
    }
}
