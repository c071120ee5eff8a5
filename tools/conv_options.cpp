// SPDX-License-Identifier: MIT
#include "conv_options.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace kotoha::conv {

namespace {

constexpr std::string_view kUsageHead =
    "Usage: kotoha-conv [OPTIONS] [FILE...]\n"
    "Converts Japanese text between Shift-JIS, JIS, EUC-JP, UTF-8 and UTF-16.\n"
    "FILE absent or \"-\": standard input. Several files are converted in turn, each\n"
    "detected by itself, the outputs one after the other, to standard output.\n";

constexpr std::string_view kDisplayIntro =
    "Instead of converting, --lines and --find show how the viewer lays out and searches the "
    "text. The input is read, detected and converted to the viewer's internal form as above; "
    "the output is UTF-8 and goes where -o says. They cannot be combined with each other, nor "
    "with --guess, --to, --eol or --widen.";

constexpr std::string_view kExitStatus =
    "Exit status: 0 on success, 1 when reading or writing fails (or --find finds nothing), 2 "
    "for a usage error, 3 when --strict finds characters the output cannot hold.";

// The encodings by the names people write for them (and --guess prints),
// compared without regard to case, '-' and '_'.
constexpr std::pair<std::string_view, EncodingKind> kEncodingNames[] = {
    {"sjis", EncodingKind::SJIS},       {"shiftjis", EncodingKind::SJIS},
    {"cp932", EncodingKind::SJIS},      {"windows31j", EncodingKind::SJIS},
    {"mskanji", EncodingKind::SJIS},    {"jis", EncodingKind::JIS},
    {"iso2022jp", EncodingKind::JIS},   {"euc", EncodingKind::EUC},
    {"eucjp", EncodingKind::EUC},       {"eucjpms", EncodingKind::EUC},
    {"utf8", EncodingKind::UTF8},       {"utf8bom", EncodingKind::UTF8BOM},
    {"utf16le", EncodingKind::UTF16LE}, {"utf16be", EncodingKind::UTF16BE},
};

bool ParseEncodingName(std::string_view value, EncodingKind& kind) {
    std::string folded;
    for (const char c : value) {
        if (c != '-' && c != '_')
            folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    for (const auto& [name, named] : kEncodingNames) {
        if (folded == name) {
            kind = named;
            return true;
        }
    }
    return false;
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
    } else if (showing && options.inputs.size() > 1) {
        error = std::string(options.lines ? "'--lines'" : "'--find'") + " takes one file";
    } else {
        return true;
    }
    return false;
}

// Forces the input's kind; a second, different one is an error.
bool SetInputKind(Options& o, EncodingKind kind, std::string_view name, std::string& error) {
    if (o.inputKind && *o.inputKind != kind) {
        error = "option " + Quoted(name) + " conflicts with an earlier -s, -j, -e, -u or --in";
        return false;
    }
    o.inputKind = kind;
    return true;
}

constexpr bool Set(bool& flag) {
    flag = true;
    return true;
}

using Section = OptionSection;

const std::vector<OptionSpec> kOptionTable = {
    {{"--guess"},
     "",
     Section::Conversion,
     "Print one line and exit:\n"
     "  encoding=<SJIS|JIS|EUC|UTF8|UTF8BOM|UTF16LE|UTF16BE>\n"
     "    linebreak=<WIN|UX|MAC|MIXED>\n"
     "    choice=<n> candidates=<n> kana=<n>\n"
     "choice and candidates are detection bits (SJIS 1, JIS 2, EUC 4, UTF8 8, UTF8BOM 16, "
     "UTF16LE 32, UTF16BE 64); they differ when the guess is uncertain. With -s, -j, -e, -u or "
     "--in nothing is detected and both are the bit of the forced kind. An empty input is not "
     "examined: it is SJIS with choice=0 candidates=0. linebreak and kana (the number of "
     "half-width katakana) are counted while converting in that encoding.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.guess); }},
    {{"-s", "-j", "-e", "-u"},
     "",
     Section::Conversion,
     "The input is Shift-JIS, JIS, EUC-JP or UTF-8: no detection (default: detect).",
     [](Options& o, std::string_view name, std::string_view, std::string& error) {
         const EncodingKind kind = name == "-j"   ? EncodingKind::JIS
                                   : name == "-e" ? EncodingKind::EUC
                                   : name == "-u" ? EncodingKind::UTF8
                                                  : EncodingKind::SJIS;
         return SetInputKind(o, kind, name, error);
     }},
    {{"--in"},
     "ENC",
     Section::Conversion,
     "The input is in encoding ENC: sjis, jis, euc, utf8, utf8bom, utf16le or utf16be; no "
     "detection. A byte-order mark the encoding has is not part of the text. The usual names "
     "are understood too, in any case: Shift_JIS, CP932, Windows-31J, MS_Kanji, EUC-JP, "
     "eucJP-ms, ISO-2022-JP, UTF-8, UTF-8-BOM, UTF-16LE, UTF-16BE.",
     [](Options& o, std::string_view name, std::string_view value, std::string& error) {
         EncodingKind kind;
         if (!ParseEncodingName(value, kind)) {
             error = "unknown input encoding " + Quoted(value) +
                     " (use sjis, jis, euc, utf8, utf8bom, utf16le or utf16be)";
             return false;
         }
         return SetInputKind(o, kind, name, error);
     }},
    {{"--prefer-internet"},
     "",
     Section::Conversion,
     "Detect without preferring Shift-JIS when the guess is uncertain; escape sequences and "
     "half-width katakana decide.",
     [](Options& o, std::string_view, std::string_view, std::string&) {
         o.preferWinText = false;
         return true;
     }},
    {{"--no-unicode"},
     "",
     Section::Conversion,
     "Detect only Shift-JIS, JIS and EUC-JP. By default a UTF-8 or UTF-16 byte-order mark, or "
     "a text that is valid UTF-8 throughout with a character beyond ASCII, is read as "
     "Unicode first.",
     [](Options& o, std::string_view, std::string_view, std::string&) {
         o.detectUnicode = false;
         return true;
     }},
    {{"--to"},
     "ENC",
     Section::Conversion,
     "The output encoding: an ENC as for --in, or keep for the input's own (default sjis). "
     "Characters the "
     "encoding cannot hold become the nearest Shift-JIS character or a full-width space; "
     "UTF-16 is written with its byte-order mark.",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (value == "keep") {
             o.toKeep = true;
             return true;
         }
         if (ParseEncodingName(value, o.to)) {
             o.toKeep = false;
             return true;
         }
         error = "unknown output encoding " + Quoted(value) +
                 " (use sjis, jis, euc, utf8, utf8bom, utf16le, utf16be or keep)";
         return false;
     },
     &Options::exportOptions},
    {{"--eol"},
     "win|ux|mac|keep",
     Section::Conversion,
     "The output line breaks: CR LF, LF, CR, or the input's own kind (default keep; an input "
     "with mixed line breaks gets LF).",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (ParseEol(value, o.eol))
             return true;
         error = "unknown line-break kind " + Quoted(value) + " (use win, ux, mac or keep)";
         return false;
     },
     &Options::exportOptions},
    {{"--widen"},
     "",
     Section::Conversion,
     "Widen half-width katakana to full-width characters.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.widen); },
     &Options::exportOptions},
    {{"--strict"},
     "",
     Section::Conversion,
     "When the output encoding cannot hold some characters (CP932's NEC and IBM extensions in "
     "EUC-JP and JIS, characters beyond CP932 in any legacy encoding), write nothing and exit "
     "with status 3 instead of writing full-width spaces for them with a warning.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.strict); },
     &Options::exportOptions},
    {{"-o"},
     "FILE",
     Section::Conversion,
     "Write FILE instead of standard output (\"-\": standard output). FILE is replaced only "
     "once the whole output is written; on failure an existing FILE stays as it was. It keeps "
     "its owner and mode; a write-protected FILE is refused, a pipe or device is written as it "
     "is, and a hard-linked file is written in place.",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (value.empty()) {
             error = "option '-o' needs a file name";
             return false;
         }
         o.output = std::string(value);
         return true;
     }},
    {{"-h", "--help"},
     "",
     Section::Conversion,
     "Print the usage and exit.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.help); }},
    {{"--version"},
     "",
     Section::Conversion,
     "Print the version and exit.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.version); }},

    {{"--lines"},
     "",
     Section::Display,
     "Print every display line as\n"
     "  <line> <begin> <end> <text>\n"
     "the line's index, the text offsets it spans (in the internal text: Shift-JIS, every line "
     "break one LF) and its display text, tabs expanded to blanks and a line break shown as a "
     "trailing blank.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.lines); }},
    {{"--find"},
     "TEXT",
     Section::Display,
     "Print every match of TEXT (UTF-8) as\n"
     "  <offset> <line> <column>\n"
     "its text offset and its display line and column, searching again after each match "
     "(down: from the match's offset + 1; up: from its offset - 1, ending after a match at 0); "
     "exit status 1 when there is none.",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (value.empty()) {
             error = "option '--find' needs a text to find";
             return false;
         }
         o.find = std::string(value);
         return true;
     }},
    {{"--up"},
     "",
     Section::Display,
     "Search towards the start of the text.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.up); },
     &Options::findOptions},
    {{"--case"},
     "",
     Section::Display,
     "Compare letters with their case.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.matchCase); },
     &Options::findOptions},
    {{"--word"},
     "",
     Section::Display,
     "Find whole words only.",
     [](Options& o, std::string_view, std::string_view, std::string&) { return Set(o.wholeWord); },
     &Options::findOptions},
    {{"--from"},
     "OFFSET",
     Section::Display,
     "The offset of the first search (0..4294967295; default 0 down, the end of the text up).",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         std::uint32_t offset = 0;
         if (!ParseOffset(value, offset)) {
             error = "option '--from' needs an offset from 0 to 4294967295, not " + Quoted(value);
             return false;
         }
         o.from = offset;
         return true;
     },
     &Options::findOptions},
    {{"--wrap"},
     "W",
     Section::Display,
     "Display lines of at most W columns (default 80; values outside 2..255 count as the "
     "nearest bound).",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (ParseLayoutValue(value, o.wrapColumn))
             return true;
         error = "option '--wrap' needs a number, not " + Quoted(value);
         return false;
     },
     &Options::layoutOptions},
    {{"--tab"},
     "T",
     Section::Display,
     "Tab stops every T columns (default 8; limited to 1..64).",
     [](Options& o, std::string_view, std::string_view value, std::string& error) {
         if (ParseLayoutValue(value, o.tabWidth))
             return true;
         error = "option '--tab' needs a number, not " + Quoted(value);
         return false;
     },
     &Options::layoutOptions},
};

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& option : kOptionTable) {
        if (std::find(option.names.begin(), option.names.end(), name) != option.names.end())
            return &option;
    }
    return nullptr;
}

