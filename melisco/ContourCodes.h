// The code grid of the contour pass: one i32 per pixel.
//   -1            nothing to draw
//   1 .. n - 1    line pixel of internal level k
//   k + 10000     band pixel of band k
//   0             boundary beside a pixel without value (thinned, never painted)
// Internal level k is caller level n - 1 - k: internal values run downward.
#ifndef MELISCO_CONTOURCODES_H
#define MELISCO_CONTOURCODES_H

#include <cstdint>

namespace melisco {

constexpr int32_t kNoCode = -1;
constexpr int32_t kBandBase = 10000;
constexpr double kNoValue = 1e300;

inline bool IsNoValue(double v) {
  // NaN has no band either.
  return !(v < kNoValue);
}

// A line pixel that gives way: the band above the line, or nothing.
inline int32_t ReplacementOfLine(int32_t code, bool bands) {
  return bands ? code - 1 + kBandBase : kNoCode;
}

// Classifies every pixel into its band and marks the boundaries between bands.
// internalLevels: n values in descending order.
void ClassifyContourBands(int32_t* codes, const double* pixelValues, int width, int height,
                          const double* internalLevels, int levelCount, bool lines, bool bands);

}  // namespace melisco

#endif
