#include "base/Gisutils.h"

#include "data/Cp1251.h"
#include "gis/GObj.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

bool CaptionSortsBefore(const QString& caption, const QString& text)
{
  // std::string compares its bytes as unsigned characters.
  return Utf8ToCp1251(caption.toStdString()) < Utf8ToCp1251(text.toStdString());
}

namespace {

bool IsSubmenu(const QAction* item)
{
  return item->menu() != nullptr;
}

// The first item the level's text stands before (null: the end of the menu).
QAction* StopItem(const QMenu* menu, const QString& text, bool lastLevel)
{
  for (QAction* item : menu->actions()) {
    const bool before = CaptionSortsBefore(item->text(), text);
    if (lastLevel ? !(before || IsSubmenu(item)) : !(IsSubmenu(item) && before))
      return item;
  }
  return nullptr;
}

} // namespace

QAction* AddMenuItemsFromList(QMenu* parent, const TGObj& object, int first)
{
  QMenu* current = parent;
  QAction* made = nullptr;
  const int length = object.GetTreePathLength();
  for (int level = std::max(0, first); level < length; ++level) {
    const QString text = QString::fromStdString(object.GetTreePathText(level));
    const bool lastLevel = level == length - 1;
    QAction* stop = StopItem(current, text, lastLevel);
    if (!lastLevel && stop && IsSubmenu(stop) && stop->text() == text) {
      current = stop->menu();
      continue;
    }
    if (lastLevel) {
      made = new QAction(text, current);
      made->setData(object.GetId());
      current->insertAction(stop, made);
    } else {
      auto* submenu = new QMenu(text, current);
      current->insertMenu(stop, submenu);
      current = submenu;
    }
  }
  return made;
}
