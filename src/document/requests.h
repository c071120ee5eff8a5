// SPDX-License-Identifier: MIT
// The records an open or a save carries from its caller to the document:
// why it runs, which encoding the user forced, and which format was chosen.
#pragma once

#include <cstdint>

#include "codec/byte_class.h"

namespace kotoha {

enum class OpenOrigin : std::int32_t {
    FileDialog = 0,
    ShellOpen = 1,
    RecentFile = 2,
    DroppedFile = 3,
    CommandLine = 4,
    Paste = 5,
};

// forcedEncoding: -1 detects the encoding; 0, 1, 2 force SJIS, JIS, EUC.
struct OpenRequest {
    OpenOrigin origin = OpenOrigin::FileDialog;
    std::int32_t forcedEncoding = -1;
};

enum class SavePromptMode : std::int32_t { SaveAs = 0, CopySelection = 1, EditorSave = 2 };

// A save's format: what the save-format dialog answers. The application
// remembers the last answer, which presets the dialog; all zeros at start.
struct SaveFormatChoice {
    LineBreakKind textFormat = LineBreakKind::WIN;
    EncodingKind encoding = EncodingKind::SJIS;
    bool widenKana = false;
    bool forSelection = false;
};

// The two records, owned by the application for its whole run.
struct RequestRecords {
    OpenRequest openRequest;
    SaveFormatChoice saveFormatChoice;

    void SetOpenRequest(OpenOrigin origin, std::int32_t forcedEncoding) {
        openRequest = {origin, forcedEncoding};
    }
};

}  // namespace kotoha
