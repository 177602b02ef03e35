#include "calc/GriddingSolvers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<double> NormalisedWeights(const double* weights, int weightCount)
{
    std::vector<double> result;
    if (!weights || weightCount < 2)
        result.assign(std::max(weightCount, 1), 1.0);
    else
        result.assign(weights, weights + weightCount);
    double sum = 0;
    for (double w : result)
        sum += w;
    // Weights that cancel out would divide by zero: blend the powers equally.
    if (sum == 0 || !std::isfinite(sum)) {
        result.assign(result.size(), 1.0);
        sum = static_cast<double>(result.size());
    }
    for (double& w : result)
        w /= sum;
    return result;
}

}  // namespace

void SolveIDW(const double* dataXY, const double* dataValues, int n, int dim, const double* outXY,
              double outCount, double* outValues, const double* weights, int weightCount)
{
    const int m = static_cast<int>(outCount);
    const std::vector<double> blend = NormalisedWeights(weights, weightCount);
    const int powers = static_cast<int>(blend.size());
    std::vector<double> numerator(powers), denominator(powers);
    for (int o = 0; o < m; ++o) {
        const double* p = outXY + static_cast<size_t>(o) * dim;
        numerator.assign(powers, 0.0);
        denominator.assign(powers, 0.0);
        for (int i = 0; i < n; ++i) {
            const double* d = dataXY + static_cast<size_t>(i) * dim;
            double d2 = 0;
            for (int c = 0; c < dim; ++c)
                d2 += (p[c] - d[c]) * (p[c] - d[c]);
            if (d2 < 1e-10)
                d2 = 1e-10;
            const double q = 1 / d2;
            const double root = std::sqrt(q);
            double term = dim > 2 ? std::pow(q, dim / 2.0) : q;
            for (int k = 0; k < powers; ++k) {
                term *= root;
                numerator[k] += term * dataValues[i];
                denominator[k] += term;
            }
        }
        double value = 0;
        for (int k = 0; k < powers; ++k)
            value += blend[k] * numerator[k] / denominator[k];
        outValues[o] = value;
    }
}
