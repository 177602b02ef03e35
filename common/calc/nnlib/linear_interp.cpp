#include "calc/nnlib/linear_interp.h"

#include <cstdlib>
#include <new>

lpi* lpi_build(delaunay* d)
{
    lpi* l = static_cast<lpi*>(std::malloc(sizeof(lpi)));
    if (!l)
        throw std::bad_alloc();
    l->d = d;
    l->weights = nullptr;
    if (d->ntriangles > 0) {
        l->weights = static_cast<lpi_plane*>(std::malloc(d->ntriangles * sizeof(lpi_plane)));
        if (!l->weights) {
            std::free(l);
            throw std::bad_alloc();
        }
    }
    for (int t = 0; t < d->ntriangles; ++t) {
        const int* v = d->triangles[t].vids;
        const point* p0 = &d->points[v[0]];
        const point* p1 = &d->points[v[1]];
        const point* p2 = &d->points[v[2]];
        const double x02 = p0->x - p2->x, y02 = p0->y - p2->y, z02 = p0->z - p2->z;
        const double x12 = p1->x - p2->x, y12 = p1->y - p2->y, z12 = p1->z - p2->z;
        lpi_plane& w = l->weights[t];
        if (y12 == 0) {
            const double k = x02 / x12;
            w.b = (z02 - z12 * k) / (y02 - y12 * k);
            w.a = (z12 - w.b * y12) / x12;
        } else {
            const double k = y02 / y12;
            w.a = (z02 - z12 * k) / (x02 - x12 * k);
            w.b = (z12 - w.a * x12) / y12;
        }
        w.c = p2->z - w.a * p2->x - w.b * p2->y;
    }
    return l;
}

void lpi_destroy(lpi* l)
{
    if (!l)
        return;
    std::free(l->weights);
    std::free(l);
}

void lpi_interpolate_point(lpi* l, point* p)
{
    delaunay* d = l->d;
    const int tid = delaunay_locate_point(d, p, d->first_id);
    if (tid < 0) {
        p->z = nn_nan;
        return;
    }
    d->first_id = tid;
    const lpi_plane& w = l->weights[tid];
    p->z = p->x * w.a + p->y * w.b + w.c;
}

void linear_interp_points(int nin, point* pin, int nout, point* pout)
{
    delaunay* d = delaunay_triangulate(nin, pin, 0, nullptr, 0, nullptr);
    if (!d) {
        for (int i = 0; i < nout; ++i)
            pout[i].z = nn_nan;
        return;
    }
    lpi* l = lpi_build(d);
    for (int i = 0; i < nout; ++i)
        lpi_interpolate_point(l, &pout[i]);
    lpi_destroy(l);
    delaunay_free(d);
}
