// SPDX-License-Identifier: MIT
#include "iconv_tables.h"

#include <iconv.h>

#include <cstdio>

#include "codec/byte_class.h"

namespace kotoha::tables {

namespace {

// The characters iconv makes of one code, read from a fresh state; none
// when it refuses the code or leaves some of it.
std::vector<char32_t> Convert(iconv_t cd, const std::string& in) {
    char32_t out[4] = {};
    char* inPtr = const_cast<char*>(in.data());
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = in.size(), outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0)
        return {};
    // A converter that holds a character back for a combining mark gives
    // it up at the reset.
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    return std::vector<char32_t>(out, out + (sizeof out - outLeft) / sizeof(char32_t));
}

template <class Each>
std::vector<CodeMapping> Read(const char* encoding, Each each) {
    std::vector<CodeMapping> mappings;
    iconv_t cd = iconv_open("UTF-32LE", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return mappings;
    each([&](std::uint32_t code, const std::string& bytes) {
        const std::vector<char32_t> chars = Convert(cd, bytes);
        if (chars.size() == 1 || chars.size() == 2)
            mappings.push_back({code, chars[0], chars.size() == 2 ? chars[1] : 0});
    });
    iconv_close(cd);
    return mappings;
}

std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string out;
    for (unsigned b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

}  // namespace

std::vector<CodeMapping> Cp932DoubleBytesFromIconv() {
    return Read("CP932", [](auto take) {
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
                if (IsLeadByte(static_cast<std::uint8_t>(lead)) &&
                    IsTrailByte(static_cast<std::uint8_t>(trail)))
                    take((lead << 8) | trail, Bytes({lead, trail}));
    });
}

std::vector<CodeMapping> Jis0212FromIconv() {
    return Read("EUC-JP", [](auto take) {
        for (unsigned row = 0x21; row <= 0x7E; ++row)
            for (unsigned cell = 0x21; cell <= 0x7E; ++cell)
                take((row << 8) | cell, Bytes({0x8F, row | 0x80, cell | 0x80}));
    });
}

std::vector<CodeMapping> Jis0213FromIconv() {
    return Read("EUC-JISX0213", [](auto take) {
        for (unsigned plane = 1; plane <= 2; ++plane)
            for (unsigned row = 0x21; row <= 0x7E; ++row)
                for (unsigned cell = 0x21; cell <= 0x7E; ++cell)
                    take(plane << 16 | row << 8 | cell,
                         plane == 1 ? Bytes({row | 0x80, cell | 0x80})
                                    : Bytes({0x8F, row | 0x80, cell | 0x80}));
    });
}

std::string FormatTable(const std::vector<CodeMapping>& mappings, const std::string& comment) {
    std::string out = "# " + comment + "\n";
    char line[64];
    for (const CodeMapping& m : mappings) {
        if (m.second != 0)
            std::snprintf(line, sizeof line, "0x%05X 0x%04X+0x%04X\n", m.code,
                          static_cast<unsigned>(m.first), static_cast<unsigned>(m.second));
        else
            std::snprintf(line, sizeof line, "0x%05X 0x%04X\n", m.code,
                          static_cast<unsigned>(m.first));
        out += line;
    }
    return out;
}

}  // namespace kotoha::tables
