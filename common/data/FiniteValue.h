#pragma once
// Numbers read from a file that the program computes with: NaN and the
// infinities make no coordinate, time or parameter and are refused, naming the
// field. The "no value" mark 1e300 is an ordinary finite number and passes.
#include <cmath>
#include <cstddef>
#include <string>

#include "data/Stream.h"

inline void RequireFinite(double value, const std::string& field)
{
  if (!std::isfinite(value))
    throw EDamagedImage("поле \"" + field + "\": значение не является конечным числом");
}

// The cells of an array: "no value" marks pass, NaN and the infinities do not.
inline void RequireFiniteCells(const double* values, std::size_t count, const std::string& field)
{
  for (std::size_t i = 0; i < count; ++i)
    if (!std::isfinite(values[i]))
      throw EDamagedImage("массив \"" + field + "\", ячейка " + std::to_string(i + 1) +
                          ": значение не является конечным числом");
}