// The pieces of an option's help: runs of prose (to be wrapped) and literal
// lines (shown as they stand, without their two leading blanks).
struct HelpPiece {
    bool literal;
    std::string text;
};

std::vector<HelpPiece> HelpPieces(std::string_view help) {
    std::vector<HelpPiece> pieces;
    while (!help.empty()) {
        const std::size_t end = std::min(help.find('\n'), help.size());
        const std::string_view line = help.substr(0, end);
        help.remove_prefix(std::min(end + 1, help.size()));
        const bool literal = line.starts_with("  ");
        const std::string_view text = literal ? line.substr(2) : line;
        if (!literal && !pieces.empty() && !pieces.back().literal) {
            pieces.back().text += ' ';
            pieces.back().text += text;
        } else {
            pieces.push_back({literal, std::string(text)});
        }
    }
    return pieces;
}

// The option's spellings as --help shows them: "-h, --help", "--to=VALUE",
// "-o FILE".
std::string HelpTag(const OptionSpec& option) {
    std::string tag;
    for (std::string_view name : option.names) {
        if (!tag.empty())
            tag += ", ";
        tag += name;
    }
    if (!option.valueName.empty()) {
        tag += option.names.back().starts_with("--") ? "=" : " ";
        tag += option.valueName;
    }
    return tag;
}

