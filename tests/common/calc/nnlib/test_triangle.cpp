#include "MeshChecks.h"
#include "calc/nnlib/triangle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using meshcheck::P;

namespace {

struct Mesh {
    int status = 0;
    triangulateio out{};
    ~Mesh()
    {
        trifree(out.pointlist);
        trifree(out.trianglelist);
        trifree(out.neighborlist);
        trifree(out.edgelist);
    }
    int Vertex(int t, int k) const { return out.trianglelist[3 * t + k]; }
    int Neighbour(int t, int k) const { return out.neighborlist[3 * t + k]; }
};

void Triangulate(const std::vector<P>& pts, Mesh& mesh, const char* switches = "eznCQ")
{
    std::vector<double> xy;
    for (const P& p : pts) {
        xy.push_back(p.x);
        xy.push_back(p.y);
    }
    triangulateio in{};
    in.numberofpoints = static_cast<int>(pts.size());
    in.pointlist = xy.data();
    mesh.status = triangulate(switches, &in, &mesh.out, nullptr);
}

// Everything the interpolation code relies on, checked independently.
void ExpectSoundMesh(const std::vector<P>& pts, const Mesh& mesh)
{
    const triangulateio& out = mesh.out;
    ASSERT_EQ(mesh.status, 0);
    ASSERT_EQ(out.numberofpoints, static_cast<int>(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(out.pointlist[2 * i], pts[i].x);
        EXPECT_EQ(out.pointlist[2 * i + 1], pts[i].y);
    }
    const int nt = out.numberoftriangles;
    double area = 0;
    for (int t = 0; t < nt; ++t) {
        const P a = pts[mesh.Vertex(t, 0)], b = pts[mesh.Vertex(t, 1)], c = pts[mesh.Vertex(t, 2)];
        const double twice = meshcheck::Orient(a, b, c);
        EXPECT_GT(twice, 0) << "triangle " << t << " not counter-clockwise or flat";
        area += twice / 2;
        for (size_t d = 0; d < pts.size(); ++d)
            EXPECT_FALSE(meshcheck::InCircle(a, b, c, pts[d])) << "point " << d << " in circle of " << t;
        for (int k = 0; k < 3; ++k) {
            const int u = mesh.Neighbour(t, k);
            const int e0 = mesh.Vertex(t, (k + 1) % 3), e1 = mesh.Vertex(t, (k + 2) % 3);
            if (u < 0) {
                // A hull edge: every point on its left or on its line.
                for (const P& q : pts)
                    EXPECT_GE(meshcheck::Orient(pts[e0], pts[e1], q), -1e-12);
                continue;
            }
            ASSERT_LT(u, nt);
            int back = -1;
            for (int j = 0; j < 3; ++j)
                if (mesh.Neighbour(u, j) == t)
                    back = j;
            ASSERT_GE(back, 0) << "neighbour lists not symmetric";
            const std::set<int> mine{e0, e1};
            const std::set<int> theirs{mesh.Vertex(u, (back + 1) % 3), mesh.Vertex(u, (back + 2) % 3)};
            EXPECT_EQ(mine, theirs) << "neighbours do not share the edge opposite the vertex";
        }
    }
    const std::vector<int> hull = meshcheck::Hull(pts);
    double hullArea = 0;
    for (size_t i = 1; i + 1 < hull.size(); ++i)
        hullArea += meshcheck::Orient(pts[hull[0]], pts[hull[i]], pts[hull[i + 1]]) / 2;
    EXPECT_NEAR(area, hullArea, 1e-9 * hullArea) << "triangles do not cover the hull";
}

std::vector<P> Grid(int nx, int ny)
{
    std::vector<P> pts;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            pts.push_back({0.5 + i, 0.5 + j});
    return pts;
}

}  // namespace

TEST(Triangulate, RandomPointsAreDelaunayWithEulerCounts)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::vector<P> pts = meshcheck::RandomPoints(150, seed, 10);
        Mesh mesh;
        Triangulate(pts, mesh);
        ExpectSoundMesh(pts, mesh);
        const int n = static_cast<int>(pts.size());
        const int h = static_cast<int>(meshcheck::Hull(pts).size());
        EXPECT_EQ(mesh.out.numberoftriangles, 2 * n - 2 - h);
        EXPECT_EQ(mesh.out.numberofedges, 3 * n - 3 - h);
        int hullEdges = 0;
        for (int i = 0; i < 3 * mesh.out.numberoftriangles; ++i)
            hullEdges += mesh.out.neighborlist[i] < 0;
        EXPECT_EQ(hullEdges, h) << "-1 must mark exactly the hull edges";
    }
}

