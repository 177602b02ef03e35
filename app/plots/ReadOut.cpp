#include "plots/ReadOut.h"

#include "data/TextConversion.h"

#include <melisco.h>

#include <cmath>

namespace {

constexpr uint32_t White = 0xFFFFFF;
// Seven eighths white: a pale tint of the series colour.
constexpr int PaleMix = 0xE000;

QString Number(double v)
{
  return QString::fromStdString(FloatToStrSep(v, ffGeneral, 6, 0));
}

QString Label(const TNameUnit& parts)
{
  return parts.name + ", " + parts.unit;
}

QString SeriesValueAt(const TChartSeries& series, double x, const TPlotAxisState& state)
{
  const std::vector<QPointF>& points = series.points;
  if (points.empty())
    return QString();
  for (size_t j = 0; j < points.size(); ++j) {
    if (points[j].x() <= x)
      continue;
    double y1 = ToDataUnits(points[j].y(), series.axis, state);
    if (j == 0)
      return Number(y1);
    double y0 = ToDataUnits(points[j - 1].y(), series.axis, state);
    double x0 = points[j - 1].x();
    double x1 = points[j].x();
    return Number(y0 + (y1 - y0) * (x - x0) / (x1 - x0));
  }
  return Number(ToDataUnits(points.back().y(), series.axis, state));
}

} // namespace

TNameUnit SplitAxisTitle(const QString& title)
{
  int comma = title.indexOf(',');
  if (comma < 0)
    return {title, QString()};
  return {title.left(comma), title.mid(comma + 1).trimmed()};
}

TNameUnit SplitSeriesTitle(const QString& title)
{
  int open = title.indexOf('(');
  int close = title.indexOf(')');
  if (open >= 0 && close >= 0 && open < close)
    return {title.left(open).trimmed(), title.mid(open + 1, close - open - 1)};
  return {title.trimmed(), QString()};
}

double ToDataUnits(double y, int k, const TPlotAxisState& state)
{
  if (!state.LogActive[k])
    return y * state.YMultiplier[k];
  double value = std::pow(10.0, y);
  return state.LogNegative[k] ? -value : value;
}

std::vector<TReadOutRow> ReadOutRows(const std::vector<TChartSeries>& series, const TReadOutPoint& mouse,
                                     const QString& bottomTitle, const std::array<QString, 2>& axisTitles,
                                     const TPlotAxisState& state)
{
  std::vector<TReadOutRow> rows;
  std::array<bool, 2> axisShown{false, false};
  bool first = true;
  for (const TChartSeries& s : series) {
    if (s.tag != SeriesTagData)
      continue;
    const int k = s.axis == 1 ? 1 : 0;
    if (first) {
      rows.push_back({Number(mouse.x), Label(SplitAxisTitle(bottomTitle)), White});
      first = false;
    }
    if (!axisShown[k]) {
      rows.push_back({Number(ToDataUnits(mouse.y[k], k, state)), Label(SplitAxisTitle(axisTitles[k])), White});
      axisShown[k] = true;
    }
    rows.push_back({SeriesValueAt(s, mouse.x, state), Label(SplitSeriesTitle(s.title)),
                    MixColor(s.colour, White, PaleMix, 0) & 0xFFFFFF});
  }
  return rows;
}
