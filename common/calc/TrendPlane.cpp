#include "calc/TrendPlane.h"

TTrendPlane TTrendPlane::Fit(const double* x, const double* y, const double* z, int n)
{
    TTrendPlane plane;
    if (n <= 0)
        return plane;
    for (int i = 0; i < n; ++i) {
        plane.meanX += x[i];
        plane.meanY += y[i];
        plane.meanZ += z[i];
    }
    plane.meanX /= n;
    plane.meanY /= n;
    plane.meanZ /= n;
    double sxx = 0, syy = 0, sxy = 0, sxz = 0, syz = 0;
    for (int i = 0; i < n; ++i) {
        const double dx = x[i] - plane.meanX;
        const double dy = y[i] - plane.meanY;
        const double dz = z[i] - plane.meanZ;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
        sxz += dx * dz;
        syz += dy * dz;
    }
    const double det = sxx * syy - sxy * sxy;
    if (det != 0) {
        plane.slopeX = (sxz * syy - sxy * syz) / det;
        plane.slopeY = (syz * sxx - sxy * sxz) / det;
    }
    return plane;
}
