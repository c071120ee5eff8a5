// SPDX-License-Identifier: MIT
// What the decoders of the import share: the state of one import call and
// its control-byte step. Internal to the codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/byte_class.h"
#include "codec/cp932.h"
#include "codec/extension_table.h"
#include "codec/word_scan.h"

namespace kotoha::decode {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kBlank = 0x20;

// The character sets of the JIS decoder, as ImportContext::jisMode holds them.
enum class JisMode : std::uint8_t { ASCII, KANA, KANJI };

// State of one import call. Reads always happen before the writes they
// allow, so destination may trail the source within the same buffer.
struct ImportContext {
    std::uint8_t* destination;
    const std::uint8_t* source;
    std::size_t length;
    std::size_t pos = 0;
    bool emitCrLf;
    std::uint32_t kanaCount = 0;
    std::uint32_t crLfPairs = 0;
    std::uint32_t loneCrs = 0;
    std::uint32_t loneLfs = 0;
    // Codes for characters CP932 cannot hold exactly; without a table they
    // become kNoCodeLeftCode, counted in replaced.
    ExtensionTable* table = nullptr;
    // ExactCp932Codes, fetched by the Unicode decoders only: the legacy ones
    // never need the CP932 table.
    const std::uint16_t* exactCodes = nullptr;
    std::uint32_t replaced = 0;
    // Bytes or units no character could be read from, each written as a
    // blank; and where the first loss of either kind was written.
    std::uint32_t undecodable = 0;
    std::uint8_t* firstLoss = nullptr;
    // Where the output began, and how a decoder finds the user-defined codes
    // in the input it has not read yet, so that no character is given a
    // code the text uses itself. Both are read once, at the first character
    // the table takes; reserving a code too many is harmless.
    std::uint8_t* outputStart = nullptr;
    void (*reserveUnread)(ImportContext& c) = nullptr;
    bool reserved = false;
    // Set when the text is imported piece by piece: the output of earlier
    // pieces is gone, so the first reservation looks at the whole input
    // instead (a superset of the codes the output so far and the unread
    // input use).
    const std::uint8_t* wholeSource = nullptr;
    std::size_t wholeLength = 0;
    // The JIS decoder's character set where the piece before left it.
    std::uint8_t jisMode = 0;
    // Called when table has no free code left: it consumes the output so
    // far, resets destination and gives the table's codes back.
    void (*tableFull)(void* owner) = nullptr;
    void* tableFullOwner = nullptr;

    void Put(std::uint8_t b) { *destination++ = b; }
    void PutCode(std::uint16_t code) {
        destination[0] = static_cast<std::uint8_t>(code >> 8);
        destination[1] = static_cast<std::uint8_t>(code);
        destination += 2;
    }
    bool HasNext() const { return pos + 1 < length; }

    // Writes the internal code of a Unicode character: its exact CP932 code
    // (a half-width katakana counted), else a code of the table.
    void PutChar(char32_t ch) {
        const std::uint16_t code = ch < 0x10000 ? exactCodes[ch] : 0;
        if (code == 0 && ch != 0) {
            PutExtension(ch);
        } else if (code >= 0x100) {
            PutCode(code);
        } else {
            kanaCount += IsHalfWidthKana(static_cast<std::uint8_t>(code));
            Put(static_cast<std::uint8_t>(code));
        }
    }

    // Writes the table's code for ch, or kNoCodeLeftCode when there is none.
    void PutExtension(char32_t ch) {
        std::uint16_t code = 0;
        if (table != nullptr) {
            if (!reserved)
                ReserveUsedCodes();
            code = table->CodeFor(ch);
            if (code == 0 && tableFull != nullptr) {
                tableFull(tableFullOwner);
                code = table->CodeFor(ch);
            }
        }
        if (code == 0) {
            code = kNoCodeLeftCode;
            ++replaced;
            NoteLoss();
        }
        PutCode(code);
    }

    // Writes the blank that stands for an undecodable byte or unit.
    void PutUndecodable() {
        ++undecodable;
        NoteLoss();
        Put(kBlank);
    }
    void NoteLoss() {
        if (firstLoss == nullptr)
            firstLoss = destination;
    }

    void ReserveUsedCodes() {
        reserved = true;
        if (wholeSource != nullptr) {
            if (reserveUnread != nullptr) {
                ImportContext whole = *this;
                whole.source = wholeSource;
                whole.length = wholeLength;
                whole.pos = 0;
                reserveUnread(whole);
            }
            return;
        }
        for (const std::uint8_t* p = outputStart; p < destination;) {
            if (IsLeadByte(*p) && p + 1 < destination) {
                table->Reserve(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
                p += 2;
            } else {
                ++p;
            }
        }
        if (reserveUnread != nullptr)
            reserveUnread(*this);
    }

    // Copies the run of bytes from pos up to end unchanged.
    void CopyRun(std::size_t end) {
        const std::uint8_t* from = source + pos;
        std::size_t count = end - pos;
        if (destination != from)
            std::memmove(destination, from, count);
        destination += count;
        pos = end;
    }

    // Copies the run of 7-bit bytes from pos up to the next CR, LF or 8-bit
    // byte; false when pos is at one.
    bool CopySevenBitRun() {
        const std::size_t runEnd = detail::SkipSevenBitExcept<kCr, kLf>(source, pos, length);
        if (runEnd == pos)
            return false;
        CopyRun(runEnd);
        return true;
    }

    void LineBreak() {
        if (emitCrLf)
            Put(kCr);
        Put(kLf);
    }

    // The control step shared by the decoders: takes NUL, CR, LF and the
    // other control bytes (ESC only when keepEsc is false). Returns whether
    // it consumed the byte at pos.
    bool ControlStep(std::uint8_t b, bool keepEsc) {
        if (b == kCr) {
            if (HasNext() && source[pos + 1] == kLf) {
                ++crLfPairs;
                pos += 2;
            } else {
                ++loneCrs;
                ++pos;
            }
            LineBreak();
            return true;
        }
        if (b == kLf) {
            ++loneLfs;
            ++pos;
            LineBreak();
            return true;
        }
        if (b == kEsc && keepEsc)
            return false;
        if (b < 0x20 || b == 0x7F) {
            Put(b);
            ++pos;
            return true;
        }
        return false;
    }
};

// One decoder per encoding; each converts from c.pos to the end.
void DecodeSjis(ImportContext& c);
void DecodeEuc(ImportContext& c);
void DecodeJis(ImportContext& c);
void DecodeUtf8(ImportContext& c);
// UTF-16 in the byte order bigEndian says.
void DecodeUtf16(ImportContext& c, bool bigEndian);

}  // namespace kotoha::decode
