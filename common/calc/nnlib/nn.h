#pragma once

// Two-dimensional interpolation of scattered (x, y, z) data on the Delaunay
// triangulation of the data: linear on the triangles, or by natural-neighbour
// weights (Sibson's rule or the non-Sibsonian rule). Plain procedural code;
// one call at a time (the weight rule is module-wide).

#include <bit>
#include <cstdint>

struct point {
    double x, y, z;
};

struct circle {
    double x, y, r;
};

// Weight rules of the natural-neighbour interpolator.
enum NN_RULE { SIBSON = 0, NON_SIBSONIAN = 1 };
extern int nn_rule;
extern int nn_verbose;

// The "no value" of this code: a quiet NaN with every bit set but the sign.
inline constexpr double nn_nan = std::bit_cast<double>(std::uint64_t{0x7FFFFFFFFFFFFFFFull});

// false when the three points are collinear.
bool circle_through_points(circle* c, const point* p0, const point* p1, const point* p2);
// true when the point is at most r from the centre.
bool circle_contains(const circle* c, const point* p);

// k = (ymax - ymin) / (xmax - xmin), every y divided by it; NaN and nothing
// changed when either extent is 0.
double points_scale_to_square(int n, point* points);
void points_scale(int n, point* points, double k);

// Writes "error: nn: " and the message to the standard error stream and ends
// the process with exit code 1. For command-line tools: the interpolation
// code itself never calls it, it reports failures as NaN.
[[noreturn]] void nn_fatal(const char* format, ...);

// Sets the z of every output point; NaN where the point has no value.
void linear_interp_points(int nin, point* pin, int nout, point* pout);
void nn_point_interp_points(int nin, point* pin, double wmin, int nout, point* pout);

// The driver. method: 1 Sibson, 2 non-Sibsonian, anything else linear.
// scaling: 1 to a square, 2 into the minimal enclosing ellipse, else none.
// When *pout is given and *nout is not 0 those points are used; otherwise an
// nx by ny grid over the (zoomed) bounding box of the input is made (with
// malloc; a given array is freed) and handed back.
// Returns 1 after interpolating; 0 with *nout = 0 for fewer than 3 input
// points, no grid size, or an empty thinning grid; 0 with every output z NaN
// (points kept) when the scaling cannot be built.
// The input points are never changed; the output points keep their x and y.
int nn_interpolate_scattered(int nin, point* pin, int method, int scaling, int* nout, point** pout,
                             int nx, int ny, int thin, int nxd, int nyd, double wmin, double zoom);
