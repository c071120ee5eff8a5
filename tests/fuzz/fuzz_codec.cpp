// SPDX-License-Identifier: MIT
// libFuzzer target for the codec. The first input byte selects what is
// exercised on the rest of the input:
//   0  DetectEncoding
//   1  ImportText with every decoder: bounds, in place = out of place,
//      well-formed output, kana count, CR LF emission; the same piece by
//      piece (in order and each on its own), and the line-break scan
//   2  ExportText, ExportUtf8Text and WidenKana on arbitrary bytes: bounds
//      and chunking, every kind, line-break kind and widening
//   3  round trips: valid internal text exported and imported again
//   4  Unicode: the bytes as UTF-8, UTF-8 with BOM, UTF-16LE and BE,
//      imported with an extension table: bounds, well-formed output, and
//      the same characters again after an export and a second import
// Inputs live in heap buffers of exactly their size, so AddressSanitizer
// reports any read or write past them. A broken invariant traps.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/byte_class.h"
#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/export.h"
#include "codec/extension_table.h"
#include "codec/import.h"
#include "fuzz_check.h"

namespace {

using namespace kotoha;
using Bytes = std::vector<std::uint8_t>;

using fuzz::Check;

// A heap copy of exactly size bytes (new[] of 0 still gives a distinct
// pointer that must not be dereferenced).
std::unique_ptr<std::uint8_t[]> ExactCopy(const std::uint8_t* data, std::size_t size) {
    auto copy = std::make_unique<std::uint8_t[]>(size);
    if (size != 0)
        std::memcpy(copy.get(), data, size);
    return copy;
}

constexpr EncodingKind kKinds[] = {EncodingKind::SJIS, EncodingKind::JIS, EncodingKind::EUC,
                                   static_cast<EncodingKind>(7)};
constexpr LineBreakKind kLineBreaks[] = {LineBreakKind::WIN, LineBreakKind::UX, LineBreakKind::MAC,
                                         LineBreakKind::MIXED, static_cast<LineBreakKind>(5)};

// Collects exported bytes and checks the chunking: every chunk but the last
// holds exactly the staging size, and there is always a last one.
class CheckingSink final : public ByteSink {
  public:
    bool Write(const std::uint8_t* bytes, std::size_t count) override {
        Check(!closed_);
        Check(count <= kExportChunkSize);
        if (count < kExportChunkSize)
            closed_ = true;
        bytes_.insert(bytes_.end(), bytes, bytes + count);
        ++writes_;
        return true;
    }
    // After a finished export: the last write may also be a full chunk.
    void CheckFinished() const { Check(writes_ > 0); }
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    bool closed_ = false;
    std::size_t writes_ = 0;
};

// Fails after a given number of writes, to exercise the early stop.
class FailingSink final : public ByteSink {
  public:
    explicit FailingSink(std::size_t allowed) : allowed_(allowed) {}
    bool Write(const std::uint8_t*, std::size_t) override {
        Check(!failed_);  // no write after a failure
        if (allowed_ == 0) {
            failed_ = true;
            return false;
        }
        --allowed_;
        return true;
    }

