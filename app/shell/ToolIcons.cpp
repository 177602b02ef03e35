#include "shell/ToolIcons.h"

#include <QImage>
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

QIcon WithFaintDisabledState(const QIcon& icon)
{
  QIcon result;
  for (int size : {16, 24, 32}) {
    const QPixmap normal = icon.pixmap(size, size);
    if (normal.isNull())
      continue;
    result.addPixmap(normal, QIcon::Normal);
    QImage faint = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < faint.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(faint.scanLine(y));
      for (int x = 0; x < faint.width(); ++x) {
        const int grey = qGray(line[x]);
        line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 35 / 100);
      }
    }
    result.addPixmap(QPixmap::fromImage(faint), QIcon::Disabled);
  }
  return result;
}
