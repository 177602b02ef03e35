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
  // A cancelled build keeps what it computed: the user may stop a long
  // relaxation once it looks good enough.
  RunMethod(grid, known, params, progress);
  return !progress.Cancelled();
}
