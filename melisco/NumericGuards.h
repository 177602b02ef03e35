// Conversions of doubles to int that can't go undefined: NaN and values out of
// range land on the bounds (zero-width views and zero extents produce both).
#ifndef MELISCO_NUMERICGUARDS_H
#define MELISCO_NUMERICGUARDS_H

#include <climits>

namespace melisco {

// Truncation toward zero, clamped to [lo, hi]; NaN gives lo.
inline int ClampedTrunc(double v, int lo, int hi) {
  if (!(v > static_cast<double>(lo))) {
    return lo;
  }
  if (v >= static_cast<double>(hi)) {
    return hi;
  }
  return static_cast<int>(v);
}

inline int SafeTrunc(double v) {
  return ClampedTrunc(v, INT_MIN, INT_MAX);
}

}  // namespace melisco

#endif
