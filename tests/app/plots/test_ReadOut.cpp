#include "plots/ReadOut.h"

#include <melisco.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TChartSeries DataSeries(const char* title, int axis, std::vector<QPointF> points, uint32_t colour = 0xFF0000)
{
  TChartSeries s;
  s.title = QString::fromUtf8(title);
  s.axis = axis;
  s.colour = colour;
  s.points = std::move(points);
  return s;
}

std::vector<QString> Column(const std::vector<TReadOutRow>& rows, bool labels)
{
  std::vector<QString> out;
  for (const TReadOutRow& r : rows)
    out.push_back(labels ? r.label : r.value);
  return out;
}

TEST(ReadOut, RowsFollowTheSeriesWithAnAxisRowBeforeEachAxis)
{
  TChartSeries legend = DataSeries("legend only", 0, {});
  legend.tag = SeriesTagLegend;
  std::vector<TChartSeries> series = {DataSeries("U (kV)", 0, {{0, 1}, {2, 3}}), legend,
                                      DataSeries("I (A)", 1, {{0, 10}, {2, 30}})};
  TPlotAxisState state;
  auto rows = ReadOutRows(series, {1, {2, 20}}, "t, s", {"U, kV", "I"}, state);
  EXPECT_EQ(Column(rows, true), (std::vector<QString>{"t, s", "U, kV", "U, kV", "I, ", "I, A"}));
  EXPECT_EQ(Column(rows, false), (std::vector<QString>{"1", "2", "2", "20", "20"}));
  EXPECT_EQ(rows[0].colour, 0xFFFFFFu);
  EXPECT_EQ(rows[2].colour, MixColor(0xFF0000, 0xFFFFFF, 0xE000, 0) & 0xFFFFFF);
}

TEST(ReadOut, SeriesValuesAreInterpolatedAtTheMouseX)
{
  std::vector<TChartSeries> series = {DataSeries("a", 0, {{1, 10}, {3, 20}, {5, 40}})};
  struct Case {
    double x;
    const char* value;
  };
  const Case cases[] = {{0, "10"}, {1, "10"}, {2, "15"}, {4, "30"}, {5, "40"}, {9, "40"}};
  for (const Case& c : cases) {
    auto rows = ReadOutRows(series, {c.x, {0, 0}}, "x", {"y", ""}, {});
    EXPECT_EQ(rows.back().value, c.value) << c.x;
  }
}

TEST(ReadOut, ValuesReturnToDataUnits)
{
  std::vector<TChartSeries> series = {DataSeries("a", 0, {{0, 1}, {1, 2}}), DataSeries("b", 1, {{0, 1}, {1, 2}})};
  TPlotAxisState state;
  state.LogActive = {true, false};
  state.YMultiplier = {1, 1000};
  auto rows = ReadOutRows(series, {0, {2, 0.5}}, "x", {"y", "z"}, state);
  EXPECT_EQ(Column(rows, false), (std::vector<QString>{"0", "100", "10", "500", "1000"}));
  state.LogNegative[0] = true;
  rows = ReadOutRows(series, {0, {2, 0.5}}, "x", {"y", "z"}, state);
  EXPECT_EQ(rows[1].value, "-100");
  EXPECT_EQ(rows[2].value, "-10");
}

TEST(ReadOut, ASeriesWithoutPointsShowsNoValue)
{
  auto rows = ReadOutRows({DataSeries("a", 0, {})}, {0, {0, 0}}, "x", {"y", ""}, {});
  EXPECT_EQ(rows.back().value, "");
}

TEST(ReadOut, TitlesSplitIntoNameAndUnit)
{
  struct Case {
    const char* title;
    const char* name;
    const char* unit;
  };
  const Case series[] = {
    {"Ток генератора (А)", "Ток генератора", "А"}, {"Длина", "Длина", ""}, {" a ) b (c", "a ) b (c", ""}};
  for (const Case& c : series) {
    TNameUnit parts = SplitSeriesTitle(QString::fromUtf8(c.title));
    EXPECT_EQ(parts.name, QString::fromUtf8(c.name));
    EXPECT_EQ(parts.unit, QString::fromUtf8(c.unit));
  }
  TNameUnit axis = SplitAxisTitle("Напряжение, 1000 В");
  EXPECT_EQ(axis.name, "Напряжение");
  EXPECT_EQ(axis.unit, "1000 В");
  EXPECT_EQ(SplitAxisTitle("Время").unit, "");
}

} // namespace
