// Contour levels of arrays: the values each level scheme chooses, the bound on
// their number, and the colour and transparency ramps over the level table.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gis/ContourLevels.h"
#include "gis/GArray.h"

namespace {

struct ExpectedLevel {
  double value;
  int kind;
};

void ExpectLevels(const TGArray& array, const std::vector<ExpectedLevel>& expected)
{
  ASSERT_EQ(array.GetLevelCount(), static_cast<int>(expected.size()) + 1);
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_NEAR(array.GetLevels()[k].value, expected[k].value, 1e-9 * std::max(1.0, std::fabs(expected[k].value)))
        << "entry " << k;
    EXPECT_EQ(array.GetLevels()[k].lineKind, expected[k].kind) << "entry " << k;
  }
}

std::vector<ExpectedLevel> Steps(double from, double to, double step, std::vector<double> bold)
{
  std::vector<ExpectedLevel> levels;
  for (double v = from; v <= to + 1e-9; v += step) {
    bool isBold = false;
    for (double b : bold)
      isBold = isBold || std::fabs(b - v) < 1e-9;
    levels.push_back({v, isBold ? 2 : 1});
  }
  return levels;
}

TEST(ContourLevels, NewArrayHasTenLevelsAtZeroThatFollowTheData)
{
  TGArray array(nullptr, 11, 1, 0);
  ExpectLevels(array, std::vector<ExpectedLevel>(10, {0.0, 1}));
  std::vector<double> data(11);
  for (int i = 0; i < 11; ++i)
    data[i] = i;
  array.SetData(data.data());
  std::vector<ExpectedLevel> expected;
  for (int k = 1; k <= 10; ++k)
    expected.push_back({10.0 * k / 11, 1});
  ExpectLevels(array, expected);
}

TEST(ContourLevels, FixedStepsMergeBoldAndThinLines)
{
  TGArray array(nullptr);
  array.SetRange(0, 250);
  array.SetLevelScheme(LevelSchemeStep, 10, 100.0, 10.0, 2, 4, 1, 2);
  ExpectLevels(array, Steps(10, 240, 10, {100, 200}));
}

TEST(ContourLevels, DecimalStepsAreRoundedAndWrittenBack)
{
  TGArray array(nullptr);
  array.SetRange(0, 100);
  array.SetLevelScheme(LevelSchemeDecimal, 10, 100.0, 10.0, 2, 4, 1, 2);
  ExpectLevels(array, Steps(10, 90, 10, {50}));
  EXPECT_DOUBLE_EQ(array.GetLevelScheme().boldStep, 50.0);
  EXPECT_DOUBLE_EQ(array.GetLevelScheme().thinStep, 10.0);
}

TEST(ContourLevels, DecimalStepsWithoutBoldLines)
{
  TGArray array(nullptr);
  array.SetRange(0, 100);
  array.SetLevelScheme(LevelSchemeDecimal, 10, 100.0, 10.0, 0, 4, 1, 2);
  ExpectLevels(array, {{20, 1}, {40, 1}, {60, 1}, {80, 1}});
  EXPECT_EQ(array.GetLevelScheme().boldStep, 0.0);
}

TEST(ContourLevels, DecimalStepRounding)
{
  const struct {
    double step, rounded;
  } cases[] = {{7, 5}, {3, 2}, {1.5, 2}, {0.07, 0.05}, {100.0 / 3, 50}, {1, 1}, {9.9, 10}, {0.3, 0.2}};
  for (const auto& c : cases)
    EXPECT_NEAR(RoundDecimalStep(c.step), c.rounded, 1e-12 * c.rounded) << c.step;
}

TEST(ContourLevels, LogarithmicStepsRoundToOneDigit)
{
  TGArray array(nullptr);
  array.SetRange(1, 1000);
  array.SetLevelScheme(LevelSchemeLog, 10, 100.0, 10.0, 2, 4, 1, 2);
  ExpectLevels(array, {{2, 1}, {5, 1}, {10, 2}, {20, 1}, {50, 1}, {100, 2}, {200, 1}, {500, 1}});
}

