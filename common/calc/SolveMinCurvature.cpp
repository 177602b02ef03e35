#include "calc/BlockBlend.h"
#include "calc/GriddingSolvers.h"
#include "calc/TrendPlane.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class TThinPlateBasis : public TBlockBasis {
public:
    double At(double dx, double dy) const override
    {
        const double r2 = dx * dx + dy * dy;
        return r2 == 0 ? 0 : r2 * (std::log(r2) - 2);
    }
};

}  // namespace

void SolveMinCurvature(const double* rect, const double* dataX, const double* dataY,
                       const double* dataValues, int n, const double* outX, const double* outY,
                       int m, double* outValues, bool detrend, int blockLimit,
                       int neighbourMinimum, int singleSystemLimit)
{
    if (n <= 0) {
        std::fill(outValues, outValues + m, std::numeric_limits<double>::quiet_NaN());
        return;
    }
    const TTrendPlane plane = detrend ? TTrendPlane::Fit(dataX, dataY, dataValues, n) : TTrendPlane{};
    std::vector<double> working(dataValues, dataValues + n);
    double scale = 1;
    if (detrend) {
        for (int i = 0; i < n; ++i)
            working[i] -= plane.At(dataX[i], dataY[i]);
        const auto [low, high] = std::minmax_element(working.begin(), working.end());
        const double range = *high - *low;
        if (range == 0) {
            for (int o = 0; o < m; ++o)
                outValues[o] = plane.At(outX[o], outY[o]);
            return;
        }
        for (double& w : working)
            w /= range;
        scale = range;
    }
    const TBlockBlend blend({rect, blockLimit, neighbourMinimum, singleSystemLimit}, dataX, dataY, n,
                            outX, outY, m);
    blend.Blend(TThinPlateBasis(), working, outValues);
    for (int o = 0; o < m; ++o)
        outValues[o] = outValues[o] * scale + (detrend ? plane.At(outX[o], outY[o]) : 0);
}
