#pragma once
// Menus built from the tree paths of GIS objects, as the data menus of the 3D
// views and the profile plots list the arrays they can show.

#include <QString>

class QAction;
class QMenu;
class TGObj;

// Puts one object under the parent menu along its tree path (the object's own
// level texts from the level first to its last one) and returns the leaf item
// made for it, whose data is the object's id. Inside each menu the submenus come first and
// the leaves after them, each group in ascending order of caption by the bytes
// of code page 1251; a submenu of a level's text is entered, never made twice,
// while the last level always makes a new leaf. The caller sets the leaf's
// caption, check group and handler. Null when first is past the path's end.
QAction* AddMenuItemsFromList(QMenu* parent, const TGObj& object, int first);

// Caption order of such menus: byte-wise in code page 1251 ("Ё" sorts before "А").
bool CaptionSortsBefore(const QString& caption, const QString& text);
