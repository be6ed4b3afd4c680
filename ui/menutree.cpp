// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menutree.h"

#include "engine/latin1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace MenuTree {
namespace {

const Item &item(std::string_view name)
{
    for (const Item &candidate : kCommands)
        if (candidate.name == name)
            return candidate;
    Q_UNREACHABLE();
}

void addCommand(QWidget *parent, std::string_view name)
{
    const Item &command = item(name);
    auto *action = new QAction(latin1(command.caption), parent);
    action->setObjectName(latin1(command.name));
    action->setData(command.index);
    parent->addAction(action);
}

QMenu *addMenu(QWidget *parent, const char *objectName, const char *caption)
{
    auto *menu = new QMenu(QString::fromLatin1(caption), parent);
    menu->setObjectName(QString::fromLatin1(objectName));
    parent->addAction(menu->menuAction());
    return menu;
}

} // namespace

void build(QMenuBar *bar)
{
    QMenu *file = addMenu(bar, "File", "File");
    for (const char *name : {"Start", "Rest", "print", "exit"})
        addCommand(file, name);

    QMenu *options = addMenu(bar, "options", "Options");
    QMenu *sound = addMenu(options, "sound", "Sound");
    addCommand(sound, "son");
    addCommand(sound, "sOff");
    QMenu *colour = addMenu(options, "Colour", "Colour");
    for (const char *name : {"blue", "Black", "Green"})
        addCommand(colour, name);

    addCommand(bar, "help");
}

} // namespace MenuTree
