// Exponential averaging: every sweep adds the known cells' remaining residuals,
// weighted by exp(-a r^b), until the residuals stop shrinking.
#include <cmath>
#include <vector>

#include "arraybuild/GridFill.h"
#include "data/ArrayBuildProgress.h"

namespace {

struct TKnownCell {
  int i;
  int j;
  double known;
  double estimate;
};

constexpr double GaussAccuracy = 1e-6;

std::vector<TKnownCell> CollectRecords(const TFillGrid& grid, const TKnownMask& known, double& mean)
{
  std::vector<TKnownCell> records;
  double sum = 0;
  for (int j = 0; j < grid.ny; ++j)
    for (int i = 0; i < grid.nx; ++i)
      if (known[static_cast<size_t>(j) * grid.nx + i]) {
        records.push_back({i, j, grid.At(i, j), 0});
        sum += grid.At(i, j);
      }
  mean = records.empty() ? 0 : sum / static_cast<double>(records.size());
  return records;
}

// The kernel depends only on the offset between two cells, so it is tabulated
// once per build over every offset the grid has.
std::vector<double> KernelTable(const TFillGrid& grid, double a, double b)
{
  std::vector<double> table(static_cast<size_t>(grid.nx) * grid.ny);
  for (int dj = 0; dj < grid.ny; ++dj)
    for (int di = 0; di < grid.nx; ++di) {
      const double rx = di * grid.cellWidth;
      const double ry = dj * grid.cellHeight;
      const double r = std::sqrt(rx * rx + ry * ry);
      table[static_cast<size_t>(dj) * grid.nx + di] = std::exp(-a * std::pow(r, b));
    }
  return table;
}

void Sweep(TFillGrid& grid, const std::vector<TKnownCell>& records, const std::vector<double>& kernel)
{
  for (int j = 0; j < grid.ny; ++j)
    for (int i = 0; i < grid.nx; ++i) {
      double sum = 0;
      for (const TKnownCell& r : records) {
        const int di = std::abs(i - r.i);
        const int dj = std::abs(j - r.j);
        sum += (r.known - r.estimate) * kernel[static_cast<size_t>(dj) * grid.nx + di];
      }
      grid.At(i, j) += sum;
    }
}

double UpdateEstimates(const TFillGrid& grid, std::vector<TKnownCell>& records)
{
  double largest = 0;
  for (TKnownCell& r : records) {
    const double v = grid.At(r.i, r.j);
    const double error = r.known != 0 ? std::fabs((v - r.known) / r.known) : (v != 0 ? 1.0 : 0.0);
    if (error > largest)
      largest = error;
    r.estimate = v;
  }
  return largest;
}

int SweepPercent(double error, double firstLog, double scale)
{
  const double percent = (firstLog - std::log(error)) * scale;
  if (!(percent > 0))
    return 0;
  return percent >= 100 ? 100 : static_cast<int>(percent);
}

} // namespace

void FillByGauss(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
               TArrayBuildProgress& progress)
{
  double mean = 0;
  std::vector<TKnownCell> records = CollectRecords(grid, known, mean);
  for (int c = 0; c < grid.CellCount(); ++c)
    grid.values[c] = mean;
  for (TKnownCell& r : records)
    r.estimate = mean;
  const std::vector<double> kernel = KernelTable(grid, params.gaussA, params.gaussB);

  double previousError = 1e307;
  double error = 0;
  double firstLog = 0;
  double scale = 0;
  for (int sweep = 1;; ++sweep) {
    Sweep(grid, records, kernel);
    error = UpdateEstimates(grid, records);
    if (sweep == 1) {
      firstLog = error == 0 ? 0.0 : std::log(error);
      const double span = firstLog - std::log(GaussAccuracy);
      scale = span > 0 ? 100 / span : 0;
    }
    if (error != 0)
      progress.SetProgress(SweepPercent(error, firstLog, scale));
    progress.LetEventsThrough();
    if (progress.Cancelled())
      break;
    if (!(error > GaussAccuracy && error < previousError))
      break;
    previousError = error;
  }
  if (error > previousError) {
    for (int c = 0; c < grid.CellCount(); ++c)
      grid.values[c] = mean;
    progress.ReportError(GaussDivergedMessage);
  }
  for (const TKnownCell& r : records)
    grid.At(r.i, r.j) = r.known;
}
