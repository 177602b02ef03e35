#include "calc/nnlib/triangle.h"

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

using Triangle = std::array<int, 3>;

struct TPlanePoints {
    const double* xy;
    double X(int i) const { return xy[2 * i]; }
    double Y(int i) const { return xy[2 * i + 1]; }
    // Twice the signed area of (a, b, c); positive when counter-clockwise.
    double Orient(int a, int b, int c) const
    {
        return (X(b) - X(a)) * (Y(c) - Y(a)) - (Y(b) - Y(a)) * (X(c) - X(a));
    }
};

double Extent(const TPlanePoints& pts, const std::vector<int>& ids)
{
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (int i : ids) {
        xmin = std::min(xmin, pts.X(i));
        xmax = std::max(xmax, pts.X(i));
        ymin = std::min(ymin, pts.Y(i));
        ymax = std::max(ymax, pts.Y(i));
    }
    return std::max(xmax - xmin, ymax - ymin);
}

// One point of each group of points that coincide within rounding of the
// data's extent (exactly equal points among them), in input order; points
// with a coordinate that is not finite take no part. qhull cannot separate
// points that close, and they would only give slivers.
std::vector<int> DistinctPoints(const TPlanePoints& pts, int n)
{
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
        if (std::isfinite(pts.X(i)) && std::isfinite(pts.Y(i)))
            order.push_back(i);
    const double tolerance = 1e-10 * Extent(pts, order);
    std::stable_sort(order.begin(), order.end(), [&pts](int a, int b) {
        return pts.X(a) != pts.X(b) ? pts.X(a) < pts.X(b) : pts.Y(a) < pts.Y(b);
    });
    std::vector<int> distinct;
    for (int k : order) {
        bool duplicate = false;
        for (auto j = distinct.rbegin(); j != distinct.rend() && pts.X(k) - pts.X(*j) <= tolerance; ++j) {
            if (std::fabs(pts.Y(k) - pts.Y(*j)) <= tolerance) {
                duplicate = true;
                break;
            }
        }
        if (!duplicate)
            distinct.push_back(k);
    }
    std::sort(distinct.begin(), distinct.end());
    return distinct;
}

// Collinear within rounding: nothing to triangulate.
bool Collinear(const TPlanePoints& pts, const std::vector<int>& ids, double extent)
{
    if (ids.size() < 3)
        return true;
    const int first = ids[0];
    int far = ids[1];
    double farDist = -1;
    for (int i : ids) {
        const double d = std::hypot(pts.X(i) - pts.X(first), pts.Y(i) - pts.Y(first));
        if (d > farDist) {
            farDist = d;
            far = i;
        }
    }
    const double tolerance = 1e-13 * extent * extent;
    for (int i : ids)
        if (std::fabs(pts.Orient(first, far, i)) > tolerance)
            return false;
    return true;
}

// Lower Delaunay facets of qhull for the given points, as indices into ids;
// false when qhull gives up.
bool RunQhull(const TPlanePoints& pts, const std::vector<int>& ids, const char* options,
              std::vector<Triangle>& triangles)
{
    std::vector<coordT> coords;
    coords.reserve(ids.size() * 2);
    for (int i : ids) {
        coords.push_back(pts.X(i));
        coords.push_back(pts.Y(i));
    }
    FILE* quiet = std::fopen("/dev/null", "w");
    if (!quiet)
        return false;
    qhT state;
    qhT* qh = &state;
    qh_zero(qh, quiet);
    std::vector<char> command(options, options + std::strlen(options) + 1);
    const int exitcode = qh_new_qhull(qh, 2, static_cast<int>(ids.size()), coords.data(), False,
                                      command.data(), nullptr, quiet);
    bool ok = exitcode == 0;
    triangles.clear();
    if (ok) {
        facetT* facet;
        vertexT* vertex;
        vertexT** vertexp;
        FORALLfacets {
            if (facet->upperdelaunay)
                continue;
            Triangle t{};
            int k = 0;
            bool finite = true;
            FOREACHvertex_(facet->vertices) {
                const int id = qh_pointid(qh, vertex->point);
                if (id < 0 || id >= static_cast<int>(ids.size()))
                    finite = false;  // the point at infinity
                else if (k < 3)
                    t[k] = ids[id];
                ++k;
            }
            if (k != 3) {
                ok = false;
                break;
            }
            if (finite)
                triangles.push_back(t);
        }
    }
    qh_freeqhull(qh, !qh_ALL);
    int curlong = 0, totlong = 0;
    qh_memfreeshort(qh, &curlong, &totlong);
    std::fclose(quiet);
    return ok;
}

