// SPDX-License-Identifier: MIT
// What the window says about an open's notice: the information bar's
// message and buttons, and the encoding pane's tooltip.
#pragma once

#include <string>
#include <vector>

#include "base/string_ids.h"
#include "codec/byte_class.h"
#include "document/kotoha_doc.h"

namespace kotoha {

// The status-bar name of a kind ("SJIS", "EUC", "UTF-8", ...).
StringId::Id EncodingPaneNameId(EncodingKind kind);

struct InfoBarContent {
    // One line per thing to tell; empty when the bar stays hidden.
    std::vector<std::string> lines;
    // A "<kind> で開き直す" button for each, in kind order, then the one
    // that asks ("文字コードを指定...") when guessed.
    std::vector<EncodingKind> reopenKinds;
    bool offersInquiry = false;
};

// The bar for notice while the document shows kind; without offersReopen
// (the reopen command turned off) it has no buttons.
InfoBarContent InfoBarContentOf(const OpenNotice& notice, EncodingKind shown, bool offersReopen);

// The encoding pane's tooltip: which kinds were possible when the shown one
// was a guess; empty otherwise.
std::string EncodingPaneTip(const OpenNotice& notice);

}  // namespace kotoha
