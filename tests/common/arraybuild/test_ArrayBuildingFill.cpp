// The seven fill methods on fields with known answers, their progress, their
// stop rules and a cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <ostream>
#include <vector>

#include "RecordingProgress.h"
#include "arraybuild/GridFill.h"
#include "data/NoValue.h"

namespace {

using TField = std::function<double(double, double)>;

// A grid over the world square 0..10 (relative unit square), cell centres at
// (i + 0.5) * 10 / n.
struct TTestGrid {
  std::vector<double> values;
  TFillGrid grid;
  TKnownMask known;

  TTestGrid(int nx, int ny)
  {
    values.assign(static_cast<size_t>(nx) * ny, 0.0);
    grid.values = values.data();
    grid.nx = nx;
    grid.ny = ny;
    grid.cellWidth = 1.0 / nx;
    grid.cellHeight = 1.0 / ny;
    for (int i = 0; i < nx; ++i)
      grid.columnX.push_back((i + 0.5) * 10.0 / nx);
    for (int j = 0; j < ny; ++j)
      grid.rowY.push_back((j + 0.5) * 10.0 / ny);
    grid.worldWidth = grid.worldHeight = 10;
    grid.boundsX2 = grid.boundsY2 = 10;
    known.assign(values.size(), 0);
  }
  void Know(int i, int j, double value)
  {
    grid.At(i, j) = value;
    known[static_cast<size_t>(j) * grid.nx + i] = 1;
  }
  // Every fourth cell (corners included), optionally with the whole border.
  void KnowSparse(const TField& f, bool withBorder = true)
  {
    for (int j = 0; j < grid.ny; ++j)
      for (int i = 0; i < grid.nx; ++i)
        if ((withBorder && (i == 0 || j == 0 || i == grid.nx - 1 || j == grid.ny - 1)) || (i % 4 == 0 && j % 4 == 0))
          Know(i, j, f(grid.columnX[i], grid.rowY[j]));
  }
  // The largest error over the open cells; cells still at `untouched` are
  // counted in `missed` instead.
  double LargestError(const TField& f, double untouched, int& missed) const
  {
    double largest = 0;
    missed = 0;
    for (int j = 0; j < grid.ny; ++j)
      for (int i = 0; i < grid.nx; ++i) {
        if (known[static_cast<size_t>(j) * grid.nx + i])
          continue;
        const double v = grid.At(i, j);
        if (v == untouched) {
          ++missed;
          continue;
        }
        largest = std::max(largest, std::fabs(v - f(grid.columnX[i], grid.rowY[j])));
      }
    return largest;
  }
};

double Plane(double x, double y)
{
  return 3 + 2 * x - 0.5 * y;
}

double Paraboloid(double x, double y)
{
  return (x - 5) * (x - 5) + (y - 4) * (y - 4);
}

struct TMethodCase {
  const char* name;
  int method;
  bool paraboloid;
  double tolerance; // largest error over the open cells
  int mayMiss;      // open cells a method may leave alone (outside its reach)
};

void PrintTo(const TMethodCase& c, std::ostream* os)
{
  *os << c.name;
}

class FillMethodTest : public ::testing::TestWithParam<TMethodCase> {};

TEST_P(FillMethodTest, FillsKnownFieldWithinTolerance)
{
  const TMethodCase& c = GetParam();
  const TField f = c.paraboloid ? TField(Paraboloid) : TField(Plane);
  TTestGrid t(21, 21);
  TArrayBuildParams params;
  params.fillMethod = c.method;
  params.laplaceAccuracy = 1e-9;
  // A kernel that falls off within a few cells, and Sibson's rule, whose
  // linear precision holds on the hull too.
  params.gaussA = 100;
  params.gaussB = 2;
  params.nn2Method = 0; // linear: the natural-neighbour rules stray on the hull
  t.KnowSparse(f, c.method == FillLaplace);
  for (size_t k = 0; k < t.known.size(); ++k)
    if (!t.known[k])
      t.values[k] = NoValue;
  TRecordingProgress progress;
  EXPECT_TRUE(FillOpenCells(t.grid, t.known, params, progress));
  int missed = 0;
  EXPECT_LE(t.LargestError(f, NoValue, missed), c.tolerance) << c.name;
  EXPECT_LE(missed, c.mayMiss) << c.name;
  ASSERT_FALSE(progress.percents.empty()) << c.name;
  for (int p : progress.percents) {
    EXPECT_GE(p, 0);
    EXPECT_LE(p, 100);
  }
  EXPECT_GE(progress.pauses, 1);
  // The known cells keep their values.
  for (int j = 0; j < 21; ++j)
    for (int i = 0; i < 21; ++i)
      if (t.known[static_cast<size_t>(j) * 21 + i]) {
        EXPECT_DOUBLE_EQ(t.grid.At(i, j), f(t.grid.columnX[i], t.grid.rowY[j]));
      }
}

// Tolerances are a little above what each method reaches on these fields from
// 36 known cells of 441 (Laplace also knows the border); the plane ranges over
// about 25, the paraboloid over about 60.
INSTANTIATE_TEST_SUITE_P(
    Methods, FillMethodTest,
    ::testing::Values(TMethodCase{"Laplace plane", FillLaplace, false, 1e-6, 0},
                      TMethodCase{"Laplace paraboloid", FillLaplace, true, 5.0, 0},
                      TMethodCase{"Gauss plane", FillGauss, false, 4.0, 0},
                      TMethodCase{"Gauss paraboloid", FillGauss, true, 10.0, 0},
                      TMethodCase{"NN1 plane", FillNaturalNeighbours1, false, 1e-6, 80},
                      TMethodCase{"NN1 paraboloid", FillNaturalNeighbours1, true, 2.0, 80},
                      TMethodCase{"NN2 plane", FillNaturalNeighbours2, false, 1e-6, 0},
                      TMethodCase{"NN2 paraboloid", FillNaturalNeighbours2, true, 5.0, 0},
                      TMethodCase{"IDW plane", FillInverseDistances, false, 2.0, 0},
                      TMethodCase{"IDW paraboloid", FillInverseDistances, true, 9.0, 0},
                      TMethodCase{"MinCurvature plane", FillMinimumCurvature, false, 1e-6, 0},
                      TMethodCase{"MinCurvature paraboloid", FillMinimumCurvature, true, 1.0, 0},
                      TMethodCase{"Kriging plane", FillKriging, false, 1e-3, 0},
                      TMethodCase{"Kriging paraboloid", FillKriging, true, 5.0, 0}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (ch == ' ')
          ch = '_';
      return n;
    });

struct TCancelCase {
  const char* name;
  int method;
  bool wholeGridFirst; // the method computes every cell before its first pause
};

void PrintTo(const TCancelCase& c, std::ostream* os)
{
  *os << c.name;
}

class FillCancelTest : public ::testing::TestWithParam<TCancelCase> {};

// A cancel at the second pause stops the method there and keeps what it has
// computed; the known cells keep their values.
TEST_P(FillCancelTest, CancelKeepsTheCellsComputedSoFar)
{
  const TCancelCase& c = GetParam();
  TTestGrid t(21, 21);
  t.KnowSparse(Paraboloid);
  for (size_t k = 0; k < t.known.size(); ++k)
    if (!t.known[k])
      t.values[k] = NoValue;
  const std::vector<double> before = t.values;
  TArrayBuildParams params;
  params.fillMethod = c.method;
  params.gaussA = 100;
  params.gaussB = 2;
  TRecordingProgress progress;
  progress.cancelAtPause = 2;
  EXPECT_FALSE(FillOpenCells(t.grid, t.known, params, progress));
  EXPECT_EQ(progress.pauses, 2);
  int computed = 0, open = 0;
  for (size_t k = 0; k < t.known.size(); ++k) {
    if (t.known[k]) {
      EXPECT_EQ(t.values[k], before[k]) << "known cell " << k;
      continue;
    }
    ++open;
    computed += !IsNoValue(t.values[k]);
  }
  EXPECT_GT(computed, 0);
  if (c.wholeGridFirst)
    EXPECT_EQ(computed, open);
  else
    EXPECT_LT(computed, open) << "the method went on after the cancel";
}

INSTANTIATE_TEST_SUITE_P(Methods, FillCancelTest,
                         ::testing::Values(TCancelCase{"Laplace", FillLaplace, true},
                                           TCancelCase{"Gauss", FillGauss, true},
                                           TCancelCase{"NN1", FillNaturalNeighbours1, false},
                                           TCancelCase{"NN2", FillNaturalNeighbours2, false},
                                           TCancelCase{"IDW", FillInverseDistances, false},
                                           TCancelCase{"MinCurvature", FillMinimumCurvature, false},
                                           TCancelCase{"Kriging", FillKriging, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FillOpenCells, ReservedAndUnknownMethodsLeaveTheCellsAlone)
{
  for (int method : {7, 8, -1}) {
    TTestGrid t(5, 4);
    t.Know(1, 1, 3.0);
    t.Know(3, 2, -2.0);
    const std::vector<double> before = t.values;
    TArrayBuildParams params;
    params.fillMethod = method;
    TRecordingProgress progress;
    EXPECT_TRUE(FillOpenCells(t.grid, t.known, params, progress));
    EXPECT_EQ(t.values, before) << method;
  }
}

TEST(Laplace, SingleKnownCellFillsEverythingAfterOneSweep)
{
  TTestGrid t(3, 3);
  t.Know(1, 1, 5.0);
  TArrayBuildParams params;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  for (double v : t.values)
    EXPECT_EQ(v, 5.0);
  EXPECT_EQ(progress.pauses, 1);
  EXPECT_EQ(progress.percents, std::vector<int>{100});
}

TEST(Laplace, ConstantBorderGivesTheConstant)
{
  TTestGrid t(6, 5);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 6; ++i)
      if (i == 0 || j == 0 || i == 5 || j == 4)
        t.Know(i, j, 7.25);
  TArrayBuildParams params;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  for (double v : t.values)
    EXPECT_EQ(v, 7.25);
}

// The relaxation measures changes relative to the magnitude of the old value:
// a field of negative values relaxes exactly like its mirror image instead of
// stopping after the first sweep.
TEST(Laplace, NegativeFieldRelaxesLikeItsMirror)
{
  auto run = [](double sign, TRecordingProgress& progress) {
    TTestGrid t(9, 9);
    for (int j = 0; j < 9; ++j)
      for (int i = 0; i < 9; ++i)
        if (i == 0 || j == 0 || i == 8 || j == 8)
          t.Know(i, j, sign * (10 + Paraboloid(t.grid.columnX[i], t.grid.rowY[j])));
    TArrayBuildParams params;
    params.laplaceAccuracy = 1e-8;
    FillOpenCells(t.grid, t.known, params, progress);
    return t.values;
  };
  TRecordingProgress positive, negative;
  const std::vector<double> up = run(1, positive);
  const std::vector<double> down = run(-1, negative);
  EXPECT_GT(negative.pauses, 10);
  EXPECT_EQ(negative.pauses, positive.pauses);
  for (size_t k = 0; k < up.size(); ++k)
    EXPECT_EQ(down[k], -up[k]);
}

// With an accuracy that the first sweep already meets the progress scale has
// no span; the build ends at once with a sane percentage.
TEST(Laplace, FirstChangeAtTheAccuracyStopsWithoutDividingByZero)
{
  TTestGrid t(4, 1);
  t.Know(0, 0, 1.0);
  t.Know(3, 0, 2.0);
  TArrayBuildParams params;
  params.laplaceAccuracy = 10; // far above any relative change here
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  EXPECT_EQ(progress.pauses, 1);
  ASSERT_EQ(progress.percents.size(), 1u);
  EXPECT_GE(progress.percents[0], 0);
  EXPECT_LE(progress.percents[0], 100);
}

TEST(Laplace, MaximumIterationsBoundTheSweeps)
{
  TTestGrid t(15, 15);
  t.KnowSparse(Paraboloid);
  TArrayBuildParams params;
  params.laplaceAccuracy = 1e-15;
  params.laplaceMaxIterations = 3;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  EXPECT_EQ(progress.pauses, 3);
}

TEST(Gauss, AllZeroKnownValuesStopAfterTheFirstSweep)
{
  TTestGrid t(6, 6);
  t.Know(1, 1, 0.0);
  t.Know(4, 2, 0.0);
  t.Know(2, 5, 0.0);
  TArrayBuildParams params;
  params.fillMethod = FillGauss;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  EXPECT_EQ(progress.pauses, 1);
  EXPECT_TRUE(progress.percents.empty()); // no percentage for an error of 0
  for (double v : t.values)
    EXPECT_EQ(v, 0.0);
}

// With a kernel that hardly falls off, every sweep overshoots more: the cells
// go back to the mean of the known values and the user learns why.
TEST(Gauss, DivergingIterationResetsToTheMeanAndSaysWhy)
{
  TTestGrid t(8, 8);
  t.Know(0, 0, 1.0);
  t.Know(7, 0, 4.0);
  t.Know(0, 7, 2.0);
  t.Know(7, 7, 9.0);
  t.Know(3, 4, 5.0);
  TArrayBuildParams params;
  params.fillMethod = FillGauss;
  params.gaussA = 1e-6;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  ASSERT_EQ(progress.errors.size(), 1u);
  EXPECT_EQ(progress.errors[0], GaussDivergedMessage);
  EXPECT_EQ(t.grid.At(2, 2), 21.0 / 5);
  EXPECT_EQ(t.grid.At(7, 7), 9.0);
  EXPECT_EQ(t.grid.At(3, 4), 5.0);
}

TEST(NaturalNeighbours2, ReportsOncePerRowAlsoForRowsWithoutOpenCells)
{
  TTestGrid t(4, 5);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 4; ++i)
      if (j != 2)
        t.Know(i, j, Plane(t.grid.columnX[i], t.grid.rowY[j]));
  TArrayBuildParams params;
  params.fillMethod = FillNaturalNeighbours2;
  params.nn2Method = 0;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  EXPECT_EQ(progress.percents, (std::vector<int>{20, 40, 60, 80, 100}));
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(t.grid.At(i, 2), Plane(t.grid.columnX[i], t.grid.rowY[2]), 1e-9);
}

TEST(MinimumCurvature, ResultsAreClampedToTheMethodsRange)
{
  TTestGrid t(12, 12);
  t.KnowSparse(Paraboloid);
  TArrayBuildParams params;
  params.fillMethod = FillMinimumCurvature;
  params.mcMinimum = 5;
  params.mcMaximum = 20;
  TRecordingProgress progress;
  FillOpenCells(t.grid, t.known, params, progress);
  for (size_t k = 0; k < t.values.size(); ++k)
    if (!t.known[k]) {
      EXPECT_GE(t.values[k], 5);
      EXPECT_LE(t.values[k], 20);
    }
  // Batches of a tenth of the grid: 144 cells in batches of 14 open cells.
  EXPECT_EQ(progress.percents.back(), 100);
  EXPECT_GT(progress.percents.size(), 3u);
}

TEST(Kriging, GivenRangesChangeTheResultAndAutomaticOnesDoNotNeedThem)
{
  auto run = [](bool automatic, double range) {
    TTestGrid t(12, 12);
    t.KnowSparse(Paraboloid);
    TArrayBuildParams params;
    params.fillMethod = FillKriging;
    params.krigingAutomaticRanges = automatic;
    params.krigingRangeX = params.krigingRangeY = range;
    TRecordingProgress progress;
    FillOpenCells(t.grid, t.known, params, progress);
    return t.values;
  };
  EXPECT_EQ(run(true, 0.5), run(true, 50));
  EXPECT_NE(run(false, 0.5), run(false, 50));
}

} // namespace

