#include "calc/SmallLinearAlgebra.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// LU decomposition in place; perm receives the row order. Returns the
// determinant, 0 when a pivot vanishes.
double Decompose(std::vector<double>& a, int size, std::vector<int>& perm)
{
    const auto at = [&a, size](int r, int c) -> double& { return a[r * size + c]; };
    std::vector<double> scale(size);
    perm.resize(size);
    for (int r = 0; r < size; ++r) {
        perm[r] = r;
        double largest = 0;
        for (int c = 0; c < size; ++c)
            largest = std::max(largest, std::fabs(at(r, c)));
        if (largest == 0)
            return 0;
        scale[r] = 1 / largest;
    }
    double det = 1;
    for (int k = 0; k < size; ++k) {
        int best = k;
        double bestRatio = std::fabs(at(k, k)) * scale[k];
        for (int r = k + 1; r < size; ++r) {
            const double ratio = std::fabs(at(r, k)) * scale[r];
            if (ratio > bestRatio) {
                best = r;
                bestRatio = ratio;
            }
        }
        if (bestRatio == 0)
            return 0;
        if (best != k) {
            for (int c = 0; c < size; ++c)
                std::swap(at(k, c), at(best, c));
            std::swap(scale[k], scale[best]);
            std::swap(perm[k], perm[best]);
            det = -det;
        }
        det *= at(k, k);
        for (int r = k + 1; r < size; ++r) {
            const double f = at(r, k) / at(k, k);
            at(r, k) = f;
            for (int c = k + 1; c < size; ++c)
                at(r, c) -= f * at(k, c);
        }
    }
    return det;
}

}  // namespace

bool SolveSmallSystem(std::vector<double>& a, std::vector<double>& b, int size)
{
    if (size == 2) {
        const double det = a[0] * a[3] - a[1] * a[2];
        if (det == 0)
            return false;
        const double x0 = (b[0] * a[3] - a[1] * b[1]) / det;
        const double x1 = (a[0] * b[1] - b[0] * a[2]) / det;
        b[0] = x0;
        b[1] = x1;
        return std::isfinite(x0) && std::isfinite(x1);
    }
    std::vector<int> perm;
    if (Decompose(a, size, perm) == 0)
        return false;
    std::vector<double> x(size);
    for (int r = 0; r < size; ++r) {
        double sum = b[perm[r]];
        for (int c = 0; c < r; ++c)
            sum -= a[r * size + c] * x[c];
        x[r] = sum;
    }
    for (int r = size - 1; r >= 0; --r) {
        double sum = x[r];
        for (int c = r + 1; c < size; ++c)
            sum -= a[r * size + c] * x[c];
        x[r] = sum / a[r * size + r];
    }
    bool finite = true;
    for (int r = 0; r < size; ++r) {
        b[r] = x[r];
        finite = finite && std::isfinite(x[r]);
    }
    return finite;
}

double SmallDeterminant(std::vector<double>& a, int size)
{
    if (size == 2)
        return a[0] * a[3] - a[1] * a[2];
    std::vector<int> perm;
    return Decompose(a, size, perm);
}
