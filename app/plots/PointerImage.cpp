#include "plots/PointerImage.h"

#include <QPainter>
#include <QPolygonF>

namespace {

enum TPointerStyle {
  psRectangle,
  psCircle,
  psTriangle,
  psDownTriangle,
  psCross,
  psDiagCross,
  psStar,
  psDiamond,
  psSmallDot,
};

// Pixel centres span 0.5 .. PointerSize - 0.5.
constexpr double Lo = 0.5;
constexpr double Hi = PointerSize - 0.5;
constexpr double Mid = PointerSize / 2.0;

void Cross(QPainter& painter)
{
  painter.drawLine(QPointF(Mid, Lo), QPointF(Mid, Hi));
  painter.drawLine(QPointF(Lo, Mid), QPointF(Hi, Mid));
}

void DiagonalCross(QPainter& painter)
{
  painter.drawLine(QPointF(Lo, Lo), QPointF(Hi, Hi));
  painter.drawLine(QPointF(Lo, Hi), QPointF(Hi, Lo));
}

} // namespace

QImage PointerImage(int32_t style, QColor fill, QColor border)
{
  QImage image(PointerSize, PointerSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setPen(QPen(border, 1));
  painter.setBrush(fill);
  switch (((style % PointerStyleCount) + PointerStyleCount) % PointerStyleCount) {
  case psRectangle:
    painter.drawRect(QRectF(Lo, Lo, Hi - Lo, Hi - Lo));
    break;
  case psCircle:
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawEllipse(QRectF(Lo, Lo, Hi - Lo, Hi - Lo));
    break;
  case psTriangle:
    painter.drawPolygon(QPolygonF({QPointF(Mid, Lo), QPointF(Hi, Hi), QPointF(Lo, Hi)}));
    break;
  case psDownTriangle:
    painter.drawPolygon(QPolygonF({QPointF(Lo, Lo), QPointF(Hi, Lo), QPointF(Mid, Hi)}));
    break;
  case psCross:
    painter.setPen(QPen(fill, 1));
    Cross(painter);
    break;
  case psDiagCross:
    painter.setPen(QPen(fill, 1));
    DiagonalCross(painter);
    break;
  case psStar:
    painter.setPen(QPen(fill, 1));
    Cross(painter);
    DiagonalCross(painter);
    break;
  case psDiamond:
    painter.drawPolygon(QPolygonF({QPointF(Mid, Lo), QPointF(Hi, Mid), QPointF(Mid, Hi), QPointF(Lo, Mid)}));
    break;
  case psSmallDot:
    painter.fillRect(QRect(PointerSize / 2 - 1, PointerSize / 2 - 1, 3, 3), fill);
    break;
  }
  return image;
}
