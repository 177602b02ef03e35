#include "calc/nnlib/minell.h"
#include "data/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

struct EllipseDeleter {
    void operator()(minell* e) const { min_ellipse_free(e); }
};
using Ellipse = std::unique_ptr<minell, EllipseDeleter>;

Ellipse Create(std::vector<point>& pts) { return Ellipse(min_ellipse_create(static_cast<int>(pts.size()), pts.data())); }

double Radius(const minell* e, point p)
{
    EXPECT_TRUE(min_ellipse_scale_points(e, 1, &p));
    return std::hypot(p.x, p.y);
}

// Khachiyan's iteration for the minimum-area enclosing ellipse: an independent
// estimate of the optimum area.
double KhachiyanArea(const std::vector<point>& pts)
{
    const int n = static_cast<int>(pts.size());
    std::vector<double> u(n, 1.0 / n);
    double cx = 0, cy = 0, a11 = 0, a12 = 0, a22 = 0;
    for (int iteration = 0; iteration < 200000; ++iteration) {
        double x[3][3] = {};
        for (int i = 0; i < n; ++i) {
            const double q[3] = {pts[i].x, pts[i].y, 1};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    x[r][c] += u[i] * q[r] * q[c];
        }
        const double det = x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
                           x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
                           x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
        double inv[3][3];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
                inv[r][c] = (x[r1][c1] * x[r2][c2] - x[r1][c2] * x[r2][c1]) / det;
            }
        // Forward steps towards the farthest point, away steps from the
        // nearest supported one (Todd and Yildirim), for fast convergence.
        int far = 0, near = -1;
        double farM = -1, nearM = INFINITY;
        for (int i = 0; i < n; ++i) {
            const double q[3] = {pts[i].x, pts[i].y, 1};
            double m = 0;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    m += q[r] * inv[r][c] * q[c];
            if (m > farM) {
                farM = m;
                far = i;
            }
            if (u[i] > 0 && m < nearM) {
                nearM = m;
                near = i;
            }
        }
        if (farM <= 3 * (1 + 1e-9) && nearM >= 3 * (1 - 1e-9))
            break;
        int j = far;
        double step = (farM - 3) / (3 * (farM - 1));
        if (near >= 0 && 3 - nearM > farM - 3) {
            j = near;
            step = std::max((nearM - 3) / (3 * (nearM - 1)), -u[near] / (1 - u[near]));
        }
        for (int i = 0; i < n; ++i)
            u[i] = (1 - step) * u[i] + (i == j ? step : 0);
        if (u[j] < 1e-300)
            u[j] = 0;
    }
    for (int i = 0; i < n; ++i) {
        cx += u[i] * pts[i].x;
        cy += u[i] * pts[i].y;
    }
    for (int i = 0; i < n; ++i) {
        a11 += u[i] * (pts[i].x - cx) * (pts[i].x - cx);
        a12 += u[i] * (pts[i].x - cx) * (pts[i].y - cy);
        a22 += u[i] * (pts[i].y - cy) * (pts[i].y - cy);
    }
    // Shape matrix (1/d) * inverse covariance; area = pi / sqrt(det).
    const double covDet = a11 * a22 - a12 * a12;
    return M_PI * 2 * std::sqrt(covDet);
}

std::vector<point> RandomCloud(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0, 1);
    const double angle = 0.3 * seed;
    std::vector<point> pts(n);
    for (point& p : pts) {
        const double x = 5 * g(gen), y = g(gen);
        p = {100 + x * std::cos(angle) - y * std::sin(angle), -20 + x * std::sin(angle) + y * std::cos(angle), 0};
    }
    return pts;
}

}  // namespace

TEST(MinEllipse, ThreePointsGiveTheirSteinerEllipse)
{
    std::vector<point> pts = {{0, 0, 0}, {4, 1, 0}, {1, 3, 0}};
    const Ellipse e = Create(pts);
    ASSERT_FALSE(e->degenerate);
    EXPECT_EQ(e->n, 3);
    EXPECT_NEAR(e->x, 5.0 / 3, 1e-12);
    EXPECT_NEAR(e->y, 4.0 / 3, 1e-12);
    for (const point& p : pts)
        EXPECT_NEAR(Radius(e.get(), p), 1, 1e-12);
}

TEST(MinEllipse, RectangleCornersGiveAxesAlongTheSides)
{
    struct Case {
        double w, h;
    };
    for (const Case c : {Case{4, 1}, Case{1, 3}, Case{2, 2}, Case{10, 9.5}}) {
        std::vector<point> pts = {{10, 5, 0}, {10 + c.w, 5, 0}, {10 + c.w, 5 + c.h, 0}, {10, 5 + c.h, 0}};
        const Ellipse e = Create(pts);
        ASSERT_FALSE(e->degenerate) << c.w << "x" << c.h;
        const double cx = 10 + c.w / 2, cy = 5 + c.h / 2;
        EXPECT_NEAR(e->x, cx, 1e-8);
        EXPECT_NEAR(e->y, cy, 1e-8);
        EXPECT_NEAR(std::max(e->a, e->b), std::max(c.w, c.h) / std::sqrt(2.0), 1e-8);
        EXPECT_NEAR(std::min(e->a, e->b), std::min(c.w, c.h) / std::sqrt(2.0), 1e-8);
        // The vertices of the ellipse lie on the lines through the centre
        // parallel to the sides.
        EXPECT_NEAR(Radius(e.get(), {cx + c.w / std::sqrt(2.0), cy, 0}), 1, 1e-8);
        EXPECT_NEAR(Radius(e.get(), {cx, cy + c.h / std::sqrt(2.0), 0}), 1, 1e-8);
        for (const point& p : pts)
            EXPECT_NEAR(Radius(e.get(), p), 1, 1e-8);
    }
}

