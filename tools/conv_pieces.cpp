// SPDX-License-Identifier: MIT
#include "conv_pieces.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "codec/export.h"
#include "codec/extension_table.h"
#include "codec/import.h"

namespace kotoha::conv {

namespace {

// Input bytes per piece: a piece and what it becomes stay in the cache
// between its import and its export.
constexpr std::uint32_t kPieceBytes = 256 * 1024;
// Pieces the import may run ahead of the writing.
constexpr std::size_t kPiecesAhead = 4;

// One imported piece on its way to the writer, with the extension table as
// it stood after it (null while the table is empty): the importer goes on
// adding codes to its own.
struct Piece {
    std::vector<std::uint8_t> bytes;
    std::uint32_t size = 0;
    std::shared_ptr<const ExtensionTable> table;
};

// Pieces from the importing thread to the writing one, a few at a time, and
// their emptied blocks back for the next pieces.
class PieceQueue {
  public:
    // Waits while the queue is full; false once the writer has stopped.
    bool Push(Piece piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || pieces_.size() < kPiecesAhead; });
        if (stopped_)
            return false;
        pieces_.push_back(std::move(piece));
        changed_.notify_all();
        return true;
    }
    // Waits for the next piece; false when there is none and none will come.
    bool Pop(Piece& piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return finished_ || !pieces_.empty(); });
        if (pieces_.empty())
            return false;
        piece = std::move(pieces_.front());
        pieces_.pop_front();
        changed_.notify_all();
        return true;
    }
    // A block a written piece gave back, or an empty one.
    std::vector<std::uint8_t> Recycled() {
        std::lock_guard lock(mutex_);
        if (free_.empty())
            return {};
        std::vector<std::uint8_t> block = std::move(free_.back());
        free_.pop_back();
        return block;
    }
    void GiveBack(std::vector<std::uint8_t> block) {
        std::lock_guard lock(mutex_);
        free_.push_back(std::move(block));
    }
    // The importer has no more pieces.
    void Finish() {
        std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }
    // The writer wants no more pieces.
    void Stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;
    std::vector<std::vector<std::uint8_t>> free_;
    bool finished_ = false;
    bool stopped_ = false;
};

// Counts into unwritable the characters of the piece pieces holds that the
// output cannot; linesBefore is the number of lines before the piece.
void CountPiece(const PieceConversion& conversion, const ImportPieces& pieces,
                const ExtensionTable& table, std::uint32_t linesBefore, Unwritable& unwritable) {
    const std::uint8_t* text = pieces.data();
    std::uint32_t firstOffset = 0;
    const std::uint32_t lost =
        CountUnwritableCharacters(conversion.to, text, pieces.size(), &table, &firstOffset);
    if (lost != 0 && unwritable.count == 0)
        unwritable.firstLine =
            1 + linesBefore +
            static_cast<std::uint32_t>(std::count(text, text + firstOffset, '\n'));
    unwritable.count += lost;
}

bool ExportPiece(const PieceConversion& conversion, LineBreakKind lineBreak, ByteSink& sink,
                 const std::uint8_t* text, std::uint32_t size, const ExtensionTable* table,
                 bool first) {
    return first
               ? ExportText(conversion.to, lineBreak, sink, text, 0, size, conversion.widen, table)
               : ExportTextContinued(conversion.to, lineBreak, sink, text, size, conversion.widen,
                                     table);
}

// An empty text still gets the byte-order mark its kind has.
bool ExportEmpty(const PieceConversion& conversion, LineBreakKind lineBreak, ByteSink& sink) {
    static const std::uint8_t kEmpty = 0;
    return ExportText(conversion.to, lineBreak, sink, &kEmpty, 0, 0, conversion.widen);
}

// The conversion on the calling thread alone: with --strict's counting pass
// (no sink), and when no second thread can be had.
bool ConvertOnOneThread(const PieceConversion& conversion, const std::uint8_t* text,
                        std::uint32_t length, const std::function<LineBreakKind()>& lineBreakOf,
                        ByteSink* sink, Unwritable& unwritable) {
    const LineBreakKind lineBreak = sink != nullptr ? lineBreakOf() : LineBreakKind::UX;
    ExtensionTable table;
    ImportPieces pieces(conversion.from, text, length, &table);
    std::uint32_t linesBefore = 0;
    bool first = true;
    while (pieces.Next(kPieceBytes)) {
        CountPiece(conversion, pieces, table, linesBefore, unwritable);
        linesBefore = pieces.lineBreaks();
        if (sink != nullptr &&
            !ExportPiece(conversion, lineBreak, *sink, pieces.data(), pieces.size(), &table, first))
            return false;
        first = false;
    }
    return !first || sink == nullptr || ExportEmpty(conversion, lineBreak, *sink);
}

// The importing thread's work: every piece imported, counted and queued.
void ImportAll(const PieceConversion& conversion, const std::uint8_t* text, std::uint32_t length,
               PieceQueue& queue, Unwritable& unwritable, std::exception_ptr& failure) {
    try {
        ExtensionTable table;
        ImportPieces pieces(conversion.from, text, length, &table);
        std::shared_ptr<const ExtensionTable> snapshot;
        std::uint32_t linesBefore = 0;
        while (pieces.Next(kPieceBytes)) {
            CountPiece(conversion, pieces, table, linesBefore, unwritable);
            linesBefore = pieces.lineBreaks();
            if (table.size() != (snapshot != nullptr ? snapshot->size() : 0))
                snapshot = std::make_shared<const ExtensionTable>(table);
            Piece piece;
            piece.size = pieces.size();
            piece.table = snapshot;
            piece.bytes = pieces.ExchangeBuffer(queue.Recycled());
            if (!queue.Push(std::move(piece)))
                break;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    queue.Finish();
}

}  // namespace

PiecesResult ConvertPieces(const PieceConversion& conversion, const std::uint8_t* text,
                           std::uint32_t length, const std::function<LineBreakKind()>& lineBreakOf,
                           ByteSink* sink, Unwritable& unwritable) {
    const auto result = [](bool written) {
        return written ? PiecesResult::Done : PiecesResult::SinkFailed;
    };
    try {
        if (sink == nullptr)
            return result(
                ConvertOnOneThread(conversion, text, length, lineBreakOf, sink, unwritable));
        PieceQueue queue;
        std::exception_ptr failure;
        std::thread importer;
        try {
            importer = std::thread(ImportAll, std::cref(conversion), text, length, std::ref(queue),
                                   std::ref(unwritable), std::ref(failure));
        } catch (const std::system_error&) {
            return result(
                ConvertOnOneThread(conversion, text, length, lineBreakOf, sink, unwritable));
        }
        bool ok = true;
        {
            // However this block is left, the importer is stopped and waited
            // for.
            struct Joiner {
                PieceQueue& queue;
                std::thread& thread;
                ~Joiner() {
                    queue.Stop();
                    thread.join();
                }
            } joiner{queue, importer};
            const LineBreakKind lineBreak = lineBreakOf();
            bool first = true;
            Piece piece;
            while (ok && queue.Pop(piece)) {
                ok = ExportPiece(conversion, lineBreak, *sink, piece.bytes.data(), piece.size,
                                 piece.table.get(), first);
                first = false;
                queue.GiveBack(std::move(piece.bytes));
            }
            if (ok && first && !failure)
                ok = ExportEmpty(conversion, lineBreak, *sink);
        }
        if (failure)
            std::rethrow_exception(failure);
        return result(ok);
    } catch (const std::bad_alloc&) {
        return PiecesResult::OutOfMemory;
    }
}

}  // namespace kotoha::conv
