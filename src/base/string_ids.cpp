// SPDX-License-Identifier: MIT
#include "base/string_ids.h"

#include <utility>

namespace kotoha {

std::string_view MessageBoxName(StringId::Id id) {
    static constexpr std::pair<StringId::Id, std::string_view> kNames[] = {
        {StringId::kNotFound, "notFoundBox"},
        {StringId::kFontHasNoKanji, "fontHasNoKanjiBox"},
        {StringId::kFontIsVertical, "fontIsVerticalBox"},
        {StringId::kEditorNotStarted, "editorNotStartedBox"},
        {StringId::kClipboardNotOpened, "clipboardNotOpenedBox"},
        {StringId::kArgumentsLackFile, "argumentsLackFileBox"},
        {StringId::kReplaceTextQuestion, "replaceTextQuestionBox"},
        {StringId::kNoEditorCommand, "noEditorCommandBox"},
        {StringId::kCharactersReplaced, "charactersReplacedBox"},
        {StringId::kUnwritableQuestion, "unwritableQuestionBox"},
        {StringId::kInvalidFileName, "invalidFileNameBox"},
        {StringId::kOpenFailed, "openFailedBox"},
        {StringId::kSaveFailed, "saveFailedBox"},
        {StringId::kSaveChangesQuestion, "saveChangesQuestionBox"},
        {StringId::kCreateEmptyFailed, "createEmptyFailedBox"},
        {StringId::kOutOfMemory, "outOfMemoryBox"},
        {StringId::kEnterInteger, "enterIntegerBox"},
        {StringId::kEnterIntegerInRange, "enterIntegerInRangeBox"},
        {StringId::kFileNotFound, "fileNotFoundBox"},
        {StringId::kDiskFull, "diskFullBox"},
        {StringId::kReadAccessDenied, "readAccessDeniedBox"},
        {StringId::kWriteAccessDenied, "writeAccessDeniedBox"},
        {StringId::kReadError, "readErrorBox"},
        {StringId::kWriteError, "writeErrorBox"},
    };
    for (const auto& [message, name] : kNames) {
        if (message == id)
            return name;
    }
    return "messageBox";
}

}  // namespace kotoha
