// Building a regular array from the reper values of its GIS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ArrayBuildingSupport.h"
#include "data/NoValue.h"
#include "data/NullArrayBuildProgress.h"
#include "data/SLine.h"
#include "gis/ArrayBuilder.h"
#include "gis/GArray.h"

using namespace buildtest;

namespace {

// A 10 x 8 array over the relative unit square; the GIS maps it onto 0..100.
struct ArrayBuildingFixture : ::testing::Test {
  TGIS gis;
  TGArray* array = nullptr;
  TRecordingProgress progress;

  void SetUp() override
  {
    gis.SetTransform(0, 0, 100, 100);
    array = AddObject(gis, std::make_unique<TGArray>(&gis, 10, 8, Code));
    array->SetRelativeRect(0, 0, 1, 1);
    array->Fill(-7);
  }
  double At(int i, int j) const { return array->GetData()[j * 10 + i]; }
  double CentreU(int i) const { return (i + 0.5) / 10; }
  double CentreV(int j) const { return (j + 0.5) / 8; }
};

TEST_F(ArrayBuildingFixture, NothingKnownBuildsNothingAndChangesNothing)
{
  AddReper(gis, 0.5, 0.5, 3.0)->SetReperValue(4.0, Code + 1, 0); // another quantity only
  gis.GetObject(1)->DeleteReperValues(Code);
  EXPECT_FALSE(array->Build(progress));
  for (int c = 0; c < 80; ++c)
    EXPECT_EQ(array->GetData()[c], -7.0);
  TGArray loose(nullptr, 4, 4, Code);
  loose.Fill(1);
  loose.BuildParams().fixedBoundary = true;
  EXPECT_FALSE(loose.Build(progress)); // no GIS
  EXPECT_EQ(loose.GetData()[5], 1.0);
}

// Counting the present values as known: cells with a value keep it, the
// cells without one are computed from them, and a reper wins in its cell.
TEST_F(ArrayBuildingFixture, PresentValuesCountAsKnownWhenAsked)
{
  for (int c = 0; c < 80; ++c)
    array->GetData()[c] = c % 10 < 5 ? 1.0 : NoValue;
  AddReper(gis, CentreU(0), CentreV(0), 4.0);
  array->BuildParams().presentValuesKnown = true;
  EXPECT_TRUE(array->Build(progress));
  EXPECT_EQ(At(0, 0), 4.0);
  EXPECT_EQ(At(3, 5), 1.0);
  for (int c = 0; c < 80; ++c)
    EXPECT_FALSE(IsNoValue(array->GetData()[c])) << c;
  EXPECT_EQ(array->GetDataMax(), 4.0);
}

TEST_F(ArrayBuildingFixture, FixedBoundaryAloneFillsTheInteriorFromTheBorder)
{
  array->Fill(2.5);
  for (int j = 1; j < 7; ++j)
    for (int i = 1; i < 9; ++i)
      array->GetData()[j * 10 + i] = 100 + i * j;
  array->BuildParams().fixedBoundary = true;
  EXPECT_TRUE(array->Build(progress));
  for (int c = 0; c < 80; ++c)
    EXPECT_NEAR(array->GetData()[c], 2.5, 1e-3);
  EXPECT_NEAR(array->GetDataMin(), 2.5, 1e-3);
}

TEST_F(ArrayBuildingFixture, LaterReperInTheSameCellWins)
{
  AddReper(gis, 0.51, 0.51, 3.0);
  AddReper(gis, 0.52, 0.53, 9.0);
  array->BuildParams().fillMethod = 99; // collect only
  EXPECT_TRUE(array->BuildRange(-1e300, 1e300, progress));
  EXPECT_EQ(At(5, 4), 9.0);
  EXPECT_EQ(At(0, 0), -7.0);
  // Both values were known, so both bound the data range.
  EXPECT_EQ(array->GetDataMin(), 3.0);
  EXPECT_EQ(array->GetDataMax(), 9.0);
}

// The known cells and the data range they give: the border with fixed
// boundary (a border cell without a value is known but stays out of the
// range), repers inside the grid, nothing from a reper beside it.
TEST_F(ArrayBuildingFixture, CollectingKnownCellsRecordsTheirRange)
{
  TKnownMask known;
  AddReper(gis, 1.5, 0.5, 99.0); // beside the grid
  EXPECT_FALSE(array->CollectKnownCells(-1e300, 1e300, known));
  EXPECT_EQ(array->GetDataMin(), -7.0);
  EXPECT_EQ(array->GetDataMax(), -7.0);

  array->GetData()[3] = NoValue; // cell (3, 0)
  array->GetData()[4 * 10] = 12; // cell (0, 4)
  array->BuildParams().fixedBoundary = true;
  AddReper(gis, CentreU(5), CentreV(4), 30.0);
  ASSERT_TRUE(array->CollectKnownCells(-1e300, 1e300, known));
  ASSERT_EQ(known.size(), 80u);
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 10; ++i) {
      const bool border = i == 0 || i == 9 || j == 0 || j == 7;
      const bool reper = i == 5 && j == 4;
      EXPECT_EQ(known[j * 10 + i], border || reper ? 1 : 0) << i << "," << j;
    }
  EXPECT_EQ(At(5, 4), 30.0);
  EXPECT_EQ(array->GetDataMin(), -7.0);
  EXPECT_EQ(array->GetDataMax(), 30.0);
}

