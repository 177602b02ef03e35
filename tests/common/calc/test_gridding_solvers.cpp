#include "calc/GriddingSolvers.h"
#include "calc/TrendPlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Data {
    std::vector<double> x, y, z;
    int Count() const { return static_cast<int>(x.size()); }
};

Data RandomData(int n, unsigned seed, double (*field)(double, double))
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(0, 10);
    Data d;
    for (int i = 0; i < n; ++i) {
        d.x.push_back(u(gen));
        d.y.push_back(u(gen));
        d.z.push_back(field(d.x.back(), d.y.back()));
    }
    return d;
}

double Wave(double x, double y) { return std::sin(x) * std::cos(0.7 * y) + 0.1 * x; }
double Plane(double x, double y) { return 3 - 0.5 * x + 2 * y; }

const double Rect[4] = {0, 10, 0, 10};

struct BlockSettings {
    int blockLimit, neighbourMinimum, singleLimit;
    const char* name;
};
// One system over all data, and blocks with neighbours.
const BlockSettings Settings[] = {{32, 8, 500, "single"}, {8, 4, 10, "blocks"}};

std::vector<double> MinCurvature(const Data& d, const std::vector<double>& ox, const std::vector<double>& oy,
                                 bool detrend, const BlockSettings& s)
{
    std::vector<double> out(ox.size());
    SolveMinCurvature(Rect, d.x.data(), d.y.data(), d.z.data(), d.Count(), ox.data(), oy.data(),
                      static_cast<int>(ox.size()), out.data(), detrend, s.blockLimit, s.neighbourMinimum,
                      s.singleLimit);
    return out;
}

std::vector<double> Kriging(const Data& d, const std::vector<double>& ox, const std::vector<double>& oy,
                            bool detrend, const BlockSettings& s, const double* ranges = nullptr,
                            double nugget = 0, double factor = 1.0 / 3)
{
    std::vector<double> out(ox.size());
    SolveKriging(Rect, d.x.data(), d.y.data(), d.z.data(), d.Count(), ox.data(), oy.data(),
                 static_cast<int>(ox.size()), out.data(), detrend, ranges, nugget, s.blockLimit,
                 s.neighbourMinimum, s.singleLimit, factor);
    return out;
}

std::vector<double> Interleave(const std::vector<double>& x, const std::vector<double>& y)
{
    std::vector<double> xy;
    for (size_t i = 0; i < x.size(); ++i) {
        xy.push_back(x[i]);
        xy.push_back(y[i]);
    }
    return xy;
}

}  // namespace

TEST(SolveGauss, SolvesWithRowExchangesAndRefusesSingularSystems)
{
    struct Case {
        std::vector<double> a, rhs, expected;
        bool solvable;
    };
    const Case cases[] = {
        {{2, 1, 1, 1, 3, 2, 1, 0, 0}, {4, 5, 6}, {6, 15, -23}, true},
        {{0, 1, 0, 1, 0, 0, 0, 0, 2}, {3, 4, 8}, {4, 3, 4}, true},      // zero leading pivot
        {{0, 1, 0, 2, 0, 1, 0, 3, 0}, {1, 1, 1}, {}, false},              // zero column below the diagonal
        {{1, 2, 3, 2, 4, 6, 1, 1, 1}, {1, 2, 3}, {}, false},              // zero last pivot
        {{5}, {10}, {2}, true},
    };
    for (const Case& c : cases) {
        std::vector<double> a = c.a, rhs = c.rhs;
        const int n = static_cast<int>(rhs.size());
        ASSERT_EQ(SolveGauss(a.data(), rhs.data(), n), c.solvable);
        if (!c.solvable)
            continue;
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(rhs[i], c.expected[i], 1e-12);
    }
}

TEST(SolveIDW, BlendsPowersOfTheInverseDistance)
{
    const std::vector<double> data = {0, 0, 2, 0, 0, 3};
    const std::vector<double> values = {1, 5, -2};
    const std::vector<double> at = {0.5, 0.7};
    const auto estimate = [&](int power) {
        double num = 0, den = 0;
        for (int i = 0; i < 3; ++i) {
            const double d = std::hypot(at[0] - data[2 * i], at[1] - data[2 * i + 1]);
            num += values[i] / std::pow(d, power);
            den += 1 / std::pow(d, power);
        }
        return num / den;
    };
    struct Case {
        std::vector<double> weights;
        double expected;
    };
    const Case cases[] = {
        {{}, estimate(3)},
        {{7}, estimate(3)},
        {{1, 1}, (estimate(3) + estimate(4)) / 2},
        {{3, 1}, 0.75 * estimate(3) + 0.25 * estimate(4)},
        {{1, -1}, (estimate(3) + estimate(4)) / 2},  // weights that cancel: equal blend
        {{0, 0, 1}, estimate(5)},
    };
    for (const Case& c : cases) {
        double out = 0;
        SolveIDW(data.data(), values.data(), 3, 2, at.data(), 1.0, &out, c.weights.empty() ? nullptr : c.weights.data(),
                 static_cast<int>(c.weights.size()));
        EXPECT_NEAR(out, c.expected, 1e-12) << c.weights.size() << " weights";
    }
}

