// SPDX-License-Identifier: MIT
// Codec throughput: detection, import and export of about 64 MB of generated
// Japanese text in each file encoding, measured in one run side by side with
// glibc iconv doing the nearest equivalent conversion and with memcpy of the
// same bytes as the physical limit. Every conversion is checked before its
// figure is printed, so a fast but wrong result never shows as a number.
//
// Usage: kotoha-bench-codec [--mb=N] [--reps=N]
//   --mb    size of the generated internal text in 10^6 bytes (default 64)
//   --reps  repetitions per measurement; the best one counts (default 3)

#include <gnu/libc-version.h>
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codec/byte_class.h"
#include "codec/detect.h"
#include "codec/export.h"
#include "codec/extension_table.h"
#include "codec/import.h"

#include "bench_support.h"

namespace {

using kotoha::EncodingKind;
using kotoha::LineBreakKind;
using kotoha::bench::BestSeconds;
using kotoha::bench::Bytes;
using kotoha::bench::Corpus;
using kotoha::bench::Escape;
using kotoha::bench::Fixed;

// Fixed seed, so every run measures the same text.
constexpr std::uint64_t kSeed = 0x4B6F746F6861ull;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "kotoha-bench-codec: %s\n", what.c_str());
    std::exit(1);
}

// Appends to a buffer allocated (and touched) up front, so export timings
// hold no allocation or page faults.
class BufferSink final : public kotoha::ByteSink {
  public:
    explicit BufferSink(Bytes& buffer) : buffer_(buffer) {}
    void Reset() { size_ = 0; }
    std::size_t size() const { return size_; }
    bool Write(const std::uint8_t* bytes, std::size_t count) override {
        if (count > buffer_.size() - size_)
            return false;
        std::memcpy(buffer_.data() + size_, bytes, count);
        size_ += count;
        return true;
    }

  private:
    Bytes& buffer_;
    std::size_t size_ = 0;
};

double MegabytesPerSecond(std::size_t bytes, double seconds) {
    return bytes / seconds / 1e6;
}

// One iconv conversion descriptor; Convert runs it over a whole buffer.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : to_(to), from_(from), cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            Fail(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    std::string Name() const { return from_ + " -> " + to_; }

    // Converts in into out (which must be large enough) and returns the
    // output length; stops the benchmark if iconv does not convert it all.
    std::size_t Convert(const Bytes& in, Bytes& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = reinterpret_cast<char*>(const_cast<std::uint8_t*>(in.data()));
        std::size_t inLeft = in.size();
        char* outPtr = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            Fail(Name() + " stopped at input offset " + std::to_string(in.size() - inLeft) + ": " +
                 std::strerror(errno));
        return out.size() - outLeft;
    }

  private:
    std::string to_, from_;
    iconv_t cd_;
};

Bytes Export(EncodingKind kind, LineBreakKind lineBreak, const Bytes& text, Bytes& scratch) {
    BufferSink sink(scratch);
    if (!kotoha::ExportText(kind, lineBreak, sink, text.data(), 0,
                            static_cast<std::uint32_t>(text.size()), false))
        Fail("export overflowed its buffer");
    return Bytes(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(sink.size()));
}

// Imports a copy of bytes and stops the benchmark unless it gives back the
// internal text with the expected line-break kind and kana count.
void CheckImport(EncodingKind kind, const Bytes& bytes, const Corpus& corpus,
                 LineBreakKind expectedBreak, const std::string& what) {
    Bytes work = bytes;
    LineBreakKind lineBreak;
    std::uint32_t kana = 0;
    const std::uint32_t n =
        kotoha::ImportText(kind, false, work.data(), work.data(),
                           static_cast<std::uint32_t>(work.size()), &lineBreak, &kana);
    if (n != corpus.bytes.size() || std::memcmp(work.data(), corpus.bytes.data(), n) != 0)
        Fail(what + ": importing it as " + EncodingDisplayName(kind) +
             " does not give the text back");
    if (lineBreak != expectedBreak || kana != corpus.halfWidthKana)
        Fail(what + ": wrong line-break kind or kana count");
}

