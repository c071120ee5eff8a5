// SPDX-License-Identifier: MIT
#include "shell/strings.h"

#include <algorithm>

namespace kotoha {

namespace {

struct StringEntry {
    StringId::Id id;
    const char* text;
};

constexpr StringEntry kStringTable[] = {
#include "strings.inc"
};

constexpr bool IdsAscend() {
    for (std::size_t i = 1; i < std::size(kStringTable); ++i) {
        if (kStringTable[i - 1].id >= kStringTable[i].id)
            return false;
    }
    return true;
}
// The lookup is a binary search, so the table must stay sorted by id.
static_assert(IdsAscend(), "strings.inc must list each id once, in ascending order");

}  // namespace

const char* LoadString(StringId::Id id) {
    const auto* end = std::end(kStringTable);
    const auto* it =
        std::lower_bound(std::begin(kStringTable), end, id,
                         [](const StringEntry& e, StringId::Id v) { return e.id < v; });
    return (it != end && it->id == id) ? it->text : "";
}

std::string_view StringField(StringId::Id id, std::size_t index) {
    std::string_view text = LoadString(id);
    for (std::size_t i = 0; i < index; ++i) {
        std::size_t lineFeed = text.find('\n');
        if (lineFeed == std::string_view::npos)
            return {};
        text.remove_prefix(lineFeed + 1);
    }
    return text.substr(0, text.find('\n'));
}

std::string FormatMessage(StringId::Id id, std::string_view arg1, std::string_view arg2) {
    std::string_view text = LoadString(id);
    std::string result;
    result.reserve(text.size() + arg1.size() + arg2.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            result.append(text[i + 1] == '1' ? arg1 : arg2);
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

}  // namespace kotoha
