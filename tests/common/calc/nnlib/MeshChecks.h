#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// Independent geometry for checking triangulations in tests.
namespace meshcheck {

struct P {
    double x, y;
};

inline double Orient(P a, P b, P c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

// Strictly inside the circumcircle of the counter-clockwise (a, b, c), with
// a relative margin against rounding.
inline bool InCircle(P a, P b, P c, P d)
{
    const double adx = a.x - d.x, ady = a.y - d.y;
    const double bdx = b.x - d.x, bdy = b.y - d.y;
    const double cdx = c.x - d.x, cdy = c.y - d.y;
    const double ad = adx * adx + ady * ady, bd = bdx * bdx + bdy * bdy, cd = cdx * cdx + cdy * cdy;
    const double det = adx * (bdy * cd - bd * cdy) - ady * (bdx * cd - bd * cdx) + ad * (bdx * cdy - bdy * cdx);
    const double scale = (std::fabs(adx) + std::fabs(ady)) * (std::fabs(bdx) + std::fabs(bdy)) *
                         (std::fabs(cdx) + std::fabs(cdy)) * (ad + bd + cd);
    return det > 1e-10 * scale;
}

// Vertex indices of the convex hull, counter-clockwise, without collinear points.
inline std::vector<int> Hull(const std::vector<P>& pts)
{
    std::vector<int> ids(pts.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int>(i);
    std::sort(ids.begin(), ids.end(), [&](int a, int b) {
        return pts[a].x != pts[b].x ? pts[a].x < pts[b].x : pts[a].y < pts[b].y;
    });
    std::vector<int> hull(2 * ids.size());
    size_t k = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        while (k >= 2 && Orient(pts[hull[k - 2]], pts[hull[k - 1]], pts[ids[i]]) <= 0)
            --k;
        hull[k++] = ids[i];
    }
    for (size_t i = ids.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Orient(pts[hull[k - 2]], pts[hull[k - 1]], pts[ids[i]]) <= 0)
            --k;
        hull[k++] = ids[i];
    }
    hull.resize(k - 1);
    return hull;
}

inline std::vector<P> RandomPoints(int n, unsigned seed, double scale = 1)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(0, scale);
    std::vector<P> pts(n);
    for (P& p : pts)
        p = {u(gen), u(gen)};
    return pts;
}

}  // namespace meshcheck
