// SPDX-License-Identifier: MIT
#include "ui/command_actions.h"

#include <QAction>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "shell/command_table.h"
#include "shell/strings.h"
#include "ui/help_window.h"

namespace kotoha {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A themed icon with an icon drawn for Kotoha behind it, so that a button
// is never blank on a desktop without an icon theme.
QIcon ToolBarIcon(CommandId::Id id) {
    struct IconChoice {
        CommandId::Id id;
        const char* theme;
        const char* bundled;
    };
    static constexpr IconChoice kIcons[] = {
        {CommandId::kFileOpen, "document-open", "open"},
        {CommandId::kFileSaveAs, "document-save-as", "save-as"},
        {CommandId::kCopy, "edit-copy", "copy"},
        {CommandId::kPaste, "edit-paste", "paste"},
        {CommandId::kSelectAll, "edit-select-all", "select-all"},
        {CommandId::kFind, "edit-find", "find"},
        {CommandId::kLaunchEditor, "accessories-text-editor", "external-editor"},
        {CommandId::kContextHelp, "help-contextual", "context-help"},
    };
    for (const IconChoice& choice : kIcons) {
        if (choice.id == id) {
            return QIcon::fromTheme(
                QString::fromLatin1(choice.theme),
                QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(choice.bundled))));
        }
    }
    return {};
}

}  // namespace

CommandActions::CommandActions(QWidget* owner) : QObject(owner), owner_(owner) {
    InitBundledResources();
    for (const MenuEntry& entry : MenuTable()) {
        if (entry.kind == MenuLine::Item && entry.menu != kRightClickMenu)
            Create(entry.id, entry.text, entry.shortcuts);
        if (entry.kind == MenuLine::Recent) {
            recentPlaceText_ = entry.text;
            for (int i = 0; i < kRecentEntries; ++i)
                Create(entry.id + static_cast<CommandId::Id>(i), entry.text, "");
        }
    }
    for (CommandId::Id id : {CommandId::kToggleToolBar, CommandId::kToggleStatusBar})
        actions_.at(id)->setCheckable(true);
    SetRecentFiles({});
}

QAction* CommandActions::Create(CommandId::Id id, const char* text, const char* shortcuts) {
    auto* act = new QAction(QString::fromUtf8(text), owner_);
    act->setData(static_cast<uint>(id));
    act->setStatusTip(FromUtf8(StringField(id, 0)));
    // What's This mode on a toolbar button explains it with its prompt.
    act->setWhatsThis(act->statusTip());
    const std::string_view tip = StringField(id, 1);
    if (!tip.empty())
        act->setToolTip(FromUtf8(tip));
    act->setIcon(ToolBarIcon(id));
    act->setIconVisibleInMenu(false);
    if (shortcuts[0] != '\0')
        act->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(shortcuts)));
    act->setShortcutContext(Qt::WindowShortcut);
    owner_->addAction(act);
    connect(act, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    actions_[id] = act;
    return act;
}

QAction* CommandActions::action(CommandId::Id id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CommandActions::BuildMenuBar(QMenuBar* menuBar) {
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : MenuTable()) {
        if (entry.menu != kMainMenu)
            continue;
        switch (entry.kind) {
            case MenuLine::Popup:
                menu = menuBar->addMenu(QString::fromUtf8(entry.text));
                menus_.push_back(menu);
                break;
            case MenuLine::Item:
                menu->addAction(actions_.at(entry.id));
                break;
            case MenuLine::Separator:
                menu->addSeparator();
                break;
            case MenuLine::Recent:
                for (int i = 0; i < kRecentEntries; ++i)
                    menu->addAction(actions_.at(entry.id + static_cast<CommandId::Id>(i)));
                break;
        }
    }
}

QMenu* CommandActions::BuildRightClickMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const MenuEntry& entry : MenuTable()) {
        if (entry.menu != kRightClickMenu)
            continue;
        if (entry.kind == MenuLine::Separator)
            menu->addSeparator();
        else
            menu->addAction(actions_.at(entry.id));
    }
    return menu;
}

void CommandActions::FillToolBar(QToolBar* toolBar) {
    for (CommandId::Id id : ToolBarButtons()) {
        if (id == 0)
            toolBar->addSeparator();
        else
            toolBar->addAction(actions_.at(id));
    }
}

void CommandActions::SetRecentFiles(const std::vector<std::string>& paths) {
    for (int i = 0; i < kRecentEntries; ++i) {
        QAction* act = actions_.at(CommandId::kRecentFirst + static_cast<CommandId::Id>(i));
        const auto index = static_cast<std::size_t>(i);
        if (index < paths.size()) {
            // "&" in a path would otherwise be taken for an access key.
            QString path = QDir::toNativeSeparators(QString::fromStdString(paths[index]));
            path.replace(QLatin1Char('&'), QLatin1String("&&"));
            act->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
            act->setVisible(true);
            act->setEnabled(true);
        } else if (i == 0) {
            act->setText(QString::fromStdString(recentPlaceText_));
            act->setVisible(true);
            act->setEnabled(false);
        } else {
            act->setVisible(false);
        }
    }
}

}  // namespace kotoha
