#pragma once
// The squared distance from the centre of the cube [-1, 1]^3 at the cell
// centres of an n^3 grid (x fastest): the level r^2 is the sphere of radius r.
#include <vector>

inline std::vector<double> SphereField(int n)
{
  std::vector<double> values(static_cast<size_t>(n) * n * n);
  auto centre = [&](int i) { return -1 + (2.0 * i + 1) / n; };
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        values[(static_cast<size_t>(k) * n + j) * n + i] =
            centre(i) * centre(i) + centre(j) * centre(j) + centre(k) * centre(k);
  return values;
}
