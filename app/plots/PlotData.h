#pragma once
// What a plot kind hands the chart builder: the X transformation, the axis
// titles and the series of the two Y axes. Plain records, so that the builder
// runs without a window.

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The marker that every plot-kind constructor stores last (TFSimplePlot::MarkReady);
// before it is there every build leaves the chart empty.
inline constexpr int32_t PlotReadyMarker = 718281828;

// How one series is drawn.
struct SeriesStyle {
  enum : int32_t { Points = 0, Line = 1, LineAndPoints = 2, Bars = 3 };
  int32_t Code = Line;
  // A point marker on every Step-th drawn point; 0 or less: derived from the
  // window width so that a long series gets about width / -Step markers.
  int32_t Step = 0;
};

// One series of a Y axis in data units; 1e300 marks a missing X or Y value.
// x and y have the same length.
struct TPlotSeries {
  std::vector<double> x;
  std::vector<double> y;
  QString name;
  SeriesStyle style;
};

// The series of the left (0) and the right (1) Y axis.
using TPlotSeriesData = std::array<std::vector<TPlotSeries>, 2>;

// The bottom axis: its title and the transformation x' = (x - offset) * factor
// applied to every X value.
struct TPlotXAxis {
  QString title;
  double offset = 0;
  double factor = 1;
};

// Window caption (empty keeps the default) and, per Y axis, the quantity name,
// its unit and whether the axis is used at all.
struct TPlotAxisTitles {
  QString caption;
  std::array<QString, 2> names;
  std::array<QString, 2> units;
  std::array<bool, 2> used{false, false};
};

// Everything one build asks of the plot kind.
struct TPlotInput {
  bool ready = false;   // the plot kind's constructor has finished
  bool hasData = false; // false leaves the chart empty
  QString defaultTitle;
  QString defaultCaption;
  TPlotXAxis xAxis;
  TPlotAxisTitles axisTitles;
  TPlotSeriesData series;
};
