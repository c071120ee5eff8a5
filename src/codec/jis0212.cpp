// SPDX-License-Identifier: MIT
#include "codec/jis0212.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <unordered_map>

namespace kotoha {

namespace {

constexpr unsigned kRows = 94;

struct Jis0212Tables {
    std::array<char32_t, kRows * kRows> toUnicode{};
    std::unordered_map<char32_t, std::uint16_t> fromUnicode;

    Jis0212Tables() {
        iconv_t cd = iconv_open("UTF-32LE", "EUC-JP");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return;  // no supplementary kanji: each becomes a blank
        for (unsigned row = 0; row < kRows; ++row) {
            for (unsigned cell = 0; cell < kRows; ++cell) {
                char in[3] = {static_cast<char>(0x8F), static_cast<char>(0xA1 + row),
                              static_cast<char>(0xA1 + cell)};
                char32_t out[2] = {0, 0};
                char* inPtr = in;
                char* outPtr = reinterpret_cast<char*>(out);
                std::size_t inLeft = sizeof in, outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
                    inLeft != 0 || outLeft != sizeof out - sizeof(char32_t)) {
                    continue;
                }
                const auto jis = static_cast<std::uint16_t>(((0x21 + row) << 8) | (0x21 + cell));
                toUnicode[row * kRows + cell] = out[0];
                fromUnicode.emplace(out[0], jis);
            }
        }
        iconv_close(cd);
    }
};

const Jis0212Tables& Tables() {
    static const auto tables = std::make_unique<Jis0212Tables>();
    return *tables;
}

}  // namespace

char32_t Jis0212ToUnicode(std::uint16_t jis) {
    const unsigned row = (jis >> 8) - 0x21u;
    const unsigned cell = (jis & 0xFFu) - 0x21u;
    if (row >= kRows || cell >= kRows)
        return 0;
    return Tables().toUnicode[row * kRows + cell];
}

std::uint16_t UnicodeToJis0212(char32_t ch) {
    const auto& map = Tables().fromUnicode;
    const auto it = map.find(ch);
    return it == map.end() ? 0 : it->second;
}

}  // namespace kotoha
