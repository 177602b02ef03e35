#pragma once
// Turns a chart description into the Qt chart of a panel. Line and point series
// are kept between builds and refilled, so a rebuild does not recreate them; the
// axes are category axes whose categories are the builder's ticks, which gives
// the labels exactly the builder's texts.

#include "plots/ChartBuilder.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QScatterSeries>

#include <array>
#include <vector>

class QAbstractSeries;
class TChartPanel;

class TChartAdapter {
public:
  explicit TChartAdapter(TChartPanel* panel);
  ~TChartAdapter();
  TChartAdapter(const TChartAdapter&) = delete;
  TChartAdapter& operator=(const TChartAdapter&) = delete;

  void Apply(const TChartDescription& description);
  // Only the axes' ranges and labels, as a pan leaves them.
  void ApplyAxes(const TChartDescription& description);
  // The ranges the axes show now (a zoom changes them), into the description.
  void ReadAxisRanges(TChartDescription& description) const;

  // The chart series of the last build, in the description's order.
  const std::vector<QAbstractSeries*>& Series() const { return FShown; }
  QCategoryAxis* BottomAxis() const { return FBottom; }
  QCategoryAxis* YAxis(int k) const { return FY[k]; }
  // An empty series on the bottom axis and Y axis k, through which mouse
  // positions become values of that axis.
  QLineSeries* Probe(int k) const { return FProbe[k]; }
  // The dotted cursor lines of the read-out, inactive after every build.
  void PlaceCursorLines(double x, double y);
  QLineSeries* CursorLine(int vertical) const { return vertical ? FVCursor : FHCursor; }

private:
  void ApplyAxis(QCategoryAxis* axis, const TChartAxis& from, const TChartDescription& d);
  QAbstractSeries* MakeSeries(const TChartSeries& s, const TChartDescription& d);
  void Attach(QAbstractSeries* series, int axis);
  void HideFromLegend(QAbstractSeries* series);

  TChartPanel* FPanel;
  QCategoryAxis* FBottom;
  std::array<QCategoryAxis*, 2> FY;
  std::array<QLineSeries*, 2> FProbe;
  QLineSeries* FVCursor;
  QLineSeries* FHCursor;
  std::vector<QLineSeries*> FLines;
  std::vector<QScatterSeries*> FScatters;
  std::vector<QAbstractSeries*> FShown;
  std::vector<QAbstractSeries*> FBars; // made afresh by every build
  std::vector<QAreaSeries*> FBarColumns; // of the bar series being made, but its first
  size_t FLinesUsed = 0;
  size_t FScattersUsed = 0;
};