// Counter-clockwise triangles without slivers of rounding size.
void Orient(const TPlanePoints& pts, std::vector<Triangle>& triangles)
{
    std::vector<Triangle> kept;
    for (Triangle t : triangles) {
        const double area = pts.Orient(t[0], t[1], t[2]);
        double longest2 = 0;
        for (int k = 0; k < 3; ++k) {
            const int a = t[k], b = t[(k + 1) % 3];
            const double dx = pts.X(a) - pts.X(b), dy = pts.Y(a) - pts.Y(b);
            longest2 = std::max(longest2, dx * dx + dy * dy);
        }
        if (!(std::fabs(area) > 1e-12 * longest2))
            continue;
        if (area < 0)
            std::swap(t[1], t[2]);
        kept.push_back(t);
    }
    triangles.swap(kept);
}

// Neighbour opposite each vertex; false when an edge is used twice in one
// direction or by more than two triangles (overlap).
bool LinkNeighbours(const std::vector<Triangle>& triangles, std::vector<Triangle>& neighbours)
{
    struct Side {
        long long key;
        int from, triangle, slot;
    };
    std::vector<Side> sides;
    sides.reserve(triangles.size() * 3);
    for (size_t t = 0; t < triangles.size(); ++t) {
        for (int slot = 0; slot < 3; ++slot) {
            const int a = triangles[t][(slot + 1) % 3];
            const int b = triangles[t][(slot + 2) % 3];
            const long long key = (static_cast<long long>(std::min(a, b)) << 32) | std::max(a, b);
            sides.push_back({key, a, static_cast<int>(t), slot});
        }
    }
    std::sort(sides.begin(), sides.end(), [](const Side& l, const Side& r) { return l.key < r.key; });
    neighbours.assign(triangles.size(), Triangle{-1, -1, -1});
    for (size_t k = 0; k < sides.size();) {
        size_t end = k + 1;
        while (end < sides.size() && sides[end].key == sides[k].key)
            ++end;
        if (end - k > 2)
            return false;
        if (end - k == 2) {
            const Side& s = sides[k];
            const Side& o = sides[k + 1];
            if (s.from == o.from)
                return false;
            neighbours[s.triangle][s.slot] = o.triangle;
            neighbours[o.triangle][o.slot] = s.triangle;
        }
        k = end;
    }
    return true;
}

double HullArea(const TPlanePoints& pts, std::vector<int> ids)
{
    std::sort(ids.begin(), ids.end(), [&pts](int a, int b) {
        return pts.X(a) != pts.X(b) ? pts.X(a) < pts.X(b) : pts.Y(a) < pts.Y(b);
    });
    std::vector<int> hull(2 * ids.size());
    size_t k = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        while (k >= 2 && pts.Orient(hull[k - 2], hull[k - 1], ids[i]) <= 0)
            --k;
        hull[k++] = ids[i];
    }
    for (size_t i = ids.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && pts.Orient(hull[k - 2], hull[k - 1], ids[i]) <= 0)
            --k;
        hull[k++] = ids[i];
    }
    double area = 0;
    for (size_t i = 1; i + 1 < k; ++i)
        area += pts.Orient(hull[0], hull[i], hull[i + 1]);
    return area / 2;
}

