#include "gis/ContourLevels.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "gis/ArrayNumeric.h"
#include "melisco.h"

namespace {

constexpr double Ln10 = 2.302585092994046;
constexpr double Unbounded = std::numeric_limits<double>::infinity();

void ClampScheme(TLevelScheme& s)
{
  if (s.requestedCount < 1)
    s.requestedCount = 1;
  if (s.requestedCount > 100)
    s.requestedCount = 100;
  if (s.thinStep <= 0 && s.boldStep <= 0)
    s.thinStep = 10.0;
  auto clampCount = [](double& v) {
    if (v < 0)
      v = 0;
    if (v > 30)
      v = 20;
  };
  clampCount(s.decimalThinCount);
  clampCount(s.decimalBoldCount);
  if (s.decimalThinCount <= 0 && s.decimalBoldCount <= 0)
    s.decimalThinCount = 10;
  clampCount(s.logThinCount);
  if (s.logPower < 0)
    s.logPower = 0;
  if (s.logPower > 10)
    s.logPower = 10;
}

// The decimal scheme turns its line counts into the bold and thin steps.
void DeriveDecimalSteps(TLevelScheme& s, double rangeMin, double rangeMax)
{
  const double lines = s.decimalBoldCount != 0 ? s.decimalBoldCount : s.decimalThinCount;
  double step = (rangeMax - rangeMin) / (lines + 1);
  if ((rangeMax != 0 && std::fabs(step / rangeMax) < 1e-10) ||
      (rangeMin != 0 && std::fabs(step / rangeMin) < 1e-10))
    step = 0;
  // A range with infinities or NaN has no step to round either.
  if (!(step > 0) || !std::isfinite(step)) {
    s.boldStep = 0;
    s.thinStep = 1.0;
    return;
  }
  step = RoundDecimalStep(step);
  if (s.decimalBoldCount == 0) {
    s.boldStep = 0;
    s.thinStep = step;
  } else {
    s.boldStep = step;
    s.thinStep = s.decimalThinCount != 0 ? step / (s.decimalThinCount + 1) : 0;
  }
}

// Walks the thin and the bold sequence from lo up to hi and hands out every
// level in ascending order; a value on both sequences is one bold level. Stops
// once more than `limit` levels were found, which also ends a walk whose step
// no longer moves its value (a step far below the rounding of the values).
template <class TTake>
int MergeSequences(double lo, double hi, double thinStep, double boldStep, int limit, TTake take)
{
  double t = thinStep > 0 ? std::ceil(lo / thinStep + 1e-5) * thinStep : Unbounded;
  double b = boldStep > 0 ? std::ceil(lo / boldStep + 1e-5) * boldStep : Unbounded;
  const double end = hi - 0.01 * thinStep;
  const double tolerance = 0.01 * thinStep;
  int count = 0;
  while ((t < end || b < end) && count <= limit) {
    if (std::fabs(b - t) >= tolerance) {
      if (t <= b) {
        take(t, ContourLineThin);
        t += thinStep;
      } else {
        take(b, ContourLineBold);
        b += boldStep;
      }
    } else {
      take(b, ContourLineBold);
      t += thinStep;
      b += boldStep;
    }
    ++count;
  }
  return count;
}

std::vector<TLevelValue> EqualIntervals(int count, double rangeMin, double rangeMax)
{
  std::vector<TLevelValue> values;
  values.reserve(count);
  const int entries = count + 1;
  for (int k = 0; k < count; ++k)
    values.push_back({rangeMin + (k + 1) * (rangeMax - rangeMin) / entries, ContourLineThin});
  return values;
}

double OneSignificantDigit(double x)
{
  const double magnitude = PowerOfTen(std::floor(x));
  return arraynum::RoundHalfUp(PowerOfTen(x) / magnitude) * magnitude;
}

// Steps in log10 of the values; mostly negative ranges are mirrored so that
// the table still ascends.
std::vector<TLevelValue> LogarithmicLevels(const TLevelScheme& s, double rangeMin, double rangeMax, bool& overflow)
{
  const double bold = s.logPower;
  const double thin = s.logPower / (s.logThinCount + 1);
  const bool mirrored = rangeMin < 0 && std::fabs(rangeMax) < std::fabs(rangeMin);
  double lo, hi;
  if (mirrored) {
    const double top = rangeMax > 0 ? 0 : rangeMax;
    lo = top == 0 ? -3 : std::log10(std::fabs(top));
    hi = std::log10(std::fabs(rangeMin));
  } else {
    const double bottom = rangeMin < 0 ? 0 : rangeMin;
    lo = bottom == 0 ? -3 : std::log10(std::fabs(bottom));
    hi = rangeMax == 0 ? 0 : std::log10(std::fabs(rangeMax));
  }
  if (hi < lo)
    lo = hi - 3;
  std::vector<TLevelValue> values;
  const int found = MergeSequences(lo, hi, thin, bold, MaxContourValues, [&](double x, std::int32_t kind) {
    values.push_back({OneSignificantDigit(x), kind});
  });
  overflow = found > MaxContourValues;
  if (mirrored) {
    for (auto& level : values)
      level.value = -level.value;
    std::vector<TLevelValue> ascending(values.rbegin(), values.rend());
    values.swap(ascending);
  }
  return values;
}

} // namespace

