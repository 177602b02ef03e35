#pragma once

#include "data/TimeSerie.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

// What a series needs to know of the GIS object its quantity belongs to.
struct TSeriesObject {
  std::int32_t id = 0;
  std::int32_t type = 0;
  std::string name;
};

// The owning list of time series that a model keeps for its outputs, keyed
// by quantity id and GIS object.
class TTimeSeries {
public:
  // Lists of fewer series are stored as one tagged image per series, longer
  // ones as one buffer of packed images.
  static constexpr int PackedFromCount = 200;

  explicit TTimeSeries(int defaultCapacity = 0) : defaultCapacity(defaultCapacity) {}
  virtual ~TTimeSeries() = default;

  // 0 deletes every series, any other tag the series with that group tag.
  void Clear(int groupTag = 0);
  void SetCapacity(int c);
  int DefaultCapacity() const { return defaultCapacity; }
  void Remove(TTimeSerie *serie);
  int Count() const { return static_cast<int>(series.size()); }
  TTimeSerie *Item(int i) const;
  // The list takes the series over.
  void Add(std::unique_ptr<TTimeSerie> serie);
  TTimeSerie *Find(int quantityId, int objectId) const;
  TTimeSerie *FindByName(int quantityId, int objectType, const std::string &name) const;
  // The series of the quantity and object; created (default capacity) when
  // asked and missing. Null for no object.
  TTimeSerie *Get(int quantityId, const TSeriesObject *object, bool create);
  // Get with creation, then TTimeSerie::Add; nothing for no object.
  void AddPoint(int quantityId, const TSeriesObject *object, double time, double value);

  // Nothing for no stream. Raises EStreamError when the stream refuses bytes.
  void Save(TStream *stream) const;
  // Clears, then reads the list; an empty list for no stream. A packed image
  // cut short raises EStreamError, with the series read so far kept.
  void Load(TStream *stream);

private:
  std::vector<std::unique_ptr<TTimeSerie>> series;
  int defaultCapacity;
};
