#include "plots/SeriesDataView.h"

#include "plots/ReadOut.h"

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr double NoValue = 1e300;
constexpr double ShiftLength = 28800.0;

TSeriesDataViewer& Viewer()
{
  static TSeriesDataViewer viewer;
  return viewer;
}

} // namespace

TSeriesDataRequest MakeSeriesDataRequest(const TChartDescription& chart, const std::vector<int>& seriesIndices,
                                         const QString& bottomTitle)
{
  TSeriesDataRequest request;
  const bool several = seriesIndices.size() > 1;
  QString lastName;
  for (int index : seriesIndices) {
    const TChartSeries& s = chart.series.at(index);
    TNameUnit parts = SplitSeriesTitle(s.title);
    lastName = parts.name;
    auto serie = std::make_unique<TTimeSerie>(several ? parts.name.toStdString() : std::string(),
                                              parts.unit.toStdString(), 1, NoValue, ShiftLength, 0);
    const int k = s.axis == 1 ? 1 : 0;
    for (const QPointF& p : s.points)
      serie->Add(chart.settings.XDates ? p.x() * SecondsPerDay : p.x(), ToDataUnits(p.y(), k, chart.axisState));
    request.series.push_back(std::move(serie));
  }
  request.caption = several ? QString::fromUtf8("Данные серий") : lastName;
  request.timeFormat = chart.settings.XDates ? 2 : 220;
  int comma = bottomTitle.indexOf(',');
  request.timeTitle = comma < 0 ? bottomTitle : bottomTitle.left(comma) + "\n" + bottomTitle.mid(comma + 1).trimmed();
  return request;
}

void SetSeriesDataViewer(TSeriesDataViewer viewer)
{
  Viewer() = std::move(viewer);
}

const TSeriesDataViewer& SeriesDataViewer()
{
  return Viewer();
}
