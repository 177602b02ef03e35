#include "calc/nnlib/minell.h"
#include "calc/nnlib/nn.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

struct TBox {
    double xmin = DBL_MAX, xmax = -DBL_MAX, ymin = DBL_MAX, ymax = -DBL_MAX;

    static TBox Of(const std::vector<point>& points)
    {
        TBox box;
        for (const point& p : points) {
            box.xmin = std::fmin(box.xmin, p.x);
            box.xmax = std::fmax(box.xmax, p.x);
            box.ymin = std::fmin(box.ymin, p.y);
            box.ymax = std::fmax(box.ymax, p.y);
        }
        return box;
    }
};

// Averages of the points in each occupied cell of an nx by ny grid over their
// bounding box, cells taken row by row.
std::vector<point> Thin(const std::vector<point>& points, int nx, int ny)
{
    const TBox box = TBox::Of(points);
    const double wx = nx > 1 ? (box.xmax - box.xmin) / nx : 0;
    const double wy = ny > 1 ? (box.ymax - box.ymin) / ny : 0;
    std::vector<point> sums(static_cast<size_t>(nx) * ny, point{0, 0, 0});
    std::vector<int> counts(sums.size(), 0);
    for (const point& p : points) {
        int i = wx > 0 ? static_cast<int>((p.x - box.xmin) / wx) : 0;
        int j = wy > 0 ? static_cast<int>((p.y - box.ymin) / wy) : 0;
        i = std::min(std::max(i, 0), nx - 1);
        j = std::min(std::max(j, 0), ny - 1);
        point& sum = sums[static_cast<size_t>(j) * nx + i];
        sum.x += p.x;
        sum.y += p.y;
        sum.z += p.z;
        ++counts[static_cast<size_t>(j) * nx + i];
    }
    std::vector<point> thinned;
    for (size_t c = 0; c < sums.size(); ++c) {
        if (counts[c] > 0)
            thinned.push_back({sums[c].x / counts[c], sums[c].y / counts[c], sums[c].z / counts[c]});
    }
    return thinned;
}

point* MakeGrid(const std::vector<point>& points, int nx, int ny, double zoom)
{
    TBox box = TBox::Of(points);
    if (!(zoom > 0))
        zoom = 1;
    if (zoom != 1) {
        const double cx = (box.xmin + box.xmax) / 2, cy = (box.ymin + box.ymax) / 2;
        const double hx = (box.xmax - box.xmin) / 2 * zoom, hy = (box.ymax - box.ymin) / 2 * zoom;
        box = {cx - hx, cx + hx, cy - hy, cy + hy};
    }
    const double stepx = nx > 1 ? (box.xmax - box.xmin) / (nx - 1) : 0;
    const double stepy = ny > 1 ? (box.ymax - box.ymin) / (ny - 1) : 0;
    const double x0 = nx > 1 ? box.xmin : (box.xmin + box.xmax) / 2;
    const double y0 = ny > 1 ? box.ymin : (box.ymin + box.ymax) / 2;
    point* grid = static_cast<point*>(std::malloc(static_cast<size_t>(nx) * ny * sizeof(point)));
    if (!grid)
        throw std::bad_alloc();
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            grid[static_cast<size_t>(j) * nx + i] = {x0 + stepx * i, y0 + stepy * j, 0};
    return grid;
}

}  // namespace

int nn_interpolate_scattered(int nin, point* pin, int method, int scaling, int* nout, point** pout,
                             int nx, int ny, int thin, int nxd, int nyd, double wmin, double zoom)
{
    if (nin < 3 || !pin) {
        *nout = 0;
        return 0;
    }
    if (method == 1)
        nn_rule = SIBSON;
    else if (method == 2)
        nn_rule = NON_SIBSONIAN;

    // The interpolation works on a copy: the caller's points keep their
    // coordinates exactly.
    std::vector<point> input(pin, pin + nin);
    if (thin) {
        if (nxd < 1)
            nxd = nx;
        if (nyd < 1)
            nyd = ny;
        if (nxd < 1 || nyd < 1) {
            *nout = 0;
            return 0;
        }
        input = Thin(input, nxd, nyd);
    }
    if (!*pout || *nout == 0) {
        if (nx < 1 || ny < 1) {
            *nout = 0;
            return 0;
        }
        std::free(*pout);
        *pout = MakeGrid(input, nx, ny, zoom);
        *nout = nx * ny;
    }
    const int n = *nout;
    point* out = *pout;
    std::vector<point> placed(out, out + n);

    // Every method is unchanged by a shift of the plane; about the data's
    // centre the triangle and circle arithmetic keeps its digits even for map
    // coordinates in the millions.
    const TBox box = TBox::Of(input);
    const double cx = (box.xmin + box.xmax) / 2, cy = (box.ymin + box.ymax) / 2;
    if (std::isfinite(cx) && std::isfinite(cy)) {
        for (point& p : input) {
            p.x -= cx;
            p.y -= cy;
        }
        for (int i = 0; i < n; ++i) {
            out[i].x -= cx;
            out[i].y -= cy;
        }
    }

    minell* ellipse = nullptr;
    bool scaled = true;
    if (scaling == 2) {
        ellipse = min_ellipse_create(static_cast<int>(input.size()), input.data());
        scaled = min_ellipse_scale_points(ellipse, static_cast<int>(input.size()), input.data()) &&
                 min_ellipse_scale_points(ellipse, n, out);
    } else if (scaling == 1) {
        // Data of zero width or height (k is NaN) cannot be squared; they are
        // collinear and triangulate to nothing, so interpolate unscaled.
        const double k = points_scale_to_square(static_cast<int>(input.size()), input.data());
        if (!std::isnan(k))
            points_scale(n, out, k);
    }

    if (!scaled) {
        for (int i = 0; i < n; ++i)
            out[i].z = nn_nan;
    } else if (method == 1 || method == 2) {
        nn_point_interp_points(static_cast<int>(input.size()), input.data(), wmin, n, out);
    } else {
        linear_interp_points(static_cast<int>(input.size()), input.data(), n, out);
    }

    for (int i = 0; i < n; ++i) {
        out[i].x = placed[i].x;
        out[i].y = placed[i].y;
    }
    min_ellipse_free(ellipse);
    return scaled ? 1 : 0;
}
