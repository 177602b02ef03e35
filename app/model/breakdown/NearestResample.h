#pragma once

#include <vector>

// A grid of nx x ny cells over a rectangle (x, y, dx, dy) with nz levels.
struct TGridBox {
  int nx = 0, ny = 0, nz = 1;
  double x = 0, y = 0, dx = 1, dy = 1;
};

// Values of a grid laid out level by level, row by row, carried onto another
// grid by taking for every new cell the old cell under its centre (clamped to
// the old grid), so that codes are never blended into values between them.
// Levels map by proportion. Empty when either grid has no cells.
std::vector<double> ResampleNearest(const double *oldValues, const TGridBox &oldBox, const TGridBox &newBox);
