#pragma once
// COLORREF (0x00BBGGRR) to and from QColor: the colours stored in projects and
// handed to the drawing library meet Qt's colour dialogs and palettes here.
#include "MeliscoTypes.h"

#include <QColor>

inline QColor QColorOf(COLORREF color)
{
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

inline COLORREF ColorRefOf(const QColor& color)
{
  return static_cast<COLORREF>(color.red()) | (static_cast<COLORREF>(color.green()) << 8) |
         (static_cast<COLORREF>(color.blue()) << 16);
}
