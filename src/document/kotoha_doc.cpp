// SPDX-License-Identifier: MIT
#include "document/kotoha_doc.h"

#include <algorithm>

#include "codec/byte_class.h"
#include "document/find.h"

namespace kotoha {

namespace {

constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kBlank = 0x20;

bool IsPrintableAscii(std::uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

}  // namespace

CKotohaDoc::CKotohaDoc(DocumentOptionsSource options, RequestRecords& requests, DocumentHost& host)
    : options_(std::move(options)), requests_(requests), host_(host) {
    ReadLayoutSettings();
}

void CKotohaDoc::ReadLayoutSettings() {
    const DocumentOptions options = options_();
    wrapColumn = std::clamp(options.wrapColumns, kMinWrapColumn, kMaxWrapColumn);
    tabWidth = std::clamp(options.tabstops, kMinTabWidth, kMaxTabWidth);
}

void CKotohaDoc::DeleteContents() {
    text.Free();
    extensions.clear();
    lineIndex.Free();
    openNotice = {};
    encoding = EncodingKind::SJIS;
}

bool CKotohaDoc::OnNewDocument() {
    ReadLayoutSettings();
    DeleteContents();
    pathName_.clear();
    modified_ = false;
    return true;
}

void CKotohaDoc::SetEncoding(EncodingKind kind) {
    encoding = kind;
    host_.ShowEncodingKind(kind);
}

void CKotohaDoc::SetLineBreak(LineBreakKind kind) {
    lineBreak = kind;
    host_.ShowLineBreakKind(kind);
}

ByteBlock CKotohaDoc::CopyRangeForClipboard(std::uint32_t begin, std::uint32_t end) {
    end = std::min(end, text.capacity());
    begin = std::min(begin, end);
    if (IsTrailByteAt(begin))
        --begin;
    if (IsTrailByteAt(end))
        --end;

    const std::uint32_t n = end - begin;
    // Room for the CRs that line breaks gain, so that the copy rarely grows.
    const std::uint32_t extra = std::max<std::uint32_t>(64, n / 30);
    GlobalArray<std::uint8_t> scratch(extra / 10);
    if (std::uint64_t{n} + extra > UINT32_MAX || !scratch.SetSize(n + extra))
        return {};

    const std::uint8_t* bytes = TextData();
    bool ok = true;
    for (std::uint32_t i = begin; ok && i < end; ++i) {
        const std::uint8_t b = bytes[i];
        if (b == kLf) {
            ok = scratch.Append(kCr) && scratch.Append(kLf);
        } else if (IsLeadByte(b) && i + 1 < text.capacity()) {
            ok = scratch.Append(b) && scratch.Append(bytes[++i]);
        } else if (b == kTab || IsPrintableAscii(b) || IsHalfWidthKana(b)) {
            ok = scratch.Append(b).has_value();
        } else {
            ok = scratch.Append(kBlank).has_value();
        }
    }
    if (!ok || !scratch.Append(0) || !scratch.SetSize(scratch.count()))
        return {};
    return scratch.Detach();
}

std::string CKotohaDoc::CopyRangeForFind(std::uint32_t begin, std::uint32_t end) const {
    end = std::min(end, text.capacity());
    begin = std::min(begin, end);
    if (IsTrailByteAt(begin))
        --begin;
    if (IsTrailByteAt(end))
        --end;

    const std::uint8_t* bytes = TextData();
    std::string result;
    while (begin < end && result.size() < kMaxFindText) {
        const std::uint8_t b = bytes[begin];
        if (IsLeadByte(b)) {
            if (result.size() + 1 >= kMaxFindText || begin + 1 >= text.capacity())
                break;
            result.push_back(static_cast<char>(b));
            result.push_back(static_cast<char>(bytes[begin + 1]));
            begin += 2;
        } else if (IsPrintableAscii(b) || IsHalfWidthKana(b)) {
            result.push_back(static_cast<char>(b));
            ++begin;
        } else {
            break;
        }
    }
    return result;
}

LayoutText CKotohaDoc::Layout() const {
    return {TextData(),           text.capacity(), lineIndex.data(),
            lineIndex.capacity(), wrapColumn,      tabWidth};
}

bool CKotohaDoc::BuildLineIndex(std::int32_t newWrapColumn, std::int32_t newTabWidth) {
    if (!kotoha::BuildLineIndex(TextData(), text.capacity(), newWrapColumn, newTabWidth,
                                lineIndex)) {
        return false;
    }
    wrapColumn = newWrapColumn;
    tabWidth = newTabWidth;
    return true;
}

const char* CKotohaDoc::GetLineText(std::int32_t line, std::uint32_t* columns) {
    const std::uint32_t n = kotoha::GetLineText(Layout(), line, lineText_.data());
    if (columns)
        *columns = n;
    return lineText_.data();
}

const char* CKotohaDoc::GetLineCells(std::int32_t line, std::uint32_t* columns) {
    const std::uint32_t n = kotoha::GetLineCells(Layout(), line, lineCells_.data());
    if (columns)
        *columns = n;
    return lineCells_.data();
}

std::int32_t CKotohaDoc::GetLineCount() const {
    return Layout().LineCount();
}

std::uint32_t CKotohaDoc::PosToOffset(DisplayPos pos) const {
    return kotoha::PosToOffset(Layout(), pos);
}

DisplayPos CKotohaDoc::OffsetToPos(std::uint32_t offset) const {
    return kotoha::OffsetToPos(Layout(), offset);
}

std::int32_t CKotohaDoc::LineOfOffset(std::uint32_t offset) const {
    return kotoha::LineOfOffset(Layout(), offset);
}

bool CKotohaDoc::IsTrailByteAt(std::uint32_t offset) const {
    return kotoha::IsTrailByteAt(Layout(), offset);
}

bool CKotohaDoc::FindText(std::uint32_t& offset, std::string_view pattern, bool down,
                          bool matchCase, bool wholeWord) const {
    return kotoha::FindText(Layout(), offset, pattern, down, matchCase, wholeWord);
}

void CKotohaDoc::SetTitle(const std::string& title) {
    title_ = title;
    host_.TitleChanged(title_);
}

void CKotohaDoc::SetPathName(const std::string& path, bool addToRecent) {
    pathName_ = path;
    const std::size_t slash = path.rfind('/');
    SetTitle(slash == std::string::npos ? path : path.substr(slash + 1));
    if (addToRecent)
        host_.AddToRecentFileList(path);
}

bool CKotohaDoc::SaveModified(UserInterface& ui) {
    if (!modified_)
        return true;
    switch (ui.AskYesNoCancel(StringId::kSaveChangesQuestion, title_)) {
        case Answer::Yes:
            return DoFileSave(ui);
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

const std::uint8_t* CKotohaDoc::TextData() const {
    // An empty text has no block; the walks and the export still get a valid
    // address to add a zero offset to.
    static constexpr std::uint8_t kEmpty = 0;
    return text.data() != nullptr ? text.data() : &kEmpty;
}

void CKotohaDoc::ReportFileError(const FileResult& result, const std::string& path) {
    if (!result.damagedCopy.empty()) {
        host_.ShowMessage(StringId::kFileDamaged, MessageKind::Warning, path, result.damagedCopy);
        return;
    }
    host_.ShowMessage(FileErrorMessage(result.kind, result.access), MessageKind::Warning, path);
}

}  // namespace kotoha
