#include "plots/series/SeriesMerge.h"

#include "SeriesTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

using TPoints = std::vector<std::pair<double, double>>;
using TCells = std::vector<std::optional<double>>;

struct TMergeCase {
  const char* name;
  std::vector<TPoints> series;
  std::vector<double> times;
  std::vector<TCells> values;
};

class SeriesMergeTest : public ::testing::TestWithParam<TMergeCase> {};

TEST_P(SeriesMergeTest, RowsPerDistinctTime)
{
  const TMergeCase& c = GetParam();
  std::vector<std::unique_ptr<TTimeSerie>> owned;
  std::vector<const TTimeSerie*> series;
  for (const TPoints& points : c.series) {
    owned.push_back(MakeSerie(points));
    series.push_back(owned.back().get());
  }
  const std::vector<TMergedRow> rows = MergeSeriesByTime(series);
  ASSERT_EQ(rows.size(), c.times.size());
  for (size_t n = 0; n < rows.size(); ++n) {
    EXPECT_EQ(rows[n].Time, c.times[n]) << "row " << n;
    EXPECT_EQ(rows[n].Values, c.values[n]) << "row " << n;
  }
}

const std::optional<double> None;

INSTANTIATE_TEST_SUITE_P(
    Cases, SeriesMergeTest,
    ::testing::Values(
        TMergeCase{"DifferentTimes",
                   {{{0, 1}, {10, 2}, {20, 3}}, {{10, 5}, {30, 6}}},
                   {0, 10, 20, 30},
                   {{1.0, None}, {2.0, 5.0}, {3.0, None}, {None, 6.0}}},
        TMergeCase{"OnlyExactTimesMerge",
                   {{{10, 1}}, {{10.0000001, 2}}},
                   {10, 10.0000001},
                   {{1.0, None}, {None, 2.0}}},
        TMergeCase{"RepeatedTimeInOneSeriesKeepsBothRows",
                   {{{5, 1}, {5, 2}}, {{5, 3}}},
                   {5, 5},
                   {{1.0, 3.0}, {2.0, None}}},
        // Times that have no place in the order are left out, and the walk
        // ends however they lie.
        TMergeCase{"NaNAndInfiniteTimesDropped",
                   {{{NaN, 1}, {5, 2}, {Inf, 3}}, {{-Inf, 4}, {NaN, 5}}},
                   {5},
                   {{2.0, None}}},
        TMergeCase{"OnlyUnorderableTimes", {{{NaN, 1}}, {{Inf, 2}}}, {}, {}},
        TMergeCase{"NoPoints", {{}, {}}, {}, {}},
        TMergeCase{"HugeTimesAreOrdinary",
                   {{{1e300, 1}}, {{2e300, 2}}},
                   {1e300, 2e300},
                   {{1.0, None}, {None, 2.0}}}),
    [](const ::testing::TestParamInfo<TMergeCase>& info) { return std::string(info.param.name); });

TEST(SeriesMerge, NullSeriesCountsAsEmpty)
{
  auto serie = MakeSerie({{1, 7}});
  const std::vector<TMergedRow> rows = MergeSeriesByTime({nullptr, serie.get()});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Values, (TCells{None, 7.0}));
}

} // namespace
