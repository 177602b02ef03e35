#pragma once

// Estimates at output points in the plane from values at scattered data
// points. Arrays are caller-owned; every solver works on its own copies and
// frees its work space before it returns.
//
// An output value that no estimate reaches (no data at all, or every local
// system around it singular) is a quiet NaN: the caller leaves that cell empty.

// Blend of inverse-distance estimates of the powers max(dim, 2) + 1 + k.
// dataXY and outXY hold dim consecutive coordinates per point. weights may be
// null; fewer than two weights mean a single weight of 1.
void SolveIDW(const double* dataXY, const double* dataValues, int n, int dim,
              const double* outXY, double outCount, double* outValues,
              const double* weights, int weightCount);

// rect: the region the block partition divides, as x0, x1, y0, y1.

// Thin-plate interpolation blended over the blocks of a quadtree.
void SolveMinCurvature(const double* rect, const double* dataX, const double* dataY,
                       const double* dataValues, int n, const double* outX, const double* outY,
                       int m, double* outValues, bool detrend, int blockLimit,
                       int neighbourMinimum, int singleSystemLimit);

// Kriging with the Gaussian variogram (sill 1), blended like the above.
// ranges is null for ranges derived from the block sizes and rangeFactor.
void SolveKriging(const double* rect, const double* dataX, const double* dataY,
                  const double* dataValues, int n, const double* outX, const double* outY, int m,
                  double* outValues, bool detrend, const double* ranges, double nugget,
                  int blockLimit, int neighbourMinimum, int singleSystemLimit,
                  double rangeFactor);

// Gaussian elimination in place (row-major size x size matrix); the solution
// replaces rhs. Returns false, with rhs unusable, when the system is singular.
bool SolveGauss(double* matrix, double* rhs, int size);
