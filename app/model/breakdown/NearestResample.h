#pragma once

#include <vector>

// A grid of nx x ny cells over a rectangle (x, y, dx, dy) with nz levels.
struct TGridBox {
  int nx = 0, ny = 0, nz = 1;
  double x = 0, y = 0, dx = 1, dy = 1;
};

// How the levels of a resampled grid find their old level.
enum class TLevelMatch {
  // Levels are slabs: the old level under the new level's middle.
  Cells,
  // Levels are the lattice's node planes from the first to the last: the
  // nearest old plane, so the first and last stay first and last.
  Nodes,
  // As Nodes, and the first and last planes are the plates: they alone come
  // from the old plates, and the planes between take only old inner planes,
  // so a plate neither vanishes nor thickens. Without old inner planes the
  // inner planes take the free value.
  NodesBetweenPlates,
};

struct TLevelMap {
  TLevelMatch match = TLevelMatch::Cells;
  double freeValue = 0;
};

// Values of a grid laid out level by level, row by row, carried onto another
// grid by taking for every new cell the old cell under its centre (clamped to
// the old grid), so that codes are never blended into values between them.
// Levels follow the level map. Empty when either grid has no cells.
std::vector<double> ResampleNearest(const double *oldValues, const TGridBox &oldBox, const TGridBox &newBox,
                                    TLevelMap levels = {});
