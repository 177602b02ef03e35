#include "MeshChecks.h"
#include "calc/nnlib/delaunay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

struct DelaunayDeleter {
    void operator()(delaunay* d) const { delaunay_free(d); }
};
using Triangulation = std::unique_ptr<delaunay, DelaunayDeleter>;

std::vector<point> ToPoints(const std::vector<meshcheck::P>& pts)
{
    std::vector<point> out;
    for (const auto& p : pts)
        out.push_back({p.x, p.y, 0});
    return out;
}

bool Holds(const delaunay* d, int t, const point& p)
{
    const int* v = d->triangles[t].vids;
    for (int k = 0; k < 3; ++k) {
        const point& a = d->points[v[k]];
        const point& b = d->points[v[(k + 1) % 3]];
        if ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x) < -1e-12)
            return false;
    }
    return true;
}

}  // namespace

TEST(Delaunay, RecordMirrorsTheTriangulation)
{
    std::vector<point> pts = ToPoints(meshcheck::RandomPoints(60, 5, 3));
    const Triangulation d(delaunay_triangulate(static_cast<int>(pts.size()), pts.data(), 0, nullptr, 0, nullptr));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->points, pts.data());
    EXPECT_EQ(d->first_id, -1);
    ASSERT_GT(d->ntriangles, 0);
    std::vector<int> uses(pts.size(), 0);
    for (int t = 0; t < d->ntriangles; ++t) {
        for (int v : d->triangles[t].vids) {
            ++uses[v];
            const point& p = pts[v];
            EXPECT_NEAR(std::hypot(p.x - d->circles[t].x, p.y - d->circles[t].y), d->circles[t].r, 1e-9);
        }
    }
    for (size_t i = 0; i < pts.size(); ++i) {
        ASSERT_EQ(d->n_point_triangles[i], uses[i]);
        for (int k = 0; k < uses[i]; ++k) {
            const int* v = d->triangles[d->point_triangles[i][k]].vids;
            EXPECT_TRUE(v[0] == static_cast<int>(i) || v[1] == static_cast<int>(i) || v[2] == static_cast<int>(i));
        }
    }
    EXPECT_GT(d->nedges, 0);
}

TEST(Delaunay, LocateWalksToTheHoldingTriangleAndStopsAtTheHull)
{
    std::vector<point> pts = ToPoints(meshcheck::RandomPoints(80, 9, 1));
    const Triangulation d(delaunay_triangulate(static_cast<int>(pts.size()), pts.data(), 0, nullptr, 0, nullptr));
    ASSERT_NE(d, nullptr);
    const std::vector<meshcheck::P> probes = meshcheck::RandomPoints(200, 10, 1);
    for (const auto& q : probes) {
        const point p{q.x, q.y, 0};
        bool insideAny = false;
        for (int t = 0; t < d->ntriangles; ++t)
            insideAny = insideAny || Holds(d.get(), t, p);
        for (int start : {-5, 0, d->ntriangles - 1, d->ntriangles + 3}) {
            const int t = delaunay_locate_point(d.get(), &p, start);
            if (insideAny) {
                ASSERT_GE(t, 0);
                EXPECT_TRUE(Holds(d.get(), t, p));
            } else {
                EXPECT_EQ(t, -1);
            }
        }
    }
    const point far{5, 5, 0};
    EXPECT_EQ(delaunay_locate_point(d.get(), &far, 0), -1);
}

TEST(Delaunay, CircleSearchFindsExactlyTheCirclesHoldingThePoint)
{
    std::vector<point> pts = ToPoints(meshcheck::RandomPoints(100, 12, 1));
    const Triangulation d(delaunay_triangulate(static_cast<int>(pts.size()), pts.data(), 0, nullptr, 0, nullptr));
    ASSERT_NE(d, nullptr);
    // Inside the hull the circles holding a point form one connected cavity,
    // so the flood fill finds them all; outside it finds a connected part.
    const std::vector<point> probes = {{0.5, 0.5, 0}, {0.3, 0.71, 0}, {0.999, 0.01, 0}, {0.52, 0.49, 0},
                                       {1.02, 0.5, 0}, {-0.05, -0.05, 0}};
    for (const point& p : probes) {
        const bool inside = p.x > 0 && p.x < 1 && p.y > 0 && p.y < 1;
        std::fill(d->flags, d->flags + d->ntriangles, 0);
        int n = 0;
        int* ids = nullptr;
        delaunay_find_circles(d.get(), &p, &n, &ids);
        std::set<int> found(ids, ids + n);
        std::set<int> expected;
        for (int t = 0; t < d->ntriangles; ++t)
            if (circle_contains(&d->circles[t], &p))
                expected.insert(t);
        if (inside) {
            EXPECT_EQ(found, expected) << p.x << "," << p.y;
        }
        EXPECT_FALSE(found.empty());
        for (int t : found)
            EXPECT_TRUE(expected.count(t));
        EXPECT_EQ(static_cast<size_t>(n), found.size()) << "no triangle twice";
    }
    std::fill(d->flags, d->flags + d->ntriangles, 0);
    const point beyond{50, 50, 0};
    int n = -1;
    int* ids = nullptr;
    delaunay_find_circles(d.get(), &beyond, &n, &ids);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(d->first_id, -1);
}

TEST(Delaunay, CollinearInputHasNoTrianglesToRead)
{
    std::vector<point> pts = {{0, 0, 1}, {1, 1, 2}, {2, 2, 3}, {3, 3, 4}};
    const Triangulation d(delaunay_triangulate(4, pts.data(), 0, nullptr, 0, nullptr));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ntriangles, 0);
    const point p{1.5, 1.5, 0};
    EXPECT_EQ(delaunay_locate_point(d.get(), &p, 0), -1);
    int n = -1;
    int* ids = nullptr;
    delaunay_find_circles(d.get(), &p, &n, &ids);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(delaunay_triangulate(0, pts.data(), 0, nullptr, 0, nullptr), nullptr);
}