// Appends text wrapped to width columns, every line indented by indent
// blanks; the first line continues whatever out already holds on its last
// line, which is firstColumn columns long.
void AppendWrapped(std::string& out, std::string_view text, std::size_t indent,
                   std::size_t firstColumn, std::size_t width) {
    std::size_t column = firstColumn;
    bool lineEmpty = true;
    while (!text.empty()) {
        const std::size_t space = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, space);
        text.remove_prefix(std::min(space + 1, text.size()));
        if (word.empty())
            continue;
        if (!lineEmpty && column + 1 + word.size() > width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    out += '\n';
}

constexpr std::size_t kHelpWidth = 79;
constexpr std::size_t kHelpIndent = 21;

void AppendHelpOption(std::string& out, const OptionSpec& option) {
    const std::string tag = "  " + HelpTag(option);
    out += tag;
    std::size_t column = tag.size();
    if (column + 1 > kHelpIndent) {
        out += '\n';
        column = 0;
    }
    bool first = true;
    for (const HelpPiece& piece : HelpPieces(option.help)) {
        const std::size_t pad = first ? kHelpIndent - column : kHelpIndent;
        out.append(pad, ' ');
        if (piece.literal) {
            out += "  " + piece.text + '\n';
        } else {
            AppendWrapped(out, piece.text, kHelpIndent, kHelpIndent, kHelpWidth);
        }
        first = false;
    }
}

// Text for man(7): backslashes and hyphens escaped, a line that would start
// with a control character guarded.
std::string Roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

std::string RoffLine(std::string_view text) {
    const std::string line = Roff(text);
    return (line.starts_with('.') || line.starts_with('\'') ? "\\&" : "") + line + '\n';
}

// The tag line of a tagged paragraph: names bold, the value italic.
std::string ManTag(const OptionSpec& option) {
    if (option.valueName.empty() && option.names.size() == 1)
        return ".B " + Roff(option.names.front()) + '\n';
    if (option.valueName.empty()) {
        std::string tag = ".BR";
        for (std::size_t i = 0; i < option.names.size(); ++i) {
            if (i > 0)
                tag += " \", \"";
            tag += ' ' + Roff(option.names[i]);
        }
        return tag + '\n';
    }
    const std::string_view name = option.names.back();
    const std::string separator = name.starts_with("--") ? "=" : " ";
    return ".BI \"" + Roff(name) + separator + "\" " + Roff(option.valueName) + '\n';
}

void AppendManOption(std::string& out, const OptionSpec& option) {
    out += ".TP\n" + ManTag(option);
    bool afterLiteral = false;
    const std::vector<HelpPiece> pieces = HelpPieces(option.help);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const HelpPiece& piece = pieces[i];
        if (piece.literal) {
            if (i == 0 || !pieces[i - 1].literal)
                out += ".RS\n.EX\n";
            out += RoffLine(piece.text);
            if (i + 1 == pieces.size() || !pieces[i + 1].literal)
                out += ".EE\n.RE\n";
            afterLiteral = true;
        } else {
            if (afterLiteral)
                out += ".IP\n";
            out += RoffLine(piece.text);
            afterLiteral = false;
        }
    }
}

}  // namespace

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

