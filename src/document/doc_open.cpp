// SPDX-License-Identifier: MIT
// Opening: reading a file whole into one block and loading a block of raw
// bytes as the document's text.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/whole_file.h"
#include "codec/detect.h"
#include "codec/import.h"
#include "document/kotoha_doc.h"

namespace kotoha {

namespace {

// Opens path for reading; only a regular file holds a text: a folder, a
// pipe, a socket or a device is refused. fd is -1 on failure.
FileResult OpenRegularFile(const std::string& path, int& fd) {
    // Non-blocking, so that a pipe without a writer cannot hang the open.
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {ClassifyErrno(errno), FileAccess::Read};
    struct stat st;
    // A folder says that it is one; a pipe or device is a read error.
    const int statError = fstat(fd, &st) != 0   ? errno
                          : S_ISREG(st.st_mode) ? 0
                          : S_ISDIR(st.st_mode) ? EISDIR
                                                : EIO;
    if (statError != 0) {
        close(fd);
        fd = -1;
        return {ClassifyErrno(statError), FileAccess::Read};
    }
    return {};
}

// Reads fd whole into bytes. The text's length and offsets are 32-bit: a
// longer file is reported as out of memory rather than loaded in part.
FileResult ReadWhole(int fd, GlobalArray<std::uint8_t>& bytes) {
    int error = 0;
    switch (ReadWholeFile(fd, bytes, error)) {
        case WholeFileStatus::Ok:
            return {};
        case WholeFileStatus::ReadError:
            return {ClassifyErrno(error), FileAccess::Read};
        case WholeFileStatus::TooLong:
        case WholeFileStatus::OutOfMemory:
            break;
    }
    return {FileErrorKind::Other, FileAccess::Read};
}

}  // namespace

bool CKotohaDoc::OnOpenDocument(const std::string& path, const OpenRequest& request,
                                UserInterface& ui) {
    int fd = -1;
    // A refused file leaves the current document as it is.
    if (const FileResult opened = OpenRegularFile(path, fd); !opened.ok()) {
        ReportFileError(opened, path);
        return false;
    }
    // Read only now: a refused open leaves the document as it was, its wrap
    // column and tab length included, which its index was built for.
    ReadLayoutSettings();

    DeleteContents();
    // The document counts as changed while it is being loaded, so that a
    // failure leaves it marked for the template's recovery.
    modified_ = true;
    FileResult result;
    {
        WaitCursorScope wait(host_);
        result = LoadFromFile(fd, request, ui);
        close(fd);
    }
    if (!result.ok()) {
        DeleteContents();
        ReportFileError(result, path);
        return false;
    }
    modified_ = false;
    return true;
}

bool CKotohaDoc::ReadOwnFile(GlobalArray<std::uint8_t>& bytes) {
    int fd = -1;
    FileResult result = OpenRegularFile(pathName_, fd);
    if (result.ok()) {
        WaitCursorScope wait(host_);
        result = ReadWhole(fd, bytes);
        close(fd);
    }
    if (!result.ok()) {
        ReportFileError(result, pathName_);
        return false;
    }
    return true;
}

FileResult CKotohaDoc::LoadFromFile(int fd, const OpenRequest& request, UserInterface& ui) {
    GlobalArray<std::uint8_t> scratch;
    if (const FileResult read = ReadWhole(fd, scratch); !read.ok())
        return read;
    const std::uint32_t n = scratch.capacity();
    if (!LoadFromBlock(scratch.Detach(), n, request, ui))
        return {FileErrorKind::Other, FileAccess::Read};
    return {};
}

bool CKotohaDoc::LoadFromBlock(ByteBlock block, std::uint32_t length, const OpenRequest& request,
                               UserInterface& ui) {
    // Only the block's own bytes can be text.
    length = std::min(length, block.capacity());
    const std::int32_t forced = request.forcedEncoding;
    // Any forced value but the kinds' own reads as SJIS.
    EncodingKind kind = EncodingKind::SJIS;
    OpenNotice notice;
    if (length == 0) {
        kind = EncodingKindOf(std::max(forced, 0));
    } else if (forced < 0) {
        const DetectionResult r = DetectTextEncoding(
            block.data(), length, options_().preferWinText != 0, options_().detectUnicode != 0);
        kind = EncodingKindFromChoice(DetectionChoice(r));
        if (!IsDetectionCertain(r)) {
            if (options_().inquireWhenStrayed != 0) {
                // The views repaint the emptied document behind the question.
                host_.UpdateAllViews();
                const std::int32_t answer = ui.InquireEncoding(kind, block.data(), length);
                host_.RestoreWaitCursor();
                if (answer >= 0 && answer <= 6)
                    kind = static_cast<EncodingKind>(answer);
            } else {
                notice.guessed = true;
                notice.candidates = DetectionCandidates(r) | DetectionBitOf(kind);
            }
        }
    } else {
        kind = EncodingKindOf(forced);
    }
    encoding = kind;

    // An empty block is released and the text stays empty; the import still
    // runs so that the line-break kind and the katakana count are reset.
    text.Attach(std::move(block), length);
    extensions.clear();
    std::uint8_t none = 0;
    std::uint8_t* bytes = text.data() != nullptr ? text.data() : &none;
    ImportLosses losses;
    const std::uint32_t newLength = ImportText(kind, false, bytes, bytes, length, &lineBreak,
                                               &halfWidthKanaCount, &extensions, &losses);
    if (newLength != length && !text.SetSize(newLength)) {
        text.Free();
        return false;
    }
    if (!BuildLineIndex(wrapColumn, tabWidth)) {
        text.Free();
        return false;
    }
    if (options_().showOpenNotice == 0) {
        // Without the notice only a full extension table is told, in a box.
        if (losses.noCodeLeft != 0) {
            host_.ShowMessage(StringId::kCharactersReplaced, MessageKind::Information,
                              std::to_string(losses.noCodeLeft));
        }
        return true;
    }
    notice.lostCharacters = losses.total();
    if (notice.lostCharacters != 0) {
        const std::uint8_t* start = TextData();
        notice.firstLostLine =
            1 + static_cast<std::int32_t>(std::count(
                    start, start + std::min(losses.firstOffset, newLength), std::uint8_t{'\n'}));
    }
    openNotice = notice;
    return true;
}

}  // namespace kotoha
