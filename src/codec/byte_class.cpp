// SPDX-License-Identifier: MIT
#include "codec/byte_class.h"

#include <cstring>

namespace kotoha {

const char* EncodingDisplayName(EncodingKind kind) {
    switch (kind) {
        case EncodingKind::JIS:
            return "JIS";
        case EncodingKind::EUC:
            return "EUC-JP";
        case EncodingKind::UTF8:
            return "UTF-8";
        case EncodingKind::UTF8BOM:
            return "UTF-8 with BOM";
        case EncodingKind::UTF16LE:
            return "UTF-16LE";
        case EncodingKind::UTF16BE:
            return "UTF-16BE";
        default:
            return "Shift-JIS";
    }
}

namespace {

// Full-width codes of the half-width katakana 0xA1-0xDF, in byte order.
constexpr std::uint16_t kFullWidthKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145,                          // A1-A5 punctuation
    0x8392,                                                          // A6 wo
    0x8340, 0x8342, 0x8344, 0x8346, 0x8348,                          // A7-AB small a..o
    0x8383, 0x8385, 0x8387,                                          // AC-AE small ya yu yo
    0x8362,                                                          // AF small tsu
    0x815B,                                                          // B0 prolonged sound mark
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                          // B1-B5 a..o
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358,  // B6-BD ka..so
    0x835A, 0x835C, 0x835E, 0x8360,                                  // BE-C1 ta chi
    0x8363, 0x8365, 0x8367,                                          // C2-C4 tsu te to
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                          // C5-C9 na..no
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                          // CA-CE ha..ho
    0x837D, 0x837E,                                                  // CF D0 ma mi
    0x8380, 0x8381, 0x8382,                                          // D1-D3 mu me mo
    0x8384, 0x8386, 0x8388,                                          // D4-D6 ya yu yo
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                          // D7-DB ra..ro
    0x838F,                                                          // DC wa
    0x8393,                                                          // DD n
    0x814A, 0x814B,                                                  // DE DF sound marks
};

constexpr std::uint8_t kVoicedMark = 0xDE;
constexpr std::uint8_t kSemiVoicedMark = 0xDF;

bool TakesVoicedMark(std::uint8_t b) {
    return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE);
}
bool TakesSemiVoicedMark(std::uint8_t b) {
    return b >= 0xCA && b <= 0xCE;
}

}  // namespace

std::uint16_t KanaToFullWidth(std::uint8_t b) {
    if (!IsHalfWidthKana(b))
        return 0;
    return kFullWidthKana[b - 0xA1];
}

std::uint16_t WidenKanaAt(const std::uint8_t*& cursor, const std::uint8_t* end) {
    std::uint8_t b = *cursor++;
    std::uint16_t code = KanaToFullWidth(b);
    if (cursor >= end)
        return code;
    // At most one sound mark is folded: a voiced mark folded in ends the
    // character, so a semi-voiced mark behind it stays a character of its own.
    if (*cursor == kVoicedMark) {
        if (b == 0xB3) {
            ++cursor;
            return 0x8394;
        }
        if (TakesVoicedMark(b)) {
            ++cursor;
            return static_cast<std::uint16_t>(code + 1);
        }
    } else if (*cursor == kSemiVoicedMark && TakesSemiVoicedMark(b)) {
        ++cursor;
        return static_cast<std::uint16_t>(code + 2);
    }
    return code;
}

namespace {

// Byte length of the character at p (p[0] != 0), never stepping over the
// terminating NUL.
std::size_t CharLength(const unsigned char* p, CharSet charSet) {
    if (charSet == CharSet::ShiftJis)
        return IsLeadByte(p[0]) && p[1] != 0 ? 2 : 1;
    std::size_t want = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
    std::size_t len = 1;
    while (len < want && p[len] >= 0x80 && p[len] < 0xC0)
        ++len;
    return len;
}

// A character as one comparable number, with letters folded to lower case.
std::uint32_t FoldedChar(const unsigned char* p, std::size_t len, CharSet charSet) {
    if (len == 1)
        return p[0] >= 'A' && p[0] <= 'Z' ? p[0] + 0x20u : p[0];
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < len; ++i)
        code = (code << 8) | p[i];
    if (charSet == CharSet::ShiftJis && code >= 0x8260 && code <= 0x8279)
        code += 0x21;
    return code;
}

// Whether the n characters of text at p equal those of needle, folding case.
bool MatchesAt(const unsigned char* p, const unsigned char* needle, std::size_t n,
               CharSet charSet) {
    for (std::size_t i = 0; i < n; ++i) {
        if (*p == 0)
            return false;
        std::size_t textLen = CharLength(p, charSet);
        std::size_t needleLen = CharLength(needle, charSet);
        if (textLen != needleLen ||
            FoldedChar(p, textLen, charSet) != FoldedChar(needle, needleLen, charSet))
            return false;
        p += textLen;
        needle += needleLen;
    }
    return true;
}

}  // namespace

const char* FindNoCase(const char* text, const char* needle, CharSet charSet) {
    auto* n = reinterpret_cast<const unsigned char*>(needle);
    std::size_t chars = 0;
    for (const unsigned char* p = n; *p != 0; p += CharLength(p, charSet))
        ++chars;
    if (chars == 0)
        return nullptr;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;
         p += CharLength(p, charSet)) {
        if (MatchesAt(p, n, chars, charSet))
            return reinterpret_cast<const char*>(p);
    }
    return nullptr;
}

std::string ReplaceAllNoCase(const char* text, const char* needle, const char* replacement,
                             CharSet charSet) {
    std::string result;
    std::size_t needleBytes = std::strlen(needle);
    const char* cursor = text;
    while (const char* hit = FindNoCase(cursor, needle, charSet)) {
        result.append(cursor, hit);
        result.append(replacement);
        cursor = hit + needleBytes;
    }
    result.append(cursor);
    return result;
}

}  // namespace kotoha
