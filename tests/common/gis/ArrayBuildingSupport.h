#pragma once
// Helpers of the array building tests: a GIS with an array and repers that
// carry values for the array's quantity code, and a progress that records.
#include <memory>
#include <string>
#include <vector>

#include "../arraybuild/RecordingProgress.h"
#include "gis/GIS.h"
#include "gis/GPoint.h"

namespace buildtest {

constexpr int Code = 20001;

using ::TRecordingProgress;

// A point at relative (u, v) with a value for the code at a depth.
inline TGPoint* AddReper(TGIS& gis, double u, double v, double value, double depth = 0.0)
{
  auto point = std::make_unique<TGPoint>(&gis);
  point->SetXY(u, v);
  point->SetReperValue(value, Code, depth);
  TGPoint* raw = point.get();
  gis.AddObject(nullptr, std::move(point), true);
  return raw;
}

template <class T>
T* AddObject(TGIS& gis, std::unique_ptr<T> object)
{
  T* raw = object.get();
  gis.AddObject(nullptr, std::move(object), true);
  return raw;
}

} // namespace buildtest
