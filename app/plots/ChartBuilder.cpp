#include "plots/ChartBuilder.h"

#include "data/TextConversion.h"
#include "data/TimeConversion.h"

#include <melisco.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr double NoValue = 1e300;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Navy = 0x800000;
constexpr uint32_t Green = 0x008000;
constexpr uint32_t Grey = 0x808080;
// The room one label takes along an axis, in pixels, which limits how many fit.
constexpr int BottomLabelPitch = 64;
constexpr int DateLabelPitch = 90;
constexpr int SideLabelPitch = 32;

struct TRange {
  double min = NoValue;
  double max = -NoValue;
};

struct TLogRange {
  double negMin = 0;
  double negMax = 0;
  double posMin = 0;
  double posMax = 0;
};

void UpdateMinMax(const std::vector<double>& values, TRange& range)
{
  for (double v : values)
    if (v != NoValue) {
      range.min = std::min(range.min, v);
      range.max = std::max(range.max, v);
    }
  if (range.min == NoValue)
    range = {0, 0};
}

void UpdateLogMinMax(const std::vector<double>& values, TLogRange& r, bool accumulate)
{
  if (!accumulate)
    r = {0, -NoValue, NoValue, 0};
  for (double v : values) {
    if (v == NoValue || v == 0)
      continue;
    if (v > 0) {
      r.posMin = std::min(r.posMin, v);
      r.posMax = std::max(r.posMax, v);
    } else {
      r.negMin = std::min(r.negMin, v);
      r.negMax = std::max(r.negMax, v);
    }
  }
  if (r.posMin == NoValue)
    r.posMin = r.posMax = 0;
  if (r.negMax == -NoValue)
    r.negMin = r.negMax = 0;
}

double DecadeMultiplier(double a, double b)
{
  double m = std::max(std::fabs(a), std::fabs(b));
  return m == 0 ? 1 : std::pow(10.0, std::floor(std::log10(m)));
}

double TickIncrement(double a, double b, int digits)
{
  double m = std::max(std::fabs(a), std::fabs(b));
  return m == 0 ? 0 : std::pow(10.0, std::floor(std::log10(m)) - digits + 1);
}

void WidenRange(double& min, double& max, double frac, double relEps)
{
  double w = std::fabs(max - min);
  double m = std::max(std::fabs(max), std::fabs(min));
  if (m <= 0)
    m = 1;
  m *= relEps;
  if (w >= m) {
    max += w * frac;
    min -= w * frac;
  } else {
    double c = (max + min) / 2;
    min = c - m;
    max = c + m;
  }
}

double Round6(double v)
{
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", v);
  return std::strtod(text, nullptr);
}

// One unit in the sixth significant digit of v.
double Round6Step(double v)
{
  return v == 0 ? 0 : std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 5);
}

// The limits keep 6 significant digits, rounded away from the data: a limit
// rounded inward would cut the first or last point off the chart.
double Round6Down(double v)
{
  double r = Round6(v);
  while (r > v && Round6Step(r) > 0 && std::isfinite(r))
    r = Round6(r - Round6Step(r));
  return r;
}

double Round6Up(double v)
{
  double r = Round6(v);
  while (r < v && Round6Step(r) > 0 && std::isfinite(r))
    r = Round6(r + Round6Step(r));
  return r;
}

void Round6Outward(TRange& range)
{
  range.min = Round6Down(range.min);
  range.max = Round6Up(range.max);
}

int MaxLabels(int pixels, int pitch)
{
  return std::max(2, pixels / pitch);
}

// Multiples of the increment from min to max, the increment grown through the
// steps 1, 2, 5, 10, ... of itself until at most maxLabels fit.
std::vector<double> LinearTicks(double min, double max, double& increment, int maxLabels)
{
  std::vector<double> ticks;
  if (!(max > min) || !std::isfinite(min) || !std::isfinite(max))
    return ticks;
  double span = max - min;
  double base = increment > 0 ? increment : span / maxLabels;
  static constexpr double Steps[] = {1, 2, 5};
  double inc = base;
  for (int decade = 0; span / inc + 1 > maxLabels; ++decade)
    for (double step : Steps) {
      inc = base * step * std::pow(10.0, decade);
      if (span / inc + 1 <= maxLabels)
        break;
    }
  increment = inc;
  for (double k = std::ceil(min / inc - 1e-9); k * inc <= max + inc * 1e-9; k += 1)
    ticks.push_back(k * inc == 0 ? 0.0 : k * inc);
  return ticks;
}

