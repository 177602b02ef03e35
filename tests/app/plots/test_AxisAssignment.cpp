#include "plots/AxisAssignment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t Current = 1;
constexpr int32_t Voltage = 2;
constexpr int32_t Energy = 3;

TEST(AxisAssignment, ANewUnitTakesTheLeftAxisAndPushesTheOldOneRight)
{
  TAxisLists<std::string> lists;
  TPlotSettings s;
  s.YMin = {-1, -2};
  s.YMax = {10, 20};
  SelectByUnit(lists, s, Current, std::string("I gen"));
  SelectByUnit(lists, s, Current, std::string("I gap"));
  EXPECT_EQ(lists[0], (std::vector<std::string>{"I gen", "I gap"}));
  EXPECT_EQ(s.AxisQuantity, (std::array<int32_t, 2>{Current, -1}));

  SelectByUnit(lists, s, Voltage, std::string("U"));
  EXPECT_EQ(lists[0], std::vector<std::string>{"U"});
  EXPECT_EQ(lists[1], (std::vector<std::string>{"I gen", "I gap"}));
  EXPECT_EQ(s.AxisQuantity, (std::array<int32_t, 2>{Voltage, Current}));
  EXPECT_EQ(s.YMax[1], 10); // the current keeps its manual limits on the right

  SelectByUnit(lists, s, Current, std::string("I third"));
  EXPECT_EQ(lists[1].size(), 3u);

  SelectByUnit(lists, s, Energy, std::string("W"));
  EXPECT_EQ(lists[0], std::vector<std::string>{"W"});
  EXPECT_EQ(lists[1], std::vector<std::string>{"U"});
  EXPECT_EQ(s.AxisQuantity, (std::array<int32_t, 2>{Energy, Voltage}));
}

TEST(AxisAssignment, AnEmptiedLeftAxisTakesTheRightOnesCurvesAndLimits)
{
  TAxisLists<std::string> lists;
  TPlotSettings s;
  SelectByUnit(lists, s, Current, std::string("I"));
  SelectByUnit(lists, s, Voltage, std::string("U"));
  s.YMin[1] = -7;
  DeselectByUnit(lists, s, Voltage, std::string("U"));
  EXPECT_EQ(s.AxisQuantity, (std::array<int32_t, 2>{-1, Current}));
  EXPECT_TRUE(CompactAxes(lists, s));
  EXPECT_EQ(lists[0], std::vector<std::string>{"I"});
  EXPECT_TRUE(lists[1].empty());
  EXPECT_EQ(s.AxisQuantity, (std::array<int32_t, 2>{Current, -1}));
  EXPECT_EQ(s.YMin[0], -7);
  DeselectByUnit(lists, s, Current, std::string("I"));
  EXPECT_FALSE(CompactAxes(lists, s));
}

} // namespace
