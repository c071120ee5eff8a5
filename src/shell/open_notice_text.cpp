// SPDX-License-Identifier: MIT
#include "shell/open_notice_text.h"

#include "codec/detect.h"
#include "shell/strings.h"

namespace kotoha {

namespace {

std::string PaneName(EncodingKind kind) {
    return LoadString(EncodingPaneNameId(kind));
}

}  // namespace

StringId::Id EncodingPaneNameId(EncodingKind kind) {
    switch (kind) {
        case EncodingKind::JIS:
            return StringId::kJis;
        case EncodingKind::EUC:
            return StringId::kEuc;
        case EncodingKind::UTF8:
            return StringId::kUtf8;
        case EncodingKind::UTF8BOM:
            return StringId::kUtf8Bom;
        case EncodingKind::UTF16LE:
            return StringId::kUtf16Le;
        case EncodingKind::UTF16BE:
            return StringId::kUtf16Be;
        default:
            return StringId::kSjis;
    }
}

InfoBarContent InfoBarContentOf(const OpenNotice& notice, EncodingKind shown, bool offersReopen) {
    InfoBarContent content;
    if (notice.guessed)
        content.lines.push_back(FormatMessage(StringId::kEncodingGuessed, PaneName(shown)));
    if (notice.guessed && offersReopen) {
        for (EncodingKind kind : kEveryEncodingKind) {
            if (kind != shown && (notice.candidates & DetectionBitOf(kind)) != 0)
                content.reopenKinds.push_back(kind);
        }
        content.offersInquiry = true;
    }
    if (notice.lostCharacters != 0) {
        content.lines.push_back(FormatMessage(StringId::kCharactersLost,
                                              std::to_string(notice.lostCharacters),
                                              std::to_string(notice.firstLostLine)));
    }
    return content;
}

std::string EncodingPaneTip(const OpenNotice& notice) {
    if (!notice.guessed)
        return {};
    std::string kinds;
    for (EncodingKind kind : kEveryEncodingKind) {
        if ((notice.candidates & DetectionBitOf(kind)) == 0)
            continue;
        if (!kinds.empty())
            kinds += ", ";
        kinds += PaneName(kind);
    }
    return FormatMessage(StringId::kGuessedEncodingTip, kinds);
}

}  // namespace kotoha