TEST(MinEllipse, RandomCloudsAreEnclosedWithMinimalArea)
{
    // Twenty clouds reach every support size and the cases where the search
    // along the pencil of four points has to fall back to halving.
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::vector<point> pts = RandomCloud(seed <= 6 ? 8 + 5 * seed : 25, seed);
        const Ellipse e = Create(pts);
        ASSERT_FALSE(e->degenerate) << seed;
        for (const point& p : pts)
            EXPECT_LE(Radius(e.get(), p), 1 + 1e-9);
        const double area = M_PI * e->a * e->b;
        EXPECT_NEAR(area, KhachiyanArea(pts), 1e-7 * area) << "seed " << seed << ", support " << e->n;
    }
}

TEST(MinEllipse, InputOrderAndInnerPointsDoNotChangeTheEllipse)
{
    std::vector<point> pts = RandomCloud(25, 11);
    const Ellipse e = Create(pts);
    std::vector<point> reordered(pts.rbegin(), pts.rend());
    std::shuffle(reordered.begin(), reordered.end(), std::mt19937(3));
    std::vector<point> more = pts;
    more.push_back({e->x, e->y, 0});
    more.insert(more.begin() + 5, {e->x + 0.1, e->y - 0.1, 0});
    for (std::vector<point>* other : {&reordered, &more}) {
        const Ellipse f = Create(*other);
        const double scale = e->a;
        EXPECT_NEAR(f->x, e->x, 1e-8 * scale);
        EXPECT_NEAR(f->y, e->y, 1e-8 * scale);
        EXPECT_NEAR(f->a * f->b, e->a * e->b, 1e-8 * e->a * e->b);
        EXPECT_NEAR(std::max(f->a, f->b), std::max(e->a, e->b), 1e-8 * scale);
    }
}

TEST(MinEllipse, MappingRoundTripReturnsTheCoordinates)
{
    std::vector<point> pts = RandomCloud(30, 4);
    const Ellipse e = Create(pts);
    std::vector<point> mapped = pts;
    ASSERT_TRUE(min_ellipse_scale_points(e.get(), static_cast<int>(mapped.size()), mapped.data()));
    for (const point& p : mapped)
        EXPECT_LE(std::hypot(p.x, p.y), 1 + 1e-9);
    ASSERT_TRUE(min_ellipse_rescale_points(e.get(), static_cast<int>(mapped.size()), mapped.data()));
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_NEAR(mapped[i].x, pts[i].x, 1e-10 * std::fabs(pts[i].x));
        EXPECT_NEAR(mapped[i].y, pts[i].y, 1e-10 * std::fabs(pts[i].y) + 1e-12);
    }
}

TEST(MinEllipse, DegeneratePointSetsRefuseTheMapping)
{
    const std::vector<std::vector<point>> cases = {
        {},
        {{1, 1, 0}},
        {{1, 1, 0}, {2, 3, 0}},
        {{1, 1, 0}, {2, 3, 0}, {1, 1, 0}, {2, 3, 0}},
        {{0, 0, 0}, {1, 2, 0}, {2, 4, 0}, {3, 6, 0}, {-1, -2, 0}},
        {{0, 5, 0}, {1, 5, 0}, {7, 5, 0}},
        {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}},
        {{0, 0, 0}, {0.1, 0.3, 0}, {0.2, 0.6, 0}, {0.30000000000000004, 0.9, 0}},
    };
    for (std::vector<point> pts : cases) {
        const Ellipse e = Create(pts);
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->degenerate) << pts.size() << " points";
        point p{3, 4, 5};
        EXPECT_FALSE(min_ellipse_scale_points(e.get(), 1, &p));
        EXPECT_FALSE(min_ellipse_rescale_points(e.get(), 1, &p));
        EXPECT_EQ(p.x, 3);
        EXPECT_EQ(p.y, 4);
    }
}

TEST(MinEllipse, ShuffleRestartsTheSharedSequence)
{
    std::vector<point> pts = RandomCloud(7, 2);
    RuntimeRandom().Seed(12345);
    const Ellipse e = Create(pts);
    TRuntimeRandom expected(1);
    for (int i = 0; i < 7; ++i)
        expected.Next();
    EXPECT_EQ(RuntimeRandom().Next(), expected.Next());
}


TEST(MinEllipse, MapCoordinatesFarFromTheOrigin)
{
    // A 40 x 10 rectangle at map coordinates in the millions, with inner points.
    const double x0 = 6.5e6, y0 = 4.2e7;
    std::vector<point> pts = {{x0, y0, 0}, {x0 + 40, y0, 0}, {x0 + 40, y0 + 10, 0}, {x0, y0 + 10, 0},
                              {x0 + 20, y0 + 5, 0}, {x0 + 3, y0 + 7, 0}};
    const Ellipse e = Create(pts);
    ASSERT_FALSE(e->degenerate);
    EXPECT_NEAR(e->x, x0 + 20, 1e-6);
    EXPECT_NEAR(e->y, y0 + 5, 1e-6);
    EXPECT_NEAR(std::max(e->a, e->b), 40 / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(std::min(e->a, e->b), 10 / std::sqrt(2.0), 1e-6);
    EXPECT_EQ(e->points[0] >= pts.data() && e->points[0] < pts.data() + pts.size(), true);
}
