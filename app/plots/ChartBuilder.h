#pragma once
// The chart builder: settings + the plot kind's data + the client size give a
// complete description of the chart (series with their points in displayed
// units, axis ranges, ticks and label texts, titles, colours, legend). It never
// touches a widget; TChartAdapter turns the description into a Qt chart.
//
// Curves keep the plot kind's split over the left (0) and right (1) Y axis. A
// linear axis divides its values by a power of ten (its multiplier) and prefixes
// the unit with it; a logarithmic axis draws log10 of the values on a linear axis
// and titles the unit "Lg(" ... ")"; when it holds negative values only it draws
// log10(-y) under "Lg(-" ... ")". 1e300 marks a missing value and is skipped.

#include "plots/PlotData.h"
#include "plots/PlotSettings.h"

#include <QPointF>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The role of a chart series, as the read-out and the data view find them.
enum TChartSeriesTag : int32_t {
  SeriesTagLegend = 0, // a legend entry or the point companion of a line
  SeriesTagData = 1,   // a data series: listed in the data view, read by the inspector
  SeriesTagVCursor = 2,
  SeriesTagHCursor = 3,
};

enum class TChartSeriesKind { Line, Points, Bars };

// How the bar series of one axis share a place on the X axis.
enum TMultiBar : int32_t {
  mbNone = 0,      // each bar from zero, the later in front
  mbSide = 1,      // side by side
  mbStacked = 2,   // one column: each bar on top of the bars of the earlier series at that X
  mbStacked100 = 3 // as stacked, each column scaled to 100 (the axis then reads percent)
};

struct TChartSeries {
  TChartSeriesKind kind = TChartSeriesKind::Line;
  int32_t tag = SeriesTagData;
  QString title;
  uint32_t colour = 0; // COLORREF
  int axis = 0;        // 0 left, 1 right; -1 for legend entries that hold no points
  bool pointerVisible = false;
  int32_t pointerStyle = 0; // 0..8, one style per series in turn
  bool showInLegend = false;
  int32_t multiBar = mbSide;
  std::vector<QPointF> points; // displayed units
  // Bars: where each bar starts and ends on the Y axis (a stack moves them).
  std::vector<double> barBase;
  std::vector<double> barTop;
};

struct TAxisTick {
  double value = 0;
  QString text;
};

struct TChartAxis {
  bool visible = true;
  QString title;
  uint32_t titleColour = 0;
  bool grid = true;
  int32_t labelsSize = 0; // the width kept for the labels of a Y axis, pixels
  double increment = 0;
  // The limits are set only when max > min; otherwise the axis keeps its previous ones.
  bool setLimits = false;
  double min = 0;
  double max = 1;
  std::vector<TAxisTick> ticks;
};

struct TChartTitle {
  bool visible = false;
  bool inFoot = false; // drawn below the chart
  QString text;
  int32_t alignment = taCenter;
  uint32_t colour = 0;
};

struct TChartDescription {
  // False when the plot kind is not ready or has no data: an empty chart.
  bool built = false;
  QString autoCaption; // the caption the window shows unless the user gave one; empty keeps it
  uint32_t chartColour = 0xFFFFFF;
  bool gradientVisible = false;
  int32_t gradientDirection = gdBottomTop;
  uint32_t gradientStart = 0xFFFFFF;
  uint32_t gradientEnd = 0xFFFFFF;
  uint32_t gridColour = 0x008000;
  bool legendFrameVisible = true;
  uint32_t legendShadowColour = 0x808080;
  bool legendVisible = false;
  int32_t legendAlignment = laBottom;
  bool dates = false;
  TChartTitle title;
  TChartAxis bottom;
  std::array<TChartAxis, 2> y;
  std::vector<TChartSeries> series;
  // The settings as the build leaves them: automatic limits, the X shift of
  // mode 1, and the per-axis state that the read-out and data view use.
  TPlotSettings settings;
  TPlotAxisState axisState;
};

struct TClientSize {
  int width = 0;
  int height = 0;
};

TChartDescription BuildChart(const TPlotSettings& settings, TPlotInput input, TClientSize client);

// Moves the axes of a built chart, as a drag pans it: the bottom axis by dx and
// Y axis k by dy[k], in displayed units; the labels follow the new ranges as a
// build would make them. An empty chart stays as it is.
void PanChart(TChartDescription& d, double dx, std::array<double, 2> dy, TClientSize client);

// The colour of the i-th non-empty series: the EGA colours in turn, without
// white, which would vanish on the white chart.
uint32_t SeriesColour(int index);

// The text of an axis label of value v on an axis from min to max: the value in
// general format; a text longer than 10 characters is shortened to the given
// significant digits, and reads "0" within (max - min) * 1e-10 of zero.
QString AxisLabelText(double v, double min, double max, int digits);

// The axis title: the user's title when given, else "name, unit" (or the name alone).
QString MakeAxisTitle(const QString& custom, const QString& name, const QString& unit);
