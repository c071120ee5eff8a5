// SPDX-License-Identifier: MIT
// Support shared by the benchmark programs: the generated Japanese text they
// measure, best-of-N timing, and the small pieces of their reports.

#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kotoha::bench {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Keeps the compiler from dropping work whose result is otherwise unused.
inline void Escape(const void* p) {
    asm volatile("" : : "g"(p) : "memory");
}

// splitmix64: small, and the same sequence with every standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // An integer in [lo, hi].
    unsigned Between(unsigned lo, unsigned hi) {
        return lo + static_cast<unsigned>(Next() % (hi - lo + 1));
    }
    bool Percent(unsigned p) { return Next() % 100 < p; }

  private:
    std::uint64_t state_;
};

// Appends the Shift-JIS bytes of the JIS pair row, cell.
void PutJis(Bytes& out, unsigned row, unsigned cell);

// The shape of the generated text. The same options and seed always give
// the same bytes.
struct CorpusOptions {
    std::uint64_t seed = 0;
    unsigned minLineChars = 20;  // characters per line, drawn in this range
    unsigned maxLineChars = 100;
    unsigned tabPercent = 0;  // chance of a line starting with a tab; 0 draws none
    bool crlf = false;        // lines end in CR LF rather than LF
};

struct Corpus {
    Bytes bytes;  // Shift-JIS, with the line breaks the options ask for
    std::size_t lines = 0;
    std::size_t chars = 0;  // characters, each line break and tab counting one
    std::size_t halfWidthKana = 0;
};

// At least targetBytes of Japanese prose: hiragana and level-1 kanji runs,
// full-width katakana words, half-width katakana words with sound marks,
// ASCII words and numbers, full-width and ASCII punctuation.
Corpus GenerateCorpus(std::size_t targetBytes, const CorpusOptions& options);

// Shortest time of reps runs of work; prepare runs untimed before each.
template <class Prepare, class Work>
double BestSeconds(int reps, Prepare prepare, Work work) {
    double best = 1e300;
    for (int r = 0; r < reps; ++r) {
        prepare();
        const auto start = Clock::now();
        work();
        const auto stop = Clock::now();
        best = std::min(best, std::chrono::duration<double>(stop - start).count());
    }
    return best;
}

// The options both programs take, with their defaults.
struct RunOptions {
    std::size_t megabytes = 64;  // --mb: size of the generated text in 10^6 bytes
    int reps = 3;                // --reps: repetitions per measurement, the best counts
};

// Reads --mb=N and --reps=N from the command line into options. Prints the
// usage and returns false on any other argument; the caller checks ranges.
bool ParseRunOptions(int argc, char** argv, RunOptions& options);

// The model name of the first processor in /proc/cpuinfo.
std::string CpuName();

// v with the given number of decimals.
std::string Fixed(double v, int decimals);

}  // namespace kotoha::bench
