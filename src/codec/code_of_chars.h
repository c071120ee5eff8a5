// SPDX-License-Identifier: MIT
// The reverse of a generated code table: (characters, code) sorted by the
// characters, searched by halves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

namespace kotoha {

struct CodeOfChars {
    char32_t first;
    // The second character of a code that stands for two, else 0.
    char32_t second;
    std::uint32_t code;
};

// The code of the characters, or 0 when the list has none.
inline std::uint32_t FindCodeOfChars(std::span<const CodeOfChars> list, char32_t first,
                                     char32_t second = 0) {
    const auto before = [](const CodeOfChars& entry, std::pair<char32_t, char32_t> key) {
        return entry.first != key.first ? entry.first < key.first : entry.second < key.second;
    };
    const auto it = std::lower_bound(list.begin(), list.end(), std::pair{first, second}, before);
    return it != list.end() && it->first == first && it->second == second ? it->code : 0;
}

}  // namespace kotoha
