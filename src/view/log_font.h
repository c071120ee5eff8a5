// SPDX-License-Identifier: MIT
// A font description in the thirteen numbers and face name the settings keep
// (the LOGFONT fields), and its conversion to and from a QFont.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QFont>
#include <QString>

namespace kotoha {

// Longest face name and style name the view keeps, in bytes (UTF-8).
inline constexpr std::size_t kMaxFaceNameBytes = 31;

// Pitch values of the low two bits of pitchAndFamily, and family bits.
inline constexpr std::uint8_t kDefaultPitch = 0;
inline constexpr std::uint8_t kFixedPitch = 1;
inline constexpr std::uint8_t kVariablePitch = 2;
inline constexpr std::uint8_t kFamilyRoman = 0x10;
inline constexpr std::uint8_t kFamilySwiss = 0x20;
inline constexpr std::uint8_t kFamilyModern = 0x30;
// Character sets from this value on are double-byte or OEM sets; 128 is
// Shift-JIS.
inline constexpr std::uint8_t kShiftJisCharSet = 128;

struct LogFont {
    std::int32_t height = 0;  // < 0: character (em) height in pixels; > 0: cell height
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;  // 0: normal; else 1..1000
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;  // UTF-8, at most kMaxFaceNameBytes

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// The thirteen numbers in settings order (height first, pitch and family last).
std::vector<std::int32_t> LogFontNumbers(const LogFont& font);
// A description from the thirteen numbers (byte fields by their low byte;
// missing numbers count as 0) and a face name, cut to kMaxFaceNameBytes.
LogFont LogFontFromNumbers(const std::vector<std::int32_t>& numbers, std::string_view faceName);

// A family is taken as fixed pitch when the font database says so or when its
// narrow and wide Latin letters advance alike (fonts with dual spacing, such
// as most Japanese gothic faces, report themselves as proportional).
bool IsFixedPitchFamily(const QString& family);
// Whether the family has glyphs for Japanese.
bool SupportsJapanese(const QString& family);

// The character heights in pixels the font dialog offers (its standard
// sizes, at the screen's resolution).
struct PixelRange {
    int smallest;
    int largest;
};
PixelRange FontDialogPixelHeights();

// The font to draw with for a description; a height beyond what the font
// dialog offers (a damaged profile) is taken as the nearest it offers.
QFont FontFromLogFont(const LogFont& description);
// The description of a font: height as the negative pixel height, weight,
// style flags, character set 128 for a family that supports Japanese (else
// 0), fixed or variable pitch with a family.
LogFont LogFontFromFont(const QFont& font);
// The system fixed font: the first fixed-pitch family that supports Japanese
// at the size of the system's fixed font, else the system's fixed font.
QFont SystemFixedFont();
LogFont SystemFixedLogFont();

}  // namespace kotoha