double PowerOfTen(double x)
{
  return std::exp(x * Ln10);
}

double RoundDecimalStep(double step)
{
  auto distance = [](double v) {
    const double l = std::log10(v);
    return std::fabs(l - arraynum::RoundHalfUp(l));
  };
  const double da = distance(step);
  const double db = distance(0.5 * step);
  const double dc = distance(0.2 * step);
  if (da < db && da < dc)
    return PowerOfTen(arraynum::RoundHalfUp(std::log10(step)));
  if ((da < db && dc <= da) || (db <= da && dc <= db))
    return 5 * PowerOfTen(arraynum::RoundHalfUp(std::log10(0.2 * step)));
  return 2 * PowerOfTen(arraynum::RoundHalfUp(std::log10(0.5 * step)));
}

std::vector<TLevelValue> ComputeContourValues(TLevelScheme& scheme, double rangeMin, double rangeMax)
{
  ClampScheme(scheme);
  if (scheme.kind == LevelSchemeDecimal)
    DeriveDecimalSteps(scheme, rangeMin, rangeMax);
  bool overflow = false;
  std::vector<TLevelValue> values;
  switch (scheme.kind) {
  case LevelSchemeStep:
  case LevelSchemeDecimal: {
    const int found = MergeSequences(rangeMin, rangeMax, scheme.thinStep, scheme.boldStep, MaxContourValues,
                                     [&](double v, std::int32_t kind) { values.push_back({v, kind}); });
    overflow = found > MaxContourValues;
    break;
  }
  case LevelSchemeLog:
    values = LogarithmicLevels(scheme, rangeMin, rangeMax, overflow);
    break;
  default:
    return EqualIntervals(scheme.requestedCount, rangeMin, rangeMax);
  }
  if (overflow)
    return EqualIntervals(scheme.requestedCount, rangeMin, rangeMax);
  return values;
}

void SpreadLineColors(TContourLevel* levels, int count, COLORREF first, COLORREF second, int mixMode)
{
  if (levels == nullptr || count <= 0)
    return;
  if (count < 3) {
    levels[0].lineColor = MixColor(first, second, 0x8000, mixMode);
    return;
  }
  for (int k = 0; k <= count - 2; ++k) {
    const int weight = static_cast<int>((static_cast<std::int64_t>(k) * 65536) / (count - 2));
    levels[k].lineColor = MixColor(first, second, weight, mixMode);
  }
}

void SpreadFillColors(TContourLevel* levels, int count, COLORREF first, COLORREF second, int mixMode)
{
  if (levels == nullptr || count <= 0)
    return;
  if (count == 1) {
    levels[0].fillColor = MixColor(first, second, 0x8000, mixMode);
    return;
  }
  for (int k = 0; k < count; ++k) {
    const int weight = static_cast<int>((static_cast<std::int64_t>(k) * 65536) / (count - 1));
    levels[k].fillColor = MixColor(first, second, weight, mixMode);
  }
}

void SpreadTransparencies(TContourLevel* levels, int count, int first, int second)
{
  if (levels == nullptr || count <= 0)
    return;
  const std::int64_t span = static_cast<std::int64_t>(second) - first;
  if (count == 1) {
    levels[0].transparency = static_cast<std::int32_t>(first + span / 2);
    return;
  }
  for (int k = 0; k < count; ++k)
    levels[k].transparency = arraynum::Trunc(static_cast<double>(span) * (k + 0.5) / count + first);
}
