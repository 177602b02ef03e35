#include "data/TimeSerie.h"

#include "data/ByteOrder.h"
#include "data/Cp1251.h"
#include "data/Stream.h"
#include "data/TagStream.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr double StepShrink = 0.9999999999;
constexpr int PackedFixedSize = 88;

// Linear interpolation over parallel arrays as ValueAt reads a series.
double Interpolate(const double *t, const double *v, int n, double at)
{
  if (n <= 0)
    return 0.0;
  int i = n - 1;
  while (i > 0 && t[i] > at)
    --i;
  if (i < n - 1 && t[i] < at)
    return v[i] + (v[i + 1] - v[i]) * (at - t[i]) / (t[i + 1] - t[i]);
  return v[i];
}

void PutText(std::uint8_t *&cursor, const std::string &cp1251)
{
  PutInt32LE(cursor, static_cast<std::int32_t>(cp1251.size() + 1));
  cursor += 4;
  std::copy(cp1251.begin(), cp1251.end(), cursor);
  cursor += cp1251.size();
  *cursor++ = 0;
}

bool GetText(TByteReader &r, std::string &utf8)
{
  std::int32_t length = r.Int32(-1);
  if (length < 1 || static_cast<size_t>(length) > r.Remaining())
    return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  r.Bytes(bytes.data(), bytes.size());
  bytes.resize(std::min(bytes.find('\0'), bytes.size()));
  utf8 = Cp1251ToUtf8(bytes);
  return true;
}

} // namespace

TTimeSerie::TTimeSerie(int capacity)
{
  Init();
  SetCapacity(capacity);
}

TTimeSerie::TTimeSerie(const std::string &firstCaption, const std::string &secondCaption, int groupTag,
                       double extraValue, double shiftLength, int capacity)
{
  Init();
  this->firstCaption = firstCaption;
  this->secondCaption = secondCaption;
  this->groupTag = groupTag;
  this->extraValue = extraValue;
  this->shiftLength = shiftLength;
  SetCapacity(capacity);
}

void TTimeSerie::Init()
{
  count = 0;
  capacity = 0;
  step = 0.0;
  minimumStep = 0.0;
  bounded = false;
  mode = TimeSerieAll;
  accumulator = 0.0;
  lastTime = 0.0;
  lastValue = 0.0;
  times.clear();
  values.clear();
  shiftLength = 28800.0;
  extraValue = 0.0;
  quantityId = 0;
  objectId = 0;
  objectType = 0;
  name.clear();
  groupTag = 1;
  firstCaption.clear();
  secondCaption.clear();
}

void TTimeSerie::Clear()
{
  Resize(0, 0);
}

void TTimeSerie::SetCapacity(int c)
{
  if (c < 1) {
    bounded = false;
    return;
  }
  Resize(c, -1);
  bounded = true;
}

void TTimeSerie::Resize(int newCapacity, int keep)
{
  if (keep < 0)
    keep = count;
  keep = std::min(keep, newCapacity);
  if (newCapacity < 1) {
    times = {};
    values = {};
    count = capacity = 0;
    step = minimumStep = 0.0;
    return;
  }
  std::vector<double> newTimes, newValues;
  try {
    newTimes.assign(static_cast<size_t>(newCapacity), 0.0);
    newValues.assign(static_cast<size_t>(newCapacity), 0.0);
  } catch (const std::bad_alloc &) {
    times = {};
    values = {};
    count = capacity = 0;
    step = minimumStep = 0.0;
    return;
  }
  int newCount = keep;
  if (keep < 1) {
    newCount = 0;
    step = minimumStep = 0.0;
  } else if (keep >= count) {
    std::copy(times.begin(), times.begin() + count, newTimes.begin());
    std::copy(values.begin(), values.begin() + count, newValues.begin());
    newCount = count;
  } else {
    if (Resamples())
      ResampleByIntegral(newTimes, newValues, keep);
    else
      newCount = ThinPoints(newTimes, newValues, keep);
    step = UsesStep() ? (newTimes[static_cast<size_t>(newCount - 1)] - newTimes[0]) / newCapacity : 0.0;
    minimumStep = step * StepShrink;
  }
  times = std::move(newTimes);
  values = std::move(newValues);
  capacity = newCapacity;
  count = newCount;
}

