#include "PlotFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double NoValue = 1e300;
constexpr TClientSize Client{400, 250};

TChartDescription Build(const TPlotInput& input, const TPlotSettings& settings = {}, TClientSize client = Client)
{
  return BuildChart(settings, input, client);
}

TEST(ChartBuilder, NothingIsDrawnBeforeTheKindIsReadyOrWithoutData)
{
  for (bool ready : {false, true}) {
    TPlotInput input = MakeInput({MakeSeries({0, 1}, {1, 2})});
    input.ready = ready;
    input.hasData = !ready;
    TChartDescription d = Build(input);
    EXPECT_FALSE(d.built);
    EXPECT_TRUE(d.series.empty());
    EXPECT_FALSE(d.title.visible);
    EXPECT_TRUE(d.autoCaption.isEmpty());
  }
}

TEST(ChartBuilder, SeriesKeepTheirAxisAndGetALegendEntry)
{
  TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 2}, "U (V)")}, {MakeSeries({0, 1}, {3, 4}, "I (A)")}));
  ASSERT_TRUE(d.built);
  const TChartSeries* u = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line);
  const TChartSeries* i = NthSeries(d, SeriesTagData, 1, TChartSeriesKind::Line);
  ASSERT_TRUE(u && i);
  EXPECT_EQ(u->axis, 0);
  EXPECT_EQ(i->axis, 1);
  EXPECT_FALSE(u->showInLegend);
  int legendEntries = 0;
  for (const TChartSeries& s : d.series)
    if (s.showInLegend) {
      EXPECT_EQ(s.tag, SeriesTagLegend);
      EXPECT_TRUE(s.points.empty());
      ++legendEntries;
    }
  EXPECT_EQ(legendEntries, 2);
  EXPECT_EQ(d.y[0].title, "U, V");
  EXPECT_EQ(d.y[1].title, "I, A");
}

TEST(ChartBuilder, StyleCodesGiveTheirSeries)
{
  struct Expected {
    TChartSeriesKind kind;
    int32_t tag;
    bool inLegend;
    bool pointer;
  };
  using K = TChartSeriesKind;
  const std::vector<std::pair<int32_t, std::vector<Expected>>> cases = {
    {SeriesStyle::Points, {{K::Points, SeriesTagLegend, true, true}, {K::Points, SeriesTagData, false, true}}},
    {SeriesStyle::Line, {{K::Line, SeriesTagData, false, false}, {K::Line, SeriesTagLegend, true, false}}},
    {SeriesStyle::LineAndPoints,
     {{K::Line, SeriesTagData, false, false}, {K::Line, SeriesTagLegend, true, true},
      {K::Points, SeriesTagLegend, false, true}}},
    {SeriesStyle::Bars, {{K::Points, SeriesTagLegend, true, false}, {K::Bars, SeriesTagData, false, false}}},
  };
  for (const auto& [code, expected] : cases) {
    SCOPED_TRACE(code);
    TChartDescription d = Build(MakeInput({MakeSeries({0, 1, 2}, {1, 2, 3}, "a", code)}));
    ASSERT_EQ(d.series.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(d.series[i].kind, expected[i].kind);
      EXPECT_EQ(d.series[i].tag, expected[i].tag);
      EXPECT_EQ(d.series[i].showInLegend, expected[i].inLegend);
      EXPECT_EQ(d.series[i].pointerVisible, expected[i].pointer);
      EXPECT_EQ(d.series[i].points.size(), expected[i].inLegend ? 0u : 3u);
    }
  }
}

TEST(ChartBuilder, LinearAxisDividesByItsDecadeAndPrefixesTheUnit)
{
  struct Case {
    double low, high;
    double multiplier;
    const char* title;
  };
  const Case cases[] = {
    {0, 25000, 1e4, "U, 1E+4 V"}, {0, 2500, 1000, "U, 1000 V"},  {-0.025, 0.01, 0.01, "U, 0.01 V"},
    {0, 2.5e-5, 1e-5, "U, 1E-5 V"}, {1, 5, 1, "U, V"},
  };
  for (const Case& c : cases) {
    TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {c.low, c.high})}));
    SCOPED_TRACE(c.title);
    EXPECT_DOUBLE_EQ(d.axisState.YMultiplier[0], c.multiplier);
    EXPECT_EQ(d.y[0].title, c.title);
    const TChartSeries* s = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line);
    EXPECT_NEAR(s->points[1].y(), c.high / c.multiplier, 1e-12);
    // The automatic limits stay in data units; the axis is widened by 5 % each way.
    EXPECT_DOUBLE_EQ(d.settings.YMax[0], c.high);
    EXPECT_NEAR(d.y[0].max * c.multiplier, c.high + 0.05 * (c.high - c.low), 1e-9 * std::fabs(c.high));
  }
}

