// SPDX-License-Identifier: MIT
#include "codec/cp932.h"

#include "codec/byte_class.h"
#include "codec/extension_table.h"

namespace kotoha {

namespace {

// The three tables by code and by character, generated at build time from
// the table kept in the tree (resources/tables/cp932.txt):
// kCp932ToUnicodeData (0 = unmapped), kCp932FromUnicodeData (0 = not
// representable; U+0000 is byte 0) and kCp932ExactData (only codes that map
// back to the character itself), and kCp932Utf8Data, the UTF-8 form of
// each code.
#include "cp932_tables.inc"

}  // namespace

const std::uint8_t* Cp932Utf8Forms() {
    return kCp932Utf8Data;
}

char16_t Cp932ToUnicode(std::uint16_t code) {
    if (code == 0)
        return 0;
    const char16_t ch = kCp932ToUnicodeData[code];
    return ch != 0 ? ch : kUnmappedChar;
}

const char16_t* Cp932ToUnicodeTable() {
    return kCp932ToUnicodeData;
}

namespace {

// The code a table by character gives ch; NUL is itself, a character
// beyond U+FFFF has none.
bool CodeFromTable(const std::uint16_t* table, char32_t ch, std::uint16_t& code) {
    if (ch == 0) {
        code = 0;
        return true;
    }
    if (ch > 0xFFFF)
        return false;
    code = table[ch];
    return code != 0;
}

}  // namespace

bool UnicodeToCp932(char32_t ch, std::uint16_t& code) {
    return CodeFromTable(kCp932FromUnicodeData, ch, code);
}

bool ExactCp932Code(char32_t ch, std::uint16_t& code) {
    return CodeFromTable(kCp932ExactData, ch, code);
}

const std::uint16_t* ExactCp932Codes() {
    return kCp932ExactData;
}

char32_t InternalCharOf(std::uint16_t code, const ExtensionTable* table) {
    if (table != nullptr && code >= kFirstUserCode) {
        if (const char32_t ch = table->CharOf(code))
            return ch;
    }
    return Cp932ToUnicode(code);
}

namespace {

void AppendUtf16(std::u16string& out, char32_t ch) {
    if (ch < 0x10000) {
        out.push_back(static_cast<char16_t>(ch));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)));
    }
}

}  // namespace

std::u16string SjisToUtf16(const std::uint8_t* bytes, std::size_t length,
                           const ExtensionTable* table) {
    std::u16string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length;) {
        const std::size_t n = SjisCharLength(bytes + i, length - i);
        if (n == 2) {
            AppendUtf16(
                out,
                InternalCharOf(static_cast<std::uint16_t>((bytes[i] << 8) | bytes[i + 1]), table));
        } else {
            // A lead byte cut off at the end has no character to show.
            out.push_back(IsLeadByte(bytes[i]) ? kUnmappedChar : Cp932ToUnicode(bytes[i]));
        }
        i += n;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

std::string SjisToUtf8(const std::uint8_t* bytes, std::size_t length, const ExtensionTable* table) {
    std::string out;
    out.reserve(length + length / 2);
    const std::u16string wide = SjisToUtf16(bytes, length, table);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t ch = wide[i];
        // Only the table's characters give surrogates, always in pairs.
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < wide.size()) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, ch);
    }
    return out;
}

namespace {

void AppendCode(std::string& out, std::uint16_t code) {
    if (code >= 0x100) {
        out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    } else {
        out.push_back(static_cast<char>(code));
    }
}

// Exact code, then the table's, then the nearest; "?" without any.
void AppendSjis(std::string& out, char32_t ch, const ExtensionTable* table) {
    std::uint16_t code = 0;
    if (ExactCp932Code(ch, code) || (table != nullptr && (code = table->Find(ch)) != 0) ||
        UnicodeToCp932(ch, code)) {
        AppendCode(out, code);
    } else {
        out.push_back(kUnrepresentableChar);
    }
}

// Calls take(ch) for every character of UTF-16 text, 0xFFFFFFFF for a lone
// surrogate.
template <class Take>
void ForEachUtf16Char(std::u16string_view text, Take take) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t ch = text[i];
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (ch >= 0xD800 && ch <= 0xDFFF) {
            ch = 0xFFFFFFFF;
        }
        take(ch);
    }
}

}  // namespace

std::string Utf16ToSjis(std::u16string_view text, const ExtensionTable* table) {
    std::string out;
    out.reserve(text.size() * 2);
    ForEachUtf16Char(text, [&](char32_t ch) { AppendSjis(out, ch, table); });
    return out;
}

std::string Utf16ToInternal(std::u16string_view text, ExtensionTable& table,
                            std::uint32_t* replaced) {
    std::string out;
    out.reserve(text.size() * 2);
    // Codes the text gets from CP932 itself (private-use characters) are
    // never given to another character.
    ForEachUtf16Char(text, [&](char32_t ch) {
        std::uint16_t code = 0;
        if (ch != 0xFFFFFFFF && ExactCp932Code(ch, code))
            table.Reserve(code);
    });
    ForEachUtf16Char(text, [&](char32_t ch) {
        std::uint16_t code = 0;
        if (ch == 0xFFFFFFFF) {
            // A lone surrogate is no character: replaced, and counted.
            out.push_back(kUnrepresentableChar);
            if (replaced != nullptr)
                ++*replaced;
            return;
        }
        if (!ExactCp932Code(ch, code)) {
            code = table.CodeFor(ch);
            if (code == 0) {
                code = kNoCodeLeftCode;
                if (replaced != nullptr)
                    ++*replaced;
            }
        }
        AppendCode(out, code);
    });
    return out;
}

std::string Utf8ToSjis(std::string_view text, const ExtensionTable* table) {
    std::string out;
    out.reserve(text.size());
    auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        // Bytes 0xC0, 0xC1 and 0xF5-0xFF start no sequence (need 99).
        std::size_t need = b < 0x80                 ? 0
                           : b >= 0xF0 && b <= 0xF4 ? 3
                           : b >= 0xE0 && b <= 0xEF ? 2
                           : b >= 0xC2 && b < 0xE0  ? 1
                                                    : 99;
        char32_t ch = need == 0 ? b : need == 1 ? (b & 0x1F) : need == 2 ? (b & 0x0F) : (b & 0x07);
        std::size_t got = 0;
        ++p;
        while (need != 99 && got < need && p < end && (*p & 0xC0) == 0x80) {
            ch = (ch << 6) | (*p++ & 0x3F);
            ++got;
        }
        const char32_t minimum = need == 1 ? 0x80 : need == 2 ? 0x800 : 0x10000;
        const bool valid = need == 0 || (need != 99 && got == need && ch >= minimum &&
                                         ch <= 0x10FFFF && !(ch >= 0xD800 && ch <= 0xDFFF));
        if (valid) {
            AppendSjis(out, ch, table);
        } else {
            out.push_back(kUnrepresentableChar);
        }
    }
    return out;
}

}  // namespace kotoha
