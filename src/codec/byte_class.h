// SPDX-License-Identifier: MIT
// Byte classes of Shift-JIS (code page 932), the encoding and line-break
// kinds, and the code arithmetic shared by every conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kotoha {

// File encodings. Stored and passed as a signed 32-bit value; any value other
// than those below is converted as SJIS.
enum class EncodingKind : std::int32_t {
    SJIS = 0,
    JIS = 1,
    EUC = 2,
    UTF8 = 3,
    UTF8BOM = 4,
    UTF16LE = 5,
    UTF16BE = 6,
};

// Every kind, in the order of their values.
inline constexpr EncodingKind kEveryEncodingKind[] = {
    EncodingKind::SJIS,    EncodingKind::JIS,     EncodingKind::EUC,     EncodingKind::UTF8,
    EncodingKind::UTF8BOM, EncodingKind::UTF16LE, EncodingKind::UTF16BE,
};

// The kind a stored value reads as: itself when it names a kind, else SJIS.
constexpr EncodingKind EncodingKindOf(std::int32_t value) {
    return value >= 0 && value <= 6 ? static_cast<EncodingKind>(value) : EncodingKind::SJIS;
}

// The encoding's name in messages and reports: "Shift-JIS", "JIS",
// "EUC-JP", "UTF-8", "UTF-8 with BOM", "UTF-16LE", "UTF-16BE".
const char* EncodingDisplayName(EncodingKind kind);

// UTF-8 (with or without its byte-order mark) and UTF-16.
constexpr bool IsUnicodeKind(EncodingKind kind) {
    return kind == EncodingKind::UTF8 || kind == EncodingKind::UTF8BOM ||
           kind == EncodingKind::UTF16LE || kind == EncodingKind::UTF16BE;
}

// Line-break conventions. MIXED is only ever a result of import.
enum class LineBreakKind : std::int32_t { WIN = 0, UX = 1, MAC = 2, MIXED = -1 };

// Byte-class flags; a byte may carry several.
enum ByteClassFlag : std::uint8_t {
    KanaLetter = 1,  // 0xA6-0xDF: half-width katakana letters and sound marks
    KanaPunct = 2,   // 0xA1-0xA5: half-width punctuation
    LeadByte = 4,    // 0x81-0x9F, 0xE0-0xFC
    TrailByte = 8,   // 0x40-0x7E, 0x80-0xFC
};

namespace detail {
constexpr std::uint8_t ClassOf(unsigned b) {
    std::uint8_t flags = 0;
    if (b >= 0xA6 && b <= 0xDF)
        flags |= KanaLetter;
    if (b >= 0xA1 && b <= 0xA5)
        flags |= KanaPunct;
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
        flags |= LeadByte;
    if ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC))
        flags |= TrailByte;
    return flags;
}
struct ByteClassTable {
    std::uint8_t flags[256];
    constexpr ByteClassTable() : flags{} {
        for (unsigned b = 0; b < 256; ++b)
            flags[b] = ClassOf(b);
    }
};
inline constexpr ByteClassTable kByteClasses{};
}  // namespace detail

// The flags of byte b; one table lookup, independent of the host's locale.
constexpr std::uint8_t ByteClass(std::uint8_t b) {
    return detail::kByteClasses.flags[b];
}

// True for 0xA1-0xDF.
constexpr bool IsHalfWidthKana(std::uint8_t b) {
    return (ByteClass(b) & (KanaLetter | KanaPunct)) != 0;
}
// True for 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(std::uint8_t b) {
    return (ByteClass(b) & LeadByte) != 0;
}
// True for 0x40-0x7E and 0x80-0xFC.
constexpr bool IsTrailByte(std::uint8_t b) {
    return (ByteClass(b) & TrailByte) != 0;
}

// Escape sequences (the two bytes after ESC) and shift bytes.
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kSingleShift2 = 0x8E;

// The bytes of an EUC-JP double-byte character, 0xA1-0xFE.
constexpr bool IsEucByte(std::uint8_t b) {
    return b >= 0xA1 && b <= 0xFE;
}

