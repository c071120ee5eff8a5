// SPDX-License-Identifier: MIT
// One QAction per command id, built from the command table with the
// prompts and tooltips of the string table, and the menus and toolbar that
// carry them.
#pragma once

#include <QObject>
#include <map>
#include <string>
#include <vector>

#include "shell/command_ids.h"

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace kotoha {

class CommandActions : public QObject {
    Q_OBJECT

  public:
    static constexpr int kRecentEntries = 4;

    // Creates the actions as children of owner, which receives their
    // shortcuts (window-wide).
    explicit CommandActions(QWidget* owner);

    // The action of id; null for an unknown id.
    QAction* action(CommandId::Id id) const;
    const std::map<CommandId::Id, QAction*>& actions() const { return actions_; }

    // Fills menuBar with menu 2.
    void BuildMenuBar(QMenuBar* menuBar);
    // Menu 110, owned by parent.
    QMenu* BuildRightClickMenu(QWidget* parent);
    // The buttons left to right, gaps as separators.
    void FillToolBar(QToolBar* toolBar);
    // The menus of the menu bar, for their about-to-show hooks.
    const std::vector<QMenu*>& menus() const { return menus_; }

    // Shows paths (the most recent first) as the recently-used entries
    // "&1 path".., or the greyed place "最新のファイル" when there are none.
    void SetRecentFiles(const std::vector<std::string>& paths);

  signals:
    // A command was chosen from a menu, the toolbar or a shortcut.
    void commandTriggered(kotoha::CommandId::Id id);

  private:
    QAction* Create(CommandId::Id id, const char* text, const char* shortcuts);

    QWidget* owner_;
    std::map<CommandId::Id, QAction*> actions_;
    std::vector<QMenu*> menus_;
    std::string recentPlaceText_;
};

}  // namespace kotoha
