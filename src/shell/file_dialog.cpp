// SPDX-License-Identifier: MIT
#include "shell/file_dialog.h"

#include "base/string_ids.h"
#include "shell/strings.h"

namespace kotoha {

std::vector<FileFilter> ParseFilterList(std::string_view text) {
    std::vector<FileFilter> filters;
    while (!text.empty()) {
        std::size_t labelEnd = text.find('\n');
        if (labelEnd == std::string_view::npos)
            break;
        std::string_view label = text.substr(0, labelEnd);
        text.remove_prefix(labelEnd + 1);
        std::size_t patternEnd = text.find('\n');
        std::string_view pattern = text.substr(0, patternEnd);
        text.remove_prefix(patternEnd == std::string_view::npos ? text.size() : patternEnd + 1);
        filters.push_back({std::string(label), std::string(pattern)});
    }
    return filters;
}

std::vector<FileFilter> FileDialogFilters() {
    // The document type's filter comes from the template string: its filter
    // name and "*" followed by its extension.
    std::vector<FileFilter> filters;
    // Appended rather than concatenated: GCC 12 warns falsely (-Wrestrict)
    // about the inlined copy of a literal plus a temporary string.
    std::string pattern = "*";
    pattern += StringField(StringId::kDocTemplate, 4);
    filters.push_back({std::string(StringField(StringId::kDocTemplate, 3)), std::move(pattern)});
    for (FileFilter& extra : ParseFilterList(LoadString(StringId::kFileFilters))) {
        filters.push_back(std::move(extra));
    }
    filters.push_back({LoadString(StringId::kAllFilesFilter), "*.*"});
    return filters;
}

void FileDialogMemory::Update(const std::vector<FileFilter>& filters, std::int32_t selectedFilter,
                              std::string_view typedPattern) {
    if (typedPattern.empty()) {
        filterIndex = selectedFilter;
        return;
    }
    std::string pattern(typedPattern);
    for (char& c : pattern) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (filters[i].pattern.find(pattern) != std::string::npos) {
            filterIndex = static_cast<std::int32_t>(i + 1);
            return;
        }
    }
    if (pattern.size() > kMaxCustomPattern) {
        filterIndex = selectedFilter;
        return;
    }
    filterIndex = 0;
    std::string label = LoadString(StringId::kCustomFilterLabel);
    std::size_t slot = label.find("%s");
    if (slot != std::string::npos)
        label.replace(slot, 2, pattern);
    customLabel = std::move(label);
    customPattern = std::move(pattern);
}

}  // namespace kotoha
