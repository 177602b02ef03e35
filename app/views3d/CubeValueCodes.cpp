#include "views3d/CubeValueCodes.h"

#include <algorithm>
#include <cmath>

namespace {

bool Present(double v)
{
  return std::fabs(v) < 1e300; // false for NaN too
}

} // namespace

TCubeValueRange CubeAutoRange(const double* values, size_t count)
{
  TCubeValueRange range;
  for (size_t i = 0; i < count; ++i) {
    const double v = values[i];
    if (!Present(v))
      continue;
    if (v < range.min)
      range.min = v;
    if (v > range.max)
      range.max = v;
  }
  return range;
}

double CubeCodeFactor(double min, double max)
{
  if (!std::isfinite(min) || !std::isfinite(max))
    return 0;
  const double d = max - min;
  double m = std::max(std::fabs(min), std::fabs(max));
  if (m < 1e-20)
    m = 0;
  if (m == 0 || !std::isfinite(d) || !(std::fabs(d) / m > 1e-8))
    return 0;
  return 65534.0 / d;
}

int32_t CubeValueCode(double value, double min, double max, double factor)
{
  if (value == 1e300 || std::isnan(value))
    return CubeNoValueCode;
  if (value <= min)
    return 0;
  if (value >= max)
    return CubeMaxValueCode;
  const double code = (value - min) * factor;
  if (!(code >= 0))
    return 0;
  if (code >= CubeMaxValueCode)
    return CubeMaxValueCode;
  return static_cast<int32_t>(code);
}

std::vector<int32_t> CubeValueCodes(const double* values, int nx, int ny, int nz, const int dirs[3],
                                    double min, double max)
{
  nx = std::max(nx, 0), ny = std::max(ny, 0), nz = std::max(nz, 0);
  const size_t total = static_cast<size_t>(nx) * ny * nz;
  std::vector<int32_t> codes(total, CubeNoValueCode);
  if (total == 0 || !values)
    return codes;
  const double factor = CubeCodeFactor(min, max);
  size_t source = 0;
  for (int z = 0; z < nz; ++z) {
    const int iz = dirs[2] < 0 ? nz - 1 - z : z;
    for (int y = 0; y < ny; ++y) {
      const int iy = dirs[1] < 0 ? ny - 1 - y : y;
      for (int x = 0; x < nx; ++x, ++source) {
        const int ix = dirs[0] < 0 ? nx - 1 - x : x;
        codes[(static_cast<size_t>(iz) * ny + iy) * nx + ix] = CubeValueCode(values[source], min, max, factor);
      }
    }
  }
  return codes;
}

std::vector<TCubeResample> CubeResampleTable(int n, int count, int32_t stride)
{
  std::vector<TCubeResample> table(static_cast<size_t>(std::max(count, 0)));
  const int last = std::max(n - 1, 0);
  for (int k = 0; k < count; ++k) {
    const double q = static_cast<double>(n) * (k + 0.5) / count - 0.5;
    TCubeResample& e = table[static_cast<size_t>(k)];
    int i0 = 0;
    e.t = 0;
    if (q >= 0) {
      const double whole = std::floor(q);
      e.t = q - whole;
      i0 = static_cast<int>(whole);
    }
    i0 = std::clamp(i0, 0, last);
    const int i1 = std::clamp(i0 + 1, 0, last);
    e.w0 = 1 - e.t;
    e.i0 = i0 * stride;
    e.i1 = i1 * stride;
  }
  return table;
}