std::span<const OptionSpec> OptionTable() {
    return kOptionTable;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            options.inputs.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // --name, --name=VALUE; -n, -nVALUE.
        const bool isLong = arg.starts_with("--");
        const std::size_t equals = isLong ? arg.find('=') : std::string_view::npos;
        const std::string_view name = isLong ? arg.substr(0, equals) : arg.substr(0, 2);
        const OptionSpec* option = FindOption(name);
        std::optional<std::string_view> value;
        if (isLong && equals != std::string_view::npos)
            value = arg.substr(equals + 1);
        if (!isLong && arg.size() > 2)
            value = arg.substr(2);
        if (option == nullptr || (!isLong && value && option->valueName.empty())) {
            error = "unknown option " + Quoted(isLong ? name : arg);
            return false;
        }
        if (option->valueName.empty() && value) {
            error = "option " + Quoted(name) + " takes no value";
            return false;
        }
        if (!option->valueName.empty() && !value) {
            if (i + 1 >= argc) {
                error = "option " + Quoted(name) + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!option->apply(options, name, value.value_or(std::string_view()), error))
            return false;
        if (option->group != nullptr)
            (options.*(option->group)).emplace_back(name);
        // -h, --help and --version end the parsing.
        if (options.help || options.version)
            return true;
    }
    return CheckCombinations(options, error);
}

std::string UsageText() {
    std::string text(kUsageHead);
    text += '\n';
    for (const OptionSpec& option : kOptionTable) {
        if (option.section == Section::Conversion)
            AppendHelpOption(text, option);
    }
    text += '\n';
    AppendWrapped(text, kDisplayIntro, 0, 0, kHelpWidth);
    for (const OptionSpec& option : kOptionTable) {
        if (option.section == Section::Display)
            AppendHelpOption(text, option);
    }
    text += '\n';
    AppendWrapped(text, kExitStatus, 0, 0, kHelpWidth);
    return text;
}

std::string ManPageOptions() {
    std::string page = ".SH OPTIONS\n";
    for (const OptionSpec& option : kOptionTable) {
        if (option.section == Section::Conversion)
            AppendManOption(page, option);
    }
    page += ".SS Layout and search\n" + RoffLine(kDisplayIntro);
    for (const OptionSpec& option : kOptionTable) {
        if (option.section == Section::Display)
            AppendManOption(page, option);
    }
    return page;
}

}  // namespace kotoha::conv
