#include "MeshChecks.h"
#include "calc/nnlib/nn.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <numbers>
#include <vector>

// Regular lattices of known cells are the array builder's everyday input:
// every four neighbouring sites are co-circular and most output cells lie on
// triangle edges or on the hull. Natural-neighbour weights do not depend on
// which Delaunay diagonal was chosen, so the values must not either.

namespace {

double Plane(double x, double y) { return 0.7 * x - 0.45 * y + 3; }

std::vector<point> Interpolate(std::vector<point> in, std::vector<point> out, int method, int scaling = 0)
{
    int nout = static_cast<int>(out.size());
    point* pout = out.data();
    EXPECT_EQ(nn_interpolate_scattered(static_cast<int>(in.size()), in.data(), method, scaling, &nout, &pout, -1, -1,
                                       0, -1, -1, -DBL_MAX, 1.0),
              1);
    return out;
}

// Cells of an n by n array of the given cell size and origin, at the cell
// centres as the array builder passes them; the known ones carry the plane.
struct TLattice {
    std::vector<point> known, empty;
    std::vector<bool> emptyOnHull;

    TLattice(int n, bool (*isKnown)(int, int), double origin, double cell)
    {
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                const double x = origin + (i + 0.5) * cell, y = origin + (j + 0.5) * cell;
                if (isKnown(i, j)) {
                    known.push_back({x, y, Plane(x, y)});
                } else {
                    empty.push_back({x, y, 0});
                    emptyOnHull.push_back(i == 0 || j == 0 || i == n - 1 || j == n - 1);
                }
            }
        }
    }
};

bool BorderAndEveryFourth(int i, int j) { return i == 0 || j == 0 || i == 20 || j == 20 || (i % 4 == 0 && j % 4 == 0); }
bool EveryFourth(int i, int j) { return i % 4 == 0 && j % 4 == 0; }

struct LatticeCase {
    const char* name;
    bool (*isKnown)(int, int);
    double origin, cell;
};
const LatticeCase Lattices[] = {
    {"border and every fourth, unit cells", BorderAndEveryFourth, -0.5, 1},
    {"border and every fourth, map cells", BorderAndEveryFourth, 512345.7, 0.3},
    {"every fourth, unit cells", EveryFourth, -0.5, 1},
    {"every fourth, map cells", EveryFourth, 512345.7, 0.3},
};

double Range(const std::vector<point>& pts)
{
    double lo = INFINITY, hi = -INFINITY;
    for (const point& p : pts) {
        lo = std::fmin(lo, p.z);
        hi = std::fmax(hi, p.z);
    }
    return hi - lo;
}

}  // namespace

TEST(CocircularInterpolation, LinearAndSibsonReproduceAPlaneOnALatticeOfKnownCells)
{
    for (const LatticeCase& c : Lattices) {
        const TLattice lattice(21, c.isKnown, c.origin, c.cell);
        const double tolerance = 1e-9 * Range(lattice.known);
        for (int method : {0, 1}) {
            for (int scaling : {0, 1, 2}) {
                const auto out = Interpolate(lattice.known, lattice.empty, method, scaling);
                for (const point& p : out)
                    ASSERT_NEAR(p.z, Plane(p.x, p.y), tolerance)
                        << c.name << ", method " << method << ", scaling " << scaling << " at " << p.x << " " << p.y;
            }
        }
    }
}

TEST(CocircularInterpolation, NonSibsonianOnALatticeIsExactOnTheHullAndABlendInside)
{
    // The rule does not reproduce a plane inside the hull; its weights are
    // positive there, so it blends the data. On a hull edge the two ends are
    // the only natural neighbours.
    for (const LatticeCase& c : Lattices) {
        const TLattice lattice(21, c.isKnown, c.origin, c.cell);
        const double range = Range(lattice.known);
        double lo = INFINITY, hi = -INFINITY;
        for (const point& p : lattice.known) {
            lo = std::fmin(lo, p.z);
            hi = std::fmax(hi, p.z);
        }
        for (int scaling : {0, 1, 2}) {
            const auto out = Interpolate(lattice.known, lattice.empty, 2, scaling);
            for (size_t k = 0; k < out.size(); ++k) {
                const point& p = out[k];
                if (lattice.emptyOnHull[k]) {
                    ASSERT_NEAR(p.z, Plane(p.x, p.y), 1e-9 * range) << c.name << ", scaling " << scaling;
                } else {
                    ASSERT_GE(p.z, lo) << c.name;
                    ASSERT_LE(p.z, hi) << c.name;
                }
            }
        }
    }
}

