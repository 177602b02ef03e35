#include "maps/FormSectionLoc.h"

#include <QFrame>

#include <algorithm>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

TFSectionLoc* FSectionLoc = nullptr;

TFSectionLoc::TFSectionLoc(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint)
{
  setObjectName("FSectionLoc");
  setWindowTitle("Положение");
  resize(175, 159);
  // The plane is a place on the window, not a control: the window draws it.
  Plane = new QFrame(this);
  Plane->setObjectName("Plane");
  Plane->hide();
  Bok = new QToolButton(this);
  Bok->setObjectName("Bok");
  Bok->setText("Ok");
  Bok->setAutoRaise(true);
  Bok->resize(60, 22);
  connect(Bok, &QToolButton::clicked, this, [this] { done(1); });
}

void TFSectionLoc::resizeEvent(QResizeEvent* event)
{
  QDialog::resizeEvent(event);
  // Anchored on all sides: the margins of the design stay.
  Plane->setGeometry(5, 5, std::max(0, width() - 10), std::max(0, height() - 30));
  Bok->move((width() - Bok->width()) / 2, height() - Bok->height() - 2);
}

void TFSectionLoc::PlaneMouseDown(Qt::MouseButton button, const QPoint& at)
{
  if (button == Qt::LeftButton)
    start = at;
  else if (button == Qt::RightButton)
    end = at;
  else
    return;
  update();
  if (onChange)
    onChange(this);
}

void TFSectionLoc::mousePressEvent(QMouseEvent* event)
{
  const QPoint at = event->position().toPoint();
  if (Plane->geometry().contains(at))
    PlaneMouseDown(event->button(), at - Plane->pos());
  else
    QDialog::mousePressEvent(event);
}

void TFSectionLoc::paintEvent(QPaintEvent* event)
{
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.fillRect(Plane->geometry(), Qt::white);
  painter.setPen(Qt::black);
  painter.drawLine(start + Plane->pos(), end + Plane->pos());
}
