// SPDX-License-Identifier: MIT
// A document host that records what the document asks of the windowing
// layer and answers from fields the test sets.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "allocation_faults.h"
#include "base/global_array.h"
#include "document/document_host.h"
#include "document/requests.h"
#include "temp_dir.h"

namespace kotoha::testing {

struct ShownMessage {
    StringId::Id id;
    MessageKind kind;
    std::string argument;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

class FakeHost : public DocumentHost {
  public:
    explicit FakeHost(RequestRecords* requests = nullptr) : requests(requests) {}

    // Recorded.
    std::vector<ShownMessage> messages;
    std::vector<StringId::Id> questions;
    std::vector<std::string> questionArguments;  // "argument|argument2"
    int formatPrompts = 0;
    std::vector<std::string> prompts;  // proposed names
    std::vector<StringId::Id> promptTitles;
    std::vector<SavePromptMode> promptModes;
    std::vector<EncodingKind> inquiries;
    std::vector<EncodingKind> shownEncodings;
    std::vector<LineBreakKind> shownLineBreaks;
    std::vector<std::string> titles;
    std::vector<std::string> recent;
    int updates = 0;
    int waitDepth = 0;
    int waitBegins = 0;
    int waitRestores = 0;
    int newDocuments = 0;

    // Answers.
    bool yesNoAnswer = true;
    std::vector<bool> yesNoAnswers;  // answered first, in order
    // The save-format dialog alone: each call takes the next choice; none
    // left cancels.
    std::vector<SaveFormatChoice> formatAnswers;
    Answer yesNoCancelAnswer = Answer::No;
    std::int32_t inquireAnswer = -1;
    bool promptAccepts = true;
    std::string promptName;  // empty: keep the proposal
    SaveFormatChoice promptChoice;
    DisplayPos selectionLo;
    DisplayPos selectionHi;
    std::function<bool()> onStartNewDocument;
    RequestRecords* requests;

    void ShowMessage(StringId::Id id, MessageKind kind, std::string_view argument,
                     std::string_view argument2) override {
        messages.push_back(
            {id, kind,
             std::string(argument) + (argument2.empty() ? "" : "|" + std::string(argument2))});
    }
    bool AskYesNo(StringId::Id id, std::string_view argument, std::string_view argument2) override {
        questions.push_back(id);
        questionArguments.push_back(std::string(argument) + "|" + std::string(argument2));
        if (!yesNoAnswers.empty()) {
            const bool answer = yesNoAnswers.front();
            yesNoAnswers.erase(yesNoAnswers.begin());
            return answer;
        }
        return yesNoAnswer;
    }
    Answer AskYesNoCancel(StringId::Id id, std::string_view) override {
        questions.push_back(id);
        return yesNoCancelAnswer;
    }
    std::int32_t InquireEncoding(EncodingKind detected, const std::uint8_t*,
                                 std::uint32_t) override {
        inquiries.push_back(detected);
        return inquireAnswer;
    }
    // Both questions remember their answer as the application does.
    std::optional<SaveFormatChoice> AskSaveFileName(std::string& fileName, StringId::Id titleId,
                                                    SavePromptMode mode) override {
        prompts.push_back(fileName);
        promptTitles.push_back(titleId);
        promptModes.push_back(mode);
        if (!promptAccepts)
            return std::nullopt;
        if (!promptName.empty())
            fileName = promptName;
        SaveFormatChoice choice = promptChoice;
        choice.forSelection = mode == SavePromptMode::CopySelection;
        if (mode == SavePromptMode::EditorSave)
            choice = {};
        if (requests)
            requests->saveFormatChoice = choice;
        return choice;
    }
    std::optional<SaveFormatChoice> AskSaveFormat(SavePromptMode) override {
        ++formatPrompts;
        if (formatAnswers.empty())
            return std::nullopt;
        const SaveFormatChoice choice = formatAnswers.front();
        if (requests)
            requests->saveFormatChoice = choice;
        formatAnswers.erase(formatAnswers.begin());
        return choice;
    }
    void BeginWaitCursor() override {
        ++waitDepth;
        ++waitBegins;
    }
    void EndWaitCursor() override { --waitDepth; }
    void RestoreWaitCursor() override { ++waitRestores; }

    void UpdateAllViews() override { ++updates; }
    void ShowEncodingKind(EncodingKind kind) override { shownEncodings.push_back(kind); }
    void ShowLineBreakKind(LineBreakKind kind) override { shownLineBreaks.push_back(kind); }
    void TitleChanged(const std::string& title) override { titles.push_back(title); }
    void AddToRecentFileList(const std::string& path) override { recent.push_back(path); }
    void GetActiveSelection(DisplayPos& lo, DisplayPos& hi) override {
        lo = selectionLo;
        hi = selectionHi;
    }
    bool StartNewDocument() override {
        ++newDocuments;
        return onStartNewDocument ? onStartNewDocument() : true;
    }
};

// Bytes of a string literal (escaped Shift-JIS) as a text view.
inline std::string Bytes(std::string_view s) {
    return std::string(s);
}

}  // namespace kotoha::testing

#include <cstring>

#include "document/document_options.h"
#include "document/kotoha_doc.h"

namespace kotoha::testing {

// A block holding a copy of bytes, as a file read or a clipboard copy would.
inline ByteBlock BlockOf(std::string_view bytes) {
    GlobalArray<std::uint8_t> array;
    if (!bytes.empty() && array.SetSize(static_cast<std::uint32_t>(bytes.size()))) {
        std::memcpy(array.data(), bytes.data(), bytes.size());
    }
    return array.Detach();
}

// The settings a document reads, at the application's defaults.
struct DocumentSettings {
    std::int32_t wrapColumns = 80;
    std::int32_t tabstops = 8;
    std::int32_t preferWinText = 1;
    std::int32_t inquireWhenStrayed = 0;
    std::int32_t inquireWhenPaste = 1;
    std::int32_t detectUnicode = 1;
    std::int32_t showOpenNotice = 1;
    std::int32_t askBeforeLoss = 1;
    static DocumentOptions OptionsOf(const DocumentSettings& s) {
        return {s.wrapColumns,      s.tabstops,      s.preferWinText,  s.inquireWhenStrayed,
                s.inquireWhenPaste, s.detectUnicode, s.showOpenNotice, s.askBeforeLoss};
    }
};

// A document with its settings, request records and fake host. Layers above
// the document hold the settings in their own form (OptionsOf reads them).
template <class Settings, DocumentOptions (*OptionsOf)(const Settings&)>
struct BasicDocFixture {
    Settings settings;
    RequestRecords requests;
    FakeHost host{&requests};
    CKotohaDoc doc{[this] { return OptionsOf(settings); }, requests, host};

    // Loads raw bytes as a Shift-JIS text (no detection).
    bool Load(std::string_view bytes, std::int32_t forced = 0) {
        return doc.LoadFromBlock(BlockOf(bytes), static_cast<std::uint32_t>(bytes.size()),
                                 {OpenOrigin::FileDialog, forced}, host);
    }
    std::string Text() const {
        return std::string(reinterpret_cast<const char*>(doc.text.data()), doc.text.capacity());
    }
};
using DocFixture = BasicDocFixture<DocumentSettings, &DocumentSettings::OptionsOf>;

}  // namespace kotoha::testing