TEST(Triangulate, RegularGridIsCoveredWithoutSlivers)
{
    const std::vector<P> pts = Grid(10, 10);
    Mesh mesh;
    Triangulate(pts, mesh);
    ExpectSoundMesh(pts, mesh);
    // 81 unit squares, two triangles each, every triangle of area 1/2.
    ASSERT_EQ(mesh.out.numberoftriangles, 162);
    for (int t = 0; t < 162; ++t)
        EXPECT_DOUBLE_EQ(meshcheck::Orient(pts[mesh.Vertex(t, 0)], pts[mesh.Vertex(t, 1)], pts[mesh.Vertex(t, 2)]), 1.0);
    int hullEdges = 0;
    for (int i = 0; i < 3 * 162; ++i)
        hullEdges += mesh.out.neighborlist[i] < 0;
    EXPECT_EQ(hullEdges, 36);
}

TEST(Triangulate, ClockwiseInputGivesCounterClockwiseTriangles)
{
    // A hexagon listed clockwise, with its centre.
    std::vector<P> pts;
    for (int k = 0; k < 6; ++k)
        pts.push_back({std::cos(-k * M_PI / 3 + 0.1), std::sin(-k * M_PI / 3 + 0.1)});
    pts.push_back({0.05, -0.02});
    Mesh mesh;
    Triangulate(pts, mesh);
    ExpectSoundMesh(pts, mesh);
    EXPECT_EQ(mesh.out.numberoftriangles, 6);
}

TEST(Triangulate, ExactDuplicatesStayListedButInNoTriangle)
{
    std::vector<P> pts = meshcheck::RandomPoints(30, 7);
    Mesh plain;
    Triangulate(pts, plain);
    const int triangles = plain.out.numberoftriangles;
    for (int i = 0; i < 5; ++i)
        pts.push_back(pts[3 * i]);
    Mesh mesh;
    Triangulate(pts, mesh);
    ExpectSoundMesh(pts, mesh);
    EXPECT_EQ(mesh.out.numberoftriangles, triangles);
    std::set<int> used;
    for (int i = 0; i < 3 * mesh.out.numberoftriangles; ++i)
        used.insert(mesh.out.trianglelist[i]);
    EXPECT_EQ(used.size(), 30u) << "each group of equal points is one vertex";
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(used.count(3 * i), used.count(30 + i));
}

TEST(Triangulate, NothingToTriangulateGivesNoTriangles)
{
    const std::vector<std::vector<P>> cases = {
        {},
        {{0, 0}, {1, 1}},
        {{0, 0}, {1, 1}, {0, 0}, {1, 1}},
        {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0.5, 0.5}},
        {{0, 1}, {0, 2}, {0, 5}},
        {{0.1, 0.3}, {0.2, 0.6}, {0.3, 0.9}},  // collinear up to rounding
    };
    for (const auto& pts : cases) {
        Mesh mesh;
        Triangulate(pts, mesh);
        EXPECT_EQ(mesh.status, 0);
        EXPECT_EQ(mesh.out.numberofpoints, static_cast<int>(pts.size()));
        EXPECT_EQ(mesh.out.numberoftriangles, 0);
        EXPECT_EQ(mesh.out.numberofedges, 0);
    }
}

