#pragma once

#include "calc/nnlib/delaunay.h"

// Natural-neighbour point interpolator over a triangulation, by the weight
// rule in nn_rule.
struct nnpi {
    delaunay* d;
    double wmin;  // a weight below it makes the value NaN
    int n;        // points interpolated so far
    point* p;     // the current point
    int nvertices;
    int nallocated;
    int* vertices;
    double* weights;
    char* in_cavity;  // per triangle: its circumcircle holds the current point
};

nnpi* nnpi_create(delaunay* d);
void nnpi_destroy(nnpi* nn);
void nnpi_set_wmin(nnpi* nn, double wmin);
// Sets p->z: a data point's own value at a data point, the value along the
// edge on a hull edge, else the weighted value; NaN when no circumcircle
// holds p, a weight is below wmin, or the rule is unknown.
void nnpi_interpolate_point(nnpi* nn, point* p);
