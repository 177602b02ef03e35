#include "shell/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

// Drawn on a 64-unit square and scaled, so every size has the same picture.
QPixmap IconPicture(int size)
{
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1E, 0x3A, 0x6E));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);
  painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
  painter.drawRect(QRectF(10, 8, 44, 6));
  painter.drawRect(QRectF(10, 50, 44, 6));
  // The tree's branches, each a broken line from the point where it forks off.
  const QList<QPolygonF> branches = {
      {{32, 14}, {29, 24}, {34, 33}, {30, 44}},
      {{29, 24}, {20, 32}, {17, 41}},
      {{34, 33}, {44, 38}, {47, 46}},
      {{31, 19}, {40, 24}},
  };
  QPainterPath tree;
  for (const QPolygonF& branch : branches)
    tree.addPolygon(branch);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0xFF, 0xE0, 0x40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(tree);
  return picture;
}

} // namespace

QIcon ProgramIcon()
{
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64})
    icon.addPixmap(IconPicture(size));
  return icon;
}
