#include "calc/nnlib/delaunay.h"

#include "calc/nnlib/triangle.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

template <typename T>
T* AllocateZeroed(size_t count)
{
    if (count == 0)
        return nullptr;
    T* memory = static_cast<T*>(std::calloc(count, sizeof(T)));
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void ReleaseOutput(triangulateio& io)
{
    trifree(io.pointlist);
    trifree(io.trianglelist);
    trifree(io.neighborlist);
    trifree(io.edgelist);
    trifree(io.segmentlist);
    trifree(io.holelist);
}

bool KeepsPoints(const triangulateio& out, int n, const point* points)
{
    return out.numberofpoints == n && out.pointlist &&
           out.pointlist[2 * n - 2] == points[n - 1].x && out.pointlist[2 * n - 1] == points[n - 1].y;
}

void FillPointTriangles(delaunay* d)
{
    d->n_point_triangles = AllocateZeroed<int>(d->npoints);
    d->point_triangles = AllocateZeroed<int*>(d->npoints);
    for (int t = 0; t < d->ntriangles; ++t)
        for (int v : d->triangles[t].vids)
            ++d->n_point_triangles[v];
    for (int i = 0; i < d->npoints; ++i) {
        d->point_triangles[i] = AllocateZeroed<int>(d->n_point_triangles[i]);
        d->n_point_triangles[i] = 0;
    }
    for (int t = 0; t < d->ntriangles; ++t) {
        for (int v : d->triangles[t].vids)
            d->point_triangles[v][d->n_point_triangles[v]++] = t;
    }
}

bool StrictlyRight(const point* p, const point* a, const point* b)
{
    return (a->x - p->x) * (b->y - p->y) < (b->x - p->x) * (a->y - p->y);
}

bool Inside(const delaunay* d, int t, const point* p)
{
    const int* v = d->triangles[t].vids;
    for (int k = 0; k < 3; ++k)
        if (StrictlyRight(p, &d->points[v[k]], &d->points[v[(k + 1) % 3]]))
            return false;
    return true;
}

}  // namespace

delaunay* delaunay_triangulate(int n, point* points, int ns, int* segments, int nh, double* holes)
{
    if (n <= 0 || !points)
        return nullptr;
    triangulateio in{}, out{};
    in.numberofpoints = n;
    in.pointlist = AllocateZeroed<double>(2 * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        in.pointlist[2 * i] = points[i].x;
        in.pointlist[2 * i + 1] = points[i].y;
    }
    in.numberofsegments = ns > 0 ? ns : 0;
    in.segmentlist = ns > 0 ? segments : nullptr;
    in.numberofholes = nh > 0 ? nh : 0;
    in.holelist = nh > 0 ? holes : nullptr;
    const char* switches = ns > 0 ? "peznCQ" : "eznCQ";
    const int status = triangulate(switches, &in, &out, nullptr);
    std::free(in.pointlist);
    if (status != 0 || !KeepsPoints(out, n, points)) {
        ReleaseOutput(out);
        return nullptr;
    }

    delaunay* d = AllocateZeroed<delaunay>(1);
    d->npoints = n;
    d->points = points;
    d->xmin = DBL_MAX;
    d->xmax = -DBL_MAX;
    d->ymin = DBL_MAX;
    d->ymax = -DBL_MAX;
    for (int i = 0; i < n; ++i) {
        if (points[i].x < d->xmin) d->xmin = points[i].x;
        if (points[i].x > d->xmax) d->xmax = points[i].x;
        if (points[i].y < d->ymin) d->ymin = points[i].y;
        if (points[i].y > d->ymax) d->ymax = points[i].y;
    }
    d->ntriangles = out.numberoftriangles;
    d->triangles = AllocateZeroed<triangle>(d->ntriangles);
    d->neighbours = AllocateZeroed<triangle_neighbours>(d->ntriangles);
    d->circles = AllocateZeroed<circle>(d->ntriangles);
    d->flags = AllocateZeroed<int>(d->ntriangles);
    for (int t = 0; t < d->ntriangles; ++t) {
        for (int k = 0; k < 3; ++k) {
            d->triangles[t].vids[k] = out.trianglelist[3 * t + k];
            d->neighbours[t].tids[k] = out.neighborlist[3 * t + k];
        }
        const int* v = d->triangles[t].vids;
        circle_through_points(&d->circles[t], &points[v[0]], &points[v[1]], &points[v[2]]);
    }
    FillPointTriangles(d);
    d->nedges = out.numberofedges;
    d->edges = AllocateZeroed<int>(2 * static_cast<size_t>(d->nedges));
    if (d->nedges)
        std::memcpy(d->edges, out.edgelist, 2 * static_cast<size_t>(d->nedges) * sizeof(int));
    d->first_id = -1;
    ReleaseOutput(out);
    return d;
}

