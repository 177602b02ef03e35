#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TStream;
class TTagStream;

// Which samples a series stores (and how a full bounded series is reduced).
enum TimeSerieMode : std::int32_t {
  // A sample at least the minimum step after the last stored point; thinning.
  TimeSerieStep = 0,
  // Every sample (the model's default); thinning.
  TimeSerieAll = 1,
  // Area-preserving averages on the step grid; resampling.
  TimeSerieAverage = 2,
  // Every sample; resampling.
  TimeSerieAllResampled = 3,
};

// One sampled time series: parallel arrays of times (seconds of model time)
// and values. An unbounded series grows by 500 points; a bounded one reduces
// its points to half when full, so a long run keeps its whole time span.
class TTimeSerie {
public:
  static constexpr int Growth = 500;
  static constexpr int PackedVersion = 1;

  // capacity >= 1 makes the series bounded from the start.
  explicit TTimeSerie(int capacity = 0);
  TTimeSerie(const std::string &firstCaption, const std::string &secondCaption, int groupTag,
             double extraValue, double shiftLength, int capacity);
  virtual ~TTimeSerie() = default;

  void Init();
  // No points and no storage; the bounded flag stays.
  void Clear();
  // c < 1 only clears the bounded flag; c >= 1 resizes and bounds.
  void SetCapacity(int c);
  // keep < 0 keeps every point (as far as they fit).
  void Resize(int newCapacity, int keep);
  void Add(double time, double value);

  int GetCount() const { return count; }
  int GetCapacity() const { return capacity; }
  // False with both 0.0 outside 0..count-1.
  bool GetPoint(int i, double &time, double &value) const;
  double GetShiftLength() const { return shiftLength; }
  // Linear between points, the first value before the first point and the
  // last after the last; 0.0 for an empty series.
  double ValueAt(double time) const;

  void Save(TTagStream &stream) const;
  void Load(TTagStream &stream);
  int PackedSize() const;
  // Writes the packed image at the cursor and advances it.
  void Pack(std::uint8_t *&cursor) const;
  // Reads one packed image; raises EStreamError when the stream is short.
  void Unpack(TStream &stream);

  // Fields that the model, the plots and the series editor set and read.
  double step = 0.0;
  double minimumStep = 0.0;
  bool bounded = false;
  std::int32_t mode = TimeSerieAll;
  double accumulator = 0.0;
  double lastTime = 0.0;
  double lastValue = 0.0;
  double shiftLength = 28800.0;
  double extraValue = 0.0;
  std::int32_t quantityId = 0;
  std::int32_t objectId = 0;
  std::int32_t objectType = 0;
  std::string name;
  std::int32_t groupTag = 1;
  std::string firstCaption;
  std::string secondCaption;

private:
  bool HasArrays() const { return capacity >= 1; }
  bool Resamples() const { return mode == TimeSerieAverage || mode == TimeSerieAllResampled; }
  bool UsesStep() const { return mode == TimeSerieStep || mode == TimeSerieAverage; }
  void Store(double time, double value);
  void AddAverage(double time, double value, double area);
  int ThinPoints(std::vector<double> &newTimes, std::vector<double> &newValues, int keep) const;
  void ResampleByIntegral(std::vector<double> &newTimes, std::vector<double> &newValues, int keep);
  void RecomputeStep();
  void ApplyLoadedPoints(int n, const double *loadedTimes, const double *loadedValues);

  int count = 0;
  int capacity = 0;
  std::vector<double> times;
  std::vector<double> values;
};
