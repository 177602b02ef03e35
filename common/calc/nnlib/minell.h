#pragma once

#include "calc/nnlib/nn.h"

// The smallest-area ellipse holding a set of points in the plane (Welzl's
// randomised algorithm over support sets of up to five points), and the affine
// maps into and out of its unit circle.
struct minell {
    int n;      // support points, 0 to 5
    int nprev;  // support points of the previous ellipse
    point* points[5];

    double x, y;    // centre
    double theta;   // inclination, radians
    double a, b;    // semi-axes
    double r, t, s; // r*dx^2 + 2t*dx*dy + s*dy^2 <= 1 inside, about the centre

    // Four or five support points: side lines (a, b, c) through consecutive
    // points, the line pairs of opposite sides (r, s, t, u, v, w), the ellipse
    // condition on the pencil, and the pencil member of the last point tested,
    // all in coordinates relative to (ox, oy), the centre of the points' box.
    double ox, oy;
    double lines[4][3];
    double c1[6], c2[6];
    double cond[3];
    double lambda, mu;
    double elambda, emu;  // the support's own member (five points)

    int nsteiner, npencil, nfive, ninside;  // calls, for diagnostics
    int npoints;

    // Set when the points span no proper ellipse (collinear, fewer than three
    // distinct points) or the search for it did not converge; the mapping
    // then refuses to run.
    int degenerate;
};

// The ellipse of n points (x, y used); never null. Seeds the shared random
// sequence with 1 for its shuffle.
minell* min_ellipse_create(int n, point* points);
void min_ellipse_free(minell* e);

// Into the unit circle and back. false, points unchanged, when the ellipse
// is degenerate.
bool min_ellipse_scale_points(const minell* e, int n, point* points);
bool min_ellipse_rescale_points(const minell* e, int n, point* points);
