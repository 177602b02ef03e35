#include "plots/SeriesDataView.h"

#include <gtest/gtest.h>

namespace {

TChartDescription TwoSeries()
{
  TChartDescription d;
  TChartSeries a;
  a.title = "Напряжение (В)";
  a.axis = 0;
  a.points = {{0.5, 2}, {1, 3}};
  TChartSeries legend;
  legend.tag = SeriesTagLegend;
  TChartSeries b;
  b.title = "Длина";
  b.axis = 1;
  b.points = {{0.5, 1}};
  d.series = {a, legend, b};
  d.axisState.YMultiplier = {1000, 1};
  d.axisState.LogActive = {false, true};
  return d;
}

TEST(SeriesDataView, OneSeriesKeepsItsUnitAndNamesTheWindow)
{
  TSeriesDataRequest r = MakeSeriesDataRequest(TwoSeries(), {0}, "Время, с");
  ASSERT_EQ(r.series.size(), 1u);
  EXPECT_EQ(r.caption, "Напряжение");
  EXPECT_EQ(r.timeTitle, "Время\nс");
  EXPECT_EQ(r.timeFormat, 220);
  const TTimeSerie& s = *r.series[0];
  EXPECT_EQ(s.GetCount(), 2);
  EXPECT_EQ(s.firstCaption, "");
  EXPECT_EQ(s.secondCaption, "В");
}

TEST(SeriesDataView, SeveralSeriesAreNamedAndValuesReturnToDataUnits)
{
  TChartDescription d = TwoSeries();
  d.settings.XDates = true;
  TSeriesDataRequest r = MakeSeriesDataRequest(d, {0, 2}, "Время");
  ASSERT_EQ(r.series.size(), 2u);
  EXPECT_EQ(r.caption, "Данные серий");
  EXPECT_EQ(r.timeTitle, "Время");
  EXPECT_EQ(r.timeFormat, 2);
  EXPECT_EQ(r.series[0]->firstCaption, "Напряжение");
  EXPECT_EQ(r.series[1]->firstCaption, "Длина");
  EXPECT_EQ(r.series[1]->secondCaption, "");
  // Linear axis: multiplied back; logarithmic axis: 10 raised to the value; dates in seconds.
  double time = 0, value = 0;
  ASSERT_TRUE(r.series[0]->GetPoint(1, time, value));
  EXPECT_DOUBLE_EQ(value, 3000);
  ASSERT_TRUE(r.series[0]->GetPoint(0, time, value));
  EXPECT_DOUBLE_EQ(time, 0.5 * 86400);
  ASSERT_TRUE(r.series[1]->GetPoint(0, time, value));
  EXPECT_DOUBLE_EQ(value, 10);
}

} // namespace
