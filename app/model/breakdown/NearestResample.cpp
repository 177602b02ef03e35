#include "model/breakdown/NearestResample.h"

#include <cmath>
#include <cstddef>

namespace {

int OldIndex(double position, double start, double extent, int n) {
  if (n <= 1 || extent == 0)
    return 0;
  const double f = std::floor((position - start) / extent * n);
  if (!(f >= 0))
    return 0;
  if (f >= n - 1)
    return n - 1;
  return static_cast<int>(f);
}

} // namespace

std::vector<double> ResampleNearest(const double *oldValues, const TGridBox &o, const TGridBox &n) {
  std::vector<double> fresh;
  if (!oldValues || o.nx <= 0 || o.ny <= 0 || o.nz <= 0 || n.nx <= 0 || n.ny <= 0 || n.nz <= 0)
    return fresh;
  fresh.resize(static_cast<size_t>(n.nx) * n.ny * n.nz);
  std::vector<int> columns(static_cast<size_t>(n.nx)), rows(static_cast<size_t>(n.ny));
  for (int i = 0; i < n.nx; ++i)
    columns[static_cast<size_t>(i)] = OldIndex(n.x + (i + 0.5) * n.dx / n.nx, o.x, o.dx, o.nx);
  for (int j = 0; j < n.ny; ++j)
    rows[static_cast<size_t>(j)] = OldIndex(n.y + (j + 0.5) * n.dy / n.ny, o.y, o.dy, o.ny);
  size_t at = 0;
  for (int k = 0; k < n.nz; ++k) {
    const int ok = OldIndex(k + 0.5, 0.0, n.nz, o.nz);
    for (int j = 0; j < n.ny; ++j) {
      const double *row = oldValues + (static_cast<size_t>(ok) * o.ny + rows[static_cast<size_t>(j)]) * o.nx;
      for (int i = 0; i < n.nx; ++i)
        fresh[at++] = row[columns[static_cast<size_t>(i)]];
    }
  }
  return fresh;
}
