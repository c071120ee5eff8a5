// SPDX-License-Identifier: MIT
// Save As, copy to file, and widening the text after a Save As.
#include <sys/stat.h>

#include "codec/export.h"
#include "document/kotoha_doc.h"

namespace kotoha {

std::string ProposeSaveName(std::string_view title, std::string_view defaultExtension) {
    std::string name(title.substr(0, 8));
    // Never leave half a UTF-8 character behind.
    if (title.size() > 8) {
        while (!name.empty() && (static_cast<unsigned char>(title[name.size()]) & 0xC0) == 0x80) {
            name.pop_back();
        }
    }
    const std::size_t stop = name.find_first_of(" #%;/\\");
    if (stop != std::string::npos)
        name.resize(stop);
    name += defaultExtension;
    return name;
}

bool CKotohaDoc::DoSave(std::optional<std::string> path, bool replace, SavePromptMode mode,
                        UserInterface& ui) {
    std::string name = path.value_or(std::string());
    const bool prompted = name.empty();
    // Without a prompt the text is written in the format chosen last.
    SaveFormatChoice format = requests_.saveFormatChoice;
    if (prompted) {
        name = pathName_;
        if (replace && name.empty())
            name = ProposeSaveName(title_, names_.defaultExtension);
        const StringId::Id titleId = replace ? StringId::kSaveAsTitle : StringId::kCopyToFileTitle;
        const std::optional<SaveFormatChoice> chosen = ui.AskSaveFileName(name, titleId, mode);
        if (!chosen)
            return false;
        format = *chosen;
    }
    if (!ConfirmLosses(format, !replace, prompted ? mode : std::optional<SavePromptMode>(), ui))
        return false;

    WaitCursorScope wait(host_);
    const FileResult result =
        WriteFileSafely(name, [&](FdSink& sink) { return Serialize(sink, !replace, format); });
    if (!result.ok()) {
        ReportFileError(result, name);
        return false;
    }
    modified_ = false;

    if (replace) {
        if (prompted) {
            if (format.widenKana && !WidenHalfWidthKana()) {
                host_.ShowMessage(StringId::kOutOfMemory, MessageKind::Warning);
                return true;
            }
            SetPathName(name);
            SetLineBreak(format.textFormat);
            SetEncoding(format.encoding);
        } else {
            SetPathName(name);
        }
    }
    return true;
}

bool CKotohaDoc::DoFileSave(UserInterface& ui) {
    struct stat st;
    if (pathName_.empty() || stat(pathName_.c_str(), &st) != 0 || IsReadOnlyFile(pathName_, st)) {
        return DoSave(std::nullopt, true, SavePromptMode::SaveAs, ui);
    }
    return DoSave(pathName_, true, SavePromptMode::SaveAs, ui);
}

bool CKotohaDoc::ConfirmLosses(SaveFormatChoice& format, bool forCopy,
                               std::optional<SavePromptMode> promptedAs, UserInterface& ui) {
    if (options_().askBeforeLoss == 0)
        return true;
    // A save for the editor has no format to choose again.
    const bool canChooseAgain = promptedAs && *promptedAs != SavePromptMode::EditorSave;
    for (;;) {
        const EncodingKind kind = format.encoding;
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        SaveRange(format, forCopy, begin, end);
        const std::uint32_t unwritable =
            CountUnwritableCharacters(kind, TextData() + begin, end - begin, &extensions);
        if (unwritable == 0 || ui.AskYesNo(StringId::kUnwritableQuestion,
                                           std::to_string(unwritable), EncodingDisplayName(kind))) {
            return true;
        }
        if (!canChooseAgain)
            return false;
        const std::optional<SaveFormatChoice> again = ui.AskSaveFormat(*promptedAs);
        if (!again)
            return false;
        format = *again;
    }
}

void CKotohaDoc::SaveRange(const SaveFormatChoice& format, bool forCopy, std::uint32_t& begin,
                           std::uint32_t& end) {
    begin = 0;
    end = text.capacity();
    // A save of the document itself always writes the whole text, even when
    // the remembered choice still says "selection" from an earlier copy to
    // file: writing a part under the document's own name would lose the rest.
    if (forCopy && format.forSelection) {
        DisplayPos lo;
        DisplayPos hi;
        host_.GetActiveSelection(lo, hi);
        if (hi < lo)
            std::swap(lo, hi);
        begin = PosToOffset(lo);
        end = PosToOffset(hi);
    }
}

bool CKotohaDoc::Serialize(ByteSink& sink, bool forCopy, const SaveFormatChoice& format) {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    SaveRange(format, forCopy, begin, end);
    return ExportText(format.encoding, format.textFormat, sink, TextData(), begin, end,
                      format.widenKana, &extensions);
}

bool CKotohaDoc::WidenHalfWidthKana() {
    if (halfWidthKanaCount == 0)
        return true;
    const std::uint32_t length = text.capacity();
    // Size the buffer from the text itself rather than trusting the count
    // blindly: each half-width katakana grows by at most one byte.
    std::uint32_t kana = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint8_t b = text[i];
        if (IsLeadByte(b)) {
            ++i;
        } else if (IsHalfWidthKana(b)) {
            ++kana;
        }
    }
    GlobalArray<std::uint8_t> scratch;
    if (std::uint64_t{length} + kana > UINT32_MAX || !scratch.SetSize(length + kana))
        return false;
    const std::uint32_t n = WidenKana(scratch.data(), text.data(), length);
    if (!scratch.SetSize(n))
        return false;

    const std::uint32_t oldLength = text.capacity();
    ByteBlock old = text.Detach();
    text.Attach(scratch.Detach());
    if (!BuildLineIndex(wrapColumn, tabWidth)) {
        text.Attach(std::move(old), oldLength);
        return false;
    }
    halfWidthKanaCount = 0;
    host_.UpdateAllViews();
    return true;
}

}  // namespace kotoha
