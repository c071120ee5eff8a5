// SPDX-License-Identifier: MIT
#include "conv_pieces.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "codec/detect.h"
#include "codec/export.h"
#include "codec/extension_table.h"
#include "codec/import.h"

namespace kotoha::conv {

namespace {

// Pieces converted ahead of the one to be written next, at most.
constexpr std::uint32_t kWindow = 8;

// Collects an exported piece.
class BlockSink final : public ByteSink {
  public:
    explicit BlockSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool Write(const std::uint8_t* data, std::size_t count) override {
        bytes_.insert(bytes_.end(), data, data + count);
        return true;
    }

  private:
    std::vector<std::uint8_t>& bytes_;
};

// A piece converted, waiting to be written.
struct Converted {
    std::vector<std::uint8_t> bytes;  // the piece in the output encoding
    std::uint32_t lineBreaks = 0;
    // Lines within the piece are 0-based.
    LossCount unreadable;
    LossCount unwritable;
    bool ready = false;
};

// What one thread keeps from piece to piece: its extension table, and the
// block its pieces are imported into (so that no piece allocates one).
struct Workspace {
    ExtensionTable table;
    std::vector<std::uint8_t> importBlock;
};

// Takes the imported piece a part at a time (the whole piece, or the parts
// between the points where the extension table ran full): counts what the
// output cannot hold and what could not be read, and exports each part with
// the codes the table had for it.
class PieceOutput {
  public:
    PieceOutput(const PieceConversion& conversion, const LineBreakKind* lineBreak, bool startsText,
                ExtensionTable& table, Converted& converted)
        : conversion_(conversion),
          lineBreak_(lineBreak),
          startsText_(startsText),
          table_(table),
          converted_(converted) {}

    void Take(const ImportPieces& piece, const std::uint8_t* data, std::uint32_t size, bool last) {
        std::uint32_t firstOffset = 0;
        const std::uint32_t lost =
            CountUnwritableCharacters(conversion_.to, data, size, &table_, &firstOffset);
        if (lost != 0 && converted_.unwritable.count == 0)
            converted_.unwritable.firstLine = LinesBefore(data, firstOffset);
        converted_.unwritable.count += lost;
        const ImportLosses losses = piece.losses();
        const std::uint32_t at = losses.firstOffset - piece.offset();
        if (losses.undecodable != 0 && !unreadableSeen_ && losses.firstOffset >= piece.offset() &&
            at < size) {
            converted_.unreadable.firstLine = LinesBefore(data, at);
            unreadableSeen_ = true;
        }
        converted_.unreadable.count = losses.undecodable;
        if (!last)
            lines_ += static_cast<std::uint32_t>(std::count(data, data + size, '\n'));
        if (lineBreak_ == nullptr)
            return;
        BlockSink sink(converted_.bytes);
        if (startsText_)
            ExportText(conversion_.to, *lineBreak_, sink, data, 0, size, conversion_.widen,
                       &table_);
        else
            ExportTextContinued(conversion_.to, *lineBreak_, sink, data, size, conversion_.widen,
                                &table_);
        startsText_ = false;
    }

    // The handler the import calls when the table runs full.
    struct Full {
        PieceOutput* output;
        const ImportPieces* piece;
    };
    static void TakeFull(void* full, const std::uint8_t* data, std::uint32_t size) {
        const auto& f = *static_cast<Full*>(full);
        f.output->Take(*f.piece, data, size, false);
    }

  private:
    std::uint32_t LinesBefore(const std::uint8_t* data, std::uint32_t offset) const {
        return lines_ + static_cast<std::uint32_t>(std::count(data, data + offset, '\n'));
    }

    const PieceConversion& conversion_;
    const LineBreakKind* lineBreak_;
    bool startsText_;
    ExtensionTable& table_;
    Converted& converted_;
    std::uint32_t lines_ = 0;  // in the parts taken before
    bool unreadableSeen_ = false;
};

// Imports the piece that starts at start and ends at end and counts what
// could not be read and what the output cannot hold; with lineBreak, exports
// it into bytes too (the first piece after the output's byte-order mark).
// Every piece starts with the table's codes free, so that what a piece
// writes does not depend on the pieces its thread converted before.
void ConvertPiece(const PieceConversion& conversion, const std::uint8_t* text, std::uint32_t length,
                  PieceStart start, PieceStart end, const LineBreakKind* lineBreak, Workspace& work,
                  Converted& converted) {
    work.table.ReleaseCodes();
    ImportPieces piece(conversion.from, text, length, &work.table, start);
    piece.ExchangeBuffer(std::move(work.importBlock));
    converted.bytes.clear();
    PieceOutput output(conversion, lineBreak, start.offset == 0, work.table, converted);
    PieceOutput::Full full{&output, &piece};
    piece.OnTableFull(&PieceOutput::TakeFull, &full);
    piece.NextTo(end);
    converted.lineBreaks = piece.lineBreaks();
    output.Take(piece, piece.data(), piece.size(), true);
    work.importBlock = piece.ExchangeBuffer({});
}

void AddLoss(const LossCount& piece, std::uint32_t linesBefore, LossCount& whole) {
    if (piece.count != 0 && whole.count == 0)
        whole.firstLine = 1 + linesBefore + piece.firstLine;
    whole.count += piece.count;
}

// Adds a written (or counted) piece to what was lost; linesBefore counts the
// lines before it and moves past it.
void AddUnwritable(const Converted& converted, std::uint32_t& linesBefore, Unwritable& unwritable) {
    AddLoss(converted.unreadable, linesBefore, unwritable.unreadable);
    AddLoss(converted.unwritable, linesBefore, unwritable.unwritable);
    linesBefore += converted.lineBreaks;
}

// The pieces of one conversion, claimed in order by the two threads and
// written in order by the calling one. Each thread has its own extension
// table: a piece is written with the codes its thread gave it.
class Conversion {
  public:
    Conversion(const PieceConversion& conversion, const std::uint8_t* text, std::uint32_t length)
        : conversion_(conversion), text_(text), length_(length), slots_(kWindow) {
        if (conversion.eol != EolChoice::Keep) {
            lineBreak_ = OutputLineBreak(conversion.eol, LineBreakKind::WIN);
            lineBreakKnown_ = true;
        }
    }