void delaunay_free(delaunay* d)
{
    if (!d)
        return;
    for (int i = 0; i < d->npoints; ++i)
        std::free(d->point_triangles[i]);
    std::free(d->point_triangles);
    std::free(d->n_point_triangles);
    std::free(d->triangles);
    std::free(d->neighbours);
    std::free(d->circles);
    std::free(d->flags);
    std::free(d->edges);
    istack_destroy(d->t_in);
    istack_destroy(d->t_out);
    std::free(d);
}

int delaunay_locate_point(delaunay* d, const point* p, int id)
{
    if (d->ntriangles == 0 || p->x < d->xmin || p->x > d->xmax || p->y < d->ymin || p->y > d->ymax)
        return -1;
    if (id < 0 || id >= d->ntriangles)
        id = 0;
    // The walk ends in a Delaunay triangulation; rounding could still make it
    // circle, so after as many steps as there are triangles we scan instead.
    for (int steps = 0; steps <= d->ntriangles; ++steps) {
        const int* v = d->triangles[id].vids;
        int next = -2;
        for (int k = 0; k < 3; ++k) {
            if (StrictlyRight(p, &d->points[v[k]], &d->points[v[(k + 1) % 3]])) {
                next = d->neighbours[id].tids[(k + 2) % 3];
                break;
            }
        }
        if (next == -2)
            return id;
        if (next < 0)
            return -1;
        id = next;
    }
    for (int t = 0; t < d->ntriangles; ++t)
        if (Inside(d, t, p))
            return t;
    return -1;
}

void delaunay_find_circles(delaunay* d, const point* p, int* n, int** ids)
{
    if (!d->t_in) {
        d->t_in = istack_create();
        d->t_out = istack_create();
    }
    int start = -1;
    if (d->first_id >= 0 && d->first_id < d->ntriangles && circle_contains(&d->circles[d->first_id], p)) {
        start = d->first_id;
    } else {
        const int located = delaunay_locate_point(d, p, d->first_id);
        if (located >= 0 && circle_contains(&d->circles[located], p))
            start = located;
        for (int i = 0; start < 0 && i < d->t_out->n; ++i)
            if (circle_contains(&d->circles[d->t_out->v[i]], p))
                start = d->t_out->v[i];
        for (int t = 0; start < 0 && t < d->ntriangles; ++t)
            if (circle_contains(&d->circles[t], p))
                start = t;
    }
    istack_reset(d->t_in);
    istack_reset(d->t_out);
    d->first_id = start;
    if (start >= 0) {
        istack_push(d->t_in, start);
        d->flags[start] = 1;
        while (d->t_in->n > 0) {
            const int t = istack_pop(d->t_in);
            if (!circle_contains(&d->circles[t], p))
                continue;
            istack_push(d->t_out, t);
            for (int v : d->triangles[t].vids) {
                for (int k = 0; k < d->n_point_triangles[v]; ++k) {
                    const int u = d->point_triangles[v][k];
                    if (!d->flags[u]) {
                        d->flags[u] = 1;
                        istack_push(d->t_in, u);
                    }
                }
            }
        }
    }
    *n = d->t_out->n;
    *ids = d->t_out->v;
}
