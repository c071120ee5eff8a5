// SPDX-License-Identifier: MIT
// The 7-bit JIS decoder: escape sequences switch between ASCII, half-width
// katakana and kanji.
#include "codec/import_context.h"

#include "codec/pair_tables.h"

namespace kotoha::decode {

namespace {

bool IsJisByte(std::uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

// Mode set by the designation after an ESC at pos, or false when the two
// bytes after it designate nothing JIS import knows.
bool ReadDesignation(const std::uint8_t* p, JisMode& mode) {
    switch (DesignationOf(p[0], p[1])) {
        case JisDesignation::Ascii:
            mode = JisMode::ASCII;
            return true;
        case JisDesignation::Kana:
            mode = JisMode::KANA;
            return true;
        case JisDesignation::Kanji:
            mode = JisMode::KANJI;
            return true;
        case JisDesignation::None:
            break;
    }
    return false;
}

}  // namespace

void DecodeJis(ImportContext& c) {
    const std::uint8_t* s = c.source;
    const std::size_t n = c.length;
    std::size_t i = c.pos;
    std::uint8_t* d = c.destination;
    auto mode = static_cast<JisMode>(c.jisMode);
    while (i < n) {
        // What JIS text mostly holds, in tight loops: kanji pairs in KANJI
        // mode, printable bytes in ASCII mode. Each pair is read before it
        // is written, so converting in place is safe.
        if (mode == JisMode::KANJI) {
            while (i + 1 < n && IsJisByte(s[i]) && IsJisByte(s[i + 1])) {
                detail::PutJisPairAsSjis(d, s[i], s[i + 1]);
                d += 2;
                i += 2;
            }
        } else if (mode == JisMode::ASCII) {
            while (i < n && s[i] >= 0x20 && s[i] < 0x7F)
                *d++ = s[i++];
        }
        if (i >= n)
            break;
        c.destination = d;
        c.pos = i;
        const std::uint8_t b = s[i];
        if (c.ControlStep(b, true)) {
            // Line breaks and control bytes; the mode stays.
        } else if (b == kEsc) {
            if (i + 2 < n && ReadDesignation(s + i + 1, mode)) {
                c.pos += 3;
            } else {
                c.PutUndecodable();
                ++c.pos;
            }
        } else if (mode == JisMode::KANA) {
            const std::uint8_t kana = static_cast<std::uint8_t>(b | 0x80);
            if (IsHalfWidthKana(kana)) {
                c.Put(kana);
                ++c.kanaCount;
            } else if (b == kBlank) {
                c.Put(b);
            } else {
                c.PutUndecodable();
            }
            ++c.pos;
        } else {
            // An 8-bit byte in ASCII mode, or in KANJI mode a byte that
            // starts no complete pair; a blank stays what it is.
            if (b == kBlank || (b < 0x80 && mode == JisMode::ASCII))
                c.Put(b);
            else
                c.PutUndecodable();
            ++c.pos;
        }
        d = c.destination;
        i = c.pos;
    }
    c.destination = d;
    c.pos = i;
    c.jisMode = static_cast<std::uint8_t>(mode);
}

}  // namespace kotoha::decode
