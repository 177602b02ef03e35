#pragma once
// Small builders of plot-kind answers for the chart tests.

#include "plots/ChartBuilder.h"

#include <vector>

inline TPlotSeries MakeSeries(std::vector<double> x, std::vector<double> y, const char* name = "U (V)",
                              int32_t code = SeriesStyle::Line, int32_t step = 0)
{
  TPlotSeries s;
  s.x = std::move(x);
  s.y = std::move(y);
  s.name = QString::fromUtf8(name);
  s.style = {code, step};
  return s;
}

// A ready plot kind with data, the left axis "U, V" and the right axis "I, A".
inline TPlotInput MakeInput(std::vector<TPlotSeries> left, std::vector<TPlotSeries> right = {})
{
  TPlotInput input;
  input.ready = true;
  input.hasData = true;
  input.defaultTitle = "default title";
  input.defaultCaption = "default caption";
  input.xAxis = {"t, s", 0, 1};
  input.axisTitles.names = {"U", "I"};
  input.axisTitles.units = {"V", "A"};
  input.axisTitles.used = {!left.empty(), !right.empty()};
  input.series = {std::move(left), std::move(right)};
  return input;
}

// The n-th chart series of the given tag.
inline const TChartSeries* NthSeries(const TChartDescription& d, int32_t tag, int n, TChartSeriesKind kind)
{
  for (const TChartSeries& s : d.series)
    if (s.tag == tag && s.kind == kind && n-- == 0)
      return &s;
  return nullptr;
}
