// SPDX-License-Identifier: MIT
// What the encoders of the export share: the staging buffer in front of the
// sink with its line-break translation, and reading and writing codes.
// Internal to the codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/byte_sink.h"
#include "codec/byte_class.h"
#include "codec/cp932.h"
#include "codec/export.h"
#include "codec/extension_table.h"

namespace kotoha::encode {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

// The staging buffer in front of the sink, and the line-break translation.
//
// Encoders write straight into the buffer through a position they keep, and
// call Ready before each step: one character, or a run of at most
// kMaxStepBytes bytes. Once a full chunk is staged, Ready hands it to the
// sink and keeps the rest. A step only happens while input is left, and every
// character writes at least one byte, so the sink sees exactly the chunks it
// would see if each chunk were written the moment it filled up and a byte
// followed it.
class ExportContext {
  public:
    // The most one step stages: a run from a whole block of 64 input bytes,
    // each of its line feeds translated into two bytes, and then a 64-byte
    // copy that may start at its end (only part of it counts); or one
    // character of up to 2 bytes after the run; or an escape sequence and a
    // two-byte code.
    static constexpr std::size_t kMaxStepBytes = 3 * 64;

    ExportContext(ByteSink& sink, LineBreakKind lineBreakKind,
                  const ExtensionTable* table = nullptr)
        : sink_(sink),
          table_(table != nullptr && !table->empty() ? table : nullptr),
          lineBreakKind_(lineBreakKind) {
        if (lineBreakKind == LineBreakKind::WIN) {
            lineBreak_[0] = kCr;
            lineBreak_[1] = kLf;
            lineBreakBytes_ = 2;
        } else if (lineBreakKind == LineBreakKind::MAC) {
            lineBreak_[0] = kCr;
        }
    }

    std::uint8_t* Start() { return buffer_; }

    // Cp932ToUnicodeTable, fetched by the Unicode encoders only: the legacy
    // ones never need the CP932 table.
    const char16_t* toUnicode = nullptr;

    // The extension table, or nullptr when the text has no codes in it.
    const ExtensionTable* table() const { return table_; }
    // The character the extension table gives the pair at p, or 0.
    char32_t ExtensionCharAt(const std::uint8_t* p) const {
        return table_ != nullptr && p[0] >= 0xF0 && p[0] <= 0xF9
                   ? table_->CharOf(static_cast<std::uint16_t>((p[0] << 8) | p[1]))
                   : 0;
    }
    // The CP932 code a legacy encoding writes for an extension character:
    // the nearest CP932 has (WAVE DASH gives the full-width tilde), else the
    // full-width space, counted as a substitution.
    std::uint16_t LegacyCodeOf(char32_t ch) {
        std::uint16_t code = 0;
        if (UnicodeToCp932(ch, code) && code >= 0x100 && UserCodeIndex(code) < 0)
            return code;
        ++substituted;
        return 0x8140;
    }
    LineBreakKind lineBreakKind() const { return lineBreakKind_; }

    // Characters written as a substitute because the encoding cannot hold
    // them.
    std::uint32_t substituted = 0;

    // The position to write the next step at, or nullptr once the sink has
    // failed (nothing is written to it after that).
    std::uint8_t* Ready(std::uint8_t* out) {
        return out < buffer_ + kExportChunkSize ? out : Spill(out);
    }

    // Whether an LF is written as anything else than LF.
    bool TranslatesLf() const { return lineBreakBytes_ != 1 || lineBreak_[0] != kLf; }

    // Writes the translation of one LF at out.
    std::uint8_t* LineBreak(std::uint8_t* out) const {
        out[0] = lineBreak_[0];
        out[1] = lineBreak_[1];  // overwritten later when not part of it
        return out + lineBreakBytes_;
    }
    // One byte of encoded text, translating LF.
    std::uint8_t* Output(std::uint8_t* out, std::uint8_t b) const {
        if (b == kLf)
            return LineBreak(out);
        *out = b;
        return out + 1;
    }

    // After the last step (out is nullptr when a step found the sink
    // failed): hands the staged bytes to the sink, as a full chunk and the
    // rest when there is more than a chunk. The last chunk may be empty.
    bool Finish(std::uint8_t* out) {
        if (out == nullptr)
            return false;
        if (out > buffer_ + kExportChunkSize) {
            out = Spill(out);
            if (out == nullptr)
                return false;
        }
        return sink_.Write(buffer_, static_cast<std::size_t>(out - buffer_));
    }

  private:
    std::uint8_t* Spill(std::uint8_t* out) {
        if (!sink_.Write(buffer_, kExportChunkSize))
            return nullptr;
        const auto rest = static_cast<std::size_t>(out - (buffer_ + kExportChunkSize));
        std::memcpy(buffer_, buffer_ + kExportChunkSize, rest);
        return buffer_ + rest;
    }

    ByteSink& sink_;
    const ExtensionTable* table_;
    LineBreakKind lineBreakKind_;
    std::uint8_t lineBreak_[2] = {kLf, 0};
    std::size_t lineBreakBytes_ = 1;
    // One spare byte for the second byte LineBreak always stores.
    std::uint8_t buffer_[kExportChunkSize + kMaxStepBytes + 1];
};

// True when the character at p is a lead byte with its second byte in range.
inline bool IsPairAt(const std::uint8_t* p, const std::uint8_t* end) {
    return IsLeadByte(*p) && p + 1 < end;
}

inline std::uint16_t CodeAt(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint8_t* PutCode(std::uint8_t* out, std::uint16_t code) {
    out[0] = static_cast<std::uint8_t>(code >> 8);
    out[1] = static_cast<std::uint8_t>(code);
    return out + 2;
}

// What the Unicode encoders write for a byte no character can be read from.
inline constexpr char32_t kReplacementChar = 0xFFFD;

// The character at p as the Unicode encoders write it, p moved past it: a
// half-width katakana (widened, with a following sound mark, when widen is
// set), a pair through the tables, a stray 8-bit byte as U+FFFD (counted
// as substituted).
inline char32_t NextUnicodeChar(ExportContext& c, const std::uint8_t*& p, const std::uint8_t* end,
                                bool widen) {
    const std::uint8_t b = *p;
    if (IsHalfWidthKana(b)) {
        if (widen)
            return Cp932ToUnicode(WidenKanaAt(p, end));
        ++p;
        return Cp932ToUnicode(b);
    }
    if (IsPairAt(p, end)) {
        const std::uint16_t code = CodeAt(p);
        if (const char32_t ch = c.ExtensionCharAt(p)) {
            p += 2;
            return ch;
        }
        p += 2;
        const char16_t ch = c.toUnicode[code];
        return ch != 0 ? ch : kUnmappedChar;
    }
    ++p;
    if (b < 0x80)
        return b;
    ++c.substituted;
    return kReplacementChar;
}

// One encoder per encoding; each stages [p, end) and returns the position
// after what it staged, or nullptr when the sink failed.
std::uint8_t* EncodeSjis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen);
std::uint8_t* EncodeEuc(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                        bool widen);
std::uint8_t* EncodeJis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                        bool widen);
// UTF-8 and UTF-16, bom: after their byte-order mark.
std::uint8_t* EncodeUtf8(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                         bool widen, bool bom);
std::uint8_t* EncodeUtf16(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end,
                          bool widen, bool bigEndian, bool bom);

}  // namespace kotoha::encode