TEST(SolveIDW, AtADataPointThatPointDominatesButOthersStillCount)
{
    const std::vector<double> data = {0, 0, 1, 0};
    const std::vector<double> values = {10, 20};
    double out = 0;
    SolveIDW(data.data(), values.data(), 2, 2, data.data(), 1.0, &out, nullptr, 0);
    // d^2 is clamped to 1e-10: weight 1e15 against 1.
    EXPECT_GT(out, 10);
    EXPECT_NEAR(out, 10 + 10 / (1 + 1e15), 1e-12);
}

TEST(SolveIDW, HigherDimensionsUseTheirOwnPower)
{
    const std::vector<double> data = {0, 0, 0, 1, 1, 1};
    const std::vector<double> values = {0, 6};
    const std::vector<double> at = {0.2, 0.3, 0.1};
    const double d0 = std::sqrt(0.04 + 0.09 + 0.01), d1 = std::sqrt(0.64 + 0.49 + 0.81);
    const double w0 = std::pow(d0, -4), w1 = std::pow(d1, -4);  // power dim + 1
    double out = 0;
    SolveIDW(data.data(), values.data(), 2, 3, at.data(), 1.0, &out, nullptr, 0);
    EXPECT_NEAR(out, 6 * w1 / (w0 + w1), 1e-12);
}

TEST(BlockSolvers, PassThroughTheDataPoints)
{
    const Data d = RandomData(60, 1, Wave);
    for (const BlockSettings& s : Settings) {
        for (bool detrend : {false, true}) {
            const auto mc = MinCurvature(d, d.x, d.y, detrend, s);
            const auto kr = Kriging(d, d.x, d.y, detrend, s);
            for (int i = 0; i < d.Count(); ++i) {
                EXPECT_NEAR(mc[i], d.z[i], 1e-6) << s.name << " minimum curvature";
                EXPECT_NEAR(kr[i], d.z[i], 1e-6) << s.name << " kriging";
            }
        }
    }
}

TEST(BlockSolvers, AreLinearInTheValues)
{
    Data a = RandomData(50, 2, Wave);
    Data b = a, sum = a;
    for (int i = 0; i < a.Count(); ++i) {
        b.z[i] = a.x[i] * a.y[i] / 10;
        sum.z[i] = 2 * a.z[i] - b.z[i];
    }
    std::vector<double> ox, oy;
    for (int i = 0; i <= 10; ++i) {
        ox.push_back(i * 1.05 - 0.25);
        oy.push_back(9.7 - i * 0.9);
    }
    for (const BlockSettings& s : Settings) {
        for (bool detrend : {false, true}) {
            const auto ma = MinCurvature(a, ox, oy, detrend, s), mb = MinCurvature(b, ox, oy, detrend, s),
                       ms = MinCurvature(sum, ox, oy, detrend, s);
            const auto ka = Kriging(a, ox, oy, detrend, s), kb = Kriging(b, ox, oy, detrend, s),
                       ks = Kriging(sum, ox, oy, detrend, s);
            for (size_t i = 0; i < ox.size(); ++i) {
                EXPECT_NEAR(ms[i], 2 * ma[i] - mb[i], 1e-6) << s.name;
                EXPECT_NEAR(ks[i], 2 * ka[i] - kb[i], 1e-6) << s.name;
            }
        }
    }
}

TEST(BlockSolvers, DetrendedMinimumCurvatureReturnsAPlaneOfPlanarData)
{
    const Data d = RandomData(40, 3, Plane);
    const std::vector<double> ox = {-3, 0.5, 5, 12}, oy = {4, 9.5, 5, -2};
    for (const BlockSettings& s : Settings) {
        const auto out = MinCurvature(d, ox, oy, true, s);
        for (size_t i = 0; i < ox.size(); ++i)
            EXPECT_NEAR(out[i], Plane(ox[i], oy[i]), 1e-9) << s.name;
    }
}

