// Drawing of regular arrays: grid lines and hatching at chosen pixels, the
// colour filling through the drawing library with a clip outline, contours with
// labels, and the legend bar that leaves the array as it found it.
#include <gtest/gtest.h>

#include <vector>

#include "GisTestSupport.h"
#include "data/SLine.h"
#include "data/TagStream.h"
#include "gis/GArray.h"

namespace {

using gistest::ImageOf;
using gistest::TTestBitmap;
using gistest::UnitArray;

constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Green = 0x008000;
constexpr COLORREF Red = 0x0000FF;

class ArrayDrawing : public testing::TestWithParam<bool> {
protected:
  bool BottomUp() const { return GetParam(); }
};

// The far border lies one pixel short of the plain scale (20 px over the unit
// view, so 19 px per unit), and every line leaves out its last pixel.
TEST_P(ArrayDrawing, GridLinesAlongTheCellBorders)
{
  auto array = UnitArray(nullptr, 2, 2, {1, 2, 3, 4});
  array->SetFillType(FillNone);
  array->SetContoursOn(false);
  array->SetGrid(true, Green);
  TTestBitmap bitmap(20, 20, BottomUp());
  array->Draw(0, 0, 1, 1, bitmap.get());
  const struct {
    int x, y;
    COLORREF colour;
  } pixels[] = {
      {0, 0, Green},  {9, 5, Green},   {19, 5, Green},  {5, 9, Green},  {5, 19, Green}, {0, 18, Green},
      {19, 18, Green}, {18, 19, Green}, {19, 19, White}, {5, 5, White}, {10, 10, White}, {20 - 1, 0, Green},
  };
  for (const auto& p : pixels)
    EXPECT_EQ(bitmap.Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

// Hatching classes: the range minimum is hollow, a missing value is not
// hatched, the maximum is solid and the middle is a pattern in between.
TEST_P(ArrayDrawing, HatchingDensityFollowsTheValue)
{
  auto array = UnitArray(nullptr, 2, 2, {0, NoValue, 0.5, 1.0});
  array->SetFillType(FillHatching);
  array->SetContoursOn(false);
  array->SetFillColors(0xFF0000, Red);
  TTestBitmap bitmap(16, 16, BottomUp());
  array->Draw(0, 0, 1, 1, bitmap.get());

  int hatched = 0, untouched = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = bitmap.Pixel(x, y);
      if (x <= 7 && y <= 7)
        EXPECT_EQ(c, White) << "minimum " << x << "," << y;
      else if (x >= 9 && y <= 7)
        EXPECT_EQ(c, White) << "no value " << x << "," << y;
      else if (x >= 8 && y >= 8)
        EXPECT_EQ(c, Red) << "maximum " << x << "," << y;
      else if (x <= 7 && y >= 9)
        (c == Red ? hatched : untouched) += 1;
    }
  }
  EXPECT_GT(hatched, 0);
  EXPECT_GT(untouched, 0);
}

// Zoomed in on one cell, only that cell is hatched, over the whole view.
TEST_P(ArrayDrawing, HatchingWalksOnlyTheCellsInView)
{
  auto array = UnitArray(nullptr, 2, 2, {0, 0, 0, 1.0});
  array->SetFillType(FillHatching);
  array->SetContoursOn(false);
  array->SetFillColors(0xFF0000, Red);
  TTestBitmap bitmap(16, 16, BottomUp());
  array->Draw(0.5, 0.5, 1.0, 1.0, bitmap.get());
  int left, top, right, bottom;
  ASSERT_TRUE(bitmap.BoundsOf(Red, left, top, right, bottom));
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(right, 15);
  EXPECT_EQ(bottom, 15);
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, ArrayDrawing, testing::Bool());

TEST(ArrayDrawingViews, DegenerateViewsDrawNothing)
{
  auto array = UnitArray(nullptr, 2, 2, {0, 1, 2, 3});
  array->SetGrid(true, Green);
  TTestBitmap bitmap(8, 8);
  for (int type : {FillHatching, FillOneTransparency}) {
    array->SetFillType(type);
    array->Draw(0, 0, 0, 0, bitmap.get());
    array->Draw(0.5, 0.5, 0.5, 1, bitmap.get());
  }
  TGArray empty(nullptr);
  empty.SetGrid(true, Green);
  empty.Draw(0, 0, 1, 1, bitmap.get());
  TTestBitmap none(0, 0);
  array->Draw(0, 0, 1, 1, none.get());
  int coloured = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      coloured += bitmap.Pixel(x, y) != White;
  EXPECT_EQ(coloured, 0);
}

TEST(ArrayDrawingViews, ColourFillingStaysInsideTheClipOutline)
{
  auto array = UnitArray(nullptr, 2, 2, {0, 1, 2, 3});
  array->SetContoursOn(false);
  array->SetFillColors(Red, Red);
  array->SetAlpha(0x10000, 0x10000);
  array->SetFillType(FillOneTransparency);
  auto outline = std::make_unique<TSLine>();
  outline->SetCount(4);
  outline->Points() = {{0, 0, 0}, {0.5, 0, 0}, {0.5, 1, 0}, {0, 1, 0}};
  outline->SetClosed(true);
  array->SetClipOutline(std::move(outline));
  TTestBitmap bitmap(20, 20);
  array->Draw(0, 0, 1, 1, bitmap.get());
  EXPECT_EQ(bitmap.Pixel(3, 10), Red);
  EXPECT_EQ(bitmap.Pixel(15, 10), White);

  // An outline that the view leaves with fewer than three corners is ignored.
  TTestBitmap shifted(20, 20);
  array->Draw(0.75, 0, 1.75, 1, shifted.get());
  EXPECT_EQ(shifted.Pixel(2, 10), Red);
}

TEST(ArrayDrawingViews, MissingValuesAreNotPainted)
{
  auto array = UnitArray(nullptr, 2, 1, {NoValue, 5});
  array->SetContoursOn(false);
  array->SetFillColors(Red, Red);
  array->SetAlpha(0x10000, 0x10000);
  array->SetFillType(FillOneTransparency);
  TTestBitmap bitmap(20, 10);
  array->Draw(0, 0, 1, 1, bitmap.get());
  EXPECT_EQ(bitmap.Pixel(2, 5), White);
  EXPECT_EQ(bitmap.Pixel(17, 5), Red);
}

TEST(ArrayDrawingViews, ContoursAndLabelsOfASteppedFilling)
{
  std::vector<double> data(100);
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i)
      data[j * 10 + i] = i + j;
  auto array = UnitArray(nullptr, 10, 10, data);
  array->SetSteppedFill(true);
  array->SetFillType(FillOneTransparency);
  array->SetContourColors(0x000000, 0x000000);
  array->SetLabels(true, true, 40, 5, 1.0, 0.0);
  TTestBitmap bitmap(80, 80);
  array->Draw(0, 0, 1, 1, bitmap.get());
  int black = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x)
      black += bitmap.Pixel(x, y) == 0;
  EXPECT_GT(black, 80) << "contour lines";
  array->FreeCache();
  array->Draw(0, 0, 1, 1, bitmap.get());
}

TEST(ArrayDrawingViews, LegendBarLeavesTheArrayAsItWas)
{
  for (int scheme : {LevelSchemeCount, LevelSchemeLog}) {
    for (double low : {0.0, 2.0, -500.0}) {
      auto array = UnitArray(nullptr, 3, 2, {low, 4, 6, 8, 10, 12});
      array->SetLevelScheme(scheme, 5, 100, 10, 2, 4, 1, 2);
      array->SetGrid(true, Green);
      array->SetFillType(FillTransparencyRamp);
      const std::vector<uint8_t> before = ImageOf(*array);
      TTestBitmap bitmap(120, 40);
      array->DrawToRect(bitmap.get(), 10, 5, 100, 30, true);
      array->DrawToRect(bitmap.get(), 2, 2, 30, 36, false);
      EXPECT_EQ(ImageOf(*array), before) << scheme << " " << low;
      EXPECT_NE(bitmap.Pixel(60, 20), White);
      EXPECT_EQ(bitmap.Pixel(115, 2), White);
      array->DrawToRect(bitmap.get(), 0, 0, 8, 40, true);
    }
  }
}

} // namespace
