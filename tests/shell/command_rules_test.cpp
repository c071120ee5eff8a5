// SPDX-License-Identifier: MIT
// Each command's enabling rule against the states that decide it.
#include "shell/command_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kotoha {
namespace {

TEST(CommandRules, EachRuledCommandFollowsItsOwnCondition) {
    struct Case {
        CommandId::Id id;
        bool CommandState::*condition;
    };
    const Case cases[] = {
        {CommandId::kFileSaveAs, &CommandState::hasText},
        {CommandId::kSelectAll, &CommandState::hasText},
        {CommandId::kFind, &CommandState::hasText},
        {CommandId::kLaunchEditor, &CommandState::hasText},
        {CommandId::kCopy, &CommandState::hasSelection},
        {CommandId::kCopyToFile, &CommandState::hasSelection},
        {CommandId::kPaste, &CommandState::clipboardHasText},
        {CommandId::kNextPane, &CommandState::split},
        {CommandId::kViewSettings, &CommandState::hasActiveView},
        {CommandId::kReopenWithEncoding, &CommandState::hasFile},
    };
    EXPECT_EQ(RuledCommands().size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_NE(std::find(RuledCommands().begin(), RuledCommands().end(), c.id),
                  RuledCommands().end());
        // Everything on but the condition: off; only the condition on: on.
        CommandState state{true, true, true, true, true, true};
        state.*c.condition = false;
        EXPECT_FALSE(IsCommandEnabled(c.id, state));
        CommandState only;
        only.*c.condition = true;
        EXPECT_TRUE(IsCommandEnabled(c.id, only));
    }
}

TEST(CommandRules, OtherCommandsAreAlwaysEnabled) {
    const CommandState nothing;
    for (CommandId::Id id :
         {CommandId::kFileOpen, CommandId::kEditorSettings, CommandId::kOpenSettings,
          CommandId::kOtherSettings, CommandId::kHelp, CommandId::kHelpIndex, CommandId::kHelpUsing,
          CommandId::kContextHelp, CommandId::kSplit, CommandId::kExit, CommandId::kAbout}) {
        EXPECT_TRUE(IsCommandEnabled(id, nothing)) << id;
    }
}

}  // namespace
}  // namespace kotoha
