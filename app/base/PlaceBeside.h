#pragma once
// Where a small tool window goes so that it shows beside the window it serves
// without covering it: to its right, else to its left, else over its top right
// corner; always whole on the screen (as far as it is not larger than it).
#include <QPoint>
#include <QRect>
#include <QSize>

// owner and screen in global coordinates; the result is the top left corner of a window of the size.
QPoint PlaceBeside(const QRect& owner, const QSize& size, const QRect& screen);

// The top left corner moved as little as keeps a window of the size whole on
// the screen; a window larger than the screen keeps its top or left edge on it.
QPoint KeptOnScreen(const QPoint& topLeft, const QSize& size, const QRect& screen);
