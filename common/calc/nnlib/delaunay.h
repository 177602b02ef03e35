#pragma once

#include "calc/nnlib/istack.h"
#include "calc/nnlib/nn.h"

struct triangle {
    int vids[3];  // counter-clockwise
};

struct triangle_neighbours {
    int tids[3];  // opposite vertex i; -1 across the hull
};

// Delaunay triangulation of the caller's points (not copied, never changed).
struct delaunay {
    int npoints;
    point* points;
    double xmin, xmax, ymin, ymax;

    int ntriangles;
    triangle* triangles;
    circle* circles;
    triangle_neighbours* neighbours;

    int* n_point_triangles;  // per point: how many triangles use it
    int** point_triangles;   // per point: their indices

    int nedges;
    int* edges;  // as the triangulator gave them; kept, not used

    int* flags;         // per triangle, for the circle search
    int first_id;       // last triangle found; -1 at first
    istack* t_in;       // circle search work stack
    istack* t_out;      // circle search result
};

// null for n = 0, for segments or holes (not supported) or when the
// triangulation does not keep the points. Collinear input and fewer than 3
// distinct points give a record with 0 triangles.
delaunay* delaunay_triangulate(int n, point* points, int ns, int* segments, int nh, double* holes);
void delaunay_free(delaunay* d);

// The triangle holding p, or -1 (outside the hull, or no triangles). A start
// id that is not a triangle starts at triangle 0.
int delaunay_locate_point(delaunay* d, const point* p, int id);

// The triangles whose circumcircle holds p, in the order found; *ids points
// into d's own result stack. The per-triangle flags stay set.
void delaunay_find_circles(delaunay* d, const point* p, int* n, int** ids);
