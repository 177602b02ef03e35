#include "maps/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

QColor QColorOf(COLORREF color)
{
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

COLORREF ColorRefOf(const QColor& color)
{
  return static_cast<COLORREF>(color.red()) | (static_cast<COLORREF>(color.green()) << 8) |
         (static_cast<COLORREF>(color.blue()) << 16);
}

TColorSwatch::TColorSwatch(QWidget* owner) : QFrame(owner)
{
  setFixedSize(25, 18);
}

void TColorSwatch::SetColor(COLORREF value)
{
  color = value;
  update();
}

void TColorSwatch::mousePressEvent(QMouseEvent* event)
{
  event->accept();
  emit Pressed(this);
}

void TColorSwatch::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  painter.fillRect(rect(), QColorOf(color));
}
