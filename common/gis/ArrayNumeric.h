#pragma once
// Conversions of doubles to integers for the array code. A NaN or a value out
// of range (zero-width views, zero extents, the logarithm of 0, counts read
// from a damaged file) would be undefined behaviour in a plain cast; here it
// lands on the nearer bound, NaN on the lower one.
#include <climits>
#include <cmath>
#include <cstdint>

namespace arraynum {

inline int ClampedTrunc(double v, int lo, int hi)
{
  if (!(v > static_cast<double>(lo)))
    return lo;
  if (v >= static_cast<double>(hi))
    return hi;
  return static_cast<int>(v);
}

// Truncation toward zero.
inline int Trunc(double v)
{
  return ClampedTrunc(v, INT_MIN, INT_MAX);
}

// Pixel coordinates: far enough outside any bitmap to stay outside, near
// enough that sums of two of them cannot overflow.
inline int PixelTrunc(double v)
{
  return ClampedTrunc(v, -(1 << 29), 1 << 29);
}

// floor(x + 0.5), the rounding of the level rules.
inline double RoundHalfUp(double x)
{
  return std::floor(x + 0.5);
}

} // namespace arraynum
