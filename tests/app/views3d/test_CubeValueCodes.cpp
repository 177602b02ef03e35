#include "views3d/CubeValueCodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct CodeCase {
  const char* name;
  double value, min, max;
  int32_t code;
};

TEST(CubeValueCode, CodesValuesBetweenTheRangeEnds)
{
  const CodeCase cases[] = {
      {"minimum", 1, 1, 3, 0},
      {"below the minimum", -5, 1, 3, 0},
      {"maximum", 3, 1, 3, 65534},
      {"above the maximum", 7, 1, 3, 65534},
      {"middle", 2, 1, 3, 32767},
      {"no value", 1e300, 1, 3, 65535},
      {"minus no value", -1e300, 1, 3, 0},
      {"NaN", NaN, 1, 3, 65535},
      {"plus infinity", Inf, 1, 3, 65534},
      {"minus infinity", -Inf, 1, 3, 0},
      {"empty range", 5, 5, 5, 0},
      {"range with infinite ends", 0, -Inf, Inf, 0},
      {"range of NaN", 2, NaN, NaN, 0},
      {"range wider than doubles", 0, -1e308, 1e308, 0},
  };
  for (const CodeCase& c : cases) {
    const double factor = CubeCodeFactor(c.min, c.max);
    EXPECT_EQ(CubeValueCode(c.value, c.min, c.max, factor), c.code) << c.name;
  }
}

TEST(CubeValueCode, FactorIsZeroForRangesTinyAgainstTheirMagnitudes)
{
  EXPECT_EQ(CubeCodeFactor(1e6, 1e6 + 1e-3), 0);
  EXPECT_EQ(CubeCodeFactor(1e-21, 2e-21), 0);
  EXPECT_DOUBLE_EQ(CubeCodeFactor(0, 2), 32767);
}

TEST(CubeAutoRange, LeavesOutMissingHugeAndNaNValues)
{
  const double values[] = {3, 1, 2};
  TCubeValueRange r = CubeAutoRange(values, 3);
  EXPECT_EQ(r.min, 1);
  EXPECT_EQ(r.max, 3);

  const double single[] = {4};
  r = CubeAutoRange(single, 1);
  EXPECT_EQ(r.min, 4);
  EXPECT_EQ(r.max, 4);

  const double odd[] = {1e300, -1e300, NaN, Inf, 2e300, -7, 8};
  r = CubeAutoRange(odd, std::size(odd));
  EXPECT_EQ(r.min, -7);
  EXPECT_EQ(r.max, 8);

  const double none[] = {1e300, 1e300};
  r = CubeAutoRange(none, 2);
  EXPECT_EQ(r.min, 1e300);
  EXPECT_EQ(r.max, -1e300);
}

TEST(CubeValueCodes, BackwardsAxesAreFilledFromTheirLastIndex)
{
  // 2 x 2 x 2, values 0..7 in storage order; y and z stored backwards.
  double values[8];
  for (int i = 0; i < 8; ++i)
    values[i] = i;
  const int dirs[3] = {1, -1, -1};
  const std::vector<int32_t> codes = CubeValueCodes(values, 2, 2, 2, dirs, 0, 7);
  auto at = [&codes](int x, int y, int z) { return codes[static_cast<size_t>((z * 2 + y) * 2 + x)]; };
  EXPECT_EQ(at(0, 1, 1), 0);     // the first stored value
  EXPECT_EQ(at(1, 0, 0), 65534); // the last stored value
  EXPECT_EQ(at(1, 1, 1), CubeValueCode(1, 0, 7, CubeCodeFactor(0, 7)));
}

TEST(CubeResampleTable, SpreadsSamplesOverTheCells)
{
  for (const TCubeResample& e : CubeResampleTable(1, 600, 1)) {
    EXPECT_EQ(e.i0, 0);
    EXPECT_EQ(e.i1, 0);
  }
  const std::vector<TCubeResample> table = CubeResampleTable(4, 8, 10);
  // Sample 0 lies before the first cell centre, sample 3 just after the second.
  EXPECT_EQ(table[0].i0, 0);
  EXPECT_EQ(table[0].t, 0);
  EXPECT_EQ(table[3].i0, 10);
  EXPECT_EQ(table[3].i1, 20);
  EXPECT_DOUBLE_EQ(table[3].t, 0.25);
  EXPECT_DOUBLE_EQ(table[3].w0, 0.75);
  EXPECT_EQ(table[7].i0, 30);
  EXPECT_EQ(table[7].i1, 30);
}

} // namespace
