#include "model/breakdown/NearestResample.h"

#include <algorithm>
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

// The old level of new level k, or -1 when it takes the free value.
int OldLevel(int k, int oldLevels, int newLevels, TLevelMatch match) {
  if (match == TLevelMatch::Cells || newLevels <= 1 || oldLevels <= 1)
    return OldIndex(k + 0.5, 0.0, newLevels, oldLevels);
  const int last = oldLevels - 1;
  const int nearest = static_cast<int>(std::lround(static_cast<double>(k) * last / (newLevels - 1)));
  if (match == TLevelMatch::Nodes || k == 0 || k == newLevels - 1)
    return nearest;
  if (oldLevels <= 2)
    return -1;
  return std::clamp(nearest, 1, last - 1);
}

} // namespace

std::vector<double> ResampleNearest(const double *oldValues, const TGridBox &o, const TGridBox &n,
                                    TLevelMap levels) {
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
    const int ok = OldLevel(k, o.nz, n.nz, levels.match);
    if (ok < 0) {
      const size_t levelSize = static_cast<size_t>(n.nx) * n.ny;
      std::fill_n(fresh.begin() + static_cast<std::ptrdiff_t>(at), levelSize, levels.freeValue);
      at += levelSize;
      continue;
    }
    for (int j = 0; j < n.ny; ++j) {
      const double *row = oldValues + (static_cast<size_t>(ok) * o.ny + rows[static_cast<size_t>(j)]) * o.nx;
      for (int i = 0; i < n.nx; ++i)
        fresh[at++] = row[columns[static_cast<size_t>(i)]];
    }
  }
  return fresh;
}
