#include "plots/series/SeriesMerge.h"

#include "data/TimeSerie.h"

#include <cmath>
#include <cstddef>

namespace {

int PointCount(const TTimeSerie* serie) { return serie ? serie->GetCount() : 0; }

double TimeOf(const TTimeSerie& serie, int index)
{
  double time = 0.0, value = 0.0;
  serie.GetPoint(index, time, value);
  return time;
}

// Moves the index past points that have no place in the time order.
void SkipUnorderable(const TTimeSerie* serie, int& index)
{
  while (index < PointCount(serie) && !std::isfinite(TimeOf(*serie, index)))
    ++index;
}

} // namespace

std::vector<TMergedRow> MergeSeriesByTime(const std::vector<const TTimeSerie*>& series)
{
  std::vector<TMergedRow> rows;
  std::vector<int> next(series.size(), 0);
  for (;;) {
    // No starting sentinel: the first series that still has a point sets the
    // time, so every step places at least one point and the walk ends.
    bool found = false;
    double time = 0.0;
    for (std::size_t k = 0; k < series.size(); ++k) {
      SkipUnorderable(series[k], next[k]);
      if (next[k] >= PointCount(series[k]))
        continue;
      const double candidate = TimeOf(*series[k], next[k]);
      if (!found || candidate < time)
        time = candidate;
      found = true;
    }
    if (!found)
      break;
    TMergedRow row;
    row.Time = time;
    row.Values.resize(series.size());
    for (std::size_t k = 0; k < series.size(); ++k) {
      if (next[k] >= PointCount(series[k]))
        continue;
      double pointTime = 0.0, value = 0.0;
      series[k]->GetPoint(next[k], pointTime, value);
      if (pointTime == time) {
        row.Values[k] = value;
        ++next[k];
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
