#include "plots/ChoiceMenu.h"

#include "data/Cp1251.h"

#include <QAction>
#include <QMenu>

namespace {

bool CaptionLess(const QString& a, const QString& b)
{
  return Utf8ToCp1251(a.toStdString()) < Utf8ToCp1251(b.toStdString());
}

} // namespace

void AddChoiceItem(QMenu* top, int fixedCount, const QStringList& path, bool checked, std::function<void()> click)
{
  QMenu* parent = top;
  for (qsizetype level = 0; level < path.size(); ++level) {
    const QString& caption = path[level];
    const QList<QAction*> items = parent->actions();
    const qsizetype end = parent == top ? items.size() - fixedCount : items.size();
    qsizetype at = 0;
    while (at < end && CaptionLess(items[at]->text(), caption))
      ++at;
    QAction* before = items.value(at);
    const bool last = level == path.size() - 1;
    if (at < end && items[at]->text() == caption) {
      if (last)
        return;
      if (QMenu* sub = items[at]->menu()) {
        parent = sub;
        continue;
      }
    }
    if (last) {
      auto* item = new QAction(caption, parent);
      item->setCheckable(true);
      item->setChecked(checked);
      QObject::connect(item, &QAction::triggered, parent, std::move(click));
      parent->insertAction(before, item);
      return;
    }
    auto* sub = new QMenu(caption, parent);
    parent->insertMenu(before, sub);
    parent = sub;
  }
}

void ClearChoiceItems(QMenu* top, int fixedCount)
{
  while (top->actions().size() > fixedCount) {
    QAction* first = top->actions().first();
    top->removeAction(first);
    if (QMenu* sub = first->menu())
      delete sub; // its items and submenus are its children
    else
      delete first;
  }
}
