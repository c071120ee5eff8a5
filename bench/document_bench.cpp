// SPDX-License-Identifier: MIT
// Document core throughput: opening a file of about 64 MB of generated
// Shift-JIS text with CR LF lines through the document's own open path
// (read, detect, import in place, build the display-line index), measured in
// one run side by side with a plain read() of the same file; the heap the
// open needs at its peak against the text and index it keeps; and a search
// down the whole text for words that do not occur, against memmem.
//
// Usage: kotoha-bench-document [--mb=N] [--reps=N]
//   --mb    size of the generated file in 10^6 bytes (default 64)
//   --reps  repetitions per measurement; the best one counts (default 3)

#include <fcntl.h>
#include <gnu/libc-version.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/import.h"
#include "document/document_host.h"
#include "document/kotoha_doc.h"
#include "document/requests.h"
#include "layout/line_layout.h"
#include "shell/settings.h"

#include "bench_support.h"

// Heap accounting: every malloc family call of the process is counted here,
// by usable size, so that the peak of one open can be read off exactly.
// AddressSanitizer brings its own allocator, which this must not replace.
#if defined(__SANITIZE_ADDRESS__)
#define KOTOHA_COUNT_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOTOHA_COUNT_HEAP 0
#endif
#endif
#ifndef KOTOHA_COUNT_HEAP
#define KOTOHA_COUNT_HEAP 1
#endif

namespace {

// Bytes in use and the highest value since the last ResetHeapPeak. The
// benchmark has one thread, so plain integers are enough.
std::size_t gHeapInUse = 0;
std::size_t gHeapPeak = 0;

void ResetHeapPeak() {
    gHeapPeak = gHeapInUse;
}

}  // namespace

#if KOTOHA_COUNT_HEAP
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

void* Counted(void* p) {
    if (p != nullptr) {
        gHeapInUse += malloc_usable_size(p);
        gHeapPeak = std::max(gHeapPeak, gHeapInUse);
    }
    return p;
}

void Uncount(void* p) {
    if (p != nullptr)
        gHeapInUse -= malloc_usable_size(p);
}

}  // namespace

extern "C" {
void* malloc(std::size_t n) {
    return Counted(__libc_malloc(n));
}
void* calloc(std::size_t count, std::size_t n) {
    return Counted(__libc_calloc(count, n));
}
void* realloc(void* p, std::size_t n) {
    if (p == nullptr)
        return malloc(n);
    if (n == 0) {
        free(p);
        return nullptr;
    }
    const std::size_t old = malloc_usable_size(p);
    // glibc marks a block of its own mapping in the size word before it; such
    // a block moves by remapping, any other by copying, with both alive.
    const bool mapped = (reinterpret_cast<const std::size_t*>(p)[-1] & 2) != 0;
    void* q = __libc_realloc(p, n);
    if (q == nullptr)
        return nullptr;
    if (q != p && !mapped)
        gHeapPeak = std::max(gHeapPeak, gHeapInUse + malloc_usable_size(q));
    gHeapInUse -= old;
    return Counted(q);
}
void free(void* p) {
    Uncount(p);
    __libc_free(p);
}
void* memalign(std::size_t alignment, std::size_t n) {
    return Counted(__libc_memalign(alignment, n));
}
void* aligned_alloc(std::size_t alignment, std::size_t n) {
    return Counted(__libc_memalign(alignment, n));
}
int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
    void* p = Counted(__libc_memalign(alignment, n));
    if (p == nullptr)
        return ENOMEM;
    *out = p;
    return 0;
}
}
#endif

namespace {

using kotoha::bench::BestSeconds;
using kotoha::bench::Bytes;
using kotoha::bench::Escape;
using kotoha::bench::Fixed;

// Fixed seed, so every run measures the same text.
constexpr std::uint64_t kSeed = 0x446F63756D656E74ull;

std::string gTempPath;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "kotoha-bench-document: %s\n", what.c_str());
    if (!gTempPath.empty())
        unlink(gTempPath.c_str());
    std::exit(1);
}

