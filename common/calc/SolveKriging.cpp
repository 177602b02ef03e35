#include "calc/BlockBlend.h"
#include "calc/GriddingSolvers.h"
#include "calc/TrendPlane.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// (d / range)^2, with a zero range meaning "no correlation beyond the point".
double ScaledSquare(double d, double range)
{
    if (!(range > 0))
        return d == 0 ? 0 : std::numeric_limits<double>::infinity();
    const double u = d / range;
    return u * u;
}

class TGaussianVariogram : public TBlockBasis {
public:
    TGaussianVariogram(double rangeX, double rangeY, double nugget)
        : rangeX_(rangeX), rangeY_(rangeY), nugget_(nugget)
    {
    }
    double At(double dx, double dy) const override
    {
        return 1 - (1 - nugget_) * std::exp(-ScaledSquare(dx, rangeX_) - ScaledSquare(dy, rangeY_));
    }

private:
    double rangeX_, rangeY_, nugget_;
};

}  // namespace

void SolveKriging(const double* rect, const double* dataX, const double* dataY,
                  const double* dataValues, int n, const double* outX, const double* outY, int m,
                  double* outValues, bool detrend, const double* ranges, double nugget,
                  int blockLimit, int neighbourMinimum, int singleSystemLimit, double rangeFactor)
{
    if (n <= 0) {
        std::fill(outValues, outValues + m, std::numeric_limits<double>::quiet_NaN());
        return;
    }
    const TTrendPlane plane = detrend ? TTrendPlane::Fit(dataX, dataY, dataValues, n) : TTrendPlane{};
    std::vector<double> working(dataValues, dataValues + n);
    if (detrend) {
        for (int i = 0; i < n; ++i)
            working[i] -= plane.At(dataX[i], dataY[i]);
    }
    const TBlockBlend blend({rect, blockLimit, neighbourMinimum, singleSystemLimit}, dataX, dataY, n,
                            outX, outY, m);
    double rangeX, rangeY;
    if (ranges) {
        rangeX = ranges[0];
        rangeY = ranges[1];
    } else {
        double factor = rangeFactor;
        if (blend.BlockCount() == 1)
            factor /= std::sqrt(2.0 * n / std::max(blockLimit, 1));
        rangeX = blend.MeanBlockWidth() * factor;
        rangeY = blend.MeanBlockHeight() * factor;
    }
    blend.Blend(TGaussianVariogram(rangeX, rangeY, nugget), working, outValues);
    if (detrend) {
        for (int o = 0; o < m; ++o)
            outValues[o] += plane.At(outX[o], outY[o]);
    }
}
