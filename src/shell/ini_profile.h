// SPDX-License-Identifier: MIT
// The profile on disk: an INI file of [Section] headers and Key=value lines,
// read and written by this class alone.
//
// File format, as written:
//   [Section]
//   Key=value
// Integers are decimal text. Strings are UTF-8, written verbatim, except a
// value that begins or ends with a blank, holds a line break or is itself
// wrapped in double quotes: that one is written in double quotes, with \",
// \\, \n and \r standing for a quote, a backslash, LF and CR inside them.
// When reading, blanks around keys and values are ignored, section and key
// names match without regard to ASCII letter case, and a line holding a NUL
// byte is skipped. Every line is kept as it was, with its own line ending:
// headers, entries, comments, blank lines and lines that are none of these
// (or that this program does not know) are written back byte for byte in
// their places; only entries written with a new value change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // gives its default, when the file cannot be read or is no text (larger
    // than kMaxFileBytes, or mostly control bytes); Save then refuses to
    // write, so a file that could not be read is never lost.
    bool Load(const std::string& path);

    // Writes the contents to the path given to Load with ReplaceFileContents
    // (creating the folder when missing; a new file is private), so the file
    // is always either the old or the new one. A symbolic link is written
    // through. Returns false when there is no path, the folder cannot be
    // created or written, or Load refused the file.
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
    enum class LineKind { Header, Entry, Other };
    struct Line {
        std::string text;    // as written, without its line ending
        std::string ending;  // its CRs and LF as written; empty for an unended last line
        LineKind kind = LineKind::Other;
        std::string name;   // a header's section, an entry's key
        std::string value;  // an entry's value, unquoted
    };

    // The entry of key in section, or none.
    Line* Find(std::string_view section, std::string_view key);
    // Where a new entry of section goes: after its last line that is not
    // blank. None when the section has no header.
    std::optional<std::size_t> InsertionPoint(std::string_view section) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
    std::string path_;
    bool mayReplace_ = true;
};

// A value in the form written to the file (verbatim or quoted), and back.
std::string EscapeIniValue(std::string_view value);
std::string UnescapeIniValue(std::string_view text);

// The profile's path: $XDG_CONFIG_HOME/kotoha/kotoha.ini, or
// ~/.config/kotoha/kotoha.ini when XDG_CONFIG_HOME is unset, empty or not
// absolute. "" when no absolute home folder is known either (a relative
// HOME would put the profile wherever the program was started).
std::string DefaultIniPath();
// The same from the given variables (nullptr for unset).
std::string DefaultIniPath(const char* xdgConfigHome, const char* home);
// Where earlier versions kept the profile: .../anonymous/Kotoha.ini.
std::string LegacyIniPath(const char* xdgConfigHome, const char* home);
// Moves a profile of an earlier version from legacy to current, once: only
// when current does not exist yet. True when it was moved.
bool AdoptLegacyProfile(const std::string& legacy, const std::string& current);
// The same for this user's folders.
void AdoptLegacyProfile();

}  // namespace kotoha