TEST(Triangulate, CoCircularPointsGetValidTriangles)
{
    // Twelve points on one circle and the centre: a fan of co-circular quads.
    std::vector<P> pts;
    for (int k = 0; k < 12; ++k)
        pts.push_back({std::cos(k * M_PI / 6), std::sin(k * M_PI / 6)});
    Mesh mesh;
    Triangulate(pts, mesh);
    ExpectSoundMesh(pts, mesh);
    EXPECT_EQ(mesh.out.numberoftriangles, 10);
}

TEST(Triangulate, SwitchesAndSegmentsOutsideTheSupportedSetAreErrors)
{
    const std::vector<P> pts = Grid(3, 3);
    for (const char* bad : {"eznCQX", "q30", "eznCQa0.1"}) {
        Mesh mesh;
        Triangulate(pts, mesh, bad);
        EXPECT_EQ(mesh.status, -1) << bad;
        EXPECT_EQ(mesh.out.numberoftriangles, 0);
        EXPECT_EQ(mesh.out.trianglelist, nullptr);
    }
    std::vector<double> xy{0, 0, 1, 0, 0, 1};
    int segments[2] = {0, 1};
    triangulateio in{};
    in.numberofpoints = 3;
    in.pointlist = xy.data();
    in.numberofsegments = 1;
    in.segmentlist = segments;
    triangulateio out{};
    EXPECT_EQ(triangulate("peznCQ", &in, &out, nullptr), -1);
}

TEST(Triangulate, OneBasedNumberingWithoutZ)
{
    const std::vector<P> pts = {{0, 0}, {1, 0}, {0, 1}};
    Mesh mesh;
    Triangulate(pts, mesh, "enCQ");
    ASSERT_EQ(mesh.status, 0);
    ASSERT_EQ(mesh.out.numberoftriangles, 1);
    std::set<int> ids(mesh.out.trianglelist, mesh.out.trianglelist + 3);
    EXPECT_EQ(ids, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(mesh.out.neighborlist[0], -1);
}

TEST(Triangulate, PointsWithinRoundingOfAnotherCountAsDuplicates)
{
    // qhull cannot separate points this close; without merging them the
    // whole triangulation would be lost.
    std::vector<P> pts = meshcheck::RandomPoints(50, 3);
    Mesh plain;
    Triangulate(pts, plain);
    for (double eps : {1e-11, 1e-13, 1e-16}) {
        std::vector<P> close = pts;
        close.push_back({pts[10].x + eps, pts[10].y + eps / 2});
        close.push_back({pts[20].x * (1 + eps), pts[20].y});
        Mesh mesh;
        Triangulate(close, mesh);
        ASSERT_EQ(mesh.out.numberoftriangles, plain.out.numberoftriangles) << eps;
        std::set<int> used(mesh.out.trianglelist, mesh.out.trianglelist + 3 * mesh.out.numberoftriangles);
        EXPECT_EQ(used.size(), 50u);
        EXPECT_NE(used.count(10), used.count(50));
        EXPECT_NE(used.count(20), used.count(51));
    }
    // Far enough apart to be told apart: both are vertices.
    std::vector<P> apart = pts;
    apart.push_back({pts[10].x + 1e-7, pts[10].y + 0.5e-7});
    Mesh mesh;
    Triangulate(apart, mesh);
    EXPECT_EQ(mesh.out.numberoftriangles, plain.out.numberoftriangles + 2);
}

TEST(Triangulate, MapCoordinatesFarFromTheOrigin)
{
    std::vector<P> grid = Grid(10, 10), cloud = meshcheck::RandomPoints(100, 4, 30);
    for (std::vector<P>* pts : {&grid, &cloud})
        for (P& p : *pts)
            p = {6.5e6 + p.x * 0.01, 4.2e7 + p.y * 0.01};
    Mesh gridMesh, cloudMesh;
    Triangulate(grid, gridMesh);
    Triangulate(cloud, cloudMesh);
    ExpectSoundMesh(grid, gridMesh);
    ExpectSoundMesh(cloud, cloudMesh);
    EXPECT_EQ(gridMesh.out.numberoftriangles, 162);
    EXPECT_EQ(cloudMesh.out.numberoftriangles, 2 * 100 - 2 - static_cast<int>(meshcheck::Hull(cloud).size()));
}