struct Row {
    std::string operation;
    std::size_t inputBytes;
    double kotoha;          // MB/s
    std::string iconvName;  // empty when iconv has no counterpart
    double iconv = 0;       // MB/s
    double memcpyRate = 0;  // MB/s of memcpy over the same input
    double iconvAim = 0;    // wanted Kotoha/iconv, 0 for none
    double memcpyAim = 0;   // allowed memcpy/Kotoha
};

void PrintTable(const std::vector<Row>& rows) {
    std::printf(
        "| operation | input MB | Kotoha MB/s | iconv doing the same | iconv MB/s | Kotoha / iconv "
        "| memcpy MB/s | memcpy / Kotoha | aims met |\n");
    std::printf("|---|--:|--:|---|--:|--:|--:|--:|---|\n");
    for (const Row& r : rows) {
        const double vsIconv = r.iconv > 0 ? r.kotoha / r.iconv : 0;
        const double vsMemcpy = r.memcpyRate / r.kotoha;
        std::string aims;
        bool met = vsMemcpy <= r.memcpyAim;
        aims = "memcpy/" + Fixed(r.memcpyAim, 0) + (met ? " yes" : " NO");
        if (r.iconvAim > 0) {
            const bool iconvMet = vsIconv >= r.iconvAim;
            aims = Fixed(r.iconvAim, 0) + "x iconv" + (iconvMet ? " yes" : " NO") + ", " + aims;
        }
        std::printf("| %s | %.1f | %.0f | %s | %s | %s | %.0f | %.1f | %s |\n", r.operation.c_str(),
                    r.inputBytes / 1e6, r.kotoha, r.iconvName.empty() ? "-" : r.iconvName.c_str(),
                    r.iconv > 0 ? Fixed(r.iconv, 0).c_str() : "-",
                    r.iconv > 0 ? (Fixed(vsIconv, 1) + "x").c_str() : "-", r.memcpyRate, vsMemcpy,
                    aims.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    kotoha::bench::RunOptions options;
    if (!kotoha::bench::ParseRunOptions(argc, argv, options))
        return 2;
    const int reps = options.reps;
    if (options.megabytes < 1 || options.megabytes > 1000 || reps < 1)
        Fail("--mb must be 1-1000, --reps >= 1");

    // Internal form: Shift-JIS lines of 20-100 characters with LF breaks.
    const Corpus corpus = kotoha::bench::GenerateCorpus(
        options.megabytes * 1000 * 1000, {.seed = kSeed, .minLineChars = 20, .maxLineChars = 100});
    const Bytes& text = corpus.bytes;

    // Output room: JIS grows the text most (escapes, CR LF); three times the
    // input covers every conversion here. Touched once so no run faults pages.
    Bytes output(text.size() * 3 + 4096, 0);
    Bytes work(text.size() * 3 + 4096, 0);

    const EncodingKind kinds[] = {EncodingKind::SJIS, EncodingKind::EUC, EncodingKind::JIS};
    const char* const iconvNames[] = {"CP932", "EUC-JP", "ISO-2022-JP-3"};
    Bytes files[3];
    for (int k = 0; k < 3; ++k) {
        files[k] = Export(kinds[k], LineBreakKind::WIN, text, output);
        CheckImport(kinds[k], files[k], corpus, LineBreakKind::WIN,
                    std::string("the ") + EncodingDisplayName(kinds[k]) + " file");
    }

    std::printf(
        "Data: %.1f MB of generated Japanese text (seed %#llx), %zu lines of 20-100 "
        "characters, %zu characters, %zu half-width katakana bytes; as files with CR LF: "
        "Shift-JIS %.1f MB, EUC-JP %.1f MB, JIS %.1f MB.\n",
        text.size() / 1e6, static_cast<unsigned long long>(kSeed), corpus.lines, corpus.chars,
        corpus.halfWidthKana, files[0].size() / 1e6, files[1].size() / 1e6, files[2].size() / 1e6);
    std::printf("Machine: %s, %ld cores; compiler %s; glibc %s. Best of %d runs.\n\n",
                kotoha::bench::CpuName().c_str(), sysconf(_SC_NPROCESSORS_ONLN), __VERSION__,
                gnu_get_libc_version(), reps);
    std::fflush(stdout);

    auto memcpyRate = [&](const Bytes& in) {
        const double s = BestSeconds(
            reps, [] {},
            [&] {
                std::memcpy(work.data(), in.data(), in.size());
                Escape(work.data());
            });
        return MegabytesPerSecond(in.size(), s);
    };
    const double memcpyText = memcpyRate(text);
    double memcpyFile[3];
    for (int k = 0; k < 3; ++k)
        memcpyFile[k] = memcpyRate(files[k]);

    std::vector<Row> rows;

    // Detection, with the default preference for Shift-JIS on ties.
    const std::uint16_t expectedChoice[] = {kotoha::kDetectSjis, kotoha::kDetectEuc,
                                            kotoha::kDetectJis};
    for (int k = 0; k < 3; ++k) {
        kotoha::DetectionResult result = 0;
        const double s = BestSeconds(
            reps, [] {},
            [&] {
                result = kotoha::DetectEncoding(files[k].data(),
                                                static_cast<std::uint32_t>(files[k].size()), true);
            });
        if (kotoha::DetectionChoice(result) != expectedChoice[k])
            Fail(std::string("detection misread the ") + EncodingDisplayName(kinds[k]) + " file");
        rows.push_back({std::string("DetectEncoding, ") + EncodingDisplayName(kinds[k]),
                        files[k].size(), MegabytesPerSecond(files[k].size(), s), "", 0,
                        memcpyFile[k], 0, 5});
    }

    // Import in place on a fresh copy; iconv converts the same file to CP932.
    for (int k = 0; k < 3; ++k) {
        const Bytes& file = files[k];
        std::uint32_t written = 0;
        LineBreakKind lineBreak;
        std::uint32_t kana;
        const double s = BestSeconds(
            reps, [&] { std::memcpy(work.data(), file.data(), file.size()); },
            [&] {
                written =
                    kotoha::ImportText(kinds[k], false, work.data(), work.data(),
                                       static_cast<std::uint32_t>(file.size()), &lineBreak, &kana);
            });
        if (written != text.size() || std::memcmp(work.data(), text.data(), written) != 0 ||
            lineBreak != LineBreakKind::WIN || kana != corpus.halfWidthKana)
            Fail(std::string("import of the ") + EncodingDisplayName(kinds[k]) +
                 " file went wrong");

        Iconv cd("CP932", iconvNames[k]);
        std::size_t iconvWritten = 0;
        const double si = BestSeconds(
            reps, [] {}, [&] { iconvWritten = cd.Convert(file, output); });
        // iconv keeps CR LF, so its result must be the Shift-JIS file itself.
        if (iconvWritten != files[0].size() ||
            std::memcmp(output.data(), files[0].data(), iconvWritten) != 0)
            Fail(cd.Name() + " does not give the Shift-JIS file");

        rows.push_back({std::string("ImportText, ") + EncodingDisplayName(kinds[k]), file.size(),
                        MegabytesPerSecond(file.size(), s), cd.Name(),
                        MegabytesPerSecond(file.size(), si), memcpyFile[k], 5, 10});
    }

    // Export of the internal text with CR LF; iconv converts the same bytes.
    for (int k = 0; k < 3; ++k) {
        BufferSink sink(output);
        const double s = BestSeconds(
            reps, [&] { sink.Reset(); },
            [&] {
                kotoha::ExportText(kinds[k], LineBreakKind::WIN, sink, text.data(), 0,
                                   static_cast<std::uint32_t>(text.size()), false);
            });
        if (sink.size() != files[k].size() ||
            std::memcmp(output.data(), files[k].data(), sink.size()) != 0)
            Fail(std::string("export to ") + EncodingDisplayName(kinds[k]) + " went wrong");

        Iconv cd(iconvNames[k], "CP932");
        std::size_t iconvWritten = 0;
        const double si = BestSeconds(
            reps, [] {}, [&] { iconvWritten = cd.Convert(text, output); });
        // iconv keeps LF; reading its output back must give the text.
        CheckImport(kinds[k], Bytes(output.begin(), output.begin() + iconvWritten), corpus,
                    LineBreakKind::UX, cd.Name() + " output");

        rows.push_back({std::string("ExportText, ") + EncodingDisplayName(kinds[k]) + " CR LF",
                        text.size(), MegabytesPerSecond(text.size(), s), cd.Name() + " (keeps LF)",
                        MegabytesPerSecond(text.size(), si), memcpyText, 5, 10});
    }

    // UTF-8: the internal text to UTF-8 with LF, as iconv writes it from
    // CP932, and that UTF-8 file back into the internal form.
    {
        BufferSink sink(output);
        kotoha::ExtensionTable table;
        const double s = BestSeconds(
            reps, [&] { sink.Reset(); },
            [&] {
                kotoha::ExportText(kotoha::EncodingKind::UTF8, LineBreakKind::UX, sink, text.data(),
                                   0, static_cast<std::uint32_t>(text.size()), false, &table);
            });
        const Bytes utf8(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(sink.size()));
        Iconv toUtf8("UTF-8", "CP932");
        std::size_t iconvWritten = 0;
        const double si = BestSeconds(
            reps, [] {}, [&] { iconvWritten = toUtf8.Convert(text, output); });
        if (iconvWritten != utf8.size() ||
            std::memcmp(output.data(), utf8.data(), iconvWritten) != 0)
            Fail("export to UTF-8 differs from " + toUtf8.Name());
        rows.push_back({"ExportText, UTF-8 LF", text.size(), MegabytesPerSecond(text.size(), s),
                        toUtf8.Name(), MegabytesPerSecond(text.size(), si), memcpyText, 3, 10});

        std::uint32_t written = 0;
        const double si2 = [&] {
            Iconv fromUtf8("CP932", "UTF-8");
            std::size_t n = 0;
            const double seconds = BestSeconds(
                reps, [] {}, [&] { n = fromUtf8.Convert(utf8, output); });
            if (n != text.size() || std::memcmp(output.data(), text.data(), n) != 0)
                Fail(fromUtf8.Name() + " does not give the text");
            return seconds;
        }();
        const double s2 = BestSeconds(
            reps, [&] { std::memcpy(work.data(), utf8.data(), utf8.size()); },
            [&] {
                table.clear();
                written = kotoha::ImportText(kotoha::EncodingKind::UTF8, false, work.data(),
                                             work.data(), static_cast<std::uint32_t>(utf8.size()),
                                             nullptr, nullptr, &table);
            });
        if (written != text.size() || std::memcmp(work.data(), text.data(), written) != 0)
            Fail("import of the UTF-8 file went wrong");
        rows.push_back({"ImportText, UTF-8", utf8.size(), MegabytesPerSecond(utf8.size(), s2),
                        "UTF-8 -> CP932", MegabytesPerSecond(utf8.size(), si2), memcpyRate(utf8), 3,
                        10});
    }

    PrintTable(rows);
    std::printf(
        "\nMB = 10^6 bytes of input. Ratios: Kotoha / iconv, higher is better; "
        "memcpy / Kotoha, lower is better. Every result above was checked: each import "
        "gives back the internal text, each export the expected file.\n");
    return 0;
}
