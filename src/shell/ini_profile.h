// The profile on disk: an INI file of [Section] headers and Key=value lines,
// read and written by this class alone.
//
// File format, as written:
//   [Section]
//   Key=value
// Integers are decimal text. Strings are UTF-8, written as they are except
// for these escapes, so that every value reads back unchanged:
//   \\  backslash          \n  line feed        \r  carriage return
//   \t  tab                \s  a blank at the start or end of the value
//   \xHH  any other control byte (two hexadecimal digits)
// A backslash before any other character is taken literally.
// When reading, blanks around keys and values are ignored, section and key
// names match without regard to ASCII letter case, lines starting with ";"
// or "#" are comments, and lines that are neither headers, entries nor
// comments are dropped. Sections, entries and comments that this program
// does not know are kept in their order and written back byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/profile.h"

namespace kotoha {

class IniProfile : public Profile {
  public:
    // Files larger than this are not taken for a profile.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;

    // Forgets the current contents, remembers path for Save and reads the
    // file. Returns true when the file was read or does not exist (a first
    // start). Returns false, leaving the profile empty so that every read
    // gives its default, when the file cannot be read or is not a profile
    // (holds NUL bytes or is larger than kMaxFileBytes). After a read error
    // Save refuses to replace the file, so data that could not be read is
    // never lost; a file that is not a profile is replaced.
    bool Load(const std::string& path);

    // Writes the contents to the path given to Load: into a temporary file
    // in the same folder (created when missing), flushed to disk, then
    // renamed over the old file, so the file is always either the old or the
    // new one. A symbolic link is written through. Returns false when there
    // is no path, the folder cannot be created or written, or Load refused.
    bool Save();

    const std::string& path() const { return path_; }

    // Replaces the contents by those of text, in the file format above.
    void Parse(std::string_view text);
    // The text that Save writes.
    std::string Serialize() const;

    std::int32_t ReadInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) override;
    void WriteInt(std::string_view section, std::string_view key, std::int32_t value) override;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) override;
    // Ignored when the section or key cannot be written as a header or key
    // (empty, holding control characters, "=" in a key or "]" in a section,
    // blanks at either end, a key starting with "[", ";" or "#").
    void WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;

  private:
    struct Line {
        std::string text;  // the line as written, without its line break
        std::string key;   // empty for a comment
        std::string value;
    };
    struct Section {
        std::string name;
        bool hasHeader = true;  // false only for entries before the first header
        std::vector<Line> lines;
    };

    Line* Find(std::string_view section, std::string_view key);

    std::vector<Section> sections_;
    std::string path_;
    bool mayReplace_ = true;
};

// A value in the escaped form of the file, and back.
std::string EscapeIniValue(std::string_view value);
std::string UnescapeIniValue(std::string_view text);

// The profile's path: $XDG_CONFIG_HOME/anonymous/Kotoha.ini, or
// ~/.config/anonymous/Kotoha.ini when XDG_CONFIG_HOME is unset, empty or not
// absolute. "" when no home folder is known either.
std::string DefaultIniPath();
// The same from the given variables (nullptr for unset).
std::string DefaultIniPath(const char* xdgConfigHome, const char* home);

}  // namespace kotoha
