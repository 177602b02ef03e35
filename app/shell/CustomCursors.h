#pragma once
// The program's own cursors, by the index under which the tools ask for them:
// 1 inspect, 2 view contour, 4 insert, 5 move, 6 edit properties, 7 move a node,
// 8 and 9 set coordinates. Index 3 stays empty.

#include <QCursor>

void RegisterCustomCursors();
// The cursor of the index; the arrow for an index without one.
QCursor CustomCursor(int index);