TEST(ChartBuilder, ManualLinearLimitsTakeTheirOwnMultiplierUnwidened)
{
  TPlotSettings settings;
  settings.AutoY[0] = false;
  settings.YMin[0] = -3000;
  settings.YMax[0] = 2000;
  TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 2})}), settings);
  EXPECT_DOUBLE_EQ(d.axisState.YMultiplier[0], 1000);
  EXPECT_DOUBLE_EQ(d.y[0].min, -3);
  EXPECT_DOUBLE_EQ(d.y[0].max, 2);
}

TEST(ChartBuilder, LogarithmicAxes)
{
  struct Case {
    const char* what;
    std::vector<double> y;
    bool negative;
    const char* title;
    std::vector<double> drawn; // log10 values drawn
    double low, high;          // range before widening, in log units
  };
  const Case cases[] = {
    {"positive", {1, 10, 1000}, false, "U, Lg(V)", {0, 1, 3}, 0, 3},
    {"negative only", {-1, -100}, true, "U, Lg(-V)", {0, 2}, 0, 2},
    {"mixed drops negatives and zeros", {-5, 0, 10, 100}, false, "U, Lg(V)", {1, 2}, 1, 2},
    {"zeros only", {0, 0}, false, "U, Lg(V)", {}, 0, 0},
  };
  TPlotSettings settings;
  settings.LogY[0] = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<double> x(c.y.size());
    for (size_t i = 0; i < x.size(); ++i)
      x[i] = static_cast<double>(i);
    TChartDescription d = Build(MakeInput({MakeSeries(x, c.y)}), settings);
    EXPECT_TRUE(d.axisState.LogActive[0]);
    EXPECT_EQ(d.axisState.LogNegative[0], c.negative);
    EXPECT_EQ(d.y[0].title, c.title);
    const TChartSeries* s = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line);
    ASSERT_EQ(s->points.size(), c.drawn.size());
    for (size_t i = 0; i < c.drawn.size(); ++i)
      EXPECT_NEAR(s->points[i].y(), c.drawn[i], 1e-12);
    double w = c.high - c.low;
    double expectLow = w > 0 ? c.low - 0.05 * w : c.low - 0.005 * std::max(1.0, std::fabs(c.low));
    EXPECT_NEAR(d.y[0].min, expectLow, 1e-9);
  }
}

TEST(ChartBuilder, ManualLogarithmicLimitsNeverGiveAnInfiniteRange)
{
  struct Case {
    double min, max;
    std::vector<double> y;
  };
  const Case cases[] = {{0, 100, {1, 100}}, {-5, -1, {1, 100}}, {-10, 0, {-1, -100}}, {0.1, 0, {-1, -100}}};
  for (const Case& c : cases) {
    TPlotSettings settings;
    settings.LogY[0] = true;
    settings.AutoY[0] = false;
    settings.YMin[0] = c.min;
    settings.YMax[0] = c.max;
    TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, c.y)}), settings);
    SCOPED_TRACE(c.min);
    EXPECT_TRUE(std::isfinite(d.y[0].min));
    EXPECT_TRUE(std::isfinite(d.y[0].max));
    // The user's limits stay as typed.
    EXPECT_EQ(d.settings.YMin[0], c.min);
  }
  TPlotSettings valid;
  valid.LogY[0] = true;
  valid.AutoY[0] = false;
  valid.YMin[0] = 0.01;
  valid.YMax[0] = 1000;
  TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 2})}), valid);
  EXPECT_DOUBLE_EQ(d.y[0].min, -2);
  EXPECT_DOUBLE_EQ(d.y[0].max, 3);
}

