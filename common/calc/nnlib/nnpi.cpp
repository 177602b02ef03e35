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

// Index of the first circle through p and two vertices that cannot be built
// (the three are collinear), or -1 when all three are built.
int BuildSibsonCircles(const point* p, const point* const* pv, circle* cs)
{
    for (int i = 0; i < 3; ++i)
        if (!circle_through_points(&cs[i], p, pv[(i + 1) % 3], pv[(i + 2) % 3]))
            return i;
    return -1;
}

void AddSibson(nnpi* nn, int t, const point* p)
{
    const delaunay* d = nn->d;
    const int* v = d->triangles[t].vids;
    const point* pv[3] = {&d->points[v[0]], &d->points[v[1]], &d->points[v[2]]};
    const circle& c = d->circles[t];
    circle cs[3];
    const int failed = BuildSibsonCircles(p, pv, cs);
    if (failed >= 0) {
        // p lies on the line of two vertices: nudge it off that line, for this
        // triangle only, by a hair of the triangle's size.
        const double xmin = std::fmin(pv[0]->x, std::fmin(pv[1]->x, pv[2]->x));
        const double xmax = std::fmax(pv[0]->x, std::fmax(pv[1]->x, pv[2]->x));
        const double ymin = std::fmin(pv[0]->y, std::fmin(pv[1]->y, pv[2]->y));
        const double ymax = std::fmax(pv[0]->y, std::fmax(pv[1]->y, pv[2]->y));
        const double shift = 1e-9 * ((xmax - xmin) + (ymax - ymin));
        point moved = *p;
        if (pv[(failed + 1) % 3]->y == pv[(failed + 2) % 3]->y)
            moved.y += shift;
        else
            moved.x += shift;
        if (BuildSibsonCircles(&moved, pv, cs) >= 0)
            return;  // still on a line: the triangle gives nothing
    }
    for (int i = 0; i < 3; ++i) {
        const circle& a = cs[(i + 1) % 3];
        const circle& b = cs[(i + 2) % 3];
        AddWeight(nn, v[i], (a.x - c.x) * (b.y - c.y) - (b.x - c.x) * (a.y - c.y), false);
    }
}

void CalculateWeights(nnpi* nn, point* p)
{
    delaunay* d = nn->d;
    nn->nvertices = 0;
    for (int t = 0; t < d->ntriangles; ++t)
        d->flags[t] = 0;
    int count = 0;
    int* ids = nullptr;
    std::vector<int> all;
    if (d->ntriangles < 21) {
        for (int t = 0; t < d->ntriangles; ++t)
            if (circle_contains(&d->circles[t], p))
                all.push_back(t);
        count = static_cast<int>(all.size());
        ids = all.data();
    } else {
        delaunay_find_circles(d, p, &count, &ids);
    }
    for (int i = 0; i < count; ++i) {
        const int t = ids[i];
        if (!circle_contains(&d->circles[t], p))
            continue;
        if (nn_rule == NON_SIBSONIAN)
            AddNonSibsonian(nn, t, p);
        else
            AddSibson(nn, t, p);
    }
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
    if (!nn->vertices || !nn->weights) {
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
    CalculateWeights(nn, p);
    double sum = 0;
    for (int i = 0; i < nn->nvertices; ++i)
        sum += nn->weights[i];
    if (nn->nvertices == 0 || sum == 0 || !std::isfinite(sum)) {
        p->z = nn_nan;
        return;
    }
    double z = 0;
    for (int i = 0; i < nn->nvertices; ++i) {
        const double w = nn->weights[i] / sum;
        if (w < nn->wmin) {
            p->z = nn_nan;
            return;
        }
        z += nn->d->points[nn->vertices[i]].z * w;
    }
    p->z = z;
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
