#include "calc/nnlib/nnpi.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

constexpr int Step = 10;
constexpr double CoincidentWeight = 1e100;

void* Grow(void* memory, size_t bytes)
{
    void* grown = std::realloc(memory, bytes);
    if (!grown)
        throw std::bad_alloc();
    return grown;
}

void AddWeight(nnpi* nn, int vertex, double weight, bool keepLarger)
{
    for (int i = 0; i < nn->nvertices; ++i) {
        if (nn->vertices[i] == vertex) {
            if (!keepLarger)
                nn->weights[i] += weight;
            else if (weight > nn->weights[i])
                nn->weights[i] = weight;
            return;
        }
    }
    if (nn->nvertices == nn->nallocated) {
        nn->nallocated += Step;
        nn->vertices = static_cast<int*>(Grow(nn->vertices, nn->nallocated * sizeof(int)));
        nn->weights = static_cast<double*>(Grow(nn->weights, nn->nallocated * sizeof(double)));
    }
    nn->vertices[nn->nvertices] = vertex;
    nn->weights[nn->nvertices] = weight;
    ++nn->nvertices;
}

void AddNonSibsonian(nnpi* nn, int t, const point* p)
{
    const delaunay* d = nn->d;
    const circle& c = d->circles[t];
    const double reach = c.r - std::hypot(p->x - c.x, p->y - c.y);
    for (int v : d->triangles[t].vids) {
        const point& pv = d->points[v];
        const double distance = std::hypot(p->x - pv.x, p->y - pv.y);
        AddWeight(nn, v, distance == 0 ? CoincidentWeight : reach / distance, true);
    }
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Sibson's weight of a vertex is the area its Voronoi cell loses to p. Each
// triangle whose circumcircle holds p adds, for each of its vertices, the
// part of that lost region's boundary it owns: the edge from the previous
// Voronoi vertex (the neighbour's circumcentre, or where p's new cell starts
// when the neighbour keeps its circle) to its own circumcentre, and the edge
// out to p's new cell when the next neighbour keeps its circle. Areas are
// taken about the midpoint of p and the vertex: the closing edge along their
// bisector then adds nothing. This is the same sum as taking the circles of
// p with every edge of the triangle, but it never builds a circle through p
// and an edge that p lies on or next to (lattice data put output points on
// such edges all the time); those circles have centres at or near infinity
// and cancel only in exact arithmetic.
void AddSibson(nnpi* nn, int t, const point* p)
{
    const delaunay* d = nn->d;
    const int* v = d->triangles[t].vids;
    const int* across = d->neighbours[t].tids;
    const circle& c = d->circles[t];
    for (int i = 0; i < 3; ++i) {
        const point& pi = d->points[v[i]];
        const point& next = d->points[v[(i + 1) % 3]];
        const point& prev = d->points[v[(i + 2) % 3]];
        const double ox = (p->x + pi.x) / 2, oy = (p->y + pi.y) / 2;
        const int before = across[(i + 2) % 3];  // across the edge (pi, next)
        const int after = across[(i + 1) % 3];   // across the edge (prev, pi)
        double weight = 0;
        circle from;
        if (before >= 0 && nn->in_cavity[before])
            from = d->circles[before];
        else if (!circle_through_points(&from, p, &pi, &next))
            from = c;  // rounding put p on the line of that edge: leave it out
        weight += Cross(from.x - ox, from.y - oy, c.x - ox, c.y - oy);
        circle to;
        if (!(after >= 0 && nn->in_cavity[after]) && circle_through_points(&to, p, &prev, &pi))
            weight += Cross(c.x - ox, c.y - oy, to.x - ox, to.y - oy);
        AddWeight(nn, v[i], weight, false);
    }
}

// The triangles whose circumcircle holds p, marked in in_cavity.
void FindCavity(nnpi* nn, const point* p, std::vector<int>& cavity)
{
    delaunay* d = nn->d;
    for (int t = 0; t < d->ntriangles; ++t)
        d->flags[t] = 0;
    cavity.clear();
    if (d->ntriangles < 21) {
        for (int t = 0; t < d->ntriangles; ++t)
            if (circle_contains(&d->circles[t], p))
                cavity.push_back(t);
    } else {
        int count = 0;
        int* ids = nullptr;
        delaunay_find_circles(d, p, &count, &ids);
        for (int i = 0; i < count; ++i)
            if (circle_contains(&d->circles[ids[i]], p))
                cavity.push_back(ids[i]);
    }
    for (int t : cavity)
        nn->in_cavity[t] = 1;
}

// A point on a hull edge (within rounding of the data's coordinates) has the
// edge's two ends as its only natural neighbours, weighted as along the edge;
// the weight rules themselves break down there (Sibson's circles through p
// and that edge do not exist, the non-Sibsonian reach weights the far
// vertices too). Every hull edge near p belongs to a triangle whose circle
// holds p.
bool OnHullEdge(const delaunay* d, const std::vector<int>& cavity, const point* p, double* z)
{
    constexpr double Rounding = 1e-12;
    for (int t : cavity) {
        for (int k = 0; k < 3; ++k) {
            if (d->neighbours[t].tids[k] >= 0)
                continue;
            const point& a = d->points[d->triangles[t].vids[(k + 1) % 3]];
            const point& b = d->points[d->triangles[t].vids[(k + 2) % 3]];
            const double ex = b.x - a.x, ey = b.y - a.y;
            const double length2 = ex * ex + ey * ey;
            const double along = ((p->x - a.x) * ex + (p->y - a.y) * ey) / length2;
            const double off = Cross(ex, ey, p->x - a.x, p->y - a.y) / length2;
            if (std::fabs(off) > Rounding || along < -Rounding || along > 1 + Rounding)
                continue;
            const double s = std::fmin(std::fmax(along, 0.0), 1.0);
            *z = (1 - s) * a.z + s * b.z;
            return true;
        }
    }
    return false;
}

// A data point's value is its own under both rules (Sibson's weights are not
// defined there: its whole cell goes to p). The point lies on the circles of
// its own triangles, and rounding may leave it outside all of them, so the
// triangles are found by the walk, not by the circles.
bool AtDataPoint(delaunay* d, const point* p, double* z)
{
    const int t = delaunay_locate_point(d, p, d->first_id);
    if (t < 0)
        return false;
    for (int v : d->triangles[t].vids) {
        const point& pv = d->points[v];
        if (pv.x == p->x && pv.y == p->y) {
            *z = pv.z;
            return true;
        }
    }
    return false;
}

void CalculateWeights(nnpi* nn, point* p, const std::vector<int>& cavity)
{
    nn->nvertices = 0;
    for (int t : cavity) {
        if (nn_rule == NON_SIBSONIAN)
            AddNonSibsonian(nn, t, p);
        else
            AddSibson(nn, t, p);
    }
}

double WeightedValue(const nnpi* nn)
{
    double sum = 0;
    for (int i = 0; i < nn->nvertices; ++i)
        sum += nn->weights[i];
    if (nn->nvertices == 0 || sum == 0 || !std::isfinite(sum))
        return nn_nan;
    double z = 0;
    for (int i = 0; i < nn->nvertices; ++i) {
        const double w = nn->weights[i] / sum;
        if (w < nn->wmin)
            return nn_nan;
        z += nn->d->points[nn->vertices[i]].z * w;
    }
    return z;
}

double Interpolate(nnpi* nn, point* p, const std::vector<int>& cavity)
{
    double z;
    if (AtDataPoint(nn->d, p, &z) || OnHullEdge(nn->d, cavity, p, &z))
        return z;
    CalculateWeights(nn, p, cavity);
    return WeightedValue(nn);
}

}  // namespace