TEST(ChartBuilder, AnAxisWithoutSeriesSpansMinusOneToOneAndIsHiddenWhenUnused)
{
  TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 2})}));
  EXPECT_FALSE(d.y[1].visible);
  EXPECT_DOUBLE_EQ(d.y[1].min, -1.1);
  EXPECT_DOUBLE_EQ(d.y[1].max, 1.1);
  EXPECT_TRUE(d.y[0].visible);
}

TEST(ChartBuilder, MissingValuesAreSkippedWithoutBreakingTheMarkerPhase)
{
  std::vector<double> x, y1, y2;
  for (int i = 0; i < 16; ++i) {
    x.push_back(i);
    y1.push_back(i == 3 ? NoValue : i);
    y2.push_back(i);
  }
  x.insert(x.begin() + 2, NoValue);
  y2.insert(y2.begin() + 2, 5);
  y1.insert(y1.begin() + 2, 5);
  TPlotInput input = MakeInput({MakeSeries(x, y1, "a", SeriesStyle::LineAndPoints, 5),
                                MakeSeries(x, y2, "b", SeriesStyle::LineAndPoints, 5)});
  TChartDescription d = Build(input);
  const TChartSeries* line = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line);
  ASSERT_EQ(line->points.size(), 15u); // 17 values, one missing X, one missing Y
  auto markerXs = [&](int n) {
    std::vector<double> xs;
    for (const QPointF& p : NthSeries(d, SeriesTagLegend, n, TChartSeriesKind::Points)->points)
      xs.push_back(p.x());
    return xs;
  };
  // Drawn points 0, 5, 10 of the first series (x 3 is missing) and 4, 9, 14 of the second.
  EXPECT_EQ(markerXs(0), (std::vector<double>{0, 6, 11}));
  EXPECT_EQ(markerXs(1), (std::vector<double>{4, 9, 14}));
}

TEST(ChartBuilder, MarkerStepFollowsTheWidthAndSurvivesAZeroWidth)
{
  std::vector<double> x(1000), y(1000);
  for (int i = 0; i < 1000; ++i)
    x[i] = y[i] = i;
  struct Case {
    int width;
    int32_t step;
    size_t markers;
  };
  // Step -4 at width 400: a marker on every 1 + 4 * 1000 / 400 = 11th point.
  const Case cases[] = {{400, -4, 91}, {1000, 0, 1000}, {0, -1, 1}, {-5, -2, 1}};
  for (const Case& c : cases) {
    TChartDescription d = Build(MakeInput({MakeSeries(x, y, "a", SeriesStyle::Points, c.step)}), {}, {c.width, 250});
    SCOPED_TRACE(c.width);
    const TChartSeries* markers = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Points);
    ASSERT_NE(markers, nullptr);
    EXPECT_EQ(markers->points.size(), c.markers);
  }
}

TEST(ChartBuilder, AutomaticXLimitsOfEqualValuesSpanOneUnit)
{
  TChartDescription d = Build(MakeInput({MakeSeries({2, 2}, {1, 2})}));
  EXPECT_DOUBLE_EQ(d.bottom.min, 1.5);
  EXPECT_DOUBLE_EQ(d.bottom.max, 2.5);
  EXPECT_DOUBLE_EQ(d.settings.XMin, 1.5);

  TPlotSettings manual;
  manual.AutoXMin = manual.AutoXMax = false;
  manual.XMin = -10;
  manual.XMax = 30;
  d = Build(MakeInput({MakeSeries({2, 3}, {1, 2})}), manual);
  EXPECT_DOUBLE_EQ(d.bottom.min, -10);
  EXPECT_DOUBLE_EQ(d.bottom.max, 30);
}


