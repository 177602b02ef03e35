// The Laplace method: a start fill, then relaxation of the open cells.
#include <cmath>

#include "arraybuild/GridFill.h"
#include "data/ArrayBuildProgress.h"

namespace {

// The nearest known cell from (i, j) in the step direction (di, dj) under the
// mask of the previous pass: its distance in cells and value.
bool NearestKnown(const TFillGrid& grid, const TKnownMask& previous, int i, int j, int di, int dj,
                  int& distance, double& value)
{
  int ci = i + di;
  int cj = j + dj;
  for (int d = 1; ci >= 0 && ci < grid.nx && cj >= 0 && cj < grid.ny; ++d, ci += di, cj += dj) {
    if (previous[static_cast<size_t>(cj) * grid.nx + ci]) {
      distance = d;
      value = grid.At(ci, cj);
      return true;
    }
  }
  return false;
}

// Weighted by the opposite distance, so the nearer side counts more; one side
// alone gives its own value.
bool LineEstimate(bool haveA, int da, double va, bool haveB, int db, double vb, double& estimate,
                  int& distance)
{
  if (haveA && haveB) {
    estimate = (va * db + vb * da) / static_cast<double>(da + db);
    distance = da < db ? da : db;
    return true;
  }
  if (haveA) {
    estimate = va;
    distance = da;
    return true;
  }
  if (haveB) {
    estimate = vb;
    distance = db;
    return true;
  }
  return false;
}

bool HasKnownNeighbour(const TFillGrid& grid, const TKnownMask& previous, int i, int j)
{
  auto known = [&](int ci, int cj) { return previous[static_cast<size_t>(cj) * grid.nx + ci] != 0; };
  return (i > 0 && known(i - 1, j)) || (i + 1 < grid.nx && known(i + 1, j)) || (j > 0 && known(i, j - 1)) ||
         (j + 1 < grid.ny && known(i, j + 1));
}

void LaplaceSeedCell(TFillGrid& grid, const TKnownMask& previous, TKnownMask& working, int i, int j)
{
  const size_t c = static_cast<size_t>(j) * grid.nx + i;
  if (previous[c] || !HasKnownNeighbour(grid, previous, i, j))
    return;
  int dl = 0, dr = 0, dd = 0, du = 0;
  double vl = 0, vr = 0, vd = 0, vu = 0;
  const bool haveR = NearestKnown(grid, previous, i, j, 1, 0, dr, vr);
  const bool haveL = NearestKnown(grid, previous, i, j, -1, 0, dl, vl);
  const bool haveU = NearestKnown(grid, previous, i, j, 0, 1, du, vu);
  const bool haveD = NearestKnown(grid, previous, i, j, 0, -1, dd, vd);
  double rowEstimate = 0, columnEstimate = 0;
  int rowDistance = 0, columnDistance = 0;
  const bool haveRow = LineEstimate(haveL, dl, vl, haveR, dr, vr, rowEstimate, rowDistance);
  const bool haveColumn = LineEstimate(haveD, dd, vd, haveU, du, vu, columnEstimate, columnDistance);
  if (haveRow && haveColumn)
    grid.values[c] = (columnEstimate * rowDistance + rowEstimate * columnDistance) /
                     static_cast<double>(rowDistance + columnDistance);
  else
    grid.values[c] = haveRow ? rowEstimate : columnEstimate;
  working[c] = 1;
}

bool AllKnown(const TKnownMask& mask)
{
  for (std::uint8_t b : mask)
    if (!b)
      return false;
  return true;
}

// Relative change of one cell; by the magnitude of the old value, so that a
// negative field converges like a positive one.
double RelativeChange(double oldValue, double newValue)
{
  if (oldValue == 0)
    return newValue == 0 ? 0.0 : 1.0;
  return std::fabs(newValue - oldValue) / std::fabs(oldValue);
}

double RelaxedValue(const TFillGrid& grid, int i, int j, double zeta)
{
  double sum4 = 0;
  int n4 = 0;
  double sum2 = 0;
  int n2 = 0;
  auto take = [&](int ci, int cj, double& sum, int& n) {
    if (ci >= 0 && ci < grid.nx && cj >= 0 && cj < grid.ny) {
      sum += grid.At(ci, cj);
      ++n;
    }
  };
  take(i - 1, j, sum4, n4);
  take(i + 1, j, sum4, n4);
  take(i, j - 1, sum4, n4);
  take(i, j + 1, sum4, n4);
  take(i - 2, j, sum2, n2);
  take(i + 2, j, sum2, n2);
  take(i, j - 2, sum2, n2);
  take(i, j + 2, sum2, n2);
  const double mean4 = sum4 / n4;
  if (zeta == 0)
    return mean4;
  const double third = (2 * sum4 - sum2) / (2 * n4 - n2);
  return zeta * third + (1 - zeta) * mean4;
}

// One open cell: its new value in place, and its relative change.
inline double RelaxCell(TFillGrid& grid, int i, int j, double zeta, bool innerRow)
{
  const int nx = grid.nx;
  double* cell = grid.values + static_cast<size_t>(j) * nx + i;
  double fresh;
  if (innerRow && i > 0 && i + 1 < nx) {
    // The plain mean of four neighbours, added in the order of the general
    // case so that the bits agree; a quarter is exact either way.
    fresh = ((((0.0 + cell[-1]) + cell[1]) + cell[-nx]) + cell[nx]) * 0.25;
  } else {
    fresh = RelaxedValue(grid, i, j, zeta);
  }
  const double change = RelativeChange(*cell, fresh);
  *cell = fresh;
  return change;
}

// Row-order Gauss-Seidel. Two rows go together, the second one cell behind the
// first: every cell still sees exactly the neighbours of the plain row order
// (its left and lower neighbours new, its right and upper ones old), while the
// processor works on two independent chains of additions. The largest change
// does not depend on the order in which cells are visited.
double Sweep(TFillGrid& grid, const TKnownMask& known, double zeta)
{
  const int nx = grid.nx, ny = grid.ny;
  double largest = 0;
  auto visit = [&](int i, int j) {
    if (known[static_cast<size_t>(j) * nx + i])
      return;
    const double change = RelaxCell(grid, i, j, zeta, zeta == 0 && j > 0 && j + 1 < ny);
    if (change > largest)
      largest = change;
  };
  int j = 0;
  for (; j + 1 < ny; j += 2) {
    visit(0, j);
    for (int i = 1; i < nx; ++i) {
      visit(i, j);
      visit(i - 1, j + 1);
    }
    visit(nx - 1, j + 1);
  }
  if (j < ny)
    for (int i = 0; i < nx; ++i)
      visit(i, j);
  return largest;
}

int SweepPercent(double largest, double firstLog, double scale)
{
  if (largest == 0)
    return 100;
  const double percent = (firstLog - std::log(largest)) * scale;
  if (!(percent > 0))
    return 0;
  return percent >= 100 ? 100 : static_cast<int>(percent);
}

} // namespace

