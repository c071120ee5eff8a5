// SPDX-License-Identifier: MIT
// Message boxes by string id and the wait cursor, as the document and the
// shell ask for them.
#pragma once

#include <string_view>

#include "base/string_ids.h"
#include "document/document_host.h"

class QWidget;

namespace kotoha {

// Each beeps first, then shows the string id's text ("%1" replaced by
// argument, "%2" by argument2) in a box captioned "Kotoha" with the icon of
// kind. A wait cursor in force gives way to the arrow while the box shows.
void ShowMessageBox(QWidget* parent, StringId::Id id, MessageKind kind,
                    std::string_view argument = {}, std::string_view argument2 = {});
bool AskYesNoBox(QWidget* parent, StringId::Id id, std::string_view argument = {},
                 std::string_view argument2 = {});
Answer AskYesNoCancelBox(QWidget* parent, StringId::Id id, std::string_view argument = {});

// Batch mode (a run that no one watches, such as --screenshot): every box
// above is written to standard error as one line, "kotoha: <text>", and
// answered at once with its default button.
void SetMessageBatchMode(bool batch);
bool IsMessageBatchMode();

// The wait cursor as an application-wide override; calls nest.
void BeginWaitCursor();
void EndWaitCursor();

// Shows the arrow for the life of the scope, over any wait cursor.
class ArrowCursorScope {
  public:
    ArrowCursorScope();
    ~ArrowCursorScope();
    ArrowCursorScope(const ArrowCursorScope&) = delete;
    ArrowCursorScope& operator=(const ArrowCursorScope&) = delete;
};

}  // namespace kotoha
