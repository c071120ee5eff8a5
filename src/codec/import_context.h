// What the decoders of the import share: the state of one import call and
// its control-byte step. Internal to the codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/byte_class.h"

namespace kotoha::decode {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kBlank = 0x20;

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

    void Put(std::uint8_t b) { *destination++ = b; }
    void PutCode(std::uint16_t code) {
        destination[0] = static_cast<std::uint8_t>(code >> 8);
        destination[1] = static_cast<std::uint8_t>(code);
        destination += 2;
    }
    bool HasNext() const { return pos + 1 < length; }

    // Copies the run of bytes from pos up to end unchanged.
    void CopyRun(std::size_t end) {
        const std::uint8_t* from = source + pos;
        std::size_t count = end - pos;
        if (destination != from)
            std::memmove(destination, from, count);
        destination += count;
        pos = end;
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

}  // namespace kotoha::decode
