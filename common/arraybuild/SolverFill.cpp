// Inverse distances, minimum curvature and kriging: the known cells are the
// data, the open cells the output points, handed to the solvers by rows or
// batches. A NaN answer leaves its cell as it was.
#include <algorithm>
#include <cmath>
#include <vector>

#include "arraybuild/GridFill.h"
#include "calc/GriddingSolvers.h"
#include "data/ArrayBuildProgress.h"

namespace {

struct TScatter {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> value;
};

TScatter KnownScatter(const TFillGrid& grid, const TKnownMask& known)
{
  TScatter data;
  for (int j = 0; j < grid.ny; ++j)
    for (int i = 0; i < grid.nx; ++i)
      if (known[static_cast<size_t>(j) * grid.nx + i]) {
        data.x.push_back(grid.columnX[i]);
        data.y.push_back(grid.rowY[j]);
        data.value.push_back(grid.At(i, j));
      }
  return data;
}

bool StepDone(int percent, TArrayBuildProgress& progress)
{
  progress.SetProgress(std::min(percent, 100));
  progress.LetEventsThrough();
  return !progress.Cancelled();
}

void StoreClamped(TFillGrid& grid, int cell, double value, double minimum, double maximum)
{
  if (std::isnan(value))
    return;
  grid.values[cell] = value < minimum ? minimum : (value > maximum ? maximum : value);
}

// The frame of minimum curvature and kriging: x and y scaled to a chosen width
// of the array, then y stretched by the anisotropy.
struct TFrame {
  double scale = 1;
  bool scaled = false;
  double anisotropy = 1;

  double X(double x) const { return scaled ? x * scale : x; }
  double Y(double y) const
  {
    const double s = scaled ? y * scale : y;
    return anisotropy != 1.0 ? s * anisotropy : s;
  }
};

TFrame MakeFrame(const TFillGrid& grid, bool newWidthOn, double width, double anisotropy)
{
  TFrame frame;
  // An array without width has nothing to scale to.
  frame.scaled = newWidthOn && grid.worldWidth != 0;
  frame.scale = frame.scaled ? width / grid.worldWidth : 1;
  frame.anisotropy = anisotropy;
  return frame;
}

void FrameRect(const TFillGrid& grid, const TFrame& frame, double rect[4])
{
  rect[0] = frame.X(grid.worldX);
  rect[1] = frame.X(grid.worldX + grid.worldWidth);
  rect[2] = frame.Y(grid.worldY);
  rect[3] = frame.Y(grid.worldY + grid.worldHeight);
  if (rect[0] > rect[1])
    std::swap(rect[0], rect[1]);
  if (rect[2] > rect[3])
    std::swap(rect[2], rect[3]);
}

void ToFrame(const TFrame& frame, TScatter& data)
{
  for (double& v : data.x)
    v = frame.X(v);
  for (double& v : data.y)
    v = frame.Y(v);
}

} // namespace

void FillByIDW(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
             TArrayBuildProgress& progress)
{
  const TScatter data = KnownScatter(grid, known);
  const double stretch = params.idwAnisotropy;
  std::vector<double> dataXY(2 * data.x.size());
  for (size_t k = 0; k < data.x.size(); ++k) {
    dataXY[2 * k] = data.x[k];
    dataXY[2 * k + 1] = stretch != 1.0 ? data.y[k] * stretch : data.y[k];
  }
  const int weightCount = std::clamp(params.idwWeightCount, 0, static_cast<int>(TArrayBuildParams::MaxIdwWeights));
  std::vector<double> outXY;
  std::vector<double> outValues;
  std::vector<int> cells;
  for (int j = 0; j < grid.ny; ++j) {
    outXY.clear();
    cells.clear();
    for (int i = 0; i < grid.nx; ++i) {
      const int c = j * grid.nx + i;
      if (known[static_cast<size_t>(c)])
        continue;
      outXY.push_back(grid.columnX[i]);
      outXY.push_back(stretch != 1.0 ? grid.rowY[j] * stretch : grid.rowY[j]);
      cells.push_back(c);
    }
    outValues.assign(cells.size(), 0);
    if (!cells.empty())
      SolveIDW(dataXY.data(), data.value.data(), static_cast<int>(data.x.size()), 2, outXY.data(),
               static_cast<double>(cells.size()), outValues.data(), params.idwWeights, weightCount);
    for (size_t k = 0; k < cells.size(); ++k)
      StoreClamped(grid, cells[k], outValues[k], -INFINITY, INFINITY);
    if (!StepDone((j + 1) * 100 / grid.ny, progress))
      return;
  }
}

