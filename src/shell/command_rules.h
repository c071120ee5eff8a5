// SPDX-License-Identifier: MIT
// When each command may run: its enabling rule as a function of the state
// the main window is in, so that menus, toolbar and shortcuts agree.
#pragma once

#include <span>

#include "shell/command_ids.h"

namespace kotoha {

struct CommandState {
    bool hasText = false;           // the document has text (N > 0)
    bool hasFile = false;           // the document was read from a file
    bool hasSelection = false;      // the active view's selection is not empty
    bool clipboardHasText = false;  // the clipboard holds text
    bool hasActiveView = false;     // a pane is active
    bool split = false;             // the window shows two panes
};

// The commands whose enabling depends on the state; every other command is
// always enabled.
std::span<const CommandId::Id> RuledCommands();

// Whether id may run in state.
bool IsCommandEnabled(CommandId::Id id, const CommandState& state);

}  // namespace kotoha
