// SPDX-License-Identifier: MIT
// The options of the conversion command: one table that the parser, the
// --help text and the manual page's option list are all made from.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/byte_class.h"

namespace kotoha::conv {

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
    std::optional<EncodingKind> inputKind;   // set by -s, -j, -e, -u, --in
    bool preferWinText = true;
    bool detectUnicode = true;
    EncodingKind to = EncodingKind::SJIS;
    bool toKeep = false;  // --to=keep: the input's own kind
    EolChoice eol = EolChoice::Keep;
    bool widen = false;
    bool strict = false;              // characters the output cannot hold: fail, write nothing
    std::vector<std::string> inputs;  // "-" or none: standard input
    std::string output;               // empty or "-": standard output
};

// Where an option is described: among the conversion's options, or among
// those of the layout and search display that replaces the conversion.
enum class OptionSection { Conversion, Display };

// One option. names are its spellings ("-h", "--help"); a long option with a
// value is given as --name=VALUE or --name VALUE, a short one as -nVALUE or
// -n VALUE. help is plain text: its lines are joined into one paragraph and
// wrapped, except those that start with two blanks, which are shown as they
// stand (examples).
struct OptionSpec {
    std::vector<std::string_view> names;
    std::string_view valueName;  // empty: takes no value
    OptionSection section;
    std::string_view help;
    // Sets what the option means; name is the spelling used, value the value
    // (empty without one). Returns false with error set when the value is bad.
    bool (*apply)(Options& options, std::string_view name, std::string_view value,
                  std::string& error);
    // The list of given options whose combinations CheckCombinations checks.
    std::vector<std::string> Options::*group = nullptr;
};

std::span<const OptionSpec> OptionTable();

// text in single quotes, as error messages name options and values.
std::string Quoted(std::string_view text);

// Reads argv into options. Returns false with error set on a usage error.
// Parsing stops at -h, --help or --version.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

// The text of --help.
std::string UsageText();

// The options as manual-page (man(7)) source: one tagged paragraph per
// option, the display options under a subsection of their own.
std::string ManPageOptions();

}  // namespace kotoha::conv
