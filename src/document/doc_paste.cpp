// SPDX-License-Identifier: MIT
// Replacing the whole document by the clipboard's text.
#include <algorithm>
#include <cstring>

#include "codec/cp932.h"
#include "document/kotoha_doc.h"

namespace kotoha {

bool CKotohaDoc::ReplaceFromClipboard(Clipboard& clipboard, UserInterface& ui) {
    if (options_().inquireWhenPaste != 0 && GetLineCount() > 0 &&
        !ui.AskYesNo(StringId::kReplaceTextQuestion)) {
        return false;
    }
    if (!host_.StartNewDocument())
        return false;

    // With Unicode on, every character is kept: those CP932 cannot hold get
    // codes of the pasted text's own extension table.
    const bool keepEveryCharacter = options_().detectUnicode != 0;
    std::string clip;
    ExtensionTable pastedExtensions;
    std::uint32_t replaced = 0;
    Clipboard::ReadResult read;
    if (keepEveryCharacter) {
        std::u16string wide;
        read = clipboard.ReadUnicodeText(wide);
        if (read == Clipboard::ReadResult::Text) {
            wide.resize(std::min(wide.find(u'\0'), wide.size()));
            clip = Utf16ToInternal(wide, pastedExtensions, &replaced);
        }
    } else {
        read = clipboard.ReadText(clip);
    }
    switch (read) {
        case Clipboard::ReadResult::NotOpened:
            host_.ShowMessage(StringId::kClipboardNotOpened, MessageKind::Warning);
            return false;
        case Clipboard::ReadResult::NoText:
            return false;
        case Clipboard::ReadResult::Text:
            break;
    }

    // The text ends at its first NUL, as the platform's text format does.
    const auto length = static_cast<std::uint32_t>(
        std::min<std::size_t>(strnlen(clip.c_str(), clip.size()), UINT32_MAX - 1));
    bool loaded = false;
    {
        WaitCursorScope wait(host_);
        // The clipboard's Unicode text has been converted to the internal
        // form already: detection could only misread it.
        const OpenRequest request{OpenOrigin::Paste, 0};
        requests_.openRequest = request;
        // The clipboard owns its text, so it is copied once into a block the
        // document can adopt.
        GlobalArray<std::uint8_t> copy;
        if (copy.SetSize(length + 1)) {
            std::memcpy(copy.data(), clip.data(), length);
            copy[length] = 0;
            std::string().swap(clip);
            loaded = LoadFromBlock(copy.Detach(), length, request, ui);
            if (loaded)
                extensions = std::move(pastedExtensions);
        }
        if (!loaded) {
            DeleteContents();
            host_.UpdateAllViews();
        }
    }
    if (!loaded) {
        host_.ShowMessage(StringId::kClipboardNotOpened, MessageKind::Warning);
        return false;
    }
    host_.UpdateAllViews();
    if (replaced != 0) {
        host_.ShowMessage(StringId::kCharactersReplaced, MessageKind::Information,
                          std::to_string(replaced));
    }
    if (GetLineCount() > 0) {
        SetTitle(title_);
        modified_ = true;
    }
    return true;
}

}  // namespace kotoha