TEST(BlockSolvers, KrigingRangesFollowTheSingleBlock)
{
    // One block over the rectangle: ranges are its size times the factor,
    // divided by sqrt(2n / block limit).
    const Data d = RandomData(30, 4, Wave);
    const std::vector<double> ox = {1, 4.4, 8.2}, oy = {2, 7.1, 0.3};
    const BlockSettings s{32, 8, 500, "single"};
    const double factor = 0.4;
    const double scale = factor / std::sqrt(2.0 * 30 / 32);
    const double ranges[2] = {10 * scale, 10 * scale};
    const auto automatic = Kriging(d, ox, oy, false, s, nullptr, 0.1, factor);
    const auto given = Kriging(d, ox, oy, false, s, ranges, 0.1, factor);
    for (size_t i = 0; i < ox.size(); ++i)
        EXPECT_DOUBLE_EQ(automatic[i], given[i]);
}

TEST(BlockSolvers, CoincidentDataGiveNoValueInsteadOfRunningOffTheSystem)
{
    // Two values at one place make the only local system singular.
    Data d;
    d.x = {1, 1, 5, 8};
    d.y = {1, 1, 6, 2};
    d.z = {1, 2, 3, 4};
    const std::vector<double> ox = {3}, oy = {3};
    const BlockSettings s{32, 8, 500, "single"};
    EXPECT_TRUE(std::isnan(MinCurvature(d, ox, oy, false, s)[0]));
    EXPECT_TRUE(std::isnan(Kriging(d, ox, oy, false, s)[0]));
}

TEST(BlockSolvers, CoincidentDataBeyondTheSplitLimitEndTheQuadtree)
{
    // Forty values at one place cannot be split below the limit of 4; the
    // blocks far from them still get estimates.
    Data d = RandomData(30, 6, Wave);
    for (int i = 0; i < 40; ++i) {
        d.x.push_back(2.5);
        d.y.push_back(2.5);
        d.z.push_back(i);
    }
    const std::vector<double> ox = {9.5, 2.4}, oy = {9.5, 2.6};
    const BlockSettings s{4, 2, 5, "blocks"};
    const auto mc = MinCurvature(d, ox, oy, false, s);
    const auto kr = Kriging(d, ox, oy, false, s);
    EXPECT_TRUE(std::isfinite(mc[0]));
    EXPECT_TRUE(std::isfinite(kr[0]));
}

TEST(BlockSolvers, WithoutDataEveryOutputHasNoValue)
{
    const Data none;
    const std::vector<double> ox = {1, 2}, oy = {1, 2};
    for (const BlockSettings& s : Settings) {
        for (double v : MinCurvature(none, ox, oy, true, s))
            EXPECT_TRUE(std::isnan(v));
        for (double v : Kriging(none, ox, oy, false, s))
            EXPECT_TRUE(std::isnan(v));
    }
}

TEST(BlockSolvers, ConstantResidualsGiveThePlaneItself)
{
    Data d;
    d.x = {0, 10, 0, 10};
    d.y = {0, 0, 10, 10};
    d.z = {5, 5, 5, 5};
    const std::vector<double> ox = {3, 30}, oy = {4, -7};
    const auto out = MinCurvature(d, ox, oy, true, Settings[0]);
    EXPECT_DOUBLE_EQ(out[0], 5);
    EXPECT_DOUBLE_EQ(out[1], 5);
}

TEST(TrendPlane, FitsAPlaneAndFallsBackToTheMeanOnALine)
{
    const Data d = RandomData(20, 7, Plane);
    const TTrendPlane plane = TTrendPlane::Fit(d.x.data(), d.y.data(), d.z.data(), d.Count());
    EXPECT_NEAR(plane.slopeX, -0.5, 1e-12);
    EXPECT_NEAR(plane.slopeY, 2, 1e-12);
    EXPECT_NEAR(plane.At(1, 1), Plane(1, 1), 1e-12);

    const std::vector<double> x = {0, 1, 2, 3}, y = {0, 1, 2, 3}, z = {1, 2, 4, 9};
    const TTrendPlane line = TTrendPlane::Fit(x.data(), y.data(), z.data(), 4);
    EXPECT_EQ(line.slopeX, 0);
    EXPECT_EQ(line.slopeY, 0);
    EXPECT_DOUBLE_EQ(line.At(7, -3), 4);
}

TEST(SolveIDW, ReproducesDataFieldsOnAGridRow)
{
    // The builder's use: data and a row of outputs as consecutive pairs.
    const Data d = RandomData(20, 8, Wave);
    const std::vector<double> xy = Interleave(d.x, d.y);
    std::vector<double> row;
    for (int i = 0; i < 20; ++i) {
        row.push_back(d.x[i]);
        row.push_back(d.y[i]);
    }
    std::vector<double> out(20);
    SolveIDW(xy.data(), d.z.data(), 20, 2, row.data(), 20.0, out.data(), nullptr, 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_NEAR(out[i], d.z[i], 1e-6);
}