TEST_F(ArrayBuildingFixture, RepersOfAPlaneGiveThePlaneThroughTheWorldCentres)
{
  auto plane = [](double X, double Y) { return 1 + 0.3 * X - 0.2 * Y; };
  for (int j : {0, 3, 7})
    for (int i : {0, 4, 9})
      AddReper(gis, CentreU(i), CentreV(j), plane(100 * CentreU(i), 100 * CentreV(j)));
  array->BuildParams().fillMethod = FillMinimumCurvature;
  ASSERT_TRUE(array->Build(progress));
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 10; ++i)
      EXPECT_NEAR(At(i, j), plane(100 * CentreU(i), 100 * CentreV(j)), 1e-6) << i << "," << j;
  EXPECT_NEAR(array->GetDataMin(), plane(5, 93.75), 1e-6);
  EXPECT_NEAR(array->GetDataMax(), plane(95, 6.25), 1e-6);
  EXPECT_FALSE(progress.percents.empty());
}

// Only repers whose depth lies in the range count.
TEST_F(ArrayBuildingFixture, DepthRangeChoosesTheRepers)
{
  AddReper(gis, 0.05, 0.05, 1.0, 0.5);
  AddReper(gis, 0.95, 0.95, 2.0, 1.5);
  array->BuildParams().fillMethod = 99;
  EXPECT_TRUE(array->BuildRange(1.0, 2.0, progress));
  EXPECT_EQ(At(0, 0), -7.0);
  EXPECT_EQ(At(9, 7), 2.0);
  EXPECT_EQ(array->GetDataMin(), 2.0);
  EXPECT_EQ(array->GetDataMax(), 2.0);
  EXPECT_FALSE(array->BuildRange(2.0, 3.0, progress));
  EXPECT_EQ(array->GetDataMin(), 2.0); // nothing known: the range stays
}

// A cancel keeps the cells computed so far, and the data range follows them.
TEST_F(ArrayBuildingFixture, CancelKeepsWhatWasComputed)
{
  for (int j : {0, 7})
    for (int i : {0, 9})
      AddReper(gis, CentreU(i), CentreV(j), i + j);
  array->GetData()[5] = 1000; // an open cell the build overwrites
  progress.cancelAtPause = 1;
  EXPECT_TRUE(array->Build(progress));
  EXPECT_TRUE(progress.Cancelled());
  EXPECT_EQ(progress.pauses, 1);
  EXPECT_EQ(At(0, 0), 0.0);
  EXPECT_EQ(At(9, 7), 16.0);
  double lowest = 1e300, highest = -1e300;
  for (int c = 0; c < 80; ++c) {
    EXPECT_NE(array->GetData()[c], -7.0) << "cell " << c;
    lowest = std::min(lowest, array->GetData()[c]);
    highest = std::max(highest, array->GetData()[c]);
  }
  EXPECT_LT(highest, 1000.0);
  EXPECT_EQ(array->GetDataMin(), lowest);
  EXPECT_EQ(array->GetDataMax(), highest);
}

