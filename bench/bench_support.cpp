// SPDX-License-Identifier: MIT
#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "codec/byte_class.h"

namespace kotoha::bench {

void PutJis(Bytes& out, unsigned row, unsigned cell) {
    const std::uint16_t sjis = JisToSjis(static_cast<std::uint16_t>((row << 8) | cell));
    out.push_back(static_cast<std::uint8_t>(sjis >> 8));
    out.push_back(static_cast<std::uint8_t>(sjis));
}

Corpus GenerateCorpus(std::size_t targetBytes, const CorpusOptions& options) {
    static const std::uint16_t kPunctuation[] = {0x8141, 0x8142, 0x8175, 0x8176, 0x8145,
                                                 0x815B, 0x8149, 0x8148, 0x8142, 0x8141};
    static const char kAsciiPunctuation[] = ",.:;()!?-/";
    Random rng(options.seed);
    Corpus c;
    Bytes& out = c.bytes;
    out.reserve(targetBytes + 512);
    while (out.size() < targetBytes) {
        const unsigned lineChars = rng.Between(options.minLineChars, options.maxLineChars);
        // The tab is drawn only when asked for, so that text without tabs
        // keeps the random sequence it had before tabs were an option.
        if (options.tabPercent > 0 && rng.Percent(options.tabPercent)) {
            out.push_back('\t');
            ++c.chars;
        }
        unsigned chars = 0;
        while (chars < lineChars) {
            const unsigned room = lineChars - chars;
            const unsigned pick = rng.Between(0, 99);
            unsigned n = 0;
            if (pick < 36) {  // hiragana
                n = std::min(room, rng.Between(1, 6));
                for (unsigned i = 0; i < n; ++i)
                    PutJis(out, 0x24, rng.Between(0x21, 0x73));
            } else if (pick < 66) {  // level-1 kanji
                n = std::min(room, rng.Between(1, 3));
                for (unsigned i = 0; i < n; ++i)
                    PutJis(out, rng.Between(0x30, 0x4E), rng.Between(0x21, 0x7E));
            } else if (pick < 75) {  // full-width katakana
                n = std::min(room, rng.Between(2, 6));
                for (unsigned i = 0; i < n; ++i)
                    PutJis(out, 0x25, rng.Between(0x21, 0x76));
            } else if (pick < 78) {  // half-width katakana, sound marks as extra bytes
                n = std::min(room, rng.Between(2, 6));
                for (unsigned i = 0; i < n; ++i) {
                    const auto b = static_cast<std::uint8_t>(rng.Between(0xA6, 0xDD));
                    out.push_back(b);
                    ++c.halfWidthKana;
                    const bool voiceable = (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE);
                    if (voiceable && i + 1 < n && rng.Percent(30)) {
                        const bool semi = b >= 0xCA && rng.Percent(40);
                        out.push_back(semi ? 0xDF : 0xDE);
                        ++c.halfWidthKana;
                        ++i;
                    }
                }
            } else if (pick < 86) {  // ASCII word between blanks
                n = std::min(room, rng.Between(3, 11));
                out.push_back(' ');
                for (unsigned i = 1; i + 1 < n; ++i) {
                    const char base = i == 1 && rng.Percent(30) ? 'A' : 'a';
                    out.push_back(static_cast<std::uint8_t>(base + rng.Between(0, 25)));
                }
                if (n > 1)
                    out.push_back(' ');
            } else if (pick < 90) {  // number
                n = std::min(room, rng.Between(1, 6));
                for (unsigned i = 0; i < n; ++i)
                    out.push_back(static_cast<std::uint8_t>('0' + rng.Between(0, 9)));
            } else {  // punctuation
                n = 1;
                if (rng.Percent(75)) {
                    const std::uint16_t p = kPunctuation[rng.Between(0, 9)];
                    out.push_back(static_cast<std::uint8_t>(p >> 8));
                    out.push_back(static_cast<std::uint8_t>(p));
                } else {
                    out.push_back(static_cast<std::uint8_t>(
                        kAsciiPunctuation[rng.Between(0, sizeof kAsciiPunctuation - 2)]));
                }
            }
            chars += n;
        }
        if (options.crlf)
            out.push_back('\r');
        out.push_back('\n');
        c.chars += chars + 1;
        ++c.lines;
    }
    return c;
}

bool ParseRunOptions(int argc, char** argv, RunOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--mb=", 0) == 0) {
            options.megabytes = std::strtoul(arg.c_str() + 5, nullptr, 10);
        } else if (arg.rfind("--reps=", 0) == 0) {
            options.reps = std::atoi(arg.c_str() + 7);
        } else {
            std::fprintf(stderr, "usage: %s [--mb=N] [--reps=N]\n", argv[0]);
            return false;
        }
    }
    return true;
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string Fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace kotoha::bench
