#pragma once
// Curves spread over at most two Y axes by unit code: each axis holds the
// curves of one unit (AxisQuantity, -1 for an axis not in use). Plot kinds keep
// their chosen curves in two lists, left (0) and right (1), and change them only
// through these functions, which keep the lists, the codes and the manual Y
// limits of the axes together.

#include "plots/PlotData.h"
#include "plots/PlotSettings.h"

#include <array>
#include <utility>
#include <vector>

template <class TKey>
using TAxisLists = std::array<std::vector<TKey>, 2>;

namespace AxisAssignmentDetail {
inline void SwapAxes(TPlotSettings& s)
{
  std::swap(s.AxisQuantity[0], s.AxisQuantity[1]);
  std::swap(s.YMin[0], s.YMin[1]);
  std::swap(s.YMax[0], s.YMax[1]);
}
} // namespace AxisAssignmentDetail

// Adds a curve of the given unit: to the left axis when it has that unit or is
// not in use, else to the right axis when that one has the unit; a new unit
// takes the left axis and pushes the left axis' curves (with their unit and
// manual limits) to the right one, dropping what the right axis held.
template <class TKey>
void SelectByUnit(TAxisLists<TKey>& lists, TPlotSettings& s, int32_t unit, const TKey& key)
{
  if (unit == s.AxisQuantity[0] || s.AxisQuantity[0] < 0) {
    lists[0].push_back(key);
    s.AxisQuantity[0] = unit;
  } else if (unit == s.AxisQuantity[1]) {
    lists[1].push_back(key);
  } else {
    lists[1].clear();
    std::swap(lists[0], lists[1]);
    AxisAssignmentDetail::SwapAxes(s);
    lists[0].push_back(key);
    s.AxisQuantity[0] = unit;
  }
}

// Removes the first curve equal to the key from each axis of that unit; an axis
// left empty is no longer in use.
template <class TKey>
void DeselectByUnit(TAxisLists<TKey>& lists, TPlotSettings& s, int32_t unit, const TKey& key)
{
  for (int k = 0; k < 2; ++k) {
    if (s.AxisQuantity[k] != unit)
      continue;
    for (auto it = lists[k].begin(); it != lists[k].end(); ++it)
      if (*it == key) {
        lists[k].erase(it);
        break;
      }
    if (lists[k].empty())
      s.AxisQuantity[k] = -1;
  }
}

// A right axis in use beside an unused left one moves to the left with its
// unit and manual limits. True when any axis is in use.
template <class TKey>
bool CompactAxes(TAxisLists<TKey>& lists, TPlotSettings& s)
{
  if (s.AxisQuantity[0] < 0 && s.AxisQuantity[1] >= 0) {
    std::swap(lists[0], lists[1]);
    s.AxisQuantity[0] = s.AxisQuantity[1];
    s.YMin[0] = s.YMin[1];
    s.YMax[0] = s.YMax[1];
    s.AxisQuantity[1] = -1;
  }
  return s.AxisQuantity[0] >= 0 || s.AxisQuantity[1] >= 0;
}

// The series of the keys of each axis in use, in the lists' order, each made
// by the plot kind.
template <class TKey, class TMake>
TPlotSeriesData SeriesOfAxes(const TAxisLists<TKey>& lists, const TPlotSettings& s, TMake make)
{
  TPlotSeriesData data;
  for (int k = 0; k < 2; ++k)
    if (s.AxisQuantity[k] >= 0)
      for (const TKey& key : lists[k])
        data[k].push_back(make(key));
  return data;
}
