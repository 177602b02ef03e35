#pragma once
// The settings that every chart window shares (titles, legend, colours, axis
// limits, logarithmic axes, X shift, fonts), the values each build leaves behind
// for the read-out and the data view, and their project record (group 1108).

#include "data/TagStream.h"

#include <QString>

#include <array>
#include <cstdint>

// The legend's place, as stored.
enum TLegendAlignment : int32_t { laLeft = 0, laRight = 1, laTop = 2, laBottom = 3 };
// The title's alignment, as stored.
enum TTitleAlignment : int32_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
// The background gradient's direction, as stored.
enum TGradientDirection : int32_t {
  gdTopBottom = 0,
  gdBottomTop = 1,
  gdLeftRight = 2,
  gdRightLeft = 3,
  gdFromCenter = 4,
  gdFromTopLeft = 5,
  gdFromBottomLeft = 6,
};

struct TPlotSettings {
  std::array<int32_t, 2> AxisQuantity{-1, -1}; // stored for the plot kind; -1 none
  int32_t LegendAlignment = laBottom;
  bool ShowTitle = true;
  bool ShowLegend = true;
  bool Monochrome = false;
  std::array<bool, 2> YGrid{true, false};
  bool XGrid = true;
  int32_t XUnit = 0; // its meaning belongs to the plot kind
  bool XDates = false; // X values are days of a calendar date
  bool AutoXMin = true;
  bool AutoXMax = true;
  std::array<bool, 2> AutoY{true, true};
  double XMin = 0; // displayed units (after the plot kind's offset and factor)
  double XMax = 1;
  std::array<double, 2> YMin{0, 0}; // data units
  std::array<double, 2> YMax{1, 1};
  QString ChartTitle; // empty: the plot kind's default title
  QString XTitle;     // empty: the plot kind's
  std::array<QString, 2> YTitle; // empty: built from names and units
  int32_t TitlePosition = 0;     // 0 above the chart, otherwise below it
  int32_t TitleAlignment = taCenter;
  bool Gradient = true;
  std::array<bool, 2> LogY{false, false};
  int32_t GradientDirection = gdBottomTop;
  int32_t XTickDigits = 4;
  std::array<int32_t, 2> YTickDigits{4, 4};
  uint32_t GradientStart = 0xFFFFFF; // COLORREF: red in the low byte
  uint32_t GradientEnd = 0xFFC0A0;
  double XShift = 0;
  int32_t XShiftMode = 0; // 0 none, 1 each series by its own first X, 2 every series by XShift
  std::array<int32_t, 2> YLabelsSize{20, 20};
  int32_t MultiBar = 1; // a TMultiBar: how the bar series of an axis share a place
  TFontRecord TitleFont = DefaultTitleFont();
  TFontRecord LegendFont = DefaultChartFont();
  TFontRecord AxisTitleFont = DefaultChartFont();
  TFontRecord AxisLabelFont = DefaultChartFont();

  static TFontRecord DefaultTitleFont();
  static TFontRecord DefaultChartFont();
};

// What every build computes and the read-out and the data view read back.
struct TPlotAxisState {
  std::array<bool, 2> LogActive{false, false};   // the logarithmic flag in force
  std::array<bool, 2> LogNegative{false, false}; // the logarithmic axis shows -y
  std::array<double, 2> YMultiplier{1, 1};       // power of ten a linear axis divides by
};

// Group 1108 after the window's own groups: the user caption, the settings and
// the three axis blocks, each a complete tag stream in a raw block.
void SavePlotSettings(TTagStream& stream, const TPlotSettings& settings, const QString& userCaption);
// Reads what SavePlotSettings wrote; a missing record or axis block keeps the
// value already in the settings.
void LoadPlotSettings(TTagStream& stream, TPlotSettings& settings, QString& userCaption);
