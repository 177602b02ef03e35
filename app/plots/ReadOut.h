#pragma once
// The inspector's read-out: at a mouse position, the X value, the value of each
// used Y axis at the mouse height and the value of every data series at the
// mouse X, interpolated between its points, all back in data units.

#include "plots/ChartBuilder.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

struct TReadOutRow {
  QString value; // empty for a series without points
  QString label;
  uint32_t colour = 0xFFFFFF; // row background, COLORREF
};

struct TReadOutPoint {
  double x = 0;                  // displayed X under the mouse
  std::array<double, 2> y{0, 0}; // displayed value of each Y axis at the mouse height
};

// The rows below the grid's fixed row: the X row, then, following the data
// series (tag 1) in chart order, an axis row before the first series of each
// axis and one row per series.
std::vector<TReadOutRow> ReadOutRows(const std::vector<TChartSeries>& series, const TReadOutPoint& mouse,
                                     const QString& bottomTitle, const std::array<QString, 2>& axisTitles,
                                     const TPlotAxisState& state);

// "name, unit" split at the first ","; without "," the whole text is the name.
struct TNameUnit {
  QString name;
  QString unit;
};
TNameUnit SplitAxisTitle(const QString& title);
// "name (unit)": the unit between the first "(" and the first ")" when "(" comes
// first; otherwise the whole (trimmed) title is the name.
TNameUnit SplitSeriesTitle(const QString& title);

// A displayed Y value of axis k back in data units.
double ToDataUnits(double y, int k, const TPlotAxisState& state);
