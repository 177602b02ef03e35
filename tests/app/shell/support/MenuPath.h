#pragma once
// The main window's menu tree as the user walks it: a command is reachable
// when it and every menu above it are enabled and visible. Tests open the
// menus of a command's path one after the other (each menu fills itself as it
// opens) and trigger the command, as a click would.
#include "shell/FormMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <QStringList>

#include <functional>

namespace menupath {

// Qt keeps the count of a signal's receivers to the class and its descendants.
// Every menu that shows the action listens to it too: those do not count.
class TActionReceivers : public QAction {
public:
  static bool HasHandler(const QAction* action)
  {
    int menus = 0;
    for (QObject* shownIn : action->associatedObjects())
      menus += qobject_cast<QMenu*>(shownIn) ? 1 : 0;
    // Named through this class, the protected member may be called on any
    // action without pretending that the action is one of ours.
    constexpr auto receiversOf = &TActionReceivers::receivers;
    return (action->*receiversOf)(SIGNAL(triggered(bool))) > menus;
  }
};

inline bool Usable(const QAction* action)
{
  return action->isEnabled() && action->isVisible();
}

// Calls visit(command, reachable) for every command of the menu bar, after
// opening every menu that can be opened.
inline void WalkCommands(QMenu* menu, bool reachable, const std::function<void(QAction*, bool)>& visit)
{
  if (reachable)
    emit menu->aboutToShow();
  for (QAction* action : menu->actions()) {
    if (action->isSeparator())
      continue;
    const bool here = reachable && Usable(action);
    if (action->menu())
      WalkCommands(action->menu(), here, visit);
    else
      visit(action, here);
  }
}

inline void WalkCommands(TFMain& main, const std::function<void(QAction*, bool)>& visit)
{
  for (QAction* top : main.menuBar()->actions())
    if (top->menu())
      WalkCommands(top->menu(), Usable(top), visit);
}

// The menus from the menu bar down to the command, outermost first; empty
// when the command is not in the menu bar.
inline QList<QMenu*> MenusAbove(TFMain& main, const QAction* command)
{
  std::function<bool(QMenu*, QList<QMenu*>&)> find = [&](QMenu* menu, QList<QMenu*>& path) {
    path.append(menu);
    for (QAction* action : menu->actions()) {
      if (action == command || (action->menu() && find(action->menu(), path)))
        return true;
    }
    path.removeLast();
    return false;
  };
  for (QAction* top : main.menuBar()->actions()) {
    QList<QMenu*> path;
    if (top->menu() && find(top->menu(), path))
      return path;
  }
  return {};
}

// Opens the menus above the command and clicks it. False, with nothing
// triggered, when a menu on the way or the command itself cannot be used.
inline bool TriggerThroughMenus(TFMain& main, QAction* command)
{
  const QList<QMenu*> menus = MenusAbove(main, command);
  if (menus.isEmpty())
    return false;
  for (QMenu* menu : menus) {
    if (!Usable(menu->menuAction()))
      return false;
    emit menu->aboutToShow();
  }
  if (!Usable(command))
    return false;
  command->trigger();
  return true;
}

} // namespace menupath