void FillByMinCurvature(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                      TArrayBuildProgress& progress)
{
  TScatter data = KnownScatter(grid, known);
  const TFrame frame = MakeFrame(grid, params.mcNewWidthOn, params.mcWidth, params.mcAnisotropy);
  ToFrame(frame, data);
  double rect[4];
  FrameRect(grid, frame, rect);

  const int cellCount = grid.CellCount();
  const int batch = std::clamp(cellCount / 10, 1, 1000000);
  std::vector<double> outX, outY, outValues;
  std::vector<int> cells;
  for (int scanned = 0; scanned < cellCount;) {
    outX.clear();
    outY.clear();
    cells.clear();
    for (; scanned < cellCount && static_cast<int>(cells.size()) < batch; ++scanned) {
      if (known[static_cast<size_t>(scanned)])
        continue;
      outX.push_back(frame.X(grid.columnX[scanned % grid.nx]));
      outY.push_back(frame.Y(grid.rowY[scanned / grid.nx]));
      cells.push_back(scanned);
    }
    outValues.assign(cells.size(), 0);
    if (!cells.empty())
      SolveMinCurvature(rect, data.x.data(), data.y.data(), data.value.data(), static_cast<int>(data.x.size()),
                        outX.data(), outY.data(), static_cast<int>(cells.size()), outValues.data(),
                        params.mcDetrend, params.mcBlockLimit, params.mcNeighbourMinimum, params.mcSingleSystemLimit);
    for (size_t k = 0; k < cells.size(); ++k)
      StoreClamped(grid, cells[k], outValues[k], params.mcMinimum, params.mcMaximum);
    if (!StepDone(static_cast<int>((static_cast<long long>(scanned) + 1) * 100 / cellCount), progress))
      return;
  }
}

void FillByKriging(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                 TArrayBuildProgress& progress)
{
  TScatter data = KnownScatter(grid, known);
  const TFrame frame = MakeFrame(grid, params.krigingNewWidthOn, params.krigingWidth, params.krigingAnisotropy);
  ToFrame(frame, data);
  double rect[4];
  FrameRect(grid, frame, rect);
  const double ranges[2] = {params.krigingRangeX, params.krigingRangeY};
  const double* givenRanges = params.krigingAutomaticRanges ? nullptr : ranges;

  std::vector<double> outX, outY, outValues;
  std::vector<int> cells;
  for (int j = 0; j < grid.ny; ++j) {
    outX.clear();
    outY.clear();
    cells.clear();
    for (int i = 0; i < grid.nx; ++i) {
      const int c = j * grid.nx + i;
      if (known[static_cast<size_t>(c)])
        continue;
      outX.push_back(frame.X(grid.columnX[i]));
      outY.push_back(frame.Y(grid.rowY[j]));
      cells.push_back(c);
    }
    outValues.assign(cells.size(), 0);
    if (!cells.empty())
      SolveKriging(rect, data.x.data(), data.y.data(), data.value.data(), static_cast<int>(data.x.size()),
                   outX.data(), outY.data(), static_cast<int>(cells.size()), outValues.data(), params.krigingDetrend,
                   givenRanges, params.krigingNugget, params.krigingBlockLimit, params.krigingNeighbourMinimum,
                   params.krigingSingleSystemLimit, params.krigingRangeFactor);
    for (size_t k = 0; k < cells.size(); ++k)
      StoreClamped(grid, cells[k], outValues[k], params.krigingMinimum, params.krigingMaximum);
    if (!StepDone((j + 1) * 100 / grid.ny, progress))
      return;
  }
}
