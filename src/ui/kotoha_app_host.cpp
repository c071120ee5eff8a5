// SPDX-License-Identifier: MIT
// The application as the document's window layer and as the maker of the
// main frame for the template.
#include <QApplication>

#include "document/kotoha_doc.h"
#include "ui/encoding_inquiry_dialog.h"
#include "ui/file_prompt.h"
#include "ui/kotoha_app.h"
#include "ui/main_frame.h"
#include "ui/message_boxes.h"
#include "ui/save_format_dialog.h"
#include "view/text_view.h"

namespace kotoha {

void CKotohaApp::ShowMessage(StringId::Id id, MessageKind kind, std::string_view argument,
                             std::string_view argument2) {
    ShowMessageBox(frame_.get(), id, kind, argument, argument2);
}

bool CKotohaApp::AskYesNo(StringId::Id id, std::string_view argument, std::string_view argument2) {
    return AskYesNoBox(frame_.get(), id, argument, argument2);
}

Answer CKotohaApp::AskYesNoCancel(StringId::Id id, std::string_view argument) {
    return AskYesNoCancelBox(frame_.get(), id, argument);
}

std::int32_t CKotohaApp::InquireEncoding(EncodingKind detected, const std::uint8_t* bytes,
                                         std::uint32_t length) {
    if (batch_)
        return -1;  // as if cancelled: the detected kind
    // Without Unicode detection the question is the legacy one.
    return kotoha::InquireEncoding(
        detected, bytes, length, frame_.get(),
        settings_.DetectUnicode.value != 0 ? EncodingChoices::WithUtf8 : EncodingChoices::Legacy);
}

std::optional<SaveFormatChoice> CKotohaApp::AskSaveFileName(std::string& fileName,
                                                            StringId::Id titleId,
                                                            SavePromptMode mode) {
    if (batch_)
        return std::nullopt;
    FilePromptOptions options;
    options.titleId = titleId;
    options.save = true;
    std::string extension = template_ ? template_->strings().filterExt : std::string();
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    options.defaultSuffix = extension;
    std::string name = fileName;
    // The filter memory changes only once both dialogs are confirmed.
    FileDialogMemory memory = saveMemory_;
    if (!PromptForFileName(frame_.get(), name, options, memory))
        return std::nullopt;
    // The save-format dialog starts from the last answer; a save for the
    // editor always writes Shift-JIS with CR LF and no widening.
    std::optional<SaveFormatChoice> format;
    if (mode == SavePromptMode::EditorSave)
        format = requests_.saveFormatChoice = SaveFormatChoice{};
    else
        format = AskSaveFormat(mode);
    if (!format)
        return std::nullopt;
    saveMemory_ = memory;
    fileName = std::move(name);
    return format;
}

std::optional<SaveFormatChoice> CKotohaApp::AskSaveFormat(SavePromptMode mode) {
    if (batch_)
        return std::nullopt;
    // The answer is remembered: it presets the next dialog and is the
    // format of a save without a prompt.
    SaveFormatChoice& choice = requests_.saveFormatChoice;
    const CKotohaDoc* doc = document();
    // A document saved in another format than its own only when the user
    // says so: the dialog starts from its own encoding and line breaks.
    if (settings_.SaveAsOwnFormat.value != 0 && doc != nullptr &&
        (doc != formatAnsweredFor_ || doc->pathName() != formatAnsweredPath_)) {
        choice.encoding = doc->encoding;
        choice.textFormat =
            doc->lineBreak == LineBreakKind::MIXED ? LineBreakKind::UX : doc->lineBreak;
        choice.widenKana = false;
    }
    if (!RunSaveFormat(choice, frame_.get()))
        return std::nullopt;
    choice.forSelection = mode == SavePromptMode::CopySelection;
    formatAnsweredFor_ = doc;
    formatAnsweredPath_ = doc != nullptr ? doc->pathName() : std::string();
    return choice;
}

void CKotohaApp::BeginWaitCursor() {
    kotoha::BeginWaitCursor();
}

void CKotohaApp::EndWaitCursor() {
    kotoha::EndWaitCursor();
}

void CKotohaApp::RestoreWaitCursor() {
    // Message boxes lift the wait cursor only while they show, so there is
    // nothing to restore.
}

void CKotohaApp::UpdateAllViews() {
    if (frame_)
        frame_->UpdateAllViews();
}

void CKotohaApp::ShowEncodingKind(EncodingKind kind) {
    if (frame_)
        frame_->ShowEncodingKind(kind);
}

void CKotohaApp::ShowLineBreakKind(LineBreakKind kind) {
    if (frame_)
        frame_->ShowLineBreakKind(kind);
}

void CKotohaApp::TitleChanged(const std::string&) {
    if (frame_)
        frame_->UpdateTitle();
}

void CKotohaApp::AddToRecentFileList(const std::string& path) {
    recent_.Add(path);
    if (frame_)
        frame_->UpdateRecentFiles();
}

void CKotohaApp::GetActiveSelection(DisplayPos& lo, DisplayPos& hi) {
    lo = hi = DisplayPos{};
    if (frame_ && frame_->ActiveView() != nullptr)
        frame_->ActiveView()->GetSelection(lo, hi);
}

bool CKotohaApp::StartNewDocument() {
    return template_->OpenDocumentFile(std::nullopt, true) != nullptr;
}

bool CKotohaApp::CreateFrame(CKotohaDoc& doc) {
    frame_ = std::make_unique<CMainFrame>(*this, doc);
    return true;
}

void CKotohaApp::DestroyFrame() {
    frame_.reset();
    hasMainWindow_ = false;
}

bool CKotohaApp::HasMainWindow() {
    return hasMainWindow_;
}

void CKotohaApp::SetMainWindowToFrame() {
    hasMainWindow_ = true;
}

void CKotohaApp::InitialUpdateFrame(CKotohaDoc&, bool makeVisible) {
    if (!frame_)
        return;
    frame_->InitialUpdate();
    if (makeVisible && !frame_->isVisible()) {
        if (showMaximized_)
            frame_->showMaximized();
        else
            frame_->show();
    }
}

}  // namespace kotoha
