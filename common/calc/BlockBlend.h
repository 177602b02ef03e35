#pragma once

#include "calc/BlockBasis.h"
#include "calc/BlockPartition.h"

#include <memory>
#include <vector>

// Fits one interpolant of the basis per block of a quadtree and blends their
// estimates at the output points. Blocks whose local system is singular
// contribute nothing; outputs that no block reaches become NaN.
class TBlockBlend {
public:
    struct Settings {
        const double* rect;
        int blockLimit;
        int neighbourMinimum;
        int singleSystemLimit;
    };

    // Combined coordinates: n data points, then m output points.
    TBlockBlend(const Settings& settings, const double* dataX, const double* dataY, int n,
                const double* outX, const double* outY, int m);

    int BlockCount() const;
    double MeanBlockWidth() const;
    double MeanBlockHeight() const;

    // values: the working value of each data point. Writes accumulated
    // estimate / weight sum per output point.
    void Blend(const TBlockBasis& basis, const std::vector<double>& values, double* out) const;

private:
    std::vector<double> xs_, ys_;
    int n_, m_;
    int neighbourMinimum_;
    std::unique_ptr<TBlockPartition> partition_;
};