TEST(ContourLevels, MostlyNegativeRangesAreMirroredAndStayAscending)
{
  TGArray array(nullptr);
  array.SetRange(-1000, -1);
  array.SetLevelScheme(LevelSchemeLog, 10, 100.0, 10.0, 2, 4, 1, 2);
  ExpectLevels(array, {{-500, 1}, {-200, 1}, {-100, 2}, {-50, 1}, {-20, 1}, {-10, 2}, {-5, 1}, {-2, 1}});
}

TEST(ContourLevels, SchemeFieldsAreBroughtIntoRange)
{
  TLevelScheme scheme;
  scheme.requestedCount = 500;
  scheme.thinStep = -1;
  scheme.boldStep = 0;
  scheme.decimalBoldCount = -3;
  scheme.decimalThinCount = 40;
  scheme.logPower = 12;
  scheme.logThinCount = -1;
  ComputeContourValues(scheme, 0, 1);
  EXPECT_EQ(scheme.requestedCount, 100);
  EXPECT_EQ(scheme.thinStep, 10.0);
  EXPECT_EQ(scheme.decimalBoldCount, 0.0);
  EXPECT_EQ(scheme.decimalThinCount, 20.0);
  EXPECT_EQ(scheme.logPower, 10.0);
  EXPECT_EQ(scheme.logThinCount, 0.0);
}

// A step far below the range would ask for billions of levels (or, where the
// step no longer moves the value, for an endless walk): the table falls back
// to the requested number of equal intervals.
TEST(ContourLevels, TooManyLevelsFallBackToEqualIntervals)
{
  const struct {
    int kind;
    double thinStep, boldStep, rangeMin, rangeMax;
  } cases[] = {
      {LevelSchemeStep, 1e-9, 0, 0, 1000},
      {LevelSchemeStep, 1, 0, 1e20, 1e20 + 1e6},
      {LevelSchemeStep, 0, 1e-7, 0, 1},
  };
  for (const auto& c : cases) {
    TGArray array(nullptr);
    array.SetRange(c.rangeMin, c.rangeMax);
    array.SetLevelScheme(c.kind, 4, c.boldStep, c.thinStep, 2, 4, 1, 2);
    ASSERT_EQ(array.GetLevelCount(), 5) << c.thinStep;
    for (int k = 0; k < 4; ++k)
      EXPECT_DOUBLE_EQ(array.GetLevels()[k].value, c.rangeMin + (k + 1) * (c.rangeMax - c.rangeMin) / 5);
    EXPECT_EQ(array.GetLevelScheme().kind, c.kind) << "the scheme itself is kept";
  }
}

TEST(ContourLevels, LevelCountJustBelowTheBoundIsKept)
{
  TLevelScheme scheme;
  scheme.kind = LevelSchemeStep;
  scheme.thinStep = 1;
  scheme.boldStep = 0;
  EXPECT_EQ(ComputeContourValues(scheme, 0, MaxContourValues).size(), static_cast<size_t>(MaxContourValues - 1));
  EXPECT_EQ(ComputeContourValues(scheme, 0, MaxContourValues + 2).size(), 10u);
}

TEST(ContourLevels, NonFiniteRangesGiveNoStepLevels)
{
  TLevelScheme scheme;
  scheme.kind = LevelSchemeDecimal;
  EXPECT_TRUE(ComputeContourValues(scheme, 0, std::nan("")).empty());
  scheme.kind = LevelSchemeLog;
  EXPECT_TRUE(ComputeContourValues(scheme, 0, std::nan("")).empty());
  scheme.kind = LevelSchemeStep;
  EXPECT_EQ(ComputeContourValues(scheme, -INFINITY, INFINITY).size(), 10u);
}

TEST(ContourLevels, TransparencyRampOfTheFillTypes)
{
  TGArray array(nullptr);
  const int n = array.GetLevelCount();
  array.SetFillType(FillTransparencyRamp);
  for (int k = 0; k < n; ++k)
    EXPECT_EQ(array.GetLevels()[k].transparency, static_cast<int>(65536.0 * (k + 0.5) / n));
  array.SetAlpha(0x1000, 0x3000);
  array.SetFillType(FillOneTransparency);
  for (int k = 0; k < n; ++k)
    EXPECT_EQ(array.GetLevels()[k].transparency, 0x1000);
  array.SetFillType(FillTwoTransparencies);
  EXPECT_EQ(array.GetLevels()[0].transparency, static_cast<int>(0x2000 * 0.5 / n + 0x1000));
}