// Date ticks on whole years, days or minutes (the increment in days), spaced out
// until at most maxLabels fit.
std::vector<TAxisTick> DateTicks(double min, double max, double increment, int maxLabels)
{
  std::vector<TAxisTick> ticks;
  if (!(max > min))
    return ticks;
  if (increment >= 360) {
    int y0 = 0, y1 = 0, m = 0, d = 0;
    DecodeDate(min, y0, m, d);
    DecodeDate(max, y1, m, d);
    int step = 1;
    while ((y1 - y0) / step + 1 > maxLabels)
      step = step == 1 ? 2 : step == 2 ? 5 : step * 2;
    for (int y = y0 - y0 % step; y <= y1; y += step) {
      double t = EncodeDate(y, 1, 1);
      if (t >= min && t <= max)
        ticks.push_back({t, QString::fromStdString(FormatDateTime("yyyy", t))});
    }
    return ticks;
  }
  static constexpr double DaySteps[] = {1, 2, 5, 10, 20, 50, 100, 200};
  static constexpr double MinuteSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720};
  bool days = increment >= 1;
  const double* steps = days ? DaySteps : MinuteSteps;
  int count = days ? std::size(DaySteps) : std::size(MinuteSteps);
  double unit = days ? 1.0 : 1.0 / 1440;
  double inc = unit * steps[count - 1];
  for (int i = 0; i < count; ++i)
    if ((max - min) / (unit * steps[i]) + 1 <= maxLabels) {
      inc = unit * steps[i];
      break;
    }
  const std::string format = days ? "dd.mm.yyyy" : "hh:nn";
  for (double k = std::ceil(min / inc - 1e-9); k * inc <= max + inc * 1e-9; k += 1) {
    // Whole minutes, so that k * inc does not print as the minute before.
    double t = std::round(k * inc * 1440) / 1440;
    ticks.push_back({t, QString::fromStdString(FormatDateTime(format, t))});
  }
  return ticks;
}

void LabelTicks(TChartAxis& axis, int digits, int maxLabels)
{
  axis.ticks.clear();
  for (double v : LinearTicks(axis.min, axis.max, axis.increment, maxLabels))
    axis.ticks.push_back({v, AxisLabelText(v, axis.min, axis.max, digits)});
}

QString UnitPrefix(double multiplier)
{
  int n = static_cast<int>(std::floor(std::log10(multiplier) + 0.5));
  if (n == 0)
    return QString();
  if (n >= -3 && n <= 3)
    return QString::fromStdString(FloatToStrSep(std::pow(10.0, n), ffGeneral, 15, 0));
  return QString("1E%1%2").arg(n > 0 ? "+" : "").arg(n);
}

// Step 20: the increments and the labels of the three axes for their ranges.
void LabelAxes(TChartDescription& d, TClientSize client)
{
  const TPlotSettings& s = d.settings;
  const double xmin = d.bottom.min;
  const double xmax = d.bottom.max;
  if (s.XDates) {
    if (std::floor(0.001 * (xmax - xmin)) > 0)
      d.bottom.increment = 360;
    else if (std::floor(xmax) != std::floor(xmin))
      d.bottom.increment = 1;
    else
      d.bottom.increment = 1.0 / 1440;
    d.bottom.ticks = DateTicks(xmin, xmax, d.bottom.increment, MaxLabels(client.width, DateLabelPitch));
  } else {
    d.bottom.increment = TickIncrement(xmin, xmax, s.XTickDigits);
    LabelTicks(d.bottom, s.XTickDigits, MaxLabels(client.width, BottomLabelPitch));
  }
  for (int k = 0; k < 2; ++k) {
    d.y[k].increment = TickIncrement(d.y[k].min, d.y[k].max, s.YTickDigits[k]);
    LabelTicks(d.y[k], s.YTickDigits[k], MaxLabels(client.height, SideLabelPitch));
  }
}

bool Stacked(int32_t multiBar)
{
  return multiBar == mbStacked || multiBar == mbStacked100;
}

// The tops of the stacked columns of an axis' bar series, in data units: at
// each X the running sum of the values of the series in their order.
std::vector<double> StackTops(const std::vector<TPlotSeries>& axisSeries)
{
  std::map<double, double> sums;
  std::vector<double> tops;
  for (const TPlotSeries& series : axisSeries) {
    if (series.style.Code != SeriesStyle::Bars)
      continue;
    for (size_t j = 0; j < std::min(series.x.size(), series.y.size()); ++j)
      if (series.x[j] != NoValue && series.y[j] != NoValue)
        tops.push_back(sums[series.x[j]] += series.y[j]);
  }
  return tops;
}