// Automatic limits keep 6 significant digits, but never at the cost of a point:
// a needle run's logged sizes end in digits that nearest rounding moves inward.
TEST(ChartBuilder, RoundedAutomaticLimitsKeepEveryPointInside)
{
  const std::vector<std::vector<double>> runs = {
    {-1.2345649, 0.5, 2.7182849},
    {2.302585093, 2.995732274, 3.401197382, 3.688879454},
    {-3.9999996, -2.0000004},
    {0.99999996, 1.00000004},
    {123456.44, 987654.46},
    {-4.5e-7, 9.9999951e-3},
  };
  for (const std::vector<double>& x : runs) {
    SCOPED_TRACE(x.front());
    std::vector<double> y(x.size(), 1.0);
    for (size_t i = 0; i < y.size(); ++i)
      y[i] = x[i] * 3 + 0.1234564;
    TChartDescription d = Build(MakeInput({MakeSeries(x, y, "a", SeriesStyle::Points)}));
    for (const TChartSeries& s : d.series)
      for (const QPointF& p : s.points) {
        EXPECT_GE(p.x(), d.bottom.min);
        EXPECT_LE(p.x(), d.bottom.max);
        EXPECT_GE(p.y(), d.y[0].min);
        EXPECT_LE(p.y(), d.y[0].max);
      }
    // Still short numbers: at most 6 significant digits.
    for (double limit : {d.bottom.min, d.bottom.max}) {
      char text[64];
      std::snprintf(text, sizeof text, "%.6g", limit);
      EXPECT_EQ(std::strtod(text, nullptr), limit);
    }
  }
}
TEST(ChartBuilder, XTransformationAndShiftApplyToPointsAndLimits)
{
  TPlotInput input = MakeInput({MakeSeries({10, 20}, {1, 2}), MakeSeries({30, 40}, {1, 2})});
  input.xAxis = {"t, ms", 5, 1000};
  TChartDescription plain = Build(input);
  EXPECT_DOUBLE_EQ(NthSeries(plain, SeriesTagData, 0, TChartSeriesKind::Line)->points[0].x(), 5000);
  EXPECT_DOUBLE_EQ(plain.bottom.min, 5000);
  EXPECT_DOUBLE_EQ(plain.bottom.max, 35000);
  EXPECT_EQ(plain.bottom.title, "t, ms");

  TPlotSettings first;
  first.XShiftMode = 1;
  TChartDescription d = Build(input, first);
  EXPECT_DOUBLE_EQ(NthSeries(d, SeriesTagData, 1, TChartSeriesKind::Line)->points[0].x(), -5000);
  EXPECT_DOUBLE_EQ(d.settings.XShift, 30);

  TPlotSettings given;
  given.XShiftMode = 2;
  given.XShift = 10;
  d = Build(input, given);
  EXPECT_DOUBLE_EQ(NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line)->points[0].x(), -5000);
  EXPECT_DOUBLE_EQ(NthSeries(d, SeriesTagData, 1, TChartSeriesKind::Line)->points[1].x(), 25000);
}

TEST(ChartBuilder, DateAxisIncrementsAndLabels)
{
  struct Case {
    double from, to;
    double increment;
    const char* firstLabel;
  };
  const double jan2000 = 36526; // 1 January 2000
  const Case cases[] = {
    {jan2000, jan2000 + 1500, 360, "2000"},
    {jan2000, jan2000 + 6, 1, "01.01.2000"},
    {jan2000 + 0.25, jan2000 + 0.5, 1.0 / 1440, "06:00"},
  };
  TPlotSettings settings;
  settings.XDates = true;
  settings.AutoXMin = settings.AutoXMax = false;
  for (const Case& c : cases) {
    settings.XMin = c.from;
    settings.XMax = c.to;
    TChartDescription d = Build(MakeInput({MakeSeries({c.from, c.to}, {1, 2})}), settings);
    SCOPED_TRACE(c.firstLabel);
    EXPECT_DOUBLE_EQ(d.bottom.increment, c.increment);
    ASSERT_FALSE(d.bottom.ticks.empty());
    EXPECT_EQ(d.bottom.ticks.front().text, c.firstLabel);
    EXPECT_TRUE(d.dates);
  }
}

TEST(ChartBuilder, ColoursCycleWithoutWhiteOrAreBlackInMonochrome)
{
  std::vector<TPlotSeries> many;
  for (int i = 0; i < 17; ++i)
    many.push_back(MakeSeries({0, 1}, {1, 2}));
  TChartDescription d = Build(MakeInput(many));
  for (int i = 0; i < 17; ++i)
    EXPECT_NE(NthSeries(d, SeriesTagData, i, TChartSeriesKind::Line)->colour, 0xFFFFFFu) << i;
  EXPECT_EQ(NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Line)->colour, SeriesColour(0));
  EXPECT_EQ(SeriesColour(15), SeriesColour(0));

  TPlotSettings mono;
  mono.Monochrome = true;
  d = Build(MakeInput(many), mono);
  EXPECT_EQ(NthSeries(d, SeriesTagData, 3, TChartSeriesKind::Line)->colour, 0u);
  EXPECT_FALSE(d.gradientVisible);
  EXPECT_EQ(d.gridColour, 0u);
}

