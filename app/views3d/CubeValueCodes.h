#pragma once
// The coding of array values into the 16-bit codes that the cube view colours
// by: 0 .. 65534 between a range minimum and maximum, 65535 for "no value".
// Qt-free and GL-free.
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int32_t CubeNoValueCode = 65535;
inline constexpr int32_t CubeMaxValueCode = 65534;

struct TCubeValueRange {
  double min = 1e300;  // stays +1e300 / -1e300 when no value is present
  double max = -1e300;
};

// The smallest and largest present value, scanned in storage order. Values of
// magnitude 1e300 or more (the missing value, its negative, infinities) and NaN
// take no part.
TCubeValueRange CubeAutoRange(const double* values, size_t count);

// 65534 / (max - min), or 0 when the range is empty against its magnitudes
// (|max - min| / max(|min|, |max|) <= 1e-8), the magnitudes are below 1e-20 or
// the limits are not finite numbers.
double CubeCodeFactor(double min, double max);

// The code of one value: 65535 for exactly 1e300 and for NaN, 0 at or below the
// minimum, 65534 at or above the maximum, else trunc((value - min) * factor).
int32_t CubeValueCode(double value, double min, double max, double factor);

// Codes of an nx * ny * nz array given in storage order (x fastest), written
// into the layout (iz * ny + iy) * nx + ix; an axis with direction -1 is filled
// from its last index down. Sizes below 0 count as 0.
std::vector<int32_t> CubeValueCodes(const double* values, int nx, int ny, int nz, const int dirs[3],
                                    double min, double max);

// One entry of a resampling table: the two cells and their weights at a sample.
struct TCubeResample {
  int32_t i0 = 0;
  int32_t i1 = 0;
  double w0 = 1;
  double t = 0;
};

// count entries over an axis of n cells; the cell indices are multiplied by
// stride so that one entry of each axis' table adds up to a code's index.
std::vector<TCubeResample> CubeResampleTable(int n, int count, int32_t stride);
