// SPDX-License-Identifier: MIT
// Where settings are stored: addressed by (section, key), integers and
// strings kept apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kotoha {

class Profile {
  public:
    virtual ~Profile() = default;
    // The stored integer, or defaultValue when the key is missing or its text
    // is not a decimal integer.
    virtual std::int32_t ReadInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) = 0;
    virtual void WriteInt(std::string_view section, std::string_view key, std::int32_t value) = 0;
    // The stored text (UTF-8), or defaultValue when the key is missing.
    virtual std::string ReadString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) = 0;
    virtual void WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Removes the key, so that reads give their default again. A store that
    // cannot remove keys leaves an empty string, which readers of optional
    // entries (the recent file list) treat as absent.
    virtual void RemoveKey(std::string_view section, std::string_view key) {
        WriteString(section, key, {});
    }
};

}  // namespace kotoha
