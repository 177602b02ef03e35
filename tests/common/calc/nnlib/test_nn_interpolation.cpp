#include "MeshChecks.h"
#include "calc/nnlib/nn.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

double Plane(double x, double y) { return 2 * x - 3 * y + 1; }

std::vector<point> Scattered(int n, unsigned seed, double (*field)(double, double))
{
    std::vector<point> pts;
    for (const auto& p : meshcheck::RandomPoints(n, seed, 1))
        pts.push_back({p.x, p.y, field(p.x, p.y)});
    // The unit square's corners so that the probes below lie inside the hull.
    for (double x : {0.0, 1.0})
        for (double y : {0.0, 1.0})
            pts.push_back({x, y, field(x, y)});
    return pts;
}

std::vector<point> Probes(int n, unsigned seed, double lo, double hi)
{
    std::vector<point> out;
    for (const auto& p : meshcheck::RandomPoints(n, seed, hi - lo))
        out.push_back({lo + p.x, lo + p.y, -7});
    return out;
}

// Interpolates at the probes with method (0 linear, 1 Sibson, 2 non-Sibsonian).
std::vector<point> Interpolate(std::vector<point> in, std::vector<point> out, int method, int scaling = 0)
{
    int nout = static_cast<int>(out.size());
    point* pout = out.data();
    const int status = nn_interpolate_scattered(static_cast<int>(in.size()), in.data(), method, scaling, &nout,
                                                &pout, -1, -1, 0, -1, -1, -DBL_MAX, 1.0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(pout, out.data());
    return out;
}

struct MethodCase {
    int method;
    const char* name;
};
const MethodCase Methods[] = {{0, "linear"}, {1, "Sibson"}, {2, "non-Sibsonian"}};

}  // namespace

TEST(ScatteredInterpolation, LinearAndSibsonReproduceAPlaneInsideTheHull)
{
    const std::vector<point> in = Scattered(40, 1, Plane);
    for (const MethodCase& m : Methods) {
        if (m.method == 2)
            continue;
        for (int scaling : {0, 1, 2}) {
            const std::vector<point> out = Interpolate(in, Probes(50, 2, 0.02, 0.98), m.method, scaling);
            for (const point& p : out)
                EXPECT_NEAR(p.z, Plane(p.x, p.y), 1e-9) << m.name << " scaling " << scaling;
        }
    }
}

TEST(ScatteredInterpolation, NonSibsonianValuesStayWithinTheDataInsideTheHull)
{
    // Its weights are positive inside the hull: a convex blend of the data.
    const std::vector<point> in = Scattered(40, 1, Plane);
    double lo = INFINITY, hi = -INFINITY;
    for (const point& p : in) {
        lo = std::fmin(lo, p.z);
        hi = std::fmax(hi, p.z);
    }
    for (int scaling : {0, 1, 2}) {
        const std::vector<point> out = Interpolate(in, Probes(50, 2, 0.02, 0.98), 2, scaling);
        for (const point& p : out) {
            EXPECT_GE(p.z, lo);
            EXPECT_LE(p.z, hi);
            EXPECT_NEAR(p.z, Plane(p.x, p.y), 0.5);
        }
    }
}

TEST(ScatteredInterpolation, ValuesAreLinearInTheData)
{
    const auto f = [](double x, double y) { return std::sin(5 * x) * y; };
    const auto g = [](double x, double y) { return x * x - y; };
    std::vector<point> a = Scattered(30, 3, Plane), b = a, sum = a;
    for (size_t i = 0; i < a.size(); ++i) {
        a[i].z = f(a[i].x, a[i].y);
        b[i].z = g(b[i].x, b[i].y);
        sum[i].z = 2 * a[i].z - 0.5 * b[i].z + 3;
    }
    for (const MethodCase& m : Methods) {
        const std::vector<point> probes = Probes(40, 4, -0.2, 1.2);
        const auto ra = Interpolate(a, probes, m.method);
        const auto rb = Interpolate(b, probes, m.method);
        const auto rs = Interpolate(sum, probes, m.method);
        for (size_t i = 0; i < probes.size(); ++i) {
            if (std::isnan(ra[i].z)) {
                EXPECT_TRUE(std::isnan(rs[i].z)) << m.name;
                continue;
            }
            EXPECT_NEAR(rs[i].z, 2 * ra[i].z - 0.5 * rb[i].z + 3, 1e-9) << m.name;
        }
    }
}

