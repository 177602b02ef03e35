#pragma once

#include "calc/nnlib/delaunay.h"

// Linear interpolation on the triangles of a triangulation.
struct lpi_plane {
    double a, b, c;  // z = a*x + b*y + c
};

struct lpi {
    delaunay* d;
    lpi_plane* weights;  // per triangle
};

lpi* lpi_build(delaunay* d);
void lpi_destroy(lpi* l);
// Sets p->z; NaN outside the hull.
void lpi_interpolate_point(lpi* l, point* p);
