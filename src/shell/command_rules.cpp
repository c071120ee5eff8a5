// SPDX-License-Identifier: MIT
#include "shell/command_rules.h"

#include <array>

namespace kotoha {

namespace {

constexpr std::array kRuled = {
    CommandId::kFileSaveAs,   CommandId::kCopyToFile,
    CommandId::kCopy,         CommandId::kPaste,
    CommandId::kSelectAll,    CommandId::kFind,
    CommandId::kNextPane,     CommandId::kLaunchEditor,
    CommandId::kViewSettings, CommandId::kReopenWithEncoding,
};

}  // namespace

std::span<const CommandId::Id> RuledCommands() {
    return kRuled;
}

bool IsCommandEnabled(CommandId::Id id, const CommandState& state) {
    switch (id) {
        case CommandId::kFileSaveAs:
        case CommandId::kSelectAll:
        case CommandId::kFind:
        case CommandId::kLaunchEditor:
            return state.hasText;
        case CommandId::kCopyToFile:
        case CommandId::kCopy:
            return state.hasSelection;
        case CommandId::kPaste:
            return state.clipboardHasText;
        case CommandId::kNextPane:
            return state.split;
        case CommandId::kViewSettings:
            return state.hasActiveView;
        case CommandId::kReopenWithEncoding:
            return state.hasFile;
        default:
            return true;
    }
}

}  // namespace kotoha
