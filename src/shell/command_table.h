// SPDX-License-Identifier: MIT
// The menus, accelerators and toolbar as tables keyed by command id.
#pragma once

#include <span>

#include "shell/command_ids.h"

namespace kotoha {

enum class MenuLine {
    Popup,      // starts a top-level menu of the menu bar
    Item,       // a command
    Separator,  //
    Recent,     // the place of the recently-used entries
};

struct MenuEntry {
    int menu;  // 2 main menu, 110 right-click menu, 0 accelerator only
    MenuLine kind;
    CommandId::Id id;
    const char* text;       // UTF-8 with "&" before the access key
    const char* shortcuts;  // QKeySequence texts separated by "; "
};

inline constexpr int kMainMenu = 2;
inline constexpr int kRightClickMenu = 110;
inline constexpr int kAcceleratorsOnly = 0;

// Every line of every menu, in order.
std::span<const MenuEntry> MenuTable();

// The entry of id in the main menu or the accelerators; null when none.
const MenuEntry* FindCommandEntry(CommandId::Id id);

// The toolbar's buttons from left to right; 0 stands for a gap.
std::span<const CommandId::Id> ToolBarButtons();

}  // namespace kotoha
