#pragma once
// The data-choice items that the time and tree plots put at the top of their
// popup, before its fixed items: a tree of submenus by caption path, each level
// sorted by the bytes of its code page 1251 captions, equal paths sharing one
// item (the first one's).

#include <QStringList>

#include <functional>

class QMenu;

// Adds the item at the end of the path; fixedCount is the number of the popup's
// own items, which stay after the choice items.
void AddChoiceItem(QMenu* top, int fixedCount, const QStringList& path, bool checked, std::function<void()> click);
// Removes every item before the last fixedCount ones, with their submenus.
void ClearChoiceItems(QMenu* top, int fixedCount);
