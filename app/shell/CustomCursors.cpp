#include "shell/CustomCursors.h"

#include <QMap>
#include <QPainter>
#include <QPixmap>

namespace {

QMap<int, QCursor>& CursorTable()
{
  static QMap<int, QCursor> table;
  return table;
}

// A 32 × 32 cursor: a cross hair with the hot spot in its centre and a small
// sign in the lower right quarter that tells the tools apart.
QCursor DrawCursor(int index)
{
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::white, 3));
  p.drawLine(16, 2, 16, 30);
  p.drawLine(2, 16, 30, 16);
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(16, 2, 16, 30);
  p.drawLine(2, 16, 30, 16);
  QRect sign(20, 20, 10, 10);
  p.setBrush(Qt::white);
  switch (index) {
  case 1: // inspect: a magnifier
  case 2:
    p.drawEllipse(sign);
    break;
  case 4: // insert: a plus in a box
    p.drawRect(sign);
    p.drawLine(22, 25, 28, 25);
    p.drawLine(25, 22, 25, 28);
    break;
  case 5: // move: a box
  case 7:
    p.drawRect(sign);
    break;
  case 6: // properties: a filled box
    p.setBrush(Qt::black);
    p.drawRect(sign);
    break;
  default: // set coordinates: a diamond
    p.drawPolygon(QPolygon({QPoint(25, 20), QPoint(30, 25), QPoint(25, 30), QPoint(20, 25)}));
    break;
  }
  return QCursor(pixmap, 16, 16);
}

} // namespace

void RegisterCustomCursors()
{
  for (int index : {1, 2, 4, 5, 6, 7, 8, 9})
    CursorTable().insert(index, DrawCursor(index));
}

QCursor CustomCursor(int index)
{
  return CursorTable().value(index, QCursor(Qt::ArrowCursor));
}