// Puts the bars of one axis on top of each other, in series order, at equal X;
// with mbStacked100 every column reaches 100.
void StackBars(std::vector<TChartSeries>& series, int axis, int32_t multiBar)
{
  std::map<double, double> totals;
  for (const TChartSeries& s : series)
    if (s.kind == TChartSeriesKind::Bars && s.axis == axis)
      for (const QPointF& p : s.points)
        totals[p.x()] += p.y();
  std::map<double, double> sums;
  for (TChartSeries& s : series) {
    if (s.kind != TChartSeriesKind::Bars || s.axis != axis)
      continue;
    for (size_t j = 0; j < s.points.size(); ++j) {
      const double x = s.points[j].x();
      double& sum = sums[x];
      const double scale = multiBar == mbStacked100 ? (totals[x] != 0 ? 100 / totals[x] : 0) : 1;
      s.barBase[j] = sum * scale;
      sum += s.points[j].y();
      s.barTop[j] = sum * scale;
    }
  }
}

// Step 12: the chart series of one plot series.
void AddSeries(TChartDescription& d, const TPlotSeries& source, int k, int index, const TPlotXAxis& xAxis,
               int clientWidth)
{
  const TPlotSettings& s = d.settings;
  const TPlotAxisState& a = d.axisState;
  uint32_t colour = s.Monochrome ? Black : SeriesColour(index);
  int32_t code = source.style.Code;
  bool line = code == SeriesStyle::Line || code == SeriesStyle::LineAndPoints;
  bool points = code == SeriesStyle::Points || code == SeriesStyle::LineAndPoints;
  bool bars = code == SeriesStyle::Bars;
  int32_t pointerStyle = index % 9;

  auto make = [&](TChartSeriesKind kind, int32_t tag, int axis) {
    TChartSeries series;
    series.kind = kind;
    series.tag = tag;
    series.title = source.name;
    series.colour = colour;
    series.axis = axis;
    series.pointerStyle = pointerStyle;
    return series;
  };
  TChartSeries dataLine = make(TChartSeriesKind::Line, SeriesTagData, k);
  TChartSeries legend = make(line ? TChartSeriesKind::Line : TChartSeriesKind::Points, SeriesTagLegend, -1);
  legend.pointerVisible = points;
  legend.showInLegend = true;
  TChartSeries markers = make(TChartSeriesKind::Points, line ? SeriesTagLegend : SeriesTagData, k);
  markers.pointerVisible = true;
  TChartSeries barSeries = make(TChartSeriesKind::Bars, SeriesTagData, k);
  barSeries.multiBar = s.MultiBar;

  const int count = static_cast<int>(std::min(source.x.size(), source.y.size()));
  int64_t step = source.style.Step;
  if (step <= 0)
    step = 1 - (count * step) / std::max(clientWidth, 1);
  int64_t phase = index;
  for (int j = 0; j < count; ++j) {
    double x = source.x[j];
    double y = source.y[j];
    if (x == NoValue || y == NoValue)
      continue;
    x = (x - xAxis.offset) * xAxis.factor;
    if (!a.LogActive[k]) {
      y /= a.YMultiplier[k];
    } else {
      if (a.LogNegative[k])
        y = -y;
      if (y <= 0)
        continue;
      y = std::log10(y);
    }
    if (line)
      dataLine.points.emplace_back(x, y);
    if (points && phase % step == 0)
      markers.points.emplace_back(x, y);
    if (points)
      ++phase;
    if (bars) {
      barSeries.points.emplace_back(x, y);
      barSeries.barBase.push_back(0);
      barSeries.barTop.push_back(y);
    }
  }
  if (line)
    d.series.push_back(std::move(dataLine));
  d.series.push_back(std::move(legend));
  if (points)
    d.series.push_back(std::move(markers));
  if (bars)
    d.series.push_back(std::move(barSeries));
}

} // namespace

uint32_t SeriesColour(int index)
{
  std::vector<uint32_t> colours;
  const COLORREF* table = EGAcols();
  for (int i = 0; i < EGAcolsCount(); ++i)
    if ((table[i] & 0xFFFFFF) != White)
      colours.push_back(table[i] & 0xFFFFFF);
  return colours.empty() ? Black : colours[index % colours.size()];
}