TEST(ChartBuilder, EmptySeriesTakeNoColourIndex)
{
  TChartDescription d =
    Build(MakeInput({MakeSeries({}, {}), MakeSeries({0, 1}, {1, 2}, "b", SeriesStyle::Points)}));
  const TChartSeries* b = NthSeries(d, SeriesTagData, 0, TChartSeriesKind::Points);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->colour, SeriesColour(0));
  EXPECT_EQ(b->pointerStyle, 0);
}

TEST(ChartBuilder, TitlesLegendAndCaption)
{
  TPlotInput input = MakeInput({MakeSeries({0, 1}, {1, 2})});
  TChartDescription d = Build(input);
  EXPECT_EQ(d.title.text, "default title");
  EXPECT_FALSE(d.title.inFoot);
  EXPECT_EQ(d.autoCaption, "default caption");
  EXPECT_TRUE(d.legendVisible);
  EXPECT_EQ(d.legendAlignment, laBottom);

  input.axisTitles.caption = "Вр. граф.: U";
  TPlotSettings settings;
  settings.ChartTitle = "mine";
  settings.TitlePosition = 1;
  settings.TitleAlignment = taLeftJustify;
  settings.ShowLegend = false;
  settings.LegendAlignment = laLeft;
  settings.YTitle[0] = "custom";
  settings.XTitle = "x custom";
  d = Build(input, settings);
  EXPECT_EQ(d.autoCaption, "Вр. граф.: U");
  EXPECT_EQ(d.title.text, "mine");
  EXPECT_TRUE(d.title.inFoot);
  EXPECT_EQ(d.title.alignment, taLeftJustify);
  EXPECT_FALSE(d.legendVisible);
  EXPECT_EQ(d.y[0].title, "custom");
  EXPECT_EQ(d.bottom.title, "x custom");

  settings.ChartTitle.clear();
  d = Build(input, settings);
  EXPECT_EQ(d.title.text, "Вр. граф.: U");
  settings.ShowTitle = false;
  EXPECT_FALSE(Build(input, settings).title.visible);
}

TEST(ChartBuilder, AxisLabelTexts)
{
  struct Case {
    double v, min, max;
    int digits;
    const char* text;
  };
  const Case cases[] = {
    {0.5, 0, 1, 4, "0.5"},
    {0.30000000000000004, 0, 1, 4, "0.3"},
    {1.23456789012, 0, 2, 4, "1.235"},
    {1.234567e-17, -1, 1, 4, "0"},
    {2500, 0, 5000, 4, "2500"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AxisLabelText(c.v, c.min, c.max, c.digits), c.text) << c.v;
}

TEST(ChartBuilder, TicksFitTheClientAndCarryTheirLabels)
{
  TChartDescription d = Build(MakeInput({MakeSeries({0, 100}, {0, 1})}), {}, {320, 250});
  ASSERT_GE(d.bottom.ticks.size(), 2u);
  EXPECT_LE(d.bottom.ticks.size(), 5u);
  for (const TAxisTick& tick : d.bottom.ticks) {
    EXPECT_GE(tick.value, d.bottom.min - 1e-9);
    EXPECT_LE(tick.value, d.bottom.max + 1e-9);
    EXPECT_EQ(tick.text, AxisLabelText(tick.value, d.bottom.min, d.bottom.max, 4));
  }
}

} // namespace

