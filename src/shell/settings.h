// SPDX-License-Identifier: MIT
// The user's preferences: eighteen settings, each knowing its profile
// section, key and default. Loaded once at start, written back at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_options.h"
#include "shell/profile.h"

namespace kotoha {

// Longest value a string setting or a list's text form holds, in bytes.
inline constexpr std::size_t kMaxSettingText = 259;

// The first bytes of text, at most maxBytes of them, ending on a UTF-8
// character boundary (a malformed sequence may be cut anywhere).
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

// Positions of the LOGFONT fields in the LogFont list. Fields from kItalic on
// are bytes stored as 0..255; read them back with LowByte, since a stored
// value outside that range counts by its low byte only.
namespace LogFontIndex {
inline constexpr std::size_t kHeight = 0;
inline constexpr std::size_t kWidth = 1;  // negative: no font chosen yet
inline constexpr std::size_t kEscapement = 2;
inline constexpr std::size_t kOrientation = 3;
inline constexpr std::size_t kWeight = 4;
inline constexpr std::size_t kItalic = 5;
inline constexpr std::size_t kUnderline = 6;
inline constexpr std::size_t kStrikeOut = 7;
inline constexpr std::size_t kCharSet = 8;
inline constexpr std::size_t kOutPrecision = 9;
inline constexpr std::size_t kClipPrecision = 10;
inline constexpr std::size_t kQuality = 11;
inline constexpr std::size_t kPitchAndFamily = 12;
inline constexpr std::size_t kCount = 13;
}  // namespace LogFontIndex

// The low byte of a stored byte field: 384 reads as 128, -1 as 255.
constexpr std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

class ProfileSetting {
  public:
    ProfileSetting(std::string_view section, std::string_view key) : section(section), key(key) {}
    virtual ~ProfileSetting() = default;
    virtual void Load(Profile&) {}
    virtual void Save(Profile&) {}

    const std::string section;
    const std::string key;
};

class IntSetting : public ProfileSetting {
  public:
    IntSetting(std::string_view section, std::string_view key, std::int32_t defaultValue)
        : ProfileSetting(section, key), defaultValue(defaultValue), value(defaultValue) {}
    void Load(Profile& profile) override;
    void Save(Profile& profile) override;

    const std::int32_t defaultValue;
    std::int32_t value;
};

class StringSetting : public ProfileSetting {
  public:
    StringSetting(std::string_view section, std::string_view key, std::string_view defaultValue)
        : ProfileSetting(section, key), defaultValue(defaultValue), value(defaultValue) {}
    void Load(Profile& profile) override;
    void Save(Profile& profile) override;
    // Copies text into the value, cut to kMaxSettingText bytes at a
    // character boundary.
    void Set(std::string_view text);

    const std::string defaultValue;
    std::string value;
};

class IntListSetting : public ProfileSetting {
  public:
    IntListSetting(std::string_view section, std::string_view key,
                   std::initializer_list<std::int32_t> defaults)
        : ProfileSetting(section, key), defaults(defaults), values(defaults) {}
    void Load(Profile& profile) override;
    void Save(Profile& profile) override;

    // "v1,v2,...,vn" in decimal.
    static std::string Format(const std::vector<std::int32_t>& values);
    // Reads count values from text: each as a decimal integer (leading
    // blanks, optional sign, digits; none gives 0; beyond the 32-bit range
    // the nearest bound), then past the next ","; values after the last ","
    // are 0.
    static std::vector<std::int32_t> Parse(std::string_view text, std::size_t count);

    const std::vector<std::int32_t> defaults;
    std::vector<std::int32_t> values;
};

// Every setting, named after its profile key, in load and save order.
struct AppSettings {
    IntSetting SaveFrameStatus{"Window", "SaveFrameStatus", 1};
    IntListSetting FramePosition{"Window", "FramePosition", {-1, -1, -1, -1}};
    IntSetting FrameIsMax{"Window", "FrameIsMax", 0};
    IntSetting ShowToolBar{"Window", "ShowToolBar", 1};
    IntSetting ShowStatusBar{"Window", "ShowStatusBar", 1};
    IntSetting Tabstops{"View", "Tabstops", 8};
    IntSetting WrapColumns{"View", "WrapColumns", 80};
    IntSetting PaintBkgnd{"View", "PaintBkgnd", 1};
    IntListSetting LogFont{"View", "LogFont", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}};
    StringSetting FontName{"View", "FontName", ""};
    StringSetting FontStyle{"View", "FontStyle", "標準"};
    IntSetting InquireWhenStrayed{"AnalyzeEncoding", "InquireWhenStrayed", 0};
    IntSetting PreferWinText{"AnalyzeEncoding", "PreferWinText", 1};
    // Detection looks for UTF-8 and UTF-16 before the legacy encodings.
    IntSetting DetectUnicode{"AnalyzeEncoding", "DetectUnicode", 1};
    // A slim bar above the text for a guessed encoding or lost characters.
    IntSetting ShowInfoBar{"AnalyzeEncoding", "ShowInfoBar", 1};
    // The desktop's opener stands in for a fixed editor program.
    StringSetting Path{"ExternalEditor", "Path", "xdg-open"};
    IntSetting ViaClipboard{"ExternalEditor", "ViaClipboard", 0};
    StringSetting Arguments{"ExternalEditor", "Arguments", "$file"};
    IntSetting ResembleLess{"Etc", "ResembleLess", 0};
    IntSetting InquireWhenPaste{"Etc", "InquireWhenPaste", 1};
    // Save As and copy to file ask before writing substitutes.
    IntSetting AskBeforeLoss{"Etc", "AskBeforeLoss", 1};
    // The File menu's reopen command.
    IntSetting ReopenCommand{"Etc", "ReopenCommand", 1};
    // Save As starts from the document's own encoding and line breaks
    // (unless the last answer was given for this document); 0 always from
    // the last answer.
    IntSetting SaveAsOwnFormat{"Etc", "SaveAsOwnFormat", 1};

    // All twenty-three entries in table order.
    std::vector<ProfileSetting*> Entries();
    void LoadAll(Profile& profile);
    void SaveAll(Profile& profile);
    // Writes into profile only the entries whose values differ from what
    // SaveAll wrote into before (the settings as they were read): so that
    // an instance ending after another writes back only its own changes.
    void SaveChanged(Profile& profile, Profile& before);
};

// The values of settings the document reads and writes.
DocumentOptions DocumentOptionsOf(const AppSettings& settings);

}  // namespace kotoha