    // Which halves of the text a thread scans for line breaks.
    enum class Role { Writer, Helper, WriterAlone };

    // The line-break scan of this thread's halves of the text, then pieces
    // until none is left. The writer writes what is ready between pieces,
    // and never waits for room.
    void Work(Role role, ByteSink* writer) {
        try {
            Scan(role);
            Workspace work;
            for (;;) {
                if (writer != nullptr && !WriteReady(*writer))
                    return;
                std::uint32_t index = 0;
                PieceStart start;
                PieceStart end;
                if (!Claim(writer == nullptr, index, start, end)) {
                    if (writer == nullptr || Finished())
                        return;
                    WaitForReady();
                    continue;
                }
                Converted converted;
                converted.bytes = TakeBlock();
                ConvertPiece(conversion_, text_, length_, start, end, &lineBreak_, work, converted);
                Deposit(index, std::move(converted));
            }
        } catch (const std::bad_alloc&) {
            Fail();
        }
    }

    bool outOfMemory() const { return outOfMemory_; }
    bool sinkFailed() const { return sinkFailed_; }
    std::uint32_t written() const { return written_; }
    const Unwritable& unwritable() const { return unwritable_; }
    LineBreakKind lineBreak() const { return lineBreak_; }

    // Stops the other thread.
    void Stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

  private:
    // Scans the halves role gives this thread, split just after a line
    // feed, and waits for the other's; the second half to arrive decides
    // how line breaks are written.
    void Scan(Role role) {
        if (conversion_.eol != EolChoice::Keep)
            return;
        // Only the offset is wanted: a JIS text splits like any other
        // byte-oriented one, without looking for its character set.
        const EncodingKind splitKind =
            conversion_.from == EncodingKind::JIS ? EncodingKind::SJIS : conversion_.from;
        const std::uint32_t middle =
            NextPieceStart(splitKind, text_, length_, {}, length_ / 2).offset;
        LineBreaksSeen seen;
        int halves = 0;
        const auto add = [&](const LineBreaksSeen& part) {
            seen.crLfPairs |= part.crLfPairs;
            seen.loneCrs |= part.loneCrs;
            seen.loneLfs |= part.loneLfs;
            ++halves;
        };
        if (role != Role::Helper)
            add(ScanLineBreaks(conversion_.from, text_, middle));
        if (role != Role::Writer)
            add(ScanLineBreaks(conversion_.from, text_ + middle, length_ - middle));
        std::unique_lock lock(mutex_);
        seen_.crLfPairs |= seen.crLfPairs;
        seen_.loneCrs |= seen.loneCrs;
        seen_.loneLfs |= seen.loneLfs;
        halvesScanned_ += halves;
        if (halvesScanned_ == 2) {
            lineBreak_ = OutputLineBreak(
                conversion_.eol,
                LineBreakKindFromCounts(seen_.crLfPairs, seen_.loneCrs, seen_.loneLfs));
            lineBreakKnown_ = true;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return lineBreakKnown_ || stopped_; });
    }

    // The next piece to convert; false when none is left, the conversion
    // stopped, or (unless wait) the window is full.
    bool Claim(bool wait, std::uint32_t& index, PieceStart& start, PieceStart& end) {
        std::unique_lock lock(mutex_);
        const auto room = [&] { return stopped_ || claimed_ < written_ + kWindow; };
        if (wait)
            changed_.wait(lock, room);
        if (stopped_ || !room() || !PiecesLeft())
            return false;
        index = claimed_++;
        start = next_;
        next_ = NextPieceStart(conversion_.from, text_, length_, start, conversion_.pieceBytes);
        end = next_;
        return true;
    }
    bool PiecesLeft() const { return claimed_ == 0 || next_.offset < length_; }

