// Picks the fill method of the build parameters.
#include "arraybuild/GridFill.h"

#include <algorithm>

#include "data/ArrayBuildProgress.h"

namespace {

void RunMethod(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
               TArrayBuildProgress& progress)
{
  switch (params.fillMethod) {
  case FillLaplace:
    LaplaceSeed(grid, known);
    LaplaceRelax(grid, known, params, progress);
    break;
  case FillGauss:
    FillByGauss(grid, known, params, progress);
    break;
  case FillNaturalNeighbours1:
    FillByNN1(grid, known, progress);
    break;
  case FillNaturalNeighbours2:
    FillByNN2(grid, known, params, progress);
    break;
  case FillInverseDistances:
    FillByIDW(grid, known, params, progress);
    break;
  case FillMinimumCurvature:
    FillByMinCurvature(grid, known, params, progress);
    break;
  case FillKriging:
    FillByKriging(grid, known, params, progress);
    break;
  default:
    // The reserved method has no solver: like any unknown method it leaves
    // the cells as they are.
    break;
  }
}

} // namespace

bool FillOpenCells(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                   TArrayBuildProgress& progress)
{
  if (grid.nx <= 0 || grid.ny <= 0 || grid.values == nullptr ||
      known.size() != static_cast<size_t>(grid.nx) * static_cast<size_t>(grid.ny))
    return true;
  // A cancel must not leave a half-computed grid behind.
  const std::vector<double> before(grid.values, grid.values + grid.CellCount());
  RunMethod(grid, known, params, progress);
  if (!progress.Cancelled())
    return true;
  std::copy(before.begin(), before.end(), grid.values);
  return false;
}