TEST(ScatteredInterpolation, CentroidOfThreePointsGetsTheMean)
{
    const std::vector<point> in = {{0, 0, 3}, {4, 0, 6}, {1, 5, 12}};
    for (const MethodCase& m : Methods) {
        if (m.method == 2)
            continue;  // the non-Sibsonian weights are not equal at the centroid
        const auto out = Interpolate(in, {{5.0 / 3, 5.0 / 3, 0}}, m.method);
        EXPECT_NEAR(out[0].z, 7, 1e-12) << m.name;
    }
}

TEST(ScatteredInterpolation, OutsideTheHull)
{
    const std::vector<point> in = {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {1, 1, 5}};
    // Just outside: inside some circumcircle. Far outside: inside none.
    const std::vector<point> probes = {{1.05, 0.5, 0}, {30, 30, 0}};
    const auto linear = Interpolate(in, probes, 0);
    EXPECT_TRUE(std::isnan(linear[0].z));
    EXPECT_TRUE(std::isnan(linear[1].z));
    for (int method : {1, 2}) {
        const auto nn = Interpolate(in, probes, method);
        EXPECT_FALSE(std::isnan(nn[0].z)) << method;
        EXPECT_TRUE(std::isnan(nn[1].z)) << method;
    }
    // A weight threshold of 0 rejects the negative weights outside the hull.
    std::vector<point> in2 = in, out2 = {probes[0]};
    nn_rule = SIBSON;
    nn_point_interp_points(4, in2.data(), 0.0, 1, out2.data());
    EXPECT_TRUE(std::isnan(out2[0].z));
}

TEST(ScatteredInterpolation, AnOutputAtADataPointTakesItsValue)
{
    const std::vector<point> in = Scattered(25, 6, [](double x, double y) { return std::cos(3 * x) + y * y; });
    std::vector<point> probes;
    for (int i = 0; i < 25; i += 4)
        probes.push_back({in[i].x, in[i].y, 0});
    for (const MethodCase& m : Methods) {
        const auto out = Interpolate(in, probes, m.method);
        for (size_t k = 0; k < probes.size(); ++k)
            EXPECT_NEAR(out[k].z, in[4 * k].z, 1e-7) << m.name;
    }
}

TEST(ScatteredInterpolation, SibsonAlongAGridRowWithTheCircleSearch)
{
    // More than 20 triangles: the triangles come from the circle search,
    // which starts each point of the row from the last triangle found.
    const std::vector<point> in = Scattered(300, 8, Plane);
    std::vector<point> row;
    for (int i = 0; i <= 100; ++i)
        row.push_back({0.01 + 0.0098 * i, 0.37, 0});
    const auto out = Interpolate(in, row, 1);
    for (const point& p : out)
        EXPECT_NEAR(p.z, Plane(p.x, p.y), 1e-9);
}

TEST(ScatteredInterpolation, SquareScalingInterpolatesAsIfTheDataWereSquare)
{
    const auto f = [](double x, double y) { return std::sin(x) + 10 * y * y; };
    std::vector<point> in;
    for (const auto& p : meshcheck::RandomPoints(40, 21, 1))
        in.push_back({10 * p.x, p.y, f(10 * p.x, p.y)});
    in.push_back({0, 0, f(0, 0)});
    in.push_back({10, 1, f(10, 1)});
    const std::vector<point> probes = {{2, 0.3, 0}, {7.5, 0.8, 0}, {5, 0.5, 0}};
    std::vector<point> squared = in;
    for (point& p : squared)
        p.y *= 10;
    for (int method : {0, 1, 2}) {
        const std::vector<point> first = Interpolate(in, probes, method, 1);
        const std::vector<point> second = Interpolate(in, probes, method, 1);
        std::vector<point> expected = probes;
        for (point& p : expected)
            p.y *= 10;
        expected = Interpolate(squared, expected, method);
        for (size_t i = 0; i < probes.size(); ++i) {
            EXPECT_EQ(first[i].x, probes[i].x);
            EXPECT_EQ(first[i].y, probes[i].y);
            EXPECT_NEAR(first[i].z, expected[i].z, 1e-9) << method;
            EXPECT_EQ(first[i].z, second[i].z);
        }
    }
}

