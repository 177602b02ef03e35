#pragma once
// "Просмотр данных": the data series of a chart as time series in data units,
// for the table window that lists them.

#include "plots/ChartBuilder.h"

#include "data/TimeSerie.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

// What the table window receives: the series, the time format code (2: date and
// time to the minute, 220: seconds), the title of the time column and the
// window caption.
struct TSeriesDataRequest {
  std::vector<std::unique_ptr<TTimeSerie>> series;
  int timeFormat = 220;
  QString timeTitle;
  QString caption;
};

// The chart series given by their positions in the chart's series list, made
// into time series: times are the X values as drawn (in seconds for a date
// axis), values go back to data units.
TSeriesDataRequest MakeSeriesDataRequest(const TChartDescription& chart, const std::vector<int>& seriesIndices,
                                         const QString& bottomTitle);

// The window that shows a request modally; the series table installs it. While
// none is installed the data view items stay disabled.
using TSeriesDataViewer = std::function<void(QWidget* parent, TSeriesDataRequest& request)>;
void SetSeriesDataViewer(TSeriesDataViewer viewer);
const TSeriesDataViewer& SeriesDataViewer();