bool LocallyDelaunay(const TPlanePoints& pts, const std::vector<Triangle>& triangles,
                     const std::vector<Triangle>& neighbours)
{
    for (size_t t = 0; t < triangles.size(); ++t) {
        const Triangle& v = triangles[t];
        const double ax = pts.X(v[0]), ay = pts.Y(v[0]);
        const double bx = pts.X(v[1]) - ax, by = pts.Y(v[1]) - ay;
        const double cx = pts.X(v[2]) - ax, cy = pts.Y(v[2]) - ay;
        const double d = 2 * (bx * cy - by * cx);
        const double ux = (cy * (bx * bx + by * by) - by * (cx * cx + cy * cy)) / d;
        const double uy = (bx * (cx * cx + cy * cy) - cx * (bx * bx + by * by)) / d;
        const double r2 = ux * ux + uy * uy;
        for (int slot = 0; slot < 3; ++slot) {
            const int u = neighbours[t][slot];
            if (u < 0)
                continue;
            for (int w : triangles[u]) {
                if (w == v[0] || w == v[1] || w == v[2])
                    continue;
                const double dx = pts.X(w) - ax - ux, dy = pts.Y(w) - ay - uy;
                if (dx * dx + dy * dy < r2 * (1 - 2e-9))
                    return false;
            }
        }
    }
    return true;
}

// qhull leaves out a point that lies within rounding of a vertex; such a
// point counts as a duplicate. Any other point left out is a failure.
bool UnusedAreNearVertices(const TPlanePoints& pts, const std::vector<int>& ids,
                           const std::vector<char>& used)
{
    const double tolerance = 1e-6 * Extent(pts, ids);
    for (int i : ids) {
        if (used[i])
            continue;
        bool near = false;
        for (int j : ids) {
            if (used[j] && std::fabs(pts.X(i) - pts.X(j)) <= tolerance &&
                std::fabs(pts.Y(i) - pts.Y(j)) <= tolerance) {
                near = true;
                break;
            }
        }
        if (!near)
            return false;
    }
    return true;
}

bool Valid(const TPlanePoints& pts, const std::vector<int>& ids, const std::vector<Triangle>& triangles,
           std::vector<Triangle>& neighbours, bool checkEmptyCircles)
{
    if (triangles.empty() || !LinkNeighbours(triangles, neighbours))
        return false;
    std::vector<char> used(*std::max_element(ids.begin(), ids.end()) + 1, 0);
    double area = 0;
    for (const Triangle& t : triangles) {
        for (int v : t)
            used[v] = 1;
        area += pts.Orient(t[0], t[1], t[2]) / 2;
    }
    if (!UnusedAreNearVertices(pts, ids, used))
        return false;
    const double hull = HullArea(pts, ids);
    if (std::fabs(area - hull) > 1e-9 * hull)
        return false;
    return !checkEmptyCircles || LocallyDelaunay(pts, triangles, neighbours);
}

// Triangles over the distinct points; empty when there are none to make.
// The points moved and scaled into [-1, 1]: the triangulation does not
// change, but qhull's lifting to the paraboloid loses all precision on
// coordinates far from the origin (map coordinates in the millions).
std::vector<double> Normalised(const double* xy, int n)
{
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(xy[2 * i]) || !std::isfinite(xy[2 * i + 1]))
            continue;
        xmin = std::min(xmin, xy[2 * i]);
        xmax = std::max(xmax, xy[2 * i]);
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    const double cx = (xmin + xmax) / 2, cy = (ymin + ymax) / 2;
    double half = std::max(xmax - xmin, ymax - ymin) / 2;
    if (!(half > 0) || !std::isfinite(half))
        half = 1;
    std::vector<double> out(xy, xy + 2 * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[2 * i] = (out[2 * i] - cx) / half;
        out[2 * i + 1] = (out[2 * i + 1] - cy) / half;
    }
    return out;
}