void LaplaceSeed(TFillGrid& grid, const TKnownMask& known)
{
  TKnownMask working = known;
  TKnownMask previous;
  while (!AllKnown(working)) {
    previous = working;
    for (int j = 0; j < grid.ny; ++j)
      for (int i = 0; i < grid.nx; ++i)
        LaplaceSeedCell(grid, previous, working, i, j);
    if (working == previous)
      return; // nothing known to grow from
  }
}

void LaplaceRelax(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                  TArrayBuildProgress& progress)
{
  const double zeta = params.laplaceThirdDerivativeWeight;
  const double epsilon = params.laplaceAccuracy;
  const double logEpsilon = epsilon > 0 ? std::log(epsilon) : -INFINITY;
  double firstLog = 0;
  double scale = 0;
  for (int sweep = 1;; ++sweep) {
    const double largest = Sweep(grid, known, zeta);
    if (sweep == 1) {
      firstLog = largest == 0 ? 1.0 : std::log(largest);
      // A first change already at the accuracy ends the sweeps; the bar then
      // has nothing to scale.
      const double span = firstLog - logEpsilon;
      scale = span > 0 && std::isfinite(span) ? 100 / span : 0;
    }
    progress.SetProgress(SweepPercent(largest, firstLog, scale));
    progress.LetEventsThrough();
    if (progress.Cancelled() || largest == 0 || largest <= epsilon || sweep >= params.laplaceMaxIterations)
      return;
    if (std::log(largest * 0.5) >= firstLog)
      return; // the change has doubled since the first sweep: diverging
  }
}
