// SPDX-License-Identifier: MIT
// Command ids of the menus, accelerators and toolbar. Each command's
// string-table entry has the same id and holds "status prompt\ntooltip".
#pragma once

#include <cstdint>

namespace kotoha::CommandId {

using Id = std::uint32_t;

inline constexpr Id kLaunchEditor = 32771;
inline constexpr Id kOpenSettings = 32772;
inline constexpr Id kOtherSettings = 32774;
inline constexpr Id kCopyToFile = 32775;
inline constexpr Id kViewSettings = 32779;
inline constexpr Id kEditorSettings = 32781;
inline constexpr Id kReopenWithEncoding = 32782;
inline constexpr Id kFileOpen = 57601;
inline constexpr Id kFileSaveAs = 57604;
// The recently-used entries are kRecentFirst + 0 .. + 3.
inline constexpr Id kRecentFirst = 57616;
inline constexpr Id kCopy = 57634;
inline constexpr Id kFind = 57636;
inline constexpr Id kPaste = 57637;
inline constexpr Id kSelectAll = 57642;
inline constexpr Id kSplit = 57653;
inline constexpr Id kAbout = 57664;
inline constexpr Id kExit = 57665;
inline constexpr Id kHelpIndex = 57666;
inline constexpr Id kHelpUsing = 57667;
inline constexpr Id kContextHelp = 57668;
inline constexpr Id kHelp = 57669;
inline constexpr Id kNextPane = 57680;
inline constexpr Id kToggleToolBar = 59392;
inline constexpr Id kToggleStatusBar = 59393;

}  // namespace kotoha::CommandId