void Triangulate(const double* xy, int n, std::vector<Triangle>& triangles, std::vector<Triangle>& neighbours)
{
    triangles.clear();
    neighbours.clear();
    const std::vector<double> normalised = Normalised(xy, n);
    const TPlanePoints pts{normalised.data()};
    const std::vector<int> ids = DistinctPoints(pts, n);
    if (ids.size() < 3 || Collinear(pts, ids, Extent(pts, ids)))
        return;
    // Regular grids are massively co-circular: Qz keeps qhull stable there;
    // joggling is the fallback when the exact attempt does not check out.
    if (RunQhull(pts, ids, "qhull d Qbb Qc Qz Qt", triangles)) {
        Orient(pts, triangles);
        if (Valid(pts, ids, triangles, neighbours, true))
            return;
    }
    if (RunQhull(pts, ids, "qhull d Qbb Qz QJ", triangles)) {
        Orient(pts, triangles);
        if (Valid(pts, ids, triangles, neighbours, false))
            return;
    }
    triangles.clear();
    neighbours.clear();
}

struct TSwitches {
    bool zeroBased = false, edges = false, neighbours = false, ok = true;
};

TSwitches ParseSwitches(const char* text)
{
    TSwitches s;
    for (const char* c = text ? text : ""; *c; ++c) {
        switch (*c) {
        case 'z': s.zeroBased = true; break;
        case 'e': s.edges = true; break;
        case 'n': s.neighbours = true; break;
        case 'C':
        case 'Q':
        case 'p': break;
        default: s.ok = false;
        }
    }
    return s;
}

template <typename T>
T* Allocate(size_t count)
{
    return count ? static_cast<T*>(std::malloc(count * sizeof(T))) : nullptr;
}

}  // namespace

int triangulate(const char* switches, triangulateio* in, triangulateio* out, triangulateio* /*vorout*/)
{
    if (!out)
        return -1;
    *out = triangulateio{};
    const TSwitches s = ParseSwitches(switches);
    if (!s.ok || !in || in->numberofpoints < 0 || (in->numberofpoints > 0 && !in->pointlist) ||
        in->numberofsegments > 0 || in->numberofholes > 0)
        return -1;
    const int n = in->numberofpoints;
    std::vector<Triangle> triangles, neighbours;
    Triangulate(in->pointlist, n, triangles, neighbours);

    const int base = s.zeroBased ? 0 : 1;
    out->numberofpoints = n;
    out->pointlist = Allocate<double>(2 * static_cast<size_t>(n));
    if (n)
        std::memcpy(out->pointlist, in->pointlist, 2 * static_cast<size_t>(n) * sizeof(double));
    out->numberoftriangles = static_cast<int>(triangles.size());
    out->numberofcorners = 3;
    out->trianglelist = Allocate<int>(3 * triangles.size());
    for (size_t t = 0; t < triangles.size(); ++t)
        for (int k = 0; k < 3; ++k)
            out->trianglelist[3 * t + k] = triangles[t][k] + base;
    if (s.neighbours) {
        out->neighborlist = Allocate<int>(3 * triangles.size());
        for (size_t t = 0; t < triangles.size(); ++t)
            for (int k = 0; k < 3; ++k)
                out->neighborlist[3 * t + k] = neighbours[t][k] < 0 ? -1 : neighbours[t][k] + base;
    }
    if (s.edges) {
        std::vector<int> edges;
        for (size_t t = 0; t < triangles.size(); ++t) {
            for (int slot = 0; slot < 3; ++slot) {
                const int across = neighbours[t][slot];
                if (across >= 0 && across < static_cast<int>(t))
                    continue;  // listed with the other triangle
                edges.push_back(triangles[t][(slot + 1) % 3] + base);
                edges.push_back(triangles[t][(slot + 2) % 3] + base);
            }
        }
        out->numberofedges = static_cast<int>(edges.size() / 2);
        out->edgelist = Allocate<int>(edges.size());
        std::copy(edges.begin(), edges.end(), out->edgelist);
    }
    return 0;
}

void trifree(void* memory) { std::free(memory); }