TEST(ScatteredInterpolation, UnscalableDataLeaveCoordinatesAndGiveNoValue)
{
    // Zero height: the square's factor is undefined; the points are collinear.
    std::vector<point> flat = {{0, 2, 1}, {1, 2, 2}, {3, 2, 3}, {4, 2, 4}};
    for (int scaling : {0, 1, 2}) {
        for (int method : {0, 1, 2}) {
            std::vector<point> out = {{1.5, 2, 0}, {2, 7, 0}};
            std::vector<point> in = flat;
            int nout = 2;
            point* pout = out.data();
            nn_interpolate_scattered(4, in.data(), method, scaling, &nout, &pout, -1, -1, 0, -1, -1, -DBL_MAX, 1);
            EXPECT_EQ(nout, 2);
            EXPECT_EQ(out[0].y, 2);
            EXPECT_EQ(out[1].y, 7);
            EXPECT_TRUE(std::isnan(out[0].z) && std::isnan(out[1].z)) << scaling << " " << method;
            for (size_t i = 0; i < in.size(); ++i)
                EXPECT_EQ(in[i].y, flat[i].y);
        }
    }
}

TEST(ScatteredInterpolation, TooFewPointsOrNoGridReturnZero)
{
    std::vector<point> in = {{0, 0, 1}, {1, 0, 2}};
    std::vector<point> out = {{0.5, 0.5, 42}};
    int nout = 1;
    point* pout = out.data();
    EXPECT_EQ(nn_interpolate_scattered(2, in.data(), 1, 0, &nout, &pout, 5, 5, 0, -1, -1, -DBL_MAX, 1), 0);
    EXPECT_EQ(nout, 0);
    EXPECT_EQ(pout, out.data());
    EXPECT_EQ(out[0].z, 42);

    in = {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}};
    nout = 0;
    pout = nullptr;
    EXPECT_EQ(nn_interpolate_scattered(3, in.data(), 0, 0, &nout, &pout, 0, 5, 0, -1, -1, -DBL_MAX, 1), 0);
    EXPECT_EQ(nout, 0);
    EXPECT_EQ(pout, nullptr);
    EXPECT_EQ(nn_interpolate_scattered(3, in.data(), 0, 0, &nout, &pout, -1, -1, 1, -1, -1, -DBL_MAX, 1), 0);
}

TEST(ScatteredInterpolation, GeneratedGridCoversTheZoomedBoundingBox)
{
    std::vector<point> in = {{1, 2, 0}, {5, 2, 4}, {1, 4, 0}, {5, 4, 4}};
    struct Case {
        int nx, ny;
        double zoom;
        std::vector<std::pair<double, double>> expected;
    };
    const Case cases[] = {
        {3, 2, 1, {{1, 2}, {3, 2}, {5, 2}, {1, 4}, {3, 4}, {5, 4}}},
        {1, 2, 1, {{3, 2}, {3, 4}}},
        {2, 1, 0.5, {{2, 3}, {4, 3}}},
        {2, 1, NAN, {{1, 3}, {5, 3}}},
    };
    for (const Case& c : cases) {
        int nout = 0;
        point* pout = nullptr;
        ASSERT_EQ(nn_interpolate_scattered(4, in.data(), 0, 0, &nout, &pout, c.nx, c.ny, 0, -1, -1, -DBL_MAX, c.zoom), 1);
        ASSERT_EQ(nout, c.nx * c.ny);
        for (int i = 0; i < nout; ++i) {
            EXPECT_DOUBLE_EQ(pout[i].x, c.expected[i].first);
            EXPECT_DOUBLE_EQ(pout[i].y, c.expected[i].second);
            EXPECT_NEAR(pout[i].z, pout[i].x - 1, 1e-12);  // z = x - 1 on this data
        }
        std::free(pout);
    }
}

