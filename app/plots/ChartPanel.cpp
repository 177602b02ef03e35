#include "plots/ChartPanel.h"

#include <QApplication>
#include <QChart>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <utility>

TPlotChartView::TPlotChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
  setRubberBand(QChartView::RectangleRubberBand);
  setBackgroundBrush(Qt::NoBrush);
  setFrameShape(QFrame::NoFrame);
  setStyleSheet("background: transparent");
  viewport()->setAutoFillBackground(false);
}

void TPlotChartView::mousePressEvent(QMouseEvent* event)
{
  // Qt Charts zooms out on the right button; here it belongs to the popup menu
  // and to panning.
  FJustPanned = false;
  if (event->button() == Qt::RightButton) {
    FRightDown = true;
    FPanning = false;
    FMenuPending = false;
    FPanFrom = event->position().toPoint();
    event->accept();
    return;
  }
  if (onMouseDown && onMouseDown(event->position().toPoint(), event->buttons())) {
    event->accept();
    return;
  }
  FPressPos = event->position().toPoint();
  FZooming = event->button() == Qt::LeftButton && rubberBand() != QChartView::NoRubberBand;
  QChartView::mousePressEvent(event);
}

void TPlotChartView::PanStep(QPoint pos)
{
  // A tremble of the hand is no drag.
  if (!FPanning && FPanningAllowed && (pos - FPanFrom).manhattanLength() >= QApplication::startDragDistance())
    FPanning = true;
  if (!FPanning)
    return;
  if (onPan && pos != FPanFrom)
    onPan(FPanFrom, pos);
  FPanFrom = pos;
}

void TPlotChartView::mouseMoveEvent(QMouseEvent* event)
{
  if (FRightDown && event->buttons().testFlag(Qt::RightButton)) {
    PanStep(event->position().toPoint());
    event->accept();
    return;
  }
  if (onMouseMove && onMouseMove(event->position().toPoint(), event->buttons())) {
    event->accept();
    return;
  }
  QChartView::mouseMoveEvent(event);
}

void TPlotChartView::mouseReleaseEvent(QMouseEvent* event)
{
  if (event->button() == Qt::RightButton) {
    if (FRightDown)
      PanStep(event->position().toPoint());
    FRightDown = false;
    FJustPanned = FPanning;
    FPanning = false;
    if (std::exchange(FMenuPending, false) && !FJustPanned && onContextMenu)
      onContextMenu(FMenuAt);
    event->accept();
    return;
  }
  // A rubber band drawn from right to left undoes the zoom.
  if (FZooming && event->button() == Qt::LeftButton && event->position().toPoint().x() < FPressPos.x()) {
    FZooming = false;
    QChartView::mouseReleaseEvent(event);
    chart()->zoomReset();
    return;
  }
  FZooming = false;
  QChartView::mouseReleaseEvent(event);
}

void TPlotChartView::contextMenuEvent(QContextMenuEvent* event)
{
  // A right press may become a drag: its popup waits for the release, and a
  // popup that comes after a drag's release is not shown.
  if (event->reason() == QContextMenuEvent::Mouse) {
    if (FRightDown) {
      FMenuPending = true;
      FMenuAt = event->globalPos();
      event->accept();
      return;
    }
    if (std::exchange(FJustPanned, false)) {
      event->accept();
      return;
    }
  }
  if (onContextMenu)
    onContextMenu(event->globalPos());
  event->accept();
}

TChartPanel::TChartPanel(QWidget* parent) : QWidget(parent), FChart(new QChart)
{
  FChart->setBackgroundVisible(false);
  FChart->setMargins(QMargins(0, 2, 0, 1));
  FChart->legend()->setAlignment(Qt::AlignBottom);
  FView = new TPlotChartView(FChart, this);
  FTitle = new QLabel(this);
  FFoot = new QLabel(this);
  for (QLabel* label : {FTitle, FFoot}) {
    label->setVisible(false);
    label->setContentsMargins(4, 2, 4, 2);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(FTitle);
  layout->addWidget(FView, 1);
  layout->addWidget(FFoot);
}

void TChartPanel::SetBackground(bool gradient, int direction, QColor start, QColor end)
{
  FGradient = gradient;
  FDirection = direction;
  FStart = start;
  FEnd = end;
  update();
}

void TChartPanel::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  const QRectF r = rect();
  if (!FGradient) {
    painter.fillRect(r, Qt::white);
    return;
  }
  if (FDirection == 4) { // from the centre
    QRadialGradient radial(r.center(), std::max(r.width(), r.height()) / 2);
    radial.setColorAt(0, FEnd);
    radial.setColorAt(1, FStart);
    painter.fillRect(r, radial);
    return;
  }
  QPointF from = r.topLeft();
  QPointF to = r.bottomLeft();
  switch (FDirection) {
  case 1: from = r.bottomLeft(); to = r.topLeft(); break;
  case 2: from = r.topLeft(); to = r.topRight(); break;
  case 3: from = r.topRight(); to = r.topLeft(); break;
  case 5: from = r.topLeft(); to = r.bottomRight(); break;
  case 6: from = r.bottomLeft(); to = r.topRight(); break;
  default: break;
  }
  QLinearGradient linear(from, to);
  linear.setColorAt(0, FStart);
  linear.setColorAt(1, FEnd);
  painter.fillRect(r, linear);
}