QString AxisLabelText(double v, double min, double max, int digits)
{
  std::string text = FloatToStrGeneral(v);
  if (text.size() <= 10)
    return QString::fromStdString(text);
  double value = StrToFloatAny(text);
  if (std::fabs(value) < (max - min) * 1e-10)
    return "0";
  return QString::fromStdString(FloatToStrSep(value, ffGeneral, std::max(1, digits), 0));
}

QString MakeAxisTitle(const QString& custom, const QString& name, const QString& unit)
{
  if (!custom.isEmpty())
    return custom;
  return unit.isEmpty() ? name : name + ", " + unit;
}

TChartDescription BuildChart(const TPlotSettings& settings, TPlotInput input, TClientSize client)
{
  TChartDescription d;
  d.settings = settings;
  TPlotSettings& s = d.settings;
  TPlotAxisState& a = d.axisState;
  d.title.inFoot = s.TitlePosition != 0;
  d.y[0].labelsSize = s.YLabelsSize[0];
  d.y[1].labelsSize = s.YLabelsSize[1];
  if (!input.ready || !input.hasData)
    return d;
  d.built = true;
  d.autoCaption = input.defaultCaption;
  QString defaultTitle = input.defaultTitle;
  const TPlotXAxis& xAxis = input.xAxis;
  TPlotAxisTitles titles = input.axisTitles;

  // Colours.
  uint32_t textColour = s.Monochrome ? Black : Navy;
  d.gridColour = s.Monochrome ? Black : Green;
  d.gradientVisible = !s.Monochrome && s.Gradient;
  d.gradientDirection = s.GradientDirection;
  d.gradientStart = s.GradientStart;
  d.gradientEnd = s.GradientEnd;
  d.legendFrameVisible = !s.Monochrome;
  d.legendShadowColour = s.Monochrome ? White : Grey;
  d.title.colour = textColour;

  d.bottom.grid = s.XGrid;
  for (int k = 0; k < 2; ++k) {
    d.y[k].visible = titles.used[k];
    d.y[k].grid = s.YGrid[k];
    d.y[k].titleColour = textColour;
  }

  TPlotSeriesData& data = input.series;
  if (s.XShiftMode == 1 || s.XShiftMode == 2)
    for (auto& axisSeries : data)
      for (TPlotSeries& series : axisSeries) {
        if (s.XShiftMode == 1)
          s.XShift = series.x.empty() ? 0 : series.x.front();
        for (double& x : series.x)
          if (x != NoValue)
            x -= s.XShift;
      }

  TRange xRange;
  std::array<TRange, 2> yRange;
  std::array<TLogRange, 2> logRange;
  for (int k = 0; k < 2; ++k) {
    a.YMultiplier[k] = 1;
    a.LogActive[k] = s.LogY[k];
    a.LogNegative[k] = false;
    for (size_t i = 0; i < data[k].size(); ++i) {
      const TPlotSeries& series = data[k][i];
      UpdateMinMax(series.x, xRange);
      if (a.LogActive[k])
        UpdateLogMinMax(series.y, logRange[k], i > 0);
      else
        UpdateMinMax(series.y, yRange[k]);
      Round6Outward(yRange[k]);
    }
    // Stacked columns reach beyond their own values; a column scaled to 100
    // reads percent.
    const bool stacked100 = !a.LogActive[k] && s.MultiBar == mbStacked100 && !StackTops(data[k]).empty();
    if (!a.LogActive[k] && s.MultiBar == mbStacked)
      if (const std::vector<double> tops = StackTops(data[k]); !tops.empty()) {
        UpdateMinMax(tops, yRange[k]);
        yRange[k] = {std::min(yRange[k].min, 0.0), std::max(yRange[k].max, 0.0)};
      }
    if (stacked100)
      yRange[k] = {0, 100};
    if (yRange[k].min > yRange[k].max)
      yRange[k] = {-1, 1};
    Round6Outward(xRange);
    if (stacked100) {
      a.YMultiplier[k] = 1;
    } else if (!a.LogActive[k]) {
      a.YMultiplier[k] = s.AutoY[k] ? DecadeMultiplier(yRange[k].min, yRange[k].max)
                                    : DecadeMultiplier(s.YMin[k], s.YMax[k]);
    } else {
      const TLogRange& r = logRange[k];
      if (r.posMax == 0 && r.negMin == 0) {
        yRange[k] = {1, 1};
      } else if (r.posMax == 0) {
        yRange[k] = {r.negMin, r.negMax};
        a.LogNegative[k] = true;
      } else {
        yRange[k] = {r.posMin, r.posMax};
      }
    }
  }

  int index = 0;
  for (int k = 0; k < 2; ++k)
    for (const TPlotSeries& series : data[k])
      if (!series.x.empty() && !series.y.empty())
        AddSeries(d, series, k, index++, xAxis, client.width);
  if (Stacked(s.MultiBar))
    for (int k = 0; k < 2; ++k)
      if (!a.LogActive[k])
        StackBars(d.series, k, s.MultiBar);
  d.dates = s.XDates;

  double xmin = xRange.min;
  double xmax = xRange.max;
  if (xmin == NoValue || xmax == -NoValue) {
    xmin = xmax = 0;
  } else {
    xmin = (xmin - xAxis.offset) * xAxis.factor;
    xmax = (xmax - xAxis.offset) * xAxis.factor;
  }

  if (!titles.caption.isEmpty()) {
    d.autoCaption = titles.caption;
    defaultTitle = titles.caption;
  }
  d.title.visible = s.ShowTitle;
  if (d.title.visible) {
    d.title.text = s.ChartTitle.isEmpty() ? defaultTitle : s.ChartTitle;
    d.title.alignment = s.TitleAlignment;
  }
  d.bottom.title = s.XTitle.isEmpty() ? xAxis.title : s.XTitle;

  if (s.AutoXMin && s.AutoXMax && xmin >= xmax) {
    xmin -= 0.5;
    xmax += 0.5;
  }
  if (s.AutoXMin) {
    if (xmin >= xmax)
      xmin -= 0.5;
    s.XMin = xmin;
  } else {
    xmin = s.XMin;
  }
  if (s.AutoXMax) {
    if (xmin >= xmax)
      xmax += 0.5;
    s.XMax = xmax;
  } else {
    xmax = s.XMax;
  }

  for (int k = 0; k < 2; ++k) {
    double min = 0;
    double max = 0;
    const bool log = a.LogActive[k];
    const bool negative = a.LogNegative[k];
    // A manual logarithmic range needs positive limits; otherwise the axis
    // shows the data as an automatic one would.
    const bool manualLogUnusable = log && !negative && !s.AutoY[k] && (s.YMin[k] <= 0 || s.YMax[k] <= 0);
    if (s.AutoY[k] || manualLogUnusable) {
      min = yRange[k].min;
      max = yRange[k].max;
      if (s.AutoY[k]) {
        s.YMin[k] = min;
        s.YMax[k] = max;
      }
      if (log) {
        double lo = negative ? std::log10(-max) : std::log10(min);
        double hi = negative ? std::log10(-min) : std::log10(max);
        min = lo;
        max = hi;
      }
      WidenRange(min, max, 0.05, 0.005);
    } else {
      min = s.YMin[k];
      max = s.YMax[k];
      if (log && !negative) {
        min = std::log10(min);
        max = std::log10(max);
      } else if (log) {
        min = s.YMax[k] < 0 ? std::log10(-s.YMax[k]) : -300;
        max = s.YMin[k] < 0 ? std::log10(-s.YMin[k]) : -300;
      }
    }
    if (log) {
      titles.units[k] = "Lg(" + QString(negative ? "-" : "") + titles.units[k] + ")";
    } else {
      min /= a.YMultiplier[k];
      max /= a.YMultiplier[k];
      QString prefix = UnitPrefix(a.YMultiplier[k]);
      if (!prefix.isEmpty())
        titles.units[k] = prefix + " " + titles.units[k];
    }
    d.y[k].title = MakeAxisTitle(s.YTitle[k], titles.names[k], titles.units[k]);
    d.y[k].min = min;
    d.y[k].max = max;
  }

  d.bottom.min = xmin;
  d.bottom.max = xmax;
  for (TChartAxis* axis : {&d.bottom, &d.y[0], &d.y[1]})
    axis->setLimits = axis->max > axis->min;

  LabelAxes(d, client);

  d.legendAlignment = s.LegendAlignment;
  d.legendVisible = s.ShowLegend;
  return d;
}

void PanChart(TChartDescription& d, double dx, std::array<double, 2> dy, TClientSize client)
{
  if (!d.built)
    return;
  d.bottom.min += dx;
  d.bottom.max += dx;
  for (int k = 0; k < 2; ++k) {
    d.y[k].min += dy[k];
    d.y[k].max += dy[k];
  }
  LabelAxes(d, client);
}