namespace {

// The relaxation written cell by cell in plain row order, as the rule reads.
int ReferenceRelax(TTestGrid& t, double zeta, double epsilon, int maxSweeps)
{
  TFillGrid& g = t.grid;
  auto at = [&](int i, int j, double& sum, int& n) {
    if (i >= 0 && i < g.nx && j >= 0 && j < g.ny) {
      sum += g.At(i, j);
      ++n;
    }
  };
  double firstLog = 0;
  for (int sweep = 1;; ++sweep) {
    double largest = 0;
    for (int j = 0; j < g.ny; ++j)
      for (int i = 0; i < g.nx; ++i) {
        if (t.known[static_cast<size_t>(j) * g.nx + i])
          continue;
        double s1 = 0, s2 = 0;
        int n1 = 0, n2 = 0;
        at(i - 1, j, s1, n1);
        at(i + 1, j, s1, n1);
        at(i, j - 1, s1, n1);
        at(i, j + 1, s1, n1);
        at(i - 2, j, s2, n2);
        at(i + 2, j, s2, n2);
        at(i, j - 2, s2, n2);
        at(i, j + 2, s2, n2);
        const double m4 = s1 / n1;
        const double fresh = zeta * ((2 * s1 - s2) / (2 * n1 - n2)) + (1 - zeta) * m4;
        const double old = g.At(i, j);
        const double change = old == 0 ? (fresh == 0 ? 0 : 1) : std::fabs(fresh - old) / std::fabs(old);
        g.At(i, j) = fresh;
        largest = std::max(largest, change);
      }
    if (sweep == 1)
      firstLog = largest == 0 ? 1.0 : std::log(largest);
    if (largest == 0 || largest <= epsilon || sweep >= maxSweeps || std::log(largest * 0.5) >= firstLog)
      return sweep;
  }
}

struct TRelaxCase {
  int nx;
  int ny;
  double zeta;
};

void PrintTo(const TRelaxCase& c, std::ostream* os)
{
  *os << c.nx << "x" << c.ny << " zeta " << c.zeta;
}

class LaplaceAgreesWithTheRule : public ::testing::TestWithParam<TRelaxCase> {};

// The sweeps take the fast paths (inner cells, two rows at a time); the
// values must be those of the plain cell-by-cell rule, bit for bit.
TEST_P(LaplaceAgreesWithTheRule, BitForBit)
{
  const TRelaxCase& c = GetParam();
  TTestGrid fast(c.nx, c.ny), plain(c.nx, c.ny);
  for (TTestGrid* t : {&fast, &plain}) {
    t->KnowSparse(Paraboloid, false);
    t->Know(c.nx - 1, c.ny / 2, -3.5);
    LaplaceSeed(t->grid, t->known);
  }
  TArrayBuildParams params;
  params.laplaceThirdDerivativeWeight = c.zeta;
  params.laplaceAccuracy = 1e-7;
  params.laplaceMaxIterations = 400;
  TRecordingProgress progress;
  LaplaceRelax(fast.grid, fast.known, params, progress);
  const int sweeps = ReferenceRelax(plain, c.zeta, 1e-7, 400);
  EXPECT_EQ(progress.pauses, sweeps);
  for (size_t k = 0; k < fast.values.size(); ++k)
    ASSERT_EQ(std::memcmp(&fast.values[k], &plain.values[k], sizeof(double)), 0) << k;
}

INSTANTIATE_TEST_SUITE_P(Grids, LaplaceAgreesWithTheRule,
                         ::testing::Values(TRelaxCase{13, 9, 0.0}, TRelaxCase{12, 10, 0.0}, TRelaxCase{1, 7, 0.0},
                                           TRelaxCase{9, 1, 0.0}, TRelaxCase{11, 8, 0.3}));

} // namespace