int TTimeSerie::ThinPoints(std::vector<double> &newTimes, std::vector<double> &newValues, int keep) const
{
  double d = (times[static_cast<size_t>(count - 1)] - times[0]) * StepShrink / keep;
  int taken = 1;
  newTimes[0] = times[0];
  newValues[0] = values[0];
  for (int i = 1; i < count && taken < keep; ++i)
    if (times[static_cast<size_t>(i)] >= newTimes[static_cast<size_t>(taken - 1)] + d) {
      newTimes[static_cast<size_t>(taken)] = times[static_cast<size_t>(i)];
      newValues[static_cast<size_t>(taken)] = values[static_cast<size_t>(i)];
      ++taken;
    }
  newTimes[static_cast<size_t>(taken - 1)] = times[static_cast<size_t>(count - 1)];
  newValues[static_cast<size_t>(taken - 1)] = values[static_cast<size_t>(count - 1)];
  return taken;
}

void TTimeSerie::ResampleByIntegral(std::vector<double> &newTimes, std::vector<double> &newValues, int keep)
{
  const double first = times[0];
  const double last = times[static_cast<size_t>(count - 1)];
  const double h = (last - first) / keep;
  newTimes[0] = first;
  newValues[0] = values[0];
  if (h > 0) {
    std::vector<double> integral(static_cast<size_t>(count), 0.0);
    for (size_t i = 1; i < integral.size(); ++i)
      integral[i] = integral[i - 1] + (values[i] + values[i - 1]) * 0.5 * (times[i] - times[i - 1]);
    double previousIntegral = 0.0;
    for (int i = 1; i < keep; ++i) {
      size_t k = static_cast<size_t>(i);
      newTimes[k] = first + i * h;
      double at = Interpolate(times.data(), integral.data(), count, newTimes[k]);
      newValues[k] = 2 * (at - previousIntegral) / h - newValues[k - 1];
      previousIntegral = at;
    }
  } else {
    // All points at one time: nothing to average over; keep the first ones.
    std::copy(values.begin(), values.begin() + keep, newValues.begin());
    std::fill(newTimes.begin(), newTimes.begin() + keep, first);
  }
  newTimes[static_cast<size_t>(keep - 1)] = last;
  accumulator = 0.0;
  lastTime = newTimes[static_cast<size_t>(keep - 1)];
  lastValue = newValues[static_cast<size_t>(keep - 1)];
}

void TTimeSerie::Store(double time, double value)
{
  times[static_cast<size_t>(count)] = time;
  values[static_cast<size_t>(count)] = value;
  ++count;
}

void TTimeSerie::Add(double time, double value)
{
  if (!HasArrays())
    step = 0.0;
  // Averaging may store two points at once; the other modes one, which lets
  // bounded series of one or two points keep as many: the newest always.
  const int room = mode == TimeSerieAverage ? 2 : 1;
  if (count + 1 >= capacity) {
    if (bounded)
      Resize(capacity, std::min((count + 1) / 2, capacity - room));
    else
      Resize(capacity + Growth, -1);
  }
  if (HasArrays() && count + room <= capacity) {
    double area = (value + lastValue) * 0.5 * (time - lastTime);
    bool gridded = UsesStep() && count > 0;
    if (gridded && time - times[static_cast<size_t>(count - 1)] < minimumStep) {
      if (mode == TimeSerieAverage)
        accumulator += area;
    } else if (mode == TimeSerieAverage && count > 0 && step > 0) {
      AddAverage(time, value, area);
    } else {
      accumulator = 0.0;
      Store(time, value);
    }
  }
  lastTime = time;
  lastValue = value;
}

