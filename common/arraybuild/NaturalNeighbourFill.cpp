// The two natural-neighbour methods. Cells the interpolators cannot reach
// (outside the hull of the known cells) keep the values they had.
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "arraybuild/GridFill.h"
#include "calc/SimplexInterp.h"
#include "calc/nnlib/nn.h"
#include "data/ArrayBuildProgress.h"

namespace {

// After a row: progress, events, and whether to go on.
bool RowDone(const TFillGrid& grid, int row, TArrayBuildProgress& progress)
{
  progress.SetProgress((row + 1) * 100 / grid.ny);
  progress.LetEventsThrough();
  return !progress.Cancelled();
}

std::vector<point> KnownPoints(const TFillGrid& grid, const TKnownMask& known)
{
  std::vector<point> points;
  for (int j = 0; j < grid.ny; ++j)
    for (int i = 0; i < grid.nx; ++i)
      if (known[static_cast<size_t>(j) * grid.nx + i])
        points.push_back({grid.columnX[i], grid.rowY[j], grid.At(i, j)});
  return points;
}

} // namespace

void FillByNN1(TFillGrid& grid, const TKnownMask& known, TArrayBuildProgress& progress)
{
  std::vector<point> points = KnownPoints(grid, known);
  std::vector<double> siteData(points.size() * 3);
  std::vector<const double*> sites(points.size());
  for (size_t k = 0; k < points.size(); ++k) {
    siteData[3 * k] = points[k].x;
    siteData[3 * k + 1] = points[k].y;
    siteData[3 * k + 2] = points[k].z;
    sites[k] = &siteData[3 * k];
  }
  const double lower[2] = {grid.boundsX1, grid.boundsY1};
  const double upper[2] = {grid.boundsX2, grid.boundsY2};
  const double* bounds[2] = {lower, upper};
  simplex_interp_init(sites.data(), static_cast<int>(sites.size()), 2, bounds);
  for (int j = 0; j < grid.ny; ++j) {
    for (int i = 0; i < grid.nx; ++i) {
      if (known[static_cast<size_t>(j) * grid.nx + i])
        continue;
      const double at[2] = {grid.columnX[i], grid.rowY[j]};
      double value = 0;
      if (simplex_interp_value(at, &value))
        grid.At(i, j) = value;
    }
    if (!RowDone(grid, j, progress))
      break;
  }
  simplex_interp_free();
}

void FillByNN2(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
             TArrayBuildProgress& progress)
{
  std::vector<point> points = KnownPoints(grid, known);
  // The driver frees an output block it is given without points, so the row's
  // block comes from malloc.
  point* row = static_cast<point*>(std::malloc(sizeof(point) * static_cast<size_t>(grid.nx)));
  if (row == nullptr)
    return;
  std::vector<int> columns;
  for (int j = 0; j < grid.ny; ++j) {
    columns.clear();
    for (int i = 0; i < grid.nx; ++i)
      if (!known[static_cast<size_t>(j) * grid.nx + i]) {
        row[columns.size()] = {grid.columnX[i], grid.rowY[j], 0};
        columns.push_back(i);
      }
    int count = static_cast<int>(columns.size());
    point* out = count > 0 ? row : nullptr;
    nn_interpolate_scattered(static_cast<int>(points.size()), points.data(), params.nn2Method, params.nn2Scaling,
                             &count, &out, -1, -1, 0, -1, -1, -DBL_MAX, 1.0);
    if (out == row)
      for (int k = 0; k < count && k < static_cast<int>(columns.size()); ++k)
        if (!std::isnan(row[k].z))
          grid.At(columns[static_cast<size_t>(k)], j) = row[k].z;
    if (out != row && out != nullptr)
      std::free(out);
    if (!RowDone(grid, j, progress))
      break;
  }
  std::free(row);
}