struct Corpus {
    Bytes file;  // Shift-JIS, CR LF line breaks
    Bytes text;  // the same in internal form: LF line breaks
    std::size_t lines = 0;
    std::size_t halfWidthKana = 0;
};

// Lines of 10-140 characters, so that some wrap at the default 80 columns,
// a few of them starting with a tab.
Corpus GenerateCorpus(std::size_t targetBytes) {
    kotoha::bench::Corpus generated = kotoha::bench::GenerateCorpus(
        targetBytes,
        {.seed = kSeed, .minLineChars = 10, .maxLineChars = 140, .tabPercent = 5, .crlf = true});
    Corpus c;
    c.file = std::move(generated.bytes);
    c.lines = generated.lines;
    c.halfWidthKana = generated.halfWidthKana;
    c.text.reserve(c.file.size());
    for (const std::uint8_t b : c.file) {
        if (b != '\r')
            c.text.push_back(b);
    }
    return c;
}

// A host with nobody behind it: no questions answered, nothing shown.
class SilentHost final : public kotoha::DocumentHost {
  public:
    void ShowMessage(kotoha::StringId::Id, kotoha::MessageKind, std::string_view,
                     std::string_view) override {
        ++messages;
    }
    bool AskYesNo(kotoha::StringId::Id, std::string_view, std::string_view) override {
        return false;
    }
    kotoha::Answer AskYesNoCancel(kotoha::StringId::Id, std::string_view) override {
        return kotoha::Answer::Cancel;
    }
    std::int32_t InquireEncoding(kotoha::EncodingKind, const std::uint8_t*,
                                 std::uint32_t) override {
        return -1;
    }
    std::optional<kotoha::SaveFormatChoice> AskSaveFileName(std::string&, kotoha::StringId::Id,
                                                            kotoha::SavePromptMode) override {
        return std::nullopt;
    }
    std::optional<kotoha::SaveFormatChoice> AskSaveFormat(kotoha::SavePromptMode) override {
        return std::nullopt;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void RestoreWaitCursor() override {}
    void UpdateAllViews() override {}
    void ShowEncodingKind(kotoha::EncodingKind) override {}
    void ShowLineBreakKind(kotoha::LineBreakKind) override {}
    void TitleChanged(const std::string&) override {}
    void AddToRecentFileList(const std::string&) override {}
    void GetActiveSelection(kotoha::DisplayPos& lo, kotoha::DisplayPos& hi) override {
        lo = hi = {};
    }
    bool StartNewDocument() override { return true; }

    int messages = 0;
};

// Reads the whole file into a fresh block with one read() (looping only if
// the kernel returns less), as the plain baseline of an open.
std::uint8_t* ReadWithOneRead(const std::string& path, std::size_t size) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("cannot open " + path);
    auto* block = static_cast<std::uint8_t*>(std::malloc(size));
    if (block == nullptr)
        Fail("out of memory");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, block + done, size - done);
        if (got <= 0)
            Fail("cannot read " + path);
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    return block;
}

// Writes bytes to a new file at path with one write() and an fsync: the
// least a save that keeps the old file until the new one is whole can cost.
void WriteWithOneWrite(const std::string& path, const Bytes& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        Fail("cannot create " + path);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            Fail("cannot write " + path);
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0)
        Fail("cannot write " + path);
}

