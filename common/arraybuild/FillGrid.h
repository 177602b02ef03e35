#pragma once
// A regular grid of values as the fill methods see it: the values row after
// row, the cell size in relative units (for distances between cells) and the
// world position of every cell centre (for the scattered-data solvers, which
// work in the user's coordinates). The transform between relative and world
// coordinates is separable, so a centre is its column's x and its row's y.
#include <cstdint>
#include <vector>

struct TFillGrid {
  double* values = nullptr; // nx * ny, cell (i, j) at j * nx + i
  int nx = 0;
  int ny = 0;
  double cellWidth = 0;  // relative
  double cellHeight = 0; // relative
  std::vector<double> columnX; // world x of the centre of each column
  std::vector<double> rowY;    // world y of the centre of each row
  // The array's world origin and extent as the object gives them (the extent
  // may be negative when an axis of the transform runs backwards).
  double worldX = 0;
  double worldY = 0;
  double worldWidth = 0;
  double worldHeight = 0;
  // The same rectangle ordered: minimum corner, then maximum corner.
  double boundsX1 = 0;
  double boundsY1 = 0;
  double boundsX2 = 0;
  double boundsY2 = 0;

  int CellCount() const { return nx * ny; }
  double& At(int i, int j) { return values[static_cast<long>(j) * nx + i]; }
  double At(int i, int j) const { return values[static_cast<long>(j) * nx + i]; }
};

// One byte per cell, 1 for a cell whose value is known.
using TKnownMask = std::vector<std::uint8_t>;
