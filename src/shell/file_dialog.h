// SPDX-License-Identifier: MIT
// The file dialogs' filter list and the per-dialog memory of the filter the
// user chose or typed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kotoha {

struct FileFilter {
    std::string label;    // "ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)"
    std::string pattern;  // "*.txt"; several patterns are separated by ";"
};

// The eight filters of the open and save dialogs, numbered 1 to 8 in this
// order: the document type's filter, the six extra filters of the string
// table, then all files.
std::vector<FileFilter> FileDialogFilters();

// The filters of a line-feed-separated list of labels and patterns (a
// string-table text); a label without a pattern is dropped.
std::vector<FileFilter> ParseFilterList(std::string_view text);

// What one kind of dialog (open or save) remembers for its next showing.
struct FileDialogMemory {
    // Longest typed pattern kept as the custom filter, in bytes.
    static constexpr std::size_t kMaxCustomPattern = 12;

    // The filter to preselect (1-based); 0 selects the custom filter.
    std::int32_t filterIndex = 0;
    // The custom filter; both empty while the user has typed none.
    std::string customLabel;
    std::string customPattern;

    bool HasCustomFilter() const { return !customPattern.empty(); }

    // Records a confirmed dialog. typedPattern is the filter the user typed
    // as a pattern during this dialog ("" when none); selectedFilter is the
    // filter that was selected (its number in filters, 0 for the custom
    // one). A typed pattern, its letters A-Z folded to lower case, selects
    // the first filter whose pattern contains it; when none does it becomes
    // the custom filter "ｶｽﾀﾑ (pattern)" and is preselected. A typed pattern
    // longer than kMaxCustomPattern bytes that matches no filter is not
    // remembered: the selected filter is kept as if none had been typed.
    void Update(const std::vector<FileFilter>& filters, std::int32_t selectedFilter,
                std::string_view typedPattern);
};

}  // namespace kotoha