// What the escape sequence ESC a b designates: ESC ( B and ESC ( J ASCII,
// ESC ( I half-width katakana, ESC $ @ and ESC $ B kanji; None for any other.
// Detection and the JIS decoder recognise exactly these.
enum class JisDesignation { None, Ascii, Kana, Kanji };
constexpr JisDesignation DesignationOf(std::uint8_t a, std::uint8_t b) {
    if (a == '(' && (b == 'B' || b == 'J'))
        return JisDesignation::Ascii;
    if (a == '(' && b == 'I')
        return JisDesignation::Kana;
    if (a == '$' && (b == '@' || b == 'B'))
        return JisDesignation::Kanji;
    return JisDesignation::None;
}

// JIS X 0208 code (first byte high) to Shift-JIS code (lead byte high);
// 0 when either byte lies outside 0x21-0x7E. Inline: the conversion loops
// call it for every double-byte character.
constexpr std::uint16_t JisToSjis(std::uint16_t jis) {
    unsigned j1 = jis >> 8;
    unsigned j2 = jis & 0xFF;
    if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E)
        return 0;
    unsigned s2;
    if (j1 & 1) {
        s2 = j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20;
    } else {
        s2 = j2 + 0x7E;
    }
    unsigned s1 = ((j1 - 0x21) >> 1) + 0x81;
    if (s1 > 0x9F)
        s1 += 0x40;
    return static_cast<std::uint16_t>((s1 << 8) | s2);
}

// Shift-JIS code (lead byte high) to JIS X 0208 code; 0 when the pair has
// no JIS X 0208 code (not a lead/trail pair, or the user-defined area).
constexpr std::uint16_t SjisToJis(std::uint16_t sjis) {
    unsigned s1 = sjis >> 8;
    unsigned s2 = sjis & 0xFF;
    if (!IsLeadByte(static_cast<std::uint8_t>(s1)) || !IsTrailByte(static_cast<std::uint8_t>(s2)))
        return 0;
    unsigned a = s1 < 0xA0 ? s1 - 0x81 : s1 - 0xC1;
    unsigned j1, j2;
    if (s2 >= 0x9F) {
        j1 = 2 * a + 0x22;
        j2 = s2 - 0x7E;
    } else {
        j1 = 2 * a + 0x21;
        j2 = s2 - 0x1F - (s2 > 0x7E ? 1 : 0);
    }
    unsigned jis = (j1 << 8) | j2;
    if (jis < 0x2121 || jis > 0x7E7E || j2 < 0x21 || j2 > 0x7E)
        return 0;
    return static_cast<std::uint16_t>(jis);
}

// Full-width Shift-JIS code of the half-width katakana b (0xA1-0xDF); 0 for
// any other byte.
std::uint16_t KanaToFullWidth(std::uint8_t b);

// Widens the half-width katakana at cursor (cursor < end) and advances the
// cursor past it, and past one following sound mark when that mark was folded
// into the character. Never reads at or beyond end.
std::uint16_t WidenKanaAt(const std::uint8_t*& cursor, const std::uint8_t* end);

// How the string helpers step over characters: Shift-JIS (a lead byte and
// its following byte form one character) or UTF-8 (a whole sequence is one
// character; only ASCII letters fold).
enum class CharSet { ShiftJis, Utf8 };

// First occurrence of needle in text, both NUL-terminated, comparing whole
// characters with ASCII letters (and, in Shift-JIS, full-width Latin
// letters) folded to lower case. Never matches inside a character. Returns
// nullptr when there is none or the needle is empty.
const char* FindNoCase(const char* text, const char* needle, CharSet charSet = CharSet::ShiftJis);

// Copy of text with every non-overlapping occurrence of needle (found by
// FindNoCase) replaced by replacement. The inserted text is never searched.
std::string ReplaceAllNoCase(const char* text, const char* needle, const char* replacement,
                             CharSet charSet = CharSet::ShiftJis);

}  // namespace kotoha
