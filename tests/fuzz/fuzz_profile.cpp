// SPDX-License-Identifier: MIT
// libFuzzer target for the profile reader and writer. The input is a
// profile file. Invariants:
//   - reading and writing back an untouched profile gives the input again,
//     byte for byte;
//   - after every setting is read and written back (some changed), reading
//     the written text gives the same settings, and every line that is not
//     one of the program's entries is still there, in the same order.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "shell/ini_profile.h"
#include "shell/recent_files.h"
#include "shell/settings.h"

namespace {

using namespace kotoha;

using fuzz::Check;

// The lines of text, without the byte order mark of the file.
std::vector<std::string_view> LinesOf(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// Whether every line of before appears in after in the same order (after
// may hold more lines in between), leaving out lines that hold one of the
// rewritten keys (lower case).
bool KeepsLinesInOrder(std::string_view before, std::string_view after,
                       const std::vector<std::string>& rewritten) {
    const std::vector<std::string_view> old = LinesOf(before);
    const std::vector<std::string_view> now = LinesOf(after);
    std::size_t at = 0;
    for (std::string_view line : old) {
        bool changed = false;
        std::string folded(line);
        for (char& c : folded)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        for (const std::string& key : rewritten) {
            std::string_view trimmed = folded;
            while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t'))
                trimmed.remove_prefix(1);
            if (trimmed.size() > key.size() && trimmed.substr(0, key.size()) == key &&
                (trimmed[key.size()] == '=' || trimmed[key.size()] == ' ' ||
                 trimmed[key.size()] == '\t')) {
                changed = true;
            }
        }
        if (changed)
            continue;
        while (at < now.size() && now[at] != line)
            ++at;
        if (at == now.size())
            return false;
        ++at;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    IniProfile profile;
    profile.Parse(input);
    Check(profile.Serialize() == input);

    AppSettings settings;
    settings.LoadAll(profile);
    RecentFileList recent;
    recent.Load(profile);
    // Changes a user could make, so that entries are rewritten and added.
    settings.WrapColumns.value = static_cast<std::int32_t>(size % 300);
    settings.Path.Set(size % 2 == 0 ? " quoted \"path\"\n" : "C:\\plain\\path");
    recent.Add("/home/u/new file.txt");
    settings.SaveAll(profile);
    recent.Save(profile);
    const std::string written = profile.Serialize();

    IniProfile again;
    again.Parse(written);
    Check(again.Serialize() == written);
    AppSettings reread;
    reread.LoadAll(again);
    Check(reread.WrapColumns.value == settings.WrapColumns.value);
    Check(reread.Path.value == settings.Path.value);
    Check(reread.FontName.value == settings.FontName.value);
    Check(reread.LogFont.values == settings.LogFont.values);
    RecentFileList recentAgain;
    recentAgain.Load(again);
    Check(recentAgain.Entries() == recent.Entries());

    // Every line that was not rewritten survives in order. Program entries
    // may be rewritten or removed (the recent list), so they are skipped.
    const std::vector<std::string> keys = {"wrapcolumns", "path",  "file1",
                                           "file2",       "file3", "file4"};
    Check(KeepsLinesInOrder(input, written, keys));
    return 0;
}