TEST(ScatteredInterpolation, ThinningAveragesTheCellsOfTheGrid)
{
    // Pairs of close points in each corner cell of a 2 by 2 thinning grid
    // become their averages, which span a plane again.
    std::vector<point> in;
    for (double cx : {0.0, 10.0})
        for (double cy : {0.0, 10.0})
            for (double d : {-0.5, 0.5})
                in.push_back({cx + d, cy + d, Plane(cx + d, cy + d)});
    std::vector<point> out = {{5, 5, 0}};
    int nout = 1;
    point* pout = out.data();
    ASSERT_EQ(nn_interpolate_scattered(8, in.data(), 0, 0, &nout, &pout, 2, 2, 1, -1, -1, -DBL_MAX, 1), 1);
    EXPECT_NEAR(out[0].z, Plane(5, 5), 1e-9);
}

TEST(ScatteredInterpolation, UnknownWeightRuleGivesNoValueInsteadOfEndingTheProcess)
{
    std::vector<point> in = {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}};
    std::vector<point> out = {{0.2, 0.2, 0}};
    nn_rule = 7;
    nn_point_interp_points(3, in.data(), -DBL_MAX, 1, out.data());
    EXPECT_TRUE(std::isnan(out[0].z));
    nn_rule = SIBSON;
}

TEST(ScatteredInterpolationDeathTest, FatalReportEndsTheProcessWithItsMessage)
{
    EXPECT_EXIT(nn_fatal("unknown rule\n"), testing::ExitedWithCode(1), "error: nn: unknown rule");
}

TEST(ScatteredInterpolation, NoValueIsTheSharedQuietNaN)
{
    EXPECT_TRUE(std::isnan(nn_nan));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(nn_nan), 0x7FFFFFFFFFFFFFFFull);
}

TEST(ScatteredInterpolation, CirclesThroughPoints)
{
    circle c;
    const point a{0, 0, 0}, b{2, 0, 0}, d{0, 2, 0};
    ASSERT_TRUE(circle_through_points(&c, &a, &b, &d));
    EXPECT_DOUBLE_EQ(c.x, 1);
    EXPECT_DOUBLE_EQ(c.y, 1);
    EXPECT_DOUBLE_EQ(c.r, std::sqrt(2.0));
    const point onCircle{2, 2, 0}, outside{2.01, 2.01, 0};
    EXPECT_TRUE(circle_contains(&c, &onCircle));
    EXPECT_FALSE(circle_contains(&c, &outside));
    const point e{1, 0, 0};
    EXPECT_FALSE(circle_through_points(&c, &a, &e, &b));
}

TEST(ScatteredInterpolation, ScaleToSquare)
{
    std::vector<point> pts = {{0, 0, 0}, {10, 1, 0}, {5, 0.5, 0}};
    EXPECT_DOUBLE_EQ(points_scale_to_square(3, pts.data()), 0.1);
    EXPECT_DOUBLE_EQ(pts[1].y, 10);
    std::vector<point> flat = {{0, 1, 0}, {10, 1, 0}};
    EXPECT_TRUE(std::isnan(points_scale_to_square(2, flat.data())));
    EXPECT_EQ(flat[1].y, 1);
}

TEST(ScatteredInterpolation, MapCoordinatesFarFromTheOrigin)
{
    const double x0 = 6.5e6, y0 = 4.2e7;
    const auto field = [](double x, double y) { return 0.5 * x - 0.25 * y + 3; };
    std::vector<point> in;
    for (const auto& p : meshcheck::RandomPoints(60, 31, 50))
        in.push_back({x0 + p.x, y0 + p.y, field(p.x, p.y)});
    for (double x : {0.0, 50.0})
        for (double y : {0.0, 50.0})
            in.push_back({x0 + x, y0 + y, field(x, y)});
    std::vector<point> probes;
    for (const auto& p : meshcheck::RandomPoints(30, 32, 48))
        probes.push_back({x0 + 1 + p.x, y0 + 1 + p.y, 0});
    for (int method : {0, 1}) {
        for (int scaling : {0, 1, 2}) {
            const auto out = Interpolate(in, probes, method, scaling);
            for (size_t i = 0; i < probes.size(); ++i) {
                EXPECT_EQ(out[i].x, probes[i].x);
                EXPECT_NEAR(out[i].z, field(probes[i].x - x0, probes[i].y - y0), 1e-6) << method << " " << scaling;
            }
        }
    }
}
