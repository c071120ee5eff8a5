// SPDX-License-Identifier: MIT
// An in-memory profile for tests: every entry is text, as in the INI file,
// and every write is recorded in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/profile.h"

namespace kotoha::test {

class FakeProfile : public Profile {
  public:
    using Key = std::pair<std::string, std::string>;

    std::int32_t ReadInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) override {
        auto it = entries.find(Key(section, key));
        if (it == entries.end())
            return defaultValue;
        try {
            std::size_t used = 0;
            long long value = std::stoll(it->second, &used);
            if (used != it->second.size() || value < INT32_MIN || value > INT32_MAX) {
                return defaultValue;
            }
            return static_cast<std::int32_t>(value);
        } catch (...) {
            return defaultValue;
        }
    }
    void WriteInt(std::string_view section, std::string_view key, std::int32_t value) override {
        WriteString(section, key, std::to_string(value));
    }
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) override {
        auto it = entries.find(Key(section, key));
        return it == entries.end() ? std::string(defaultValue) : it->second;
    }
    void WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override {
        entries[Key(section, key)] = std::string(value);
        writes.emplace_back(section, key);
    }
    void RemoveKey(std::string_view section, std::string_view key) override {
        entries.erase(Key(section, key));
    }

    std::string Get(const std::string& section, const std::string& key) const {
        auto it = entries.find(Key(section, key));
        return it == entries.end() ? "(missing)" : it->second;
    }

    std::map<Key, std::string> entries;
    std::vector<Key> writes;
};

}  // namespace kotoha::test
