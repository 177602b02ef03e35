#include "shell/ToolIcons.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int IconSize = 16;

QPixmap BlankIcon()
{
  QPixmap pixmap(IconSize, IconSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QIcon DrawnCopyIcon()
{
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setPen(QColor(0x20, 0x20, 0x20));
  // Two sheets, the copy in front and down to the right.
  painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
  painter.drawRect(1, 1, 9, 10);
  painter.setBrush(Qt::white);
  painter.drawRect(5, 4, 9, 10);
  return QIcon(pixmap);
}

QIcon DrawnZoomIcon(bool zoomIn)
{
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
  painter.setBrush(Qt::white);
  painter.drawEllipse(1, 1, 10, 10);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
  painter.drawLine(10, 10, 14, 14);
  painter.setPen(QPen(QColor(0x00, 0x00, 0xA0), 1));
  painter.drawLine(3, 6, 9, 6);
  if (zoomIn)
    painter.drawLine(6, 3, 6, 9);
  return QIcon(pixmap);
}

} // namespace

QIcon CopyToolIcon()
{
  return QIcon::fromTheme("edit-copy", DrawnCopyIcon());
}

QIcon ZoomToolIcon(bool zoomIn)
{
  return QIcon::fromTheme(zoomIn ? "zoom-in" : "zoom-out", DrawnZoomIcon(zoomIn));
}