namespace {

struct TConfiguration {
    const char* name;
    std::vector<point> sites;  // z is filled per test
    point centre;
    std::vector<point> inside;  // off-centre and on interior edges
};

std::vector<TConfiguration> Configurations()
{
    std::vector<TConfiguration> configs;
    configs.push_back({"square",
                       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                       {0.5, 0.5, 0},
                       {{0.3, 0.6, 0}, {0.25, 0.25, 0}, {0.75, 0.25, 0}, {0.9, 0.1, 0}, {0.05, 0.95, 0}}});
    TConfiguration hexagon{"hexagon", {}, {0, 0, 0}, {{0.2, -0.1, 0}, {0.5, 0, 0}, {-0.25, 0.433, 0}, {0.6, 0.6, 0}}};
    for (int k = 0; k < 6; ++k) {
        const double a = k * std::numbers::pi / 3;
        hexagon.sites.push_back({std::cos(a), std::sin(a), 0});
    }
    configs.push_back(hexagon);
    // Four lattice squares around a shared corner, with that corner known.
    TConfiguration squares{"four squares", {}, {1, 1, 0}, {{0.5, 0.5, 0}, {1.5, 1, 0}, {1, 0.5, 0}, {0.2, 1.7, 0}}};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            squares.sites.push_back({double(i), double(j), 0});
    configs.push_back(squares);
    return configs;
}

std::vector<point> WithValues(std::vector<point> sites, double (*field)(double, double))
{
    for (point& p : sites)
        p.z = field(p.x, p.y);
    return sites;
}

// Values that lie on no plane.
double Bumpy(double x, double y) { return std::sin(3 * x + 1) + 2 * y * y - x * y; }

}  // namespace

TEST(CocircularInterpolation, SibsonReproducesAPlaneInsideCocircularSites)
{
    for (const TConfiguration& c : Configurations()) {
        std::vector<point> probes = c.inside;
        probes.push_back(c.centre);
        const auto out = Interpolate(WithValues(c.sites, Plane), probes, 1);
        for (const point& p : out)
            EXPECT_NEAR(p.z, Plane(p.x, p.y), 1e-12) << c.name << " at " << p.x << " " << p.y;
    }
}

TEST(CocircularInterpolation, TheCentreOfCocircularSitesGetsTheirMean)
{
    // By symmetry every site has the same weight under both rules, whatever
    // diagonals the triangulation chose.
    for (const TConfiguration& c : Configurations()) {
        if (c.sites.size() == 9)
            continue;  // the centre there is a site
        const std::vector<point> sites = WithValues(c.sites, Bumpy);
        double mean = 0;
        for (const point& s : sites)
            mean += s.z / sites.size();
        for (int method : {1, 2}) {
            const auto out = Interpolate(sites, {c.centre}, method);
            EXPECT_NEAR(out[0].z, mean, 1e-12) << c.name << ", method " << method;
        }
    }
}

TEST(CocircularInterpolation, PointsOnAHullEdgeTakeTheValueAlongTheEdge)
{
    for (const TConfiguration& c : Configurations()) {
        const std::vector<point> sites = WithValues(c.sites, Bumpy);
        // The hull of each configuration runs through consecutive outer sites.
        std::vector<point> hull;
        if (sites.size() == 9)
            hull = {sites[0], sites[1], sites[2], sites[5], sites[8], sites[7], sites[6], sites[3]};
        else
            hull = sites;
        for (size_t k = 0; k < hull.size(); ++k) {
            const point& a = hull[k];
            const point& b = hull[(k + 1) % hull.size()];
            for (double s : {0.5, 0.3, 0.875}) {
                const point probe{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), 0};
                const double expected = (1 - s) * a.z + s * b.z;
                for (int method : {0, 1, 2}) {
                    // The hexagon's edges are slanted: a probe on one lies
                    // outside the hull by a rounding, where linear has no value.
                    if (method == 0 && sites.size() == 6)
                        continue;
                    const auto out = Interpolate(sites, {probe}, method);
                    EXPECT_NEAR(out[0].z, expected, 1e-9)
                        << c.name << ", method " << method << ", edge " << k << ", at " << s;
                }
            }
        }
    }
}