    std::vector<std::uint8_t> TakeBlock() {
        std::lock_guard lock(mutex_);
        if (free_.empty())
            return {};
        std::vector<std::uint8_t> block = std::move(free_.back());
        free_.pop_back();
        return block;
    }

    void Deposit(std::uint32_t index, Converted converted) {
        std::lock_guard lock(mutex_);
        converted.ready = true;
        slots_[index % kWindow] = std::move(converted);
        changed_.notify_all();
    }

    // Writes the pieces that are ready, in order; false when the sink failed
    // or the conversion stopped.
    bool WriteReady(ByteSink& sink) {
        for (;;) {
            Converted converted;
            {
                std::lock_guard lock(mutex_);
                if (stopped_)
                    return false;
                Converted& slot = slots_[written_ % kWindow];
                if (!slot.ready)
                    return true;
                converted = std::move(slot);
                slot = Converted();
            }
            AddUnwritable(converted, linesBefore_, unwritable_);
            if (!sink.Write(converted.bytes.data(), converted.bytes.size())) {
                sinkFailed_ = true;
                Stop();
                return false;
            }
            std::lock_guard lock(mutex_);
            ++written_;
            free_.push_back(std::move(converted.bytes));
            changed_.notify_all();
        }
    }

    // Every piece claimed and written.
    bool Finished() {
        std::lock_guard lock(mutex_);
        return stopped_ || (!PiecesLeft() && written_ == claimed_);
    }

    void WaitForReady() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || slots_[written_ % kWindow].ready; });
    }

    void Fail() {
        std::lock_guard lock(mutex_);
        outOfMemory_ = true;
        stopped_ = true;
        changed_.notify_all();
    }

    const PieceConversion& conversion_;
    const std::uint8_t* text_;
    std::uint32_t length_;

    std::mutex mutex_;
    std::condition_variable changed_;
    LineBreaksSeen seen_;
    int halvesScanned_ = 0;
    bool lineBreakKnown_ = false;
    LineBreakKind lineBreak_ = LineBreakKind::WIN;
    PieceStart next_;
    std::uint32_t claimed_ = 0;
    std::uint32_t written_ = 0;
    std::vector<Converted> slots_;
    std::vector<std::vector<std::uint8_t>> free_;
    bool stopped_ = false;
    bool outOfMemory_ = false;
    bool sinkFailed_ = false;
    // The writer's own.
    Unwritable unwritable_;
    std::uint32_t linesBefore_ = 0;
};

// --strict's counting pass: the pieces imported and counted on this thread.
void CountOnOneThread(const PieceConversion& conversion, const std::uint8_t* text,
                      std::uint32_t length, Unwritable& unwritable) {
    Workspace work;
    std::uint32_t linesBefore = 0;
    for (PieceStart start; start.offset == 0 || start.offset < length;) {
        const PieceStart next =
            NextPieceStart(conversion.from, text, length, start, conversion.pieceBytes);
        Converted converted;
        ConvertPiece(conversion, text, length, start, next, nullptr, work, converted);
        AddUnwritable(converted, linesBefore, unwritable);
        if (next.offset >= length)
            break;
        start = next;
    }
}

}  // namespace

LineBreakKind OutputLineBreak(EolChoice eol, LineBreakKind input) {
    switch (eol) {
        case EolChoice::WIN:
            return LineBreakKind::WIN;
        case EolChoice::UX:
            return LineBreakKind::UX;
        case EolChoice::MAC:
            return LineBreakKind::MAC;
        case EolChoice::Keep:
            break;
    }
    return input == LineBreakKind::MIXED ? LineBreakKind::UX : input;
}

PiecesResult ConvertPieces(const PieceConversion& conversion, const std::uint8_t* text,
                           std::uint32_t length, ByteSink* sink, Unwritable& unwritable) {
    static const std::uint8_t kEmpty = 0;
    if (text == nullptr)
        text = &kEmpty;
    try {
        if (sink == nullptr) {
            CountOnOneThread(conversion, text, length, unwritable);
            return PiecesResult::Done;
        }
        Conversion pieces(conversion, text, length);
        std::thread helper;
        // A text of one piece is not worth a thread's start.
        try {
            if (length > conversion.pieceBytes)
                helper = std::thread([&] { pieces.Work(Conversion::Role::Helper, nullptr); });
        } catch (const std::system_error&) {
            // No second thread: this one does all the work.
        }
        pieces.Work(helper.joinable() ? Conversion::Role::Writer : Conversion::Role::WriterAlone,
                    sink);
        pieces.Stop();
        if (helper.joinable())
            helper.join();
        unwritable = pieces.unwritable();
        if (pieces.outOfMemory())
            return PiecesResult::OutOfMemory;
        if (pieces.sinkFailed())
            return PiecesResult::SinkFailed;
        return PiecesResult::Done;
    } catch (const std::bad_alloc&) {
        return PiecesResult::OutOfMemory;
    }
}

}  // namespace kotoha::conv
