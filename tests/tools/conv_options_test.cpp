// SPDX-License-Identifier: MIT
// The conversion command's option table against what is made from it: the
// parser accepts every spelling it lists, and --help and the manual page
// describe every option, within their widths.
#include "conv_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kotoha::conv {
namespace {

// A value each option accepts.
std::string ValueFor(const OptionSpec& option) {
    if (option.valueName == "ENC")
        return "utf16be";
    if (option.valueName == "win|ux|mac|keep")
        return "win";
    if (option.valueName == "FILE" || option.valueName == "TEXT")
        return "x";
    return "4";
}

// Arguments that make a lone option a valid command line.
std::vector<std::string> CompanionsOf(const OptionSpec& option, std::string_view name) {
    if (option.section == OptionSection::Conversion || name == "--lines" || name == "--find")
        return {};
    if (option.group == &Options::findOptions)
        return {"--find=a"};
    return {"--lines"};
}

bool Parse(std::vector<std::string> args, Options& options, std::string& error) {
    args.insert(args.begin(), "kotoha-conv");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(ConvOptions, EverySpellingInTheTableIsParsed) {
    for (const OptionSpec& option : OptionTable()) {
        for (std::string_view name : option.names) {
            SCOPED_TRACE(std::string(name));
            std::vector<std::string> args = CompanionsOf(option, name);
            if (option.valueName.empty()) {
                args.emplace_back(name);
            } else if (name.starts_with("--")) {
                args.push_back(std::string(name) + "=" + ValueFor(option));
            } else {
                args.emplace_back(name);
                args.push_back(ValueFor(option));
            }
            Options options;
            std::string error;
            EXPECT_TRUE(Parse(args, options, error)) << error;
            // Options that take a value refuse to go without one.
            if (!option.valueName.empty()) {
                Options bare;
                EXPECT_FALSE(Parse({std::string(name)}, bare, error));
            }
        }
    }
}

TEST(ConvOptions, HelpDescribesEveryOptionWithinSeventyNineColumns) {
    const std::string usage = UsageText();
    for (const OptionSpec& option : OptionTable()) {
        for (std::string_view name : option.names) {
            const std::string shown = option.valueName.empty()
                                          ? std::string(name)
                                          : std::string(name) +
                                                (name.starts_with("--") ? "=" : " ") +
                                                std::string(option.valueName);
            // The first spelling starts the entry; the others follow it.
            const std::string lead = name == option.names.front() ? "\n  " : ", ";
            EXPECT_NE(usage.find(lead + shown), std::string::npos) << shown;
        }
    }
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 79u) << line;
}

TEST(ConvOptions, ManPageHasOneTaggedParagraphPerOption) {
    const std::string page = ManPageOptions();
    std::size_t paragraphs = 0;
    for (std::size_t at = page.find(".TP\n"); at != std::string::npos;
         at = page.find(".TP\n", at + 1)) {
        ++paragraphs;
    }
    EXPECT_EQ(paragraphs, OptionTable().size());
    // Hyphens are escaped, and no text line starts with a control character.
    EXPECT_NE(page.find("\\-\\-prefer\\-internet"), std::string::npos);
    EXPECT_EQ(page.find("--"), std::string::npos);
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            EXPECT_TRUE(
                line.starts_with(".TP") || line.starts_with(".B") || line.starts_with(".SH") ||
                line.starts_with(".SS") || line.starts_with(".RS") || line.starts_with(".RE") ||
                line.starts_with(".EX") || line.starts_with(".EE") || line.starts_with(".IP"))
                << line;
        }
    }
}

}  // namespace
}  // namespace kotoha::conv
