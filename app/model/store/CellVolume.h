#pragma once
// A model layer as the stamping sees it: nz levels of ny rows of nx values,
// value (k * ny + j) * nx + i, and the size of a cell along each direction
// (across the levels cx and cy, along the levels cz). Layer k lies at depth
// k * cz; cells across the levels are centred at (i + 0.5) * cx, (j + 0.5) * cy.
struct TCellVolume {
  int nx = 0;
  int ny = 0;
  int nz = 0;
  double cx = 0;
  double cy = 0;
  double cz = 0;
  double* data = nullptr;

  bool Empty() const { return !data || nx <= 0 || ny <= 0 || nz <= 0; }
  long long Count() const { return static_cast<long long>(nx) * ny * nz; }
  double& At(int i, int j, int k) const { return data[(static_cast<long long>(k) * ny + j) * nx + i]; }
  // The point of cell (i, j, k) in the records' axis order (engine axes 1, 2, 3).
  void Point(int i, int j, int k, double p[3]) const
  {
    p[0] = (i + 0.5) * cx;
    p[1] = k * cz;
    p[2] = (j + 0.5) * cy;
  }
};
