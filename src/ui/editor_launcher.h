// SPDX-License-Identifier: MIT
// Starting the external editor on the document shown in the main window.
#pragma once

#include <string>
#include <vector>

namespace kotoha {

class CKotohaApp;
class CMainFrame;

// The launch command: via the clipboard copies the whole text there and
// starts the command alone; via the file saves the document first as
// Shift-JIS with CR LF line breaks when its file is not already so (or it
// has none), then starts the command with the argument template, "$file"
// and "$line" replaced. A cancelled or failed save starts nothing; a
// program that cannot be started is reported with a beep and a message.
void LaunchExternalEditor(CKotohaApp& app, CMainFrame& frame);

// Starts argv[0] with the remaining words as its arguments, detached from
// the viewer. False when argv is empty or the program could not be run.
bool StartDetachedProgram(const std::vector<std::string>& argv);

}  // namespace kotoha
