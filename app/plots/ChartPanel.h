#pragma once
// The chart as the window shows it: the background gradient, the title above or
// below the chart (Qt Charts centres its own title and has no foot) and the chart
// view. The view handles the mouse itself: the right button opens the window's
// popup menu instead of zooming out, and the left button reads values out while
// the inspector is on. Dragging with the right button pans the chart; a right
// click that does not move opens the popup menu when the button is released.

#include <QChartView>
#include <QLinearGradient>
#include <QWidget>

#include <functional>

class QLabel;

class TPlotChartView : public QChartView {
  Q_OBJECT

public:
  explicit TPlotChartView(QChart* chart, QWidget* parent = nullptr);

  // Return true when the press or move was taken (no rubber band then).
  std::function<bool(QPoint pos, Qt::MouseButtons buttons)> onMouseDown;
  std::function<bool(QPoint pos, Qt::MouseButtons buttons)> onMouseMove;
  std::function<void(QPoint globalPos)> onContextMenu;
  // A step of a right-button drag: what was under the mouse at from goes to to
  // (view pixels).
  std::function<void(QPoint from, QPoint to)> onPan;
  // Off while the inspector owns the mouse.
  void SetPanningAllowed(bool allowed) { FPanningAllowed = allowed; }
  bool PanningAllowed() const { return FPanningAllowed; }

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void PanStep(QPoint pos);

  QPoint FPressPos;
  bool FZooming = false;
  bool FPanningAllowed = true;
  bool FRightDown = false;
  bool FPanning = false;
  bool FJustPanned = false; // swallows a popup that follows the drag's release
  bool FMenuPending = false; // the popup asked for at the press, shown at the release
  QPoint FPanFrom;
  QPoint FMenuAt;
};

class TChartPanel : public QWidget {
  Q_OBJECT

public:
  explicit TChartPanel(QWidget* parent = nullptr);

  QChart* Chart() const { return FChart; }
  TPlotChartView* View() const { return FView; }
  QLabel* TitleLabel() const { return FTitle; }
  QLabel* FootLabel() const { return FFoot; }
  // Plain white when gradient is false.
  void SetBackground(bool gradient, int direction, QColor start, QColor end);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QChart* FChart;
  TPlotChartView* FView;
  QLabel* FTitle;
  QLabel* FFoot;
  bool FGradient = false;
  int FDirection = 0;
  QColor FStart = Qt::white;
  QColor FEnd = Qt::white;
};
