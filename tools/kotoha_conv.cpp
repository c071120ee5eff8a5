// SPDX-License-Identifier: MIT
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
#include <memory>
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
#include "codec/extension_table.h"
#include "codec/import.h"
#include "conv_io.h"
#include "conv_options.h"
#include "conv_pieces.h"
#include "document/find.h"
#include "layout/line_layout.h"

namespace kotoha::conv {
namespace {

constexpr int kExitIoError = 1;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnwritable = 3;

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
        case EncodingKind::UTF8:
            return "UTF8";
        case EncodingKind::UTF8BOM:
            return "UTF8BOM";
        case EncodingKind::UTF16LE:
            return "UTF16LE";
        case EncodingKind::UTF16BE:
            return "UTF16BE";
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

// The kind the conversion writes: --to's, or with --to=keep the input's.
EncodingKind OutputKind(const Options& options, EncodingKind inputKind) {
    return options.toKeep ? inputKind : options.to;
}

PieceConversion ConversionOf(const Options& options, EncodingKind inputKind) {
    return {inputKind, OutputKind(options, inputKind), options.widen, options.eol};
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
bool WriteLines(const LayoutText& layout, const ExtensionTable& table, ByteSink& sink) {
    LineWriter writer(sink);
    char display[kLineBufferSize];
    for (std::int32_t line = 0; line < layout.LineCount(); ++line) {
        const std::uint32_t columns = GetLineText(layout, line, display);
        if (!writer.Add(
                std::to_string(line) + ' ' + std::to_string(layout.entries[line]) + ' ' +
                std::to_string(layout.entries[line + 1]) + ' ' +
                SjisToUtf8(reinterpret_cast<const std::uint8_t*>(display), columns, &table) +
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

// The text to find in the internal form. A character neither Shift-JIS nor
// the text's extension table holds (or malformed UTF-8) would be searched as
// "?", a different text: refused.
bool FindPattern(const std::string& utf8, const ExtensionTable& table, std::string& sjis,
                 std::string& error) {
    sjis = Utf8ToSjis(utf8, &table);
    if (std::count(sjis.begin(), sjis.end(), kUnrepresentableChar) !=
        std::count(utf8.begin(), utf8.end(), kUnrepresentableChar)) {
        error = "the text to find " + Quoted(utf8) + " cannot be written in Shift-JIS";
        return false;
    }
    return true;
}

// What detection decided: the encoding to convert from, and the detection
// bits --guess reports.
struct Decision {
    EncodingKind kind = EncodingKind::SJIS;
    DetectionResult detection = MakeDetectionResult(0, 0);
};

// The encoding forced by -s, -j, -e, -u or --in, or the one detection
// chooses. An empty input is not examined.
Decision DecideEncoding(const Options& options, const std::uint8_t* text, std::uint32_t length) {
    Decision decision;
    if (options.inputKind) {
        decision.kind = *options.inputKind;
        const std::uint16_t bit = DetectionBitOf(decision.kind);
        decision.detection = MakeDetectionResult(bit, bit);
    } else if (length > 0) {
        decision.detection =
            DetectTextEncoding(text, length, options.preferWinText, options.detectUnicode);
        decision.kind = EncodingKindFromChoice(DetectionChoice(decision.detection));
    }
    return decision;
}

// The whole text in the viewer's internal form, with what the conversion
// counted and, for --lines and --find, its display lines.
struct Converted {
    std::uint8_t* text = nullptr;
    std::uint32_t length = 0;
    LineBreakKind lineBreak = LineBreakKind::WIN;
    std::uint32_t kanaCount = 0;
    LineIndex index;
    LayoutText layout;
    // Codes for the characters CP932 cannot hold.
    ExtensionTable table;
    // The text's block when the input is a mapped file.
    TextStore copy;
};

bool Convert(const Options& options, EncodingKind kind, Input& input, Converted& converted,
             std::string& error) {
    static std::uint8_t emptyText = 0;
    // A block read is converted in place; a mapped file into a block of its
    // size, which the internal form never exceeds.
    TextStore* block = input.block();
    if (block == nullptr) {
        if (!converted.copy.SetSize(input.size())) {
            error = "out of memory";
            return false;
        }
        block = &converted.copy;
    }
    converted.text = block->data() == nullptr ? &emptyText : block->data();
    converted.length =
        ImportText(kind, false, converted.text, input.data() != nullptr ? input.data() : &emptyText,
                   input.size(), &converted.lineBreak, &converted.kanaCount, &converted.table);
    if (!options.lines && !options.find)
        return true;
    // The settings are clamped as the document clamps its own.
    LayoutText& layout = converted.layout;
    layout.wrapColumn = std::clamp(options.wrapColumn, kMinWrapColumn, kMaxWrapColumn);
    layout.tabWidth = std::clamp(options.tabWidth, kMinTabWidth, kMaxTabWidth);
    if (!BuildLineIndex(converted.text, converted.length, layout.wrapColumn, layout.tabWidth,
                        converted.index)) {
        error = "out of memory laying out the text";
        return false;
    }
    layout.text = converted.text;
    layout.length = converted.length;
    layout.entries = converted.index.data();
    layout.entryCount = converted.index.capacity();
    return true;
}

std::string GuessLine(const Decision& decision, const Converted& converted) {
    return std::string("encoding=") + EncodingName(decision.kind) +
           " linebreak=" + LineBreakName(converted.lineBreak) +
           " choice=" + std::to_string(DetectionChoice(decision.detection)) +
           " candidates=" + std::to_string(DetectionCandidates(decision.detection)) +
           " kana=" + std::to_string(converted.kanaCount) + "\n";
}

bool WriteText(ByteSink& sink, const std::string& text) {
    return sink.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string StdoutError(const FdSink& sink) {
    return "cannot write standard output: " + std::string(std::strerror(sink.error()));
}

// Writes the lines or the matches of the one input to the -o file or
// standard output; found is false after a search without a match.
bool WriteDisplay(const Options& options, const Converted& converted, std::string_view pattern,
                  bool& found, std::string& error) {
    found = true;
    const auto write = [&](ByteSink& sink) {
        if (options.lines)
            return WriteLines(converted.layout, converted.table, sink);
        return WriteMatches(options, converted.layout, pattern, sink, found);
    };
    if (!options.output.empty() && options.output != "-")
        return WriteOutputFile(options.output, write, error);
    FdSink stdoutSink(STDOUT_FILENO);
    if (write(stdoutSink) && stdoutSink.Flush())
        return true;
    error = StdoutError(stdoutSink);
    return false;
}

// The warning (or with --strict the error) about what the input held that
// could not be read, or the output cannot hold: a line each.
std::vector<std::string> LossMessages(const Options& options, EncodingKind inKind,
                                      EncodingKind outKind, const Unwritable& unwritable,
                                      const std::string& fileName) {
    const std::string prefix = options.strict ? "" : "warning: ";
    const auto counted = [](const LossCount& loss, const char* one, const char* many) {
        return std::to_string(loss.count) + (loss.count == 1 ? one : many);
    };
    const auto line = [&](const LossCount& loss) {
        return " (first at line " + std::to_string(loss.firstLine) +
               (fileName.empty() ? "" : " of " + fileName) + ")";
    };
    std::vector<std::string> messages;
    if (unwritable.unreadable.count != 0)
        messages.push_back(prefix + counted(unwritable.unreadable, " byte", " bytes") +
                           " could not be read as " + EncodingDisplayName(inKind) +
                           " and became blanks" + line(unwritable.unreadable));
    if (unwritable.unwritable.count != 0)
        messages.push_back(
            prefix + counted(unwritable.unwritable, " character cannot", " characters cannot") +
            " be written in " + EncodingDisplayName(outKind) + line(unwritable.unwritable));
    return messages;
}

// One input of a conversion or a guess: read, its kind decided, what it
// lost once converted.
struct Job {
    std::string path;
    std::unique_ptr<Input> input;
    Decision decision;
    Unwritable lost;
};

// Reads the job's input (again, for a named file whose first reading was
// let go) and decides its encoding.
bool Prepare(const Options& options, Job& job, std::string& error) {
    if (job.input != nullptr)
        return true;
    job.input = std::make_unique<Input>();
    if (!ReadInput(job.path, options.output, *job.input, error))
        return false;
    job.decision = DecideEncoding(options, job.input->data(), job.input->size());
    return true;
}

// Converts (or guesses) the job into sink, or with no sink only counts what
// it loses; false with error when that fails or the file changed meanwhile.
bool ConvertJob(const Options& options, Job& job, ByteSink* sink, std::string& error) {
    if (!Prepare(options, job, error))
        return false;
    const Input& input = *job.input;
    if (options.guess) {
        Converted converted;
        if (!Convert(options, job.decision.kind, *job.input, converted, error))
            return false;
        if (input.changed()) {
            error = input.ChangedError();
            return false;
        }
        if (sink != nullptr && !WriteText(*sink, GuessLine(job.decision, converted))) {
            error.clear();
            return false;
        }
        return true;
    }
    job.lost = {};
    switch (ConvertPieces(ConversionOf(options, job.decision.kind), input.data(), input.size(),
                          sink, job.lost)) {
        case PiecesResult::Done:
            break;
        case PiecesResult::OutOfMemory:
            error = "out of memory";
            return false;
        case PiecesResult::SinkFailed:
            error.clear();
            return false;
    }
    if (input.changed()) {
        error = input.ChangedError();
        return false;
    }
    return true;
}

// Ends the process as a closed pipe would have without the command's own
// handling: quietly, the way other filters end.
[[noreturn]] void EndOnBrokenPipe() {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(1);
}

// Converts (or guesses) every input in turn into the -o file or standard
// output. With --strict a first pass counts what each would lose, and any
// loss means nothing is written.
int RunConversion(const Options& options) {
    std::vector<Job> jobs;
    for (const std::string& path : options.inputs)
        jobs.emplace_back().path = path;
    if (jobs.empty())
        jobs.emplace_back().path = "-";
    const bool several = jobs.size() > 1;
    const auto messagesOf = [&](const Job& job) {
        return LossMessages(options, job.decision.kind, OutputKind(options, job.decision.kind),
                            job.lost, several ? Quoted(job.path) : std::string());
    };
    std::string error;
    if (options.strict && !options.guess) {
        std::vector<std::string> messages;
        for (Job& job : jobs) {
            if (!ConvertJob(options, job, nullptr, error))
                return Fail(error, kExitIoError);
            for (const std::string& message : messagesOf(job))
                messages.push_back(message);
            // A named file is read again when it is written; standard
            // input cannot be.
            if (job.path != "-")
                job.input.reset();
        }
        if (!messages.empty()) {
            for (std::size_t i = 0; i + 1 < messages.size(); ++i)
                Fail(messages[i], kExitUnwritable);
            return Fail(messages.back() + "; nothing written", kExitUnwritable);
        }
    }
    std::string jobError;
    std::size_t done = 0;
    const auto write = [&](ByteSink& sink) {
        for (; done < jobs.size(); ++done) {
            if (!ConvertJob(options, jobs[done], &sink, jobError))
                return false;
            if (several)
                jobs[done].input.reset();
        }
        return true;
    };
    const auto reportLosses = [&] {
        for (std::size_t i = 0; i < done && !options.guess; ++i)
            for (const std::string& message : messagesOf(jobs[i]))
                Fail(message, 0);
    };
    if (!options.output.empty() && options.output != "-") {
        const bool written = WriteOutputFile(options.output, write, error);
        reportLosses();
        if (!written)
            return Fail(jobError.empty() ? error : jobError, kExitIoError);
        return 0;
    }
    FdSink stdoutSink(STDOUT_FILENO);
    const bool written = write(stdoutSink) && stdoutSink.Flush();
    reportLosses();
    if (written)
        return 0;
    if (!jobError.empty())
        return Fail(jobError, kExitIoError);
    if (stdoutSink.error() == EPIPE)
        EndOnBrokenPipe();
    return Fail(StdoutError(stdoutSink), kExitIoError);
}

// Parses the options, then reads, decides, converts and writes.
int Run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error))
        return Fail(error + "; see 'kotoha-conv --help'", kExitUsage);
    if (options.help || options.version) {
        FdSink stdoutSink(STDOUT_FILENO);
        const std::string text =
            options.help ? UsageText() : std::string("kotoha-conv ") + KOTOHA_VERSION_STRING + "\n";
        if (WriteText(stdoutSink, text) && stdoutSink.Flush())
            return 0;
        if (stdoutSink.error() == EPIPE)
            EndOnBrokenPipe();
        return Fail(StdoutError(stdoutSink), kExitIoError);
    }
    if (!options.lines && !options.find)
        return RunConversion(options);
    Input input;
    if (!ReadInput(options.inputs.empty() ? "-" : options.inputs.front(), options.output, input,
                   error))
        return Fail(error, kExitIoError);
    const Decision decision = DecideEncoding(options, input.data(), input.size());
    Converted converted;
    if (!Convert(options, decision.kind, input, converted, error))
        return Fail(error, kExitIoError);
    if (input.changed())
        return Fail(input.ChangedError(), kExitIoError);
    std::string pattern;
    if (options.find && !FindPattern(*options.find, converted.table, pattern, error))
        return Fail(error + "; see 'kotoha-conv --help'", kExitUsage);
    bool found = true;
    if (!WriteDisplay(options, converted, pattern, found, error))
        return Fail(error, kExitIoError);
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
