#pragma once
// Merges time series into one table ordered by time: one row per distinct time,
// and in each row the value of every series that has a point at exactly that
// time. Qt-free, so the table's rows are checked without widgets.
#include <optional>
#include <vector>

class TTimeSerie;

struct TMergedRow {
  double Time = 0.0;
  // One entry per series, in the order given; empty where the series has no
  // point at this time.
  std::vector<std::optional<double>> Values;
};

// Walks the series side by side, each from its first point: a row takes the
// smallest current time, and every series whose current point has that time
// gives its value and moves on. Points whose time is NaN or infinite cannot be
// placed in the order and are left out. Null series count as empty.
std::vector<TMergedRow> MergeSeriesByTime(const std::vector<const TTimeSerie*>& series);