// Resident bytes of the process now.
std::size_t ResidentBytes() {
    std::ifstream in("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    in >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// How far one open raises the resident memory above what was resident before
// it, measured in a child process: a fresh process starts its high-water
// mark at its resident size, so the benchmark's own earlier peaks (the
// generated text, earlier opens) do not hide this one. 0 when it failed.
std::size_t PeakResidentGrowthOfOpen(kotoha::CKotohaDoc& doc, const std::string& path,
                                     kotoha::UserInterface& host) {
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::size_t before = ResidentBytes();
        std::size_t growth = 0;
        rusage usage = {};
        if (doc.OnOpenDocument(path, {}, host) && getrusage(RUSAGE_SELF, &usage) == 0) {
            const std::size_t peak = static_cast<std::size_t>(usage.ru_maxrss) * 1024;
            growth = peak > before ? peak - before : 0;
        }
        const ssize_t written = write(fds[1], &growth, sizeof growth);
        _exit(written == sizeof growth ? 0 : 1);
    }
    close(fds[1]);
    std::size_t growth = 0;
    if (pid < 0 || read(fds[0], &growth, sizeof growth) != sizeof growth)
        growth = 0;
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return growth;
}

struct Row {
    std::string measurement;
    std::size_t bytes;  // input of the measurement
    double seconds;
    std::string baseline;
    double baselineSeconds;
    double aim;  // largest ratio wanted; 0 when the row only informs
};

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| measurement | MB | ms | MB/s | compared with | its ms | ratio | aim |\n");
    std::printf("|---|--:|--:|--:|---|--:|--:|---|\n");
    for (const Row& r : rows) {
        const double ratio = r.seconds / r.baselineSeconds;
        std::string aim = "-";
        if (r.aim > 0)
            aim = "<= " + Fixed(r.aim, 0) + "x" + (ratio <= r.aim ? " met" : " MISSED");
        std::printf("| %s | %.1f | %.1f | %.0f | %s | %.1f | %.2fx | %s |\n", r.measurement.c_str(),
                    r.bytes / 1e6, r.seconds * 1e3, r.bytes / r.seconds / 1e6, r.baseline.c_str(),
                    r.baselineSeconds * 1e3, ratio, aim.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    kotoha::bench::RunOptions options;
    if (!kotoha::bench::ParseRunOptions(argc, argv, options))
        return 2;
    const std::size_t megabytes = options.megabytes;
    const int reps = options.reps;
    if (megabytes < 1 || megabytes > 1000 || reps < 1)
        Fail("--mb must be 1-1000, --reps >= 1");

    if (!KOTOHA_COUNT_HEAP)
        std::fprintf(stderr,
                     "kotoha-bench-document: a sanitizer build; its figures mean nothing\n");
    Corpus corpus = GenerateCorpus(megabytes * 1000 * 1000);
    const std::size_t fileSize = corpus.file.size();

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/kotoha-bench-document.XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        Fail("cannot create a temporary file");
    gTempPath = pattern;
    for (std::size_t done = 0; done < fileSize;) {
        const ssize_t n = write(fd, corpus.file.data() + done, fileSize - done);
        if (n <= 0)
            Fail("cannot write " + gTempPath);
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    // The file stays in the page cache; every open below reads it from there.
    const Bytes& file = corpus.file;

    kotoha::AppSettings settings;
    kotoha::RequestRecords requests;
    SilentHost host;
    kotoha::CKotohaDoc doc([&] { return kotoha::DocumentOptionsOf(settings); }, requests, host);
    auto checkDocument = [&] {
        if (doc.text.capacity() != corpus.text.size() ||
            std::memcmp(doc.text.data(), corpus.text.data(), corpus.text.size()) != 0)
            Fail("the opened document does not hold the text");
        if (doc.encoding != kotoha::EncodingKind::SJIS ||
            doc.lineBreak != kotoha::LineBreakKind::WIN ||
            doc.halfWidthKanaCount != corpus.halfWidthKana || host.messages != 0)
            Fail("the open detected the wrong kinds or reported a failure");
        const std::uint32_t entries = doc.lineIndex.capacity();
        if (entries < corpus.lines + 1 || doc.lineIndex[0] != 0 ||
            doc.lineIndex[entries - 1] != corpus.text.size())
            Fail("the display-line index does not cover the text");
    };

    std::vector<Row> rows;

    // (a) The open, end to end, against one read() of the same file. Each
    // open starts from an empty document, as after closing the last one.
    std::uint8_t* raw = nullptr;
    const double readSeconds = BestSeconds(
        reps,
        [&] {
            std::free(raw);
            raw = nullptr;
        },
        [&] {
            raw = ReadWithOneRead(gTempPath, fileSize);
            Escape(raw);
        });
    if (std::memcmp(raw, file.data(), fileSize) != 0)
        Fail("read() gave other bytes than were written");
    std::free(raw);
    raw = nullptr;

    bool opened = false;
    const double openSeconds = BestSeconds(
        reps, [&] { doc.OnNewDocument(); },
        [&] { opened = doc.OnOpenDocument(gTempPath, {}, host); });
    if (!opened)
        Fail("the document could not open the file");
    checkDocument();
    rows.push_back({"open (read, detect, import, index)", fileSize, openSeconds, "one read()",
                    readSeconds, 4});

    // The parts of the open, one at a time, for where the time goes.
    {
        Bytes work(fileSize);
        kotoha::DetectionResult detection = 0;
        const double detectSeconds = BestSeconds(
            reps, [] {},
            [&] {
                detection =
                    kotoha::DetectEncoding(file.data(), static_cast<std::uint32_t>(fileSize), true);
            });
        if (kotoha::DetectionChoice(detection) != kotoha::kDetectSjis)
            Fail("detection misread the file");
        rows.push_back({"  DetectEncoding", fileSize, detectSeconds, "one read()", readSeconds, 0});

        std::uint32_t length = 0;
        const double importSeconds = BestSeconds(
            reps, [&] { std::memcpy(work.data(), file.data(), fileSize); },
            [&] {
                length =
                    kotoha::ImportText(kotoha::EncodingKind::SJIS, false, work.data(), work.data(),
                                       static_cast<std::uint32_t>(fileSize), nullptr, nullptr);
            });
        if (length != corpus.text.size())
            Fail("import gave the wrong length");
        rows.push_back(
            {"  ImportText in place", fileSize, importSeconds, "one read()", readSeconds, 0});

        kotoha::LineIndex index;
        const double indexSeconds = BestSeconds(
            reps, [&] { index.Free(); },
            [&] {
                if (!kotoha::BuildLineIndex(corpus.text.data(),
                                            static_cast<std::uint32_t>(corpus.text.size()),
                                            doc.wrapColumn, doc.tabWidth, index))
                    Fail("out of memory building the index");
            });
        if (index.capacity() != doc.lineIndex.capacity())
            Fail("the index differs from the document's");
        rows.push_back({"  BuildLineIndex (W 80, T 8)", corpus.text.size(), indexSeconds,
                        "one read()", readSeconds, 0});
    }

    // Save As of the whole document under a new name, in its own
    // encoding and line breaks, against one write() and an fsync of the same
    // bytes.
    {
        const std::string savePath = gTempPath + ".saved";
        const double writeSeconds = BestSeconds(
            reps, [&] { unlink(savePath.c_str()); }, [&] { WriteWithOneWrite(savePath, file); });
        bool saved = false;
        const double saveSeconds = BestSeconds(
            reps, [&] { unlink(savePath.c_str()); },
            [&] { saved = doc.DoSave(savePath, true, kotoha::SavePromptMode::SaveAs, host); });
        Bytes written(fileSize + 1);
        const int fd = open(savePath.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = fd < 0 ? -1 : read(fd, written.data(), written.size());
        if (fd >= 0)
            close(fd);
        if (!saved || got != static_cast<ssize_t>(fileSize) ||
            std::memcmp(written.data(), file.data(), fileSize) != 0)
            Fail("Save As did not write the file back");
        unlink(savePath.c_str());
        rows.push_back({"Save As (export, write, fsync, rename)", fileSize, saveSeconds,
                        "one write() + fsync", writeSeconds, 0});
    }

    // (b) The heap at the peak of one open, against what the document keeps,
    // and the resident memory it adds at its peak.
    doc.OnNewDocument();
    malloc_trim(0);
    const std::size_t residentGrowth = PeakResidentGrowthOfOpen(doc, gTempPath, host);
    const std::size_t heapBefore = gHeapInUse;
    ResetHeapPeak();
    if (!doc.OnOpenDocument(gTempPath, {}, host))
        Fail("the document could not open the file");
    const std::size_t heapPeak = gHeapPeak - heapBefore;
    const std::size_t heapKept = gHeapInUse - heapBefore;
    checkDocument();
    const std::size_t textBytes = doc.text.capacity();
    const std::size_t indexBytes = std::size_t{doc.lineIndex.capacity()} * sizeof(std::uint32_t);

    // (c) A search down the whole text for words that are not in it, with
    // the find dialog's defaults (letters folded, any position), against
    // memmem of the same bytes.
    struct Word {
        std::string utf8;
        std::string name;
    };
    const Word words[] = {
        {"\xe6\xaa\xb8\xe6\xaa\xac", "kanji word"},  // two level-2 kanji
        {"Kotoha", "ASCII word"},
    };
    for (const Word& word : words) {
        const std::string sjis = kotoha::Utf8ToSjis(word.utf8);
        const void* hit = nullptr;
        const double memmemSeconds = BestSeconds(
            reps, [] {},
            [&] {
                hit = memmem(doc.text.data(), doc.text.capacity(), sjis.data(), sjis.size());
                Escape(&hit);
            });
        if (hit != nullptr)
            Fail("the " + word.name + " occurs in the text");
        bool found = true;
        const double findSeconds = BestSeconds(
            reps, [] {},
            [&] {
                std::uint32_t offset = 0;
                found = doc.FindText(offset, sjis, true, false, false);
            });
        if (found)
            Fail("FindText found the " + word.name + " that is not there");
        rows.push_back({"FindText down, " + word.name + " (" + std::to_string(sjis.size()) +
                            " bytes), not found",
                        textBytes, findSeconds, "memmem", memmemSeconds, 3});
    }

    std::printf(
        "Data: %.1f MB Shift-JIS file with CR LF (seed %#llx), %zu lines of 10-140 "
        "characters; %.1f MB of internal text in %u display lines (W 80, T 8).\n",
        fileSize / 1e6, static_cast<unsigned long long>(kSeed), corpus.lines, textBytes / 1e6,
        doc.GetLineCount());
    std::printf(
        "Machine: %s, %ld cores; compiler %s; glibc %s. Best of %d runs; the file is read "
        "from the page cache.\n\n",
        kotoha::bench::CpuName().c_str(), sysconf(_SC_NPROCESSORS_ONLN), __VERSION__,
        gnu_get_libc_version(), reps);
    PrintTable(rows);
    std::printf("\n| memory of one open | MB |\n|---|--:|\n");
    std::printf("| text kept | %.1f |\n| display-line index kept | %.1f |\n", textBytes / 1e6,
                indexBytes / 1e6);
    if (KOTOHA_COUNT_HEAP) {
        const double aimRatio = static_cast<double>(heapPeak) / (textBytes + indexBytes);
        std::printf("| heap kept after the open | %.1f |\n", heapKept / 1e6);
        std::printf("| heap at the peak of the open | %.1f |\n", heapPeak / 1e6);
        std::printf("| peak / (text + index) | %.2fx |\n", aimRatio);
        std::printf("| peak / file size | %.2fx |\n", static_cast<double>(heapPeak) / fileSize);
    } else {
        std::printf("| heap at the peak of the open | not counted (sanitizer build) |\n");
    }
    if (residentGrowth > 0) {
        std::printf("| resident memory added at the peak of the open | %.1f |\n",
                    residentGrowth / 1e6);
        std::printf("| resident peak / (text + index) | %.2fx |\n",
                    static_cast<double>(residentGrowth) / (textBytes + indexBytes));
    }
    std::printf(
        "\nMB = 10^6 bytes. Ratios: time of the measurement / time of what it is compared "
        "with, lower is better. The heap is counted by wrapping malloc (usable sizes of the "
        "blocks); the resident memory is the open's high-water mark (getrusage ru_maxrss) "
        "less the resident size before it, in a child process.\n");
    unlink(gTempPath.c_str());
    return 0;
}
