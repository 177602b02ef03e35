#include "calc/nnlib/nn.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

int nn_rule = SIBSON;
int nn_verbose = 0;

bool circle_through_points(circle* c, const point* p0, const point* p1, const point* p2)
{
    const double x2 = p2->x - p0->x;
    const double y2 = p2->y - p0->y;
    const double x1 = p1->x - p0->x;
    const double y1 = p1->y - p0->y;
    const double denom = x1 * y2 - x2 * y1;
    if (denom == 0) {
        c->x = c->y = c->r = nn_nan;
        return false;
    }
    const double frac = (x1 * (x1 - x2) + y1 * (y1 - y2)) / denom;
    const double cx = (x2 + frac * y2) / 2;
    const double cy = (y2 - frac * x2) / 2;
    c->x = cx + p0->x;
    c->y = cy + p0->y;
    c->r = std::hypot(cx, cy);
    return std::isfinite(c->x) && std::isfinite(c->y) && std::isfinite(c->r);
}

bool circle_contains(const circle* c, const point* p)
{
    return std::hypot(c->x - p->x, c->y - p->y) <= c->r;
}

double points_scale_to_square(int n, point* points)
{
    if (n <= 0)
        return nn_nan;
    double xmin = DBL_MAX, xmax = -DBL_MAX, ymin = DBL_MAX, ymax = -DBL_MAX;
    for (int i = 0; i < n; ++i) {
        xmin = std::fmin(xmin, points[i].x);
        xmax = std::fmax(xmax, points[i].x);
        ymin = std::fmin(ymin, points[i].y);
        ymax = std::fmax(ymax, points[i].y);
    }
    if (xmin == xmax || ymin == ymax)
        return nn_nan;
    const double k = (ymax - ymin) / (xmax - xmin);
    points_scale(n, points, k);
    return k;
}

void points_scale(int n, point* points, double k)
{
    for (int i = 0; i < n; ++i)
        points[i].y /= k;
}

void nn_fatal(const char* format, ...)
{
    std::fflush(stdout);
    std::fputs("error: nn: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::exit(1);
}