namespace {

// The bars series of a build in their order.
std::vector<const TChartSeries*> BarSeries(const TChartDescription& d)
{
  std::vector<const TChartSeries*> bars;
  for (const TChartSeries& s : d.series)
    if (s.kind == TChartSeriesKind::Bars)
      bars.push_back(&s);
  return bars;
}

TEST(ChartBuilder, BarsShareTheirPlaceAsTheMultiBarSays)
{
  struct Case {
    int32_t multiBar;
    std::vector<double> firstBase, firstTop, secondBase, secondTop;
    double axisMax; // the automatic upper limit before widening
  };
  // Two bar series at x 0 and 1: {1, 3} and {2, 1}.
  const Case cases[] = {
    {mbNone, {0, 0}, {1, 3}, {0, 0}, {2, 1}, 3},
    {mbSide, {0, 0}, {1, 3}, {0, 0}, {2, 1}, 3},
    {mbStacked, {0, 0}, {1, 3}, {1, 3}, {3, 4}, 4},
    {mbStacked100, {0, 0}, {100.0 / 3, 75}, {100.0 / 3, 75}, {100, 100}, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.multiBar);
    TPlotSettings settings;
    settings.MultiBar = c.multiBar;
    TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 3}, "a", SeriesStyle::Bars),
                                           MakeSeries({0, 1}, {2, 1}, "b", SeriesStyle::Bars)}),
                                settings);
    const auto bars = BarSeries(d);
    ASSERT_EQ(bars.size(), 2u);
    for (size_t j = 0; j < 2; ++j) {
      EXPECT_NEAR(bars[0]->barBase[j], c.firstBase[j], 1e-9) << j;
      EXPECT_NEAR(bars[0]->barTop[j], c.firstTop[j], 1e-9) << j;
      EXPECT_NEAR(bars[1]->barBase[j], c.secondBase[j], 1e-9) << j;
      EXPECT_NEAR(bars[1]->barTop[j], c.secondTop[j], 1e-9) << j;
    }
    // The points keep the series' own values for the read-out and the data view.
    EXPECT_EQ(bars[1]->points[0], QPointF(0, 2));
    EXPECT_DOUBLE_EQ(d.settings.YMax[0], c.axisMax);
    EXPECT_GT(d.y[0].max, c.axisMax);
  }
}

TEST(ChartBuilder, StacksKeepToTheirAxisAndToEqualX)
{
  TPlotSettings settings;
  settings.MultiBar = mbStacked;
  TChartDescription d = Build(MakeInput({MakeSeries({0, 1}, {1, 3}, "a", SeriesStyle::Bars),
                                         MakeSeries({0, 2}, {2, 5}, "b", SeriesStyle::Bars)},
                                        {MakeSeries({0}, {7}, "c", SeriesStyle::Bars)}),
                              settings);
  const auto bars = BarSeries(d);
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[1]->barBase, (std::vector<double>{1, 0})); // x 2 has nothing below it
  EXPECT_EQ(bars[1]->barTop, (std::vector<double>{3, 5}));
  EXPECT_EQ(bars[2]->barBase, std::vector<double>{0}); // the right axis stacks alone
}

TEST(ChartBuilder, PanningMovesTheAxesAndRelabelsThem)
{
  TPlotSettings settings;
  settings.AutoXMin = settings.AutoXMax = settings.AutoY[0] = false;
  settings.XMin = 0;
  settings.XMax = 10;
  settings.YMin[0] = 0;
  settings.YMax[0] = 1;
  TChartDescription d = Build(MakeInput({MakeSeries({0, 10}, {0, 1})}), settings);
  ASSERT_EQ(d.bottom.ticks.back().value, 10);
  PanChart(d, 25, {-0.5, 2}, Client);
  EXPECT_DOUBLE_EQ(d.bottom.min, 25);
  EXPECT_DOUBLE_EQ(d.bottom.max, 35);
  EXPECT_DOUBLE_EQ(d.y[0].min, -0.5);
  EXPECT_DOUBLE_EQ(d.y[0].max, 0.5);
  ASSERT_FALSE(d.bottom.ticks.empty());
  for (const TChartAxis* axis : {&d.bottom, &d.y[0]}) {
    ASSERT_FALSE(axis->ticks.empty());
    EXPECT_GE(axis->ticks.front().value, axis->min);
    EXPECT_LE(axis->ticks.back().value, axis->max);
  }
  EXPECT_EQ(d.bottom.ticks.back().text, "34");
  EXPECT_EQ(d.y[0].ticks.front().text, "-0.4");
  EXPECT_EQ(d.settings.XMin, 0); // a pan leaves the stored limits alone

  TPlotInput noData = MakeInput({MakeSeries({0, 10}, {0, 1})});
  noData.hasData = false;
  TChartDescription empty = Build(noData);
  PanChart(empty, 5, {5, 5}, Client);
  EXPECT_EQ(empty.bottom.min, 0);
  EXPECT_TRUE(empty.bottom.ticks.empty());
}

} // namespace
