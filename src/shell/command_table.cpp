// SPDX-License-Identifier: MIT
#include "shell/command_table.h"

#include <iterator>

namespace kotoha {

namespace {

constexpr MenuEntry kMenuTable[] = {
#include "menus.inc"
};

constexpr CommandId::Id kToolBar[] = {
    CommandId::kFileOpen,
    CommandId::kFileSaveAs,
    0,
    CommandId::kCopy,
    CommandId::kPaste,
    0,
    CommandId::kSelectAll,
    0,
    CommandId::kFind,
    0,
    CommandId::kLaunchEditor,
    0,
    CommandId::kContextHelp,
};

}  // namespace

std::span<const MenuEntry> MenuTable() {
    return kMenuTable;
}

const MenuEntry* FindCommandEntry(CommandId::Id id) {
    for (const MenuEntry& entry : kMenuTable) {
        if (entry.id == id && entry.menu != kRightClickMenu)
            return &entry;
    }
    return nullptr;
}

std::span<const CommandId::Id> ToolBarButtons() {
    return kToolBar;
}

}  // namespace kotoha
