#pragma once
// The chart as the window shows it: the background gradient, the title above or
// below the chart (Qt Charts centres its own title and has no foot) and the chart
// view. The view handles the mouse itself: the right button opens the window's
// popup menu instead of zooming out, and the left button reads values out while
// the inspector is on.

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

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  QPoint FPressPos;
  bool FZooming = false;
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
