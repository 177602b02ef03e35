#include "maps/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

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
