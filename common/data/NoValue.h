#pragma once
// The "no value" marker of arrays, plots and the engine: a cell or sample without
// a value holds 1e300 (and -1e300 stands for minus infinity).
inline constexpr double NoValue = 1e300;
inline constexpr double NoValueNegative = -1e300;

inline bool IsNoValue(double value)
{
  return value >= NoValue;
}