nnpi* nnpi_create(delaunay* d)
{
    nnpi* nn = static_cast<nnpi*>(std::malloc(sizeof(nnpi)));
    if (!nn)
        throw std::bad_alloc();
    nn->d = d;
    nn->wmin = -DBL_MAX;
    nn->n = 0;
    nn->p = nullptr;
    nn->nvertices = 0;
    nn->nallocated = Step;
    nn->vertices = static_cast<int*>(std::malloc(Step * sizeof(int)));
    nn->weights = static_cast<double*>(std::malloc(Step * sizeof(double)));
    nn->in_cavity = static_cast<char*>(std::calloc(d->ntriangles > 0 ? d->ntriangles : 1, 1));
    if (!nn->vertices || !nn->weights || !nn->in_cavity) {
        nnpi_destroy(nn);
        throw std::bad_alloc();
    }
    return nn;
}

void nnpi_destroy(nnpi* nn)
{
    if (!nn)
        return;
    std::free(nn->vertices);
    std::free(nn->weights);
    std::free(nn->in_cavity);
    std::free(nn);
}

void nnpi_set_wmin(nnpi* nn, double wmin) { nn->wmin = wmin; }

void nnpi_interpolate_point(nnpi* nn, point* p)
{
    nn->p = p;
    ++nn->n;
    if (nn_rule != SIBSON && nn_rule != NON_SIBSONIAN) {
        p->z = nn_nan;
        return;
    }
    std::vector<int> cavity;
    FindCavity(nn, p, cavity);
    p->z = Interpolate(nn, p, cavity);
    for (int t : cavity)
        nn->in_cavity[t] = 0;
}

void nn_point_interp_points(int nin, point* pin, double wmin, int nout, point* pout)
{
    delaunay* d = delaunay_triangulate(nin, pin, 0, nullptr, 0, nullptr);
    if (!d) {
        for (int i = 0; i < nout; ++i)
            pout[i].z = nn_nan;
        return;
    }
    nnpi* nn = nnpi_create(d);
    nnpi_set_wmin(nn, wmin);
    for (int i = 0; i < nout; ++i)
        nnpi_interpolate_point(nn, &pout[i]);
    nnpi_destroy(nn);
    delaunay_free(d);
}
