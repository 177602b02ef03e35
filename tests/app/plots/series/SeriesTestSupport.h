#pragma once
// Small series for the table tests: labelled, with given points.
#include "data/TimeSerie.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

inline std::unique_ptr<TTimeSerie> MakeSerie(const std::vector<std::pair<double, double>>& points,
                                             const std::string& label = "U", const std::string& unit = "")
{
  auto serie = std::make_unique<TTimeSerie>();
  serie->firstCaption = label;
  serie->secondCaption = unit;
  for (const auto& [time, value] : points)
    serie->Add(time, value);
  return serie;
}