// Closes the grid interval that ends at tn = last stored time + step with the
// value whose trapezoid carries the area collected over it, then carries the
// area beyond tn over to the next interval.
void TTimeSerie::AddAverage(double time, double value, double area)
{
  const double previousTime = times[static_cast<size_t>(count - 1)];
  const double previousValue = values[static_cast<size_t>(count - 1)];
  const double tn = previousTime + step;
  const double t0 = lastTime, v0 = lastValue;
  // Area under the line from (t0, v0) to (time, value) between t0 and tn.
  double b;
  if (time != t0)
    b = (tn - t0) * (2 * v0 * (time - t0) + (value - v0) * (tn - t0)) / (2 * (time - t0));
  else
    b = (tn - t0) * value;
  accumulator += b;
  Store(tn, 2 * accumulator / (tn - previousTime) - previousValue);
  accumulator = area - b;
  if (time - tn >= minimumStep) {
    Store(time, value);
    accumulator = 0.0;
  }
}

bool TTimeSerie::GetPoint(int i, double &time, double &value) const
{
  if (i < 0 || i >= count) {
    time = value = 0.0;
    return false;
  }
  time = times[static_cast<size_t>(i)];
  value = values[static_cast<size_t>(i)];
  return true;
}

double TTimeSerie::ValueAt(double time) const
{
  return Interpolate(times.data(), values.data(), count, time);
}

void TTimeSerie::RecomputeStep()
{
  if (UsesStep() && HasArrays() && count >= 1)
    step = (times[static_cast<size_t>(count - 1)] - times[0]) / capacity;
  else
    step = 0.0;
  minimumStep = step * StepShrink;
}

void TTimeSerie::Save(TTagStream &stream) const
{
  stream.SetGroup(7001);
  stream.WriteInt(quantityId);
  stream.WriteInt(objectId);
  stream.WriteInt(objectType);
  stream.WriteString(name);
  stream.WriteInt(count);
  stream.WriteBuffer(times.data(), 8 * count);
  stream.WriteBuffer(values.data(), 8 * count);
  stream.WriteBool(bounded);
  stream.WriteInt(mode);
  stream.WriteDouble(shiftLength);
  stream.WriteDouble(extraValue);
  stream.WriteString(firstCaption);
  stream.WriteString(secondCaption);
  stream.WriteDouble(accumulator);
  stream.WriteDouble(lastTime);
  stream.WriteDouble(lastValue);
  stream.WriteInt(groupTag);
}

// Takes n points only when both arrays were read in full; a count without its
// points would show whatever the arrays held before.
void TTimeSerie::ApplyLoadedPoints(int n, const double *loadedTimes, const double *loadedValues)
{
  if (n < 1 || !loadedTimes || !loadedValues) {
    count = 0;
    return;
  }
  if (n > capacity)
    Resize(n, 0);
  if (!HasArrays()) {
    count = 0;
    return;
  }
  std::copy(loadedTimes, loadedTimes + n, times.begin());
  std::copy(loadedValues, loadedValues + n, values.begin());
  count = n;
}

void TTimeSerie::Load(TTagStream &stream)
{
  stream.SetGroup(7001);
  stream.Read(quantityId);
  stream.Read(objectId);
  stream.Read(objectType);
  stream.Read(name);
  std::int32_t n = stream.ReadInt(0);
  std::vector<double> loadedTimes, loadedValues;
  // The records are checked before any room is made for them, so a damaged
  // count cannot ask for more memory than the image holds.
  if (n >= 1 && stream.FindEntry(5, 8LL * n) && stream.FindEntry(6, 8LL * n)) {
    loadedTimes.resize(static_cast<size_t>(n));
    loadedValues.resize(static_cast<size_t>(n));
  }
  bool timesRead = !loadedTimes.empty() && stream.ReadBuffer(loadedTimes.data(), 8 * n, 5);
  bool valuesRead = !loadedValues.empty() && stream.ReadBuffer(loadedValues.data(), 8 * n, 6);
  if (timesRead && valuesRead)
    ApplyLoadedPoints(n, loadedTimes.data(), loadedValues.data());
  else
    count = 0;
  stream.Read(bounded, 7);
  stream.Read(mode);
  stream.Read(shiftLength);
  stream.Read(extraValue);
  stream.Read(firstCaption);
  stream.Read(secondCaption);
  stream.Read(accumulator);
  stream.Read(lastTime);
  stream.Read(lastValue);
  stream.Read(groupTag);
  RecomputeStep();
}

