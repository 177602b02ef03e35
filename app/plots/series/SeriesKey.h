#pragma once
// Names one time series of the model window: the quantity and the object it
// belongs to (object 0: a channel quantity of the discharge tree).
#include <cstdint>

struct TSeriesKey {
  std::int32_t quantityId = 0;
  std::int32_t objectId = 0;

  bool operator==(const TSeriesKey&) const = default;
};