// An object whose outline carries its value (shape kind 3).
class TOutlineObject : public TGObj {
public:
  TOutlineObject(TGIS* owner, std::vector<TSPoint> corners, bool closed) : TGObj(owner), corners(std::move(corners))
  {
    SetShapeKind(3);
    this->closed = closed;
  }
  void GetOutline(TSLine& outline) const override
  {
    outline.Points() = corners;
    outline.SetClosed(closed);
  }
  void Draw(double, double, double, double, TMemBitmap*) override {}
  double RelativeDistanceTo(double, double, double&, double&) const override { return 1e300; }
  double RelativeHandleDistanceTo(double, double, double&, double&, int&) const override { return 1e300; }

private:
  std::vector<TSPoint> corners;
  bool closed = false;
};

TEST_F(ArrayBuildingFixture, OutlinesMarkEveryCellTheyCross)
{
  // From the centre of cell (1, 1) along row 1 to cell (8, 1), up to (8, 6);
  // closed, so back along the diagonal to the start.
  auto outline = std::make_unique<TOutlineObject>(
      &gis, std::vector<TSPoint>{{CentreU(1), CentreV(1), 0}, {CentreU(8), CentreV(1), 0}, {CentreU(8), CentreV(6), 0}},
      true);
  outline->SetReperValue(4.0, Code, 0);
  AddObject(gis, std::move(outline));
  array->BuildParams().fillMethod = 99;
  EXPECT_TRUE(array->BuildRange(-1e300, 1e300, progress));
  for (int i = 1; i <= 8; ++i)
    EXPECT_EQ(At(i, 1), 4.0) << i;
  for (int j = 1; j <= 6; ++j)
    EXPECT_EQ(At(8, j), 4.0) << j;
  EXPECT_EQ(At(4, 3), 4.0); // on the way back along the diagonal
  EXPECT_EQ(At(0, 0), -7.0);
  EXPECT_EQ(At(2, 5), -7.0);
  EXPECT_EQ(array->GetDataMin(), 4.0);
  EXPECT_EQ(array->GetDataMax(), 4.0);
}

// An outline's value is known even where the outline misses the grid: the
// build goes on and the value bounds the range.
TEST_F(ArrayBuildingFixture, OutlineBesideTheGridStillCounts)
{
  auto outline =
      std::make_unique<TOutlineObject>(&gis, std::vector<TSPoint>{{1.5, 0.2, 0}, {1.8, 0.6, 0}}, false);
  outline->SetReperValue(6.0, Code, 0);
  AddObject(gis, std::move(outline));
  array->BuildParams().fillMethod = 99;
  EXPECT_TRUE(array->BuildRange(-1e300, 1e300, progress));
  for (int c = 0; c < 80; ++c)
    EXPECT_EQ(array->GetData()[c], -7.0);
  EXPECT_EQ(array->GetDataMin(), 6.0);
  EXPECT_EQ(array->GetDataMax(), 6.0);
}

TEST(ArrayBuildProgressHook, BuildsWithoutAWindowUntilOneIsInstalled)
{
  TArrayBuildProgress& silent = GetArrayBuildProgress();
  buildtest::TRecordingProgress window;
  SetArrayBuildProgress(&window);
  EXPECT_EQ(&GetArrayBuildProgress(), &window);
  SetArrayBuildProgress(nullptr);
  EXPECT_EQ(&GetArrayBuildProgress(), &silent);
}

} // namespace