TEST(CocircularInterpolation, DataPointsKeepTheirValues)
{
    for (const TConfiguration& c : Configurations()) {
        const std::vector<point> sites = WithValues(c.sites, Bumpy);
        std::vector<point> probes = sites;
        for (point& p : probes)
            p.z = -99;
        for (int method : {0, 1, 2}) {
            const auto out = Interpolate(sites, probes, method);
            for (size_t k = 0; k < sites.size(); ++k)
                EXPECT_NEAR(out[k].z, sites[k].z, 1e-12) << c.name << ", method " << method << ", site " << k;
        }
    }
}

TEST(CocircularInterpolation, SibsonWeightsAreContinuousAcrossAnInteriorEdge)
{
    // Just off the diagonal of the square, on either side: the values meet
    // the value on it (a circle through p and the diagonal would have its
    // centre far away on either side).
    const std::vector<point> sites = WithValues(Configurations()[0].sites, Bumpy);
    for (double t : {0.2, 0.5, 0.7}) {
        std::vector<point> probes;
        for (double off : {-1e-13, -1e-9, 0.0, 1e-9, 1e-13})
            for (bool rising : {true, false}) {
                if (rising)
                    probes.push_back({t + off, t - off, 0});
                else
                    probes.push_back({1 - t + off, t + off, 0});
            }
        const auto out = Interpolate(sites, probes, 1);
        for (size_t k = 0; k < probes.size(); ++k)
            EXPECT_NEAR(out[k].z, out[4 + k % 2].z, 1e-8) << "t " << t << ", probe " << k;
    }
}

TEST(CocircularInterpolation, EveryDataPointKeepsItsValue)
{
    // A data point lies on the circumcircles of its own triangles; rounding
    // can leave it outside all of them.
    std::vector<std::vector<point>> sets;
    for (const LatticeCase& c : Lattices)
        sets.push_back(WithValues(TLattice(21, c.isKnown, c.origin, c.cell).known, Bumpy));
    std::vector<point> cloud;
    for (const auto& p : meshcheck::RandomPoints(300, 41, 1))
        cloud.push_back({p.x, p.y, Bumpy(p.x, p.y)});
    sets.push_back(cloud);
    for (size_t set = 0; set < sets.size(); ++set) {
        for (int method : {1, 2}) {
            for (int scaling : {0, 1, 2}) {
                const auto out = Interpolate(sets[set], sets[set], method, scaling);
                for (size_t k = 0; k < out.size(); ++k)
                    ASSERT_EQ(out[k].z, sets[set][k].z) << "set " << set << ", method " << method << ", scaling "
                                                        << scaling << ", point " << k;
            }
        }
    }
}

TEST(CocircularInterpolation, SibsonValuesOnALatticeDoNotDependOnTheDiagonals)
{
    // The square lattice's enclosing ellipse is a circle, so both scalings
    // only move and scale the plane, which leaves Sibson's weights alone; but
    // they break the exact ties, so the triangulation picks other diagonals.
    for (const LatticeCase& c : Lattices) {
        const TLattice lattice(21, c.isKnown, c.origin, c.cell);
        std::vector<point> known = lattice.known;
        for (point& p : known)
            p.z = Bumpy((p.x - c.origin) / (21 * c.cell), (p.y - c.origin) / (21 * c.cell));
        const auto plain = Interpolate(known, lattice.empty, 1, 0);
        for (int scaling : {1, 2}) {
            const auto scaled = Interpolate(known, lattice.empty, 1, scaling);
            for (size_t k = 0; k < plain.size(); ++k)
                ASSERT_NEAR(scaled[k].z, plain[k].z, 1e-11) << c.name << ", scaling " << scaling << ", cell " << k;
        }
    }
}