// The model renews its layers' data all the time; each renewal rebuilds the
// level table of an array with an automatic range.
TEST(ContourLevels, TheTransparencyRampSurvivesRebuilds)
{
  TGArray array(nullptr, 3, 2, 0);
  array.SetAutomaticRange(true);
  array.SetFillType(FillTransparencyRamp);
  auto expectRamp = [&](const char* when) {
    const int n = array.GetLevelCount();
    for (int k = 0; k < n; ++k)
      EXPECT_EQ(array.GetLevels()[k].transparency, static_cast<int>(65536.0 * (k + 0.5) / n)) << when << " " << k;
  };
  for (int update = 0; update < 100; ++update) {
    const double values[6] = {0, 1, 2, 3, 4, 5.0 + update};
    array.SetData(values);
  }
  expectRamp("after 100 updates");
  array.SetLevelScheme(LevelSchemeCount, 3, 100, 10, 2, 4, 1, 2);
  expectRamp("with fewer levels");
  // An end the user set by hand is an end of the next table.
  TContourLevel first = array.GetLevels()[0];
  first.transparency = 0x100;
  array.SetLevel(0, first);
  const int last = array.GetLevels()[array.GetLevelCount() - 1].transparency;
  array.SetLevelScheme(LevelSchemeCount, 5, 100, 10, 2, 4, 1, 2);
  ASSERT_EQ(array.GetLevelCount(), 6);
  EXPECT_EQ(array.GetLevels()[0].transparency, static_cast<int>((last - 0x100) * 0.5 / 6 + 0x100));
}

TEST(ContourLevels, LineColoursSpreadOverTheLinesOnly)
{
  TGArray array(nullptr);
  array.SetLevelScheme(LevelSchemeCount, 2, 100, 10, 2, 4, 1, 2);
  ASSERT_EQ(array.GetLevelCount(), 3);
  TContourLevel last = array.GetLevels()[2];
  last.lineColor = 0x123456;
  array.SetLevel(2, last);
  array.SetContourColors(0x000000, 0x0000FF);
  EXPECT_EQ(array.GetLevels()[0].lineColor, 0x000000u);
  EXPECT_EQ(array.GetLevels()[1].lineColor, 0x0000FFu);
  EXPECT_EQ(array.GetLevels()[2].lineColor, 0x123456u);
}

TEST(ContourLevels, SmallTablesTakeTheMiddleColour)
{
  TContourLevel one[1]{};
  SpreadLineColors(one, 1, 0x000000, 0x0000FE, 0);
  SpreadFillColors(one, 1, 0x000000, 0x00FE00, 0);
  SpreadTransparencies(one, 1, 0, 0x10001);
  EXPECT_EQ(one[0].lineColor, 0x00007Fu);
  EXPECT_EQ(one[0].fillColor, 0x007F00u);
  EXPECT_EQ(one[0].transparency, 0x8000);
  SpreadFillColors(nullptr, 0, 0, 0, 0);
}

TEST(ContourLevels, ARebuiltTableKeepsItsEndColours)
{
  TGArray array(nullptr);
  array.SetMixModes(0, 0);
  array.SetFillColors(0x0000FF, 0x00FF00);
  array.SetContourColors(0x000010, 0x000020);
  array.SetAlpha(0x100, 0x200);
  TContourLevel first = array.GetLevels()[0];
  first.fillColor = 0xABCDEF;
  array.SetLevel(0, first);
  array.SetLevelScheme(LevelSchemeCount, 25, 100, 10, 2, 4, 1, 2);
  ASSERT_EQ(array.GetLevelCount(), 26);
  EXPECT_EQ(array.GetLevels()[0].fillColor, 0xABCDEFu);
  EXPECT_EQ(array.GetLevels()[25].fillColor, 0x00FF00u);
  EXPECT_EQ(array.GetLevels()[0].lineColor, 0x000010u);
  EXPECT_EQ(array.GetLevels()[24].lineColor, 0x000020u);
  EXPECT_EQ(array.GetDrawSettings().fillColor1, 0xABCDEFu);
}

} // namespace