  private:
    std::size_t allowed_;
    bool failed_ = false;
};

// Walks text the way the internal form is read, from its start one
// character at a time: every lead byte must have a trail byte after it.
// Returns the number of half-width katakana characters met.
std::uint32_t CheckWellFormed(const std::uint8_t* text, std::size_t length) {
    std::uint32_t kana = 0;
    for (std::size_t i = 0; i < length;) {
        if (IsLeadByte(text[i])) {
            Check(i + 1 < length && IsTrailByte(text[i + 1]));
            i += 2;
        } else {
            if (IsHalfWidthKana(text[i]))
                ++kana;
            ++i;
        }
    }
    return kana;
}

void FuzzDetect(const std::uint8_t* data, std::size_t size) {
    auto bytes = ExactCopy(data, size);
    for (bool preferWinText : {false, true}) {
        const DetectionResult r =
            DetectEncoding(bytes.get(), static_cast<std::uint32_t>(size), preferWinText);
        const std::uint16_t choice = DetectionChoice(r);
        const std::uint16_t candidates = DetectionCandidates(r);
        // The choice is one detection bit (or 0 with no candidates), and it
        // is always among the candidates.
        Check(choice == 0 || choice == kDetectSjis || choice == kDetectJis || choice == kDetectEuc);
        Check((candidates & ~(kDetectSjis | kDetectJis | kDetectEuc)) == 0);
        Check(choice == 0 ? candidates == 0 : (candidates & choice) != 0);
    }
}

void FuzzImport(const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<std::uint32_t>(size);
    auto source = ExactCopy(data, size);
    for (EncodingKind kind : kKinds) {
        // Out of place, into a destination exactly as long as the input.
        auto out = std::make_unique<std::uint8_t[]>(size);
        LineBreakKind lineBreak;
        std::uint32_t kana = 0xFFFFFFFF;
        const std::uint32_t written =
            ImportText(kind, false, out.get(), source.get(), length, &lineBreak, &kana);
        Check(written <= length);
        Check(lineBreak == LineBreakKind::WIN || lineBreak == LineBreakKind::UX ||
              lineBreak == LineBreakKind::MAC || lineBreak == LineBreakKind::MIXED);
        // The kana count sizes the widening buffer later, so it must match.
        Check(CheckWellFormed(out.get(), written) == kana);
        Check(std::memchr(out.get(), '\r', written) == nullptr);

        // In place gives the same.
        auto inPlace = ExactCopy(data, size);
        LineBreakKind lineBreak2;
        std::uint32_t kana2 = 0;
        ImportLosses losses;
        const std::uint32_t written2 = ImportText(kind, false, inPlace.get(), inPlace.get(), length,
                                                  &lineBreak2, &kana2, nullptr, &losses);
        Check(written2 == written && lineBreak2 == lineBreak && kana2 == kana);
        // A loss is where a blank or a middle dot was written.
        Check((losses.total() == 0) == (losses.firstOffset == ImportLosses::kNone));
        Check(losses.total() == 0 ||
              (losses.firstOffset < written &&
               (inPlace[losses.firstOffset] == ' ' || inPlace[losses.firstOffset] == 0x81)));
        Check(written == 0 || std::memcmp(inPlace.get(), out.get(), written) == 0);

        // Piece by piece, the same text and counts; the line-break scan
        // agrees without converting.
        ImportPieces pieces(kind, source.get(), length);
        const std::uint32_t pieceBytes = size == 0 ? 1 : 1 + data[0] % 97;
        std::uint32_t offset = 0;
        while (pieces.Next(pieceBytes)) {
            Check(pieces.offset() == offset && offset + pieces.size() <= written);
            Check(pieces.size() == 0 ||
                  std::memcmp(pieces.data(), out.get() + offset, pieces.size()) == 0);
            offset += pieces.size();
        }
        Check(offset == written && pieces.lineBreakKind() == lineBreak &&
              pieces.kanaCount() == kana && pieces.losses().firstOffset == losses.firstOffset);
        Check(ScanLineBreakKind(kind, source.get(), length) == lineBreak);
        // Each piece on its own from where NextPieceStart puts it: the same text.
        offset = 0;
        for (PieceStart start; start.offset < length;) {
            const PieceStart next = NextPieceStart(kind, source.get(), length, start, pieceBytes);
            Check(next.offset > start.offset && next.offset <= length);
            ImportPieces apart(kind, source.get(), length, nullptr, start);
            if (apart.NextTo(next)) {
                Check(offset + apart.size() <= written &&
                      std::memcmp(apart.data(), out.get() + offset, apart.size()) == 0);
                offset += apart.size();
            }
            start = next;
        }
        Check(offset == written);

        // With CR LF emitted into twice the room: the same text with every
        // LF preceded by CR, and nothing written past the room.
        auto crLf = std::make_unique<std::uint8_t[]>(2 * size);
        const std::uint32_t written3 =
            ImportText(kind, true, crLf.get(), source.get(), length, nullptr, nullptr);
        Check(written3 <= 2 * static_cast<std::uint64_t>(length));
        std::size_t j = 0;
        for (std::uint32_t i = 0; i < written; ++i) {
            if (out[i] == '\n') {
                Check(j < written3 && crLf[j] == '\r');
                ++j;
            }
            Check(j < written3 && crLf[j] == out[i]);
            ++j;
        }
        Check(j == written3);
    }
}

// Number of half-width katakana WidenKana may meet walking text: an upper
// bound of what an import would have counted for it.
std::uint32_t CountKanaForWidening(const std::uint8_t* text, std::size_t length) {
    std::uint32_t kana = 0;
    for (std::size_t i = 0; i < length;) {
        if (IsHalfWidthKana(text[i])) {
            ++kana;
            ++i;
        } else {
            i += IsLeadByte(text[i]) && i + 1 < length ? 2 : 1;
        }
    }
    return kana;
}

void FuzzExport(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    // The option byte picks a sub-range and when a failing sink gives up.
    const std::uint8_t option = data[0];
    ++data;
    --size;
    const auto length = static_cast<std::uint32_t>(size);
    auto text = ExactCopy(data, size);

    for (EncodingKind kind : kKinds) {
        for (LineBreakKind lineBreak : kLineBreaks) {
            for (bool widen : {false, true}) {
                CheckingSink sink;
                Check(ExportText(kind, lineBreak, sink, text.get(), 0, length, widen));
                sink.CheckFinished();
                // Every input byte gives at most 5 output bytes (a pair
                // needs an escape; LF becomes CR LF).
                Check(sink.bytes().size() <= 5 * static_cast<std::uint64_t>(size) + 3);
            }
        }
    }
    for (LineBreakKind lineBreak : kLineBreaks) {
        for (bool widen : {false, true}) {
            CheckingSink sink;
            Check(ExportUtf8Text(lineBreak, sink, text.get(), 0, length, widen));
            sink.CheckFinished();
        }
    }

    // A range inside the text, reading nothing outside it: the range is
    // copied to a buffer of its own size.
    const std::uint32_t start = length == 0 ? 0 : option % (length + 1);
    const std::uint32_t end = start + (length - start) / 2;
    auto range = ExactCopy(text.get() + start, end - start);
    {
        CheckingSink whole, part;
        Check(ExportText(kKinds[option % 4], kLineBreaks[option % 5], part, range.get(), 0,
                         end - start, (option & 0x80) != 0));
        Check(ExportText(kKinds[option % 4], kLineBreaks[option % 5], whole, text.get(), start, end,
                         (option & 0x80) != 0));
        Check(whole.bytes() == part.bytes());
    }
    // A reversed range writes nothing.
    {
        CheckingSink sink;
        Check(
            ExportText(kKinds[option % 4], LineBreakKind::WIN, sink, text.get(), length, 0, true));
        Check(sink.bytes().empty());
    }
    // A failing sink stops the export, which then reports the failure.
    {
        FailingSink sink(option % 3);
        const bool ok = ExportText(kKinds[option % 4], LineBreakKind::WIN, sink, text.get(), 0,
                                   length, (option & 0x80) != 0);
        Check(ok == false || option % 3 > 0);
    }

    // WidenKana into exactly length + kana count.
    const std::uint32_t kana = CountKanaForWidening(text.get(), size);
    auto widened = std::make_unique<std::uint8_t[]>(size + kana);
    const std::uint32_t written = WidenKana(widened.get(), text.get(), length);
    Check(written <= size + kana);
}

// Valid internal text from arbitrary bytes: a Shift-JIS import, then every
// character no file encoding carries unchanged (stray 8-bit bytes, ESC,
// user-defined characters 0xF0-0xFC) replaced by a letter.
Bytes MakeInternalText(const std::uint8_t* data, std::size_t size) {
    Bytes text(data, data + size);
    text.resize(ImportText(EncodingKind::SJIS, false, text.data(), text.data(),
                           static_cast<std::uint32_t>(size), nullptr, nullptr));
    for (std::size_t i = 0; i < text.size();) {
        const std::uint8_t b = text[i];
        if (IsLeadByte(b)) {
            if (b >= 0xF0)
                text[i] = text[i + 1] = 'x';
            i += 2;
        } else {
            if (b == 0x1B || b == 0x80 || b == 0xA0 || b >= 0xFD)
                text[i] = 'x';
            ++i;
        }
    }
    return text;
}

Bytes Export(EncodingKind kind, LineBreakKind lineBreak, const Bytes& text, bool widen) {
    auto exact = ExactCopy(text.data(), text.size());
    CheckingSink sink;
    Check(ExportText(kind, lineBreak, sink, exact.get(), 0, static_cast<std::uint32_t>(text.size()),
                     widen));
    return sink.bytes();
}

Bytes Import(EncodingKind kind, const Bytes& file, LineBreakKind& lineBreak, std::uint32_t& kana) {
    auto source = ExactCopy(file.data(), file.size());
    Bytes text(file.size());
    text.resize(ImportText(kind, false, text.data(), source.get(),
                           static_cast<std::uint32_t>(file.size()), &lineBreak, &kana));
    return text;
}

void FuzzRoundTrip(const std::uint8_t* data, std::size_t size) {
    const Bytes text = MakeInternalText(data, size);
    const std::uint32_t kana = CheckWellFormed(text.data(), text.size());
    const bool hasLineBreak = std::find(text.begin(), text.end(), '\n') != text.end();

    // Widened text, as the document makes it after a widening save.
    Bytes widened(text.size() + kana);
    widened.resize(WidenKana(widened.data(), text.data(), static_cast<std::uint32_t>(text.size())));
    const std::uint32_t widenedKana = CheckWellFormed(widened.data(), widened.size());
    Check(widenedKana == 0);
    // Widening a text and saving it with widening write the same bytes.
    Check(Export(EncodingKind::SJIS, LineBreakKind::UX, text, true) == widened);

    for (EncodingKind kind : {EncodingKind::SJIS, EncodingKind::EUC, EncodingKind::JIS}) {
        for (LineBreakKind lineBreak :
             {LineBreakKind::WIN, LineBreakKind::UX, LineBreakKind::MAC}) {
            LineBreakKind readBreak;
            std::uint32_t readKana = 0;
            Check(Import(kind, Export(kind, lineBreak, text, false), readBreak, readKana) == text);
            Check(readKana == kana);
            Check(readBreak == (hasLineBreak ? lineBreak : LineBreakKind::WIN));

            Check(Import(kind, Export(kind, lineBreak, text, true), readBreak, readKana) ==
                  widened);
            Check(readKana == 0);
        }
    }
}

// Internal text from Unicode bytes through a fresh table.
Bytes ImportUnicode(EncodingKind kind, const std::uint8_t* data, std::size_t size,
                    ExtensionTable& table) {
    auto copy = ExactCopy(data, size);
    const auto n = static_cast<std::uint32_t>(size);
    const std::uint32_t length =
        ImportText(kind, false, copy.get(), copy.get(), n, nullptr, nullptr, &table, nullptr);
    Check(length <= n);
    return Bytes(copy.get(), copy.get() + length);
}

void FuzzUnicode(const std::uint8_t* data, std::size_t size) {
    for (EncodingKind kind : {EncodingKind::UTF8, EncodingKind::UTF8BOM, EncodingKind::UTF16LE,
                              EncodingKind::UTF16BE}) {
        ExtensionTable table;
        const Bytes text = ImportUnicode(kind, data, size, table);
        // Every lead byte has its second byte; every table code it uses
        // stands for a character CP932 cannot hold exactly.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!IsLeadByte(text[i]))
                continue;
            Check(i + 1 < text.size() && IsTrailByte(text[i + 1]));
            const char32_t ch =
                table.CharOf(static_cast<std::uint16_t>((text[i] << 8) | text[i + 1]));
            std::uint16_t code;
            Check(ch == 0 || !ExactCp932Code(ch, code));
            ++i;
        }
        CheckingSink sink;
        Check(ExportText(kind, LineBreakKind::UX, sink, text.data(), 0,
                         static_cast<std::uint32_t>(text.size()), false, &table));
        sink.CheckFinished();
        ExtensionTable again;
        const Bytes written = sink.bytes();
        const Bytes reread = ImportUnicode(kind, written.data(), written.size(), again);
        Check(SjisToUtf8(text.data(), text.size(), &table) ==
              SjisToUtf8(reread.data(), reread.size(), &again));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0] % 5;
    ++data;
    --size;
    switch (mode) {
        case 0:
            FuzzDetect(data, size);
            break;
        case 1:
            FuzzImport(data, size);
            break;
        case 2:
            FuzzExport(data, size);
            break;
        case 3:
            FuzzRoundTrip(data, size);
            break;
        default:
            FuzzUnicode(data, size);
            break;
    }
    return 0;
}