int TTimeSerie::PackedSize() const
{
  return PackedFixedSize + 16 * count + static_cast<int>(Utf8ToCp1251(name).size()) +
         static_cast<int>(Utf8ToCp1251(firstCaption).size()) +
         static_cast<int>(Utf8ToCp1251(secondCaption).size());
}

void TTimeSerie::Pack(std::uint8_t *&cursor) const
{
  auto putInt = [&cursor](std::int32_t v) {
    PutInt32LE(cursor, v);
    cursor += 4;
  };
  auto putDouble = [&cursor](double v) {
    PutDoubleLE(cursor, v);
    cursor += 8;
  };
  putInt(PackedSize());
  putInt(PackedVersion);
  putInt(quantityId);
  putInt(objectId);
  putInt(objectType);
  PutText(cursor, Utf8ToCp1251(name));
  putInt(count);
  for (int i = 0; i < count; ++i)
    putDouble(times[static_cast<size_t>(i)]);
  for (int i = 0; i < count; ++i)
    putDouble(values[static_cast<size_t>(i)]);
  *cursor++ = bounded ? 1 : 0;
  putInt(mode);
  putDouble(shiftLength);
  putDouble(extraValue);
  PutText(cursor, Utf8ToCp1251(firstCaption));
  PutText(cursor, Utf8ToCp1251(secondCaption));
  putDouble(accumulator);
  putDouble(lastTime);
  putDouble(lastValue);
  putInt(groupTag);
}

void TTimeSerie::Unpack(TStream &stream)
{
  std::uint8_t head[4];
  stream.ReadExact(head, 4);
  const std::int32_t size = GetInt32LE(head);
  // An image shorter than its version field or longer than the stream is
  // damaged; it is refused before anything is allocated.
  if (size < 8 || size - 4 > stream.Remaining())
    throw EStreamError("Stream read error");
  std::vector<std::uint8_t> body(static_cast<size_t>(size - 4));
  stream.ReadExact(body.data(), body.size());

  TByteReader r(body);
  if (r.Int32() != PackedVersion || size < PackedFixedSize)
    return;
  TTimeSerie loaded;
  loaded.quantityId = r.Int32();
  loaded.objectId = r.Int32();
  loaded.objectType = r.Int32();
  if (!GetText(r, loaded.name))
    return;
  const std::int32_t n = r.Int32(-1);
  if (n < 0 || 16LL * n > size - PackedFixedSize || r.Remaining() < 16ULL * static_cast<unsigned>(n))
    return;
  std::vector<double> loadedTimes(static_cast<size_t>(n)), loadedValues(static_cast<size_t>(n));
  for (auto &t : loadedTimes)
    t = r.Double();
  for (auto &v : loadedValues)
    v = r.Double();
  loaded.bounded = r.Byte() != 0;
  loaded.mode = r.Int32();
  loaded.shiftLength = r.Double();
  loaded.extraValue = r.Double();
  if (!GetText(r, loaded.firstCaption) || !GetText(r, loaded.secondCaption))
    return;
  loaded.accumulator = r.Double();
  loaded.lastTime = r.Double();
  loaded.lastValue = r.Double();
  loaded.groupTag = r.Int32();
  if (r.Short())
    return;

  quantityId = loaded.quantityId;
  objectId = loaded.objectId;
  objectType = loaded.objectType;
  name = loaded.name;
  bounded = loaded.bounded;
  mode = loaded.mode;
  shiftLength = loaded.shiftLength;
  extraValue = loaded.extraValue;
  firstCaption = loaded.firstCaption;
  secondCaption = loaded.secondCaption;
  accumulator = loaded.accumulator;
  lastTime = loaded.lastTime;
  lastValue = loaded.lastValue;
  groupTag = loaded.groupTag;
  ApplyLoadedPoints(n, loadedTimes.data(), loadedValues.data());
  RecomputeStep();
}
