// kotoha-conv: converts Japanese text files between Shift-JIS, JIS and
// EUC-JP (or to UTF-8), detecting the input's encoding the way the viewer
// does, or reports what the detection makes of a file.

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "codec/detect.h"
#include "codec/export.h"
#include "codec/import.h"
#include "conv_io.h"

namespace kotoha::conv {
namespace {

constexpr int kExitIoError = 1;
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

Exit status: 0 on success, 1 when reading or writing fails, 2 for a usage error.
)";

enum class OutputEncoding { SJIS, JIS, EUC, UTF8 };
enum class EolChoice { Keep, WIN, UX, MAC };

struct Options {
    bool help = false;
    bool guess = false;
    std::optional<EncodingKind> inputKind;  // set by -s, -j, -e
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
    return "'" + std::string(text) + "'";
}

// Reads argv into options. Returns false with error set on a usage error.
// Parsing stops at -h or --help.
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
            std::optional<std::string_view> value;
            if (equals != std::string_view::npos)
                value = arg.substr(equals + 1);

            if (name == "--help" || name == "--guess" || name == "--prefer-internet" ||
                name == "--widen") {
                if (value) {
                    error = "option " + Quoted(name) + " takes no value";
                    return false;
                }
                if (name == "--help") {
                    options.help = true;
                    return true;
                }
                if (name == "--guess")
                    options.guess = true;
                if (name == "--prefer-internet")
                    options.preferWinText = false;
                if (name == "--widen")
                    options.widen = true;
                continue;
            }
            if (name == "--to" || name == "--eol") {
                if (!value) {
                    if (i + 1 >= argc) {
                        error = "option " + Quoted(name) + " needs a value";
                        return false;
                    }
                    value = argv[++i];
                }
                if (name == "--to" && !ParseOutputEncoding(*value, options.to)) {
                    error = "unknown output encoding " + Quoted(*value) +
                            " (use sjis, jis, euc or utf8)";
                    return false;
                }
                if (name == "--eol" && !ParseEol(*value, options.eol)) {
                    error =
                        "unknown line-break kind " + Quoted(*value) + " (use win, ux, mac or keep)";
                    return false;
                }
                continue;
            }
            error = "unknown option " + Quoted(name);
            return false;
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
    return true;
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

int Run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        return Fail(error + "; see 'kotoha-conv --help'", kExitUsage);
    }
    FdSink stdoutSink(STDOUT_FILENO);
    if (options.help) {
        if (!stdoutSink.Write(reinterpret_cast<const std::uint8_t*>(kUsage.data()),
                              kUsage.size())) {
            return Fail(
                "cannot write standard output: " + std::string(std::strerror(stdoutSink.error())),
                kExitIoError);
        }
        return 0;
    }

    std::vector<std::uint8_t> bytes;
    if (!ReadWholeInput(options.input.value_or("-"), bytes, error)) {
        return Fail(error, kExitIoError);
    }
    static std::uint8_t emptyText = 0;
    std::uint8_t* text = bytes.empty() ? &emptyText : bytes.data();
    // ReadWholeInput guarantees the length fits.
    std::uint32_t length = static_cast<std::uint32_t>(bytes.size());

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

    std::optional<OutputFile> file;
    ByteSink* sink = &stdoutSink;
    if (!options.output.empty() && options.output != "-") {
        file.emplace(options.output);
        if (!file->Open(error))
            return Fail(error, kExitIoError);
        sink = &file->sink();
    }

    bool written;
    if (options.guess) {
        const std::string line = std::string("encoding=") + EncodingName(kind) +
                                 " linebreak=" + LineBreakName(lineBreak) +
                                 " choice=" + std::to_string(DetectionChoice(detection)) +
                                 " candidates=" + std::to_string(DetectionCandidates(detection)) +
                                 " kana=" + std::to_string(kanaCount) + "\n";
        written = sink->Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    } else {
        written = Export(options, lineBreak, *sink, text, length);
    }
    if (!written) {
        return Fail(file ? file->WriteError()
                         : "cannot write standard output: " +
                               std::string(std::strerror(stdoutSink.error())),
                    kExitIoError);
    }
    if (file && !file->Commit(error))
        return Fail(error, kExitIoError);
    return 0;
}

}  // namespace
}  // namespace kotoha::conv

int main(int argc, char** argv) {
    // A closed pipe or an exceeded file-size limit must be a write error that
    // the command reports (removing a partial output file), not a signal
    // that ends it silently.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    return kotoha::conv::Run(argc, argv);
}
