#include "calc/BlockBlend.h"

#include "calc/GriddingSolvers.h"

#include <cmath>
#include <limits>

TBlockBlend::TBlockBlend(const Settings& settings, const double* dataX, const double* dataY,
                         int n, const double* outX, const double* outY, int m)
    : n_(n), m_(m), neighbourMinimum_(settings.neighbourMinimum)
{
    xs_.reserve(static_cast<size_t>(n) + m);
    ys_.reserve(static_cast<size_t>(n) + m);
    xs_.insert(xs_.end(), dataX, dataX + n);
    xs_.insert(xs_.end(), outX, outX + m);
    ys_.insert(ys_.end(), dataY, dataY + n);
    ys_.insert(ys_.end(), outY, outY + m);
    const int splitLimit = n <= settings.singleSystemLimit ? settings.singleSystemLimit
                                                           : settings.blockLimit;
    partition_ = std::make_unique<TBlockPartition>(settings.rect, xs_, ys_, n, splitLimit);
}

int TBlockBlend::BlockCount() const { return partition_->BlockCount(); }

double TBlockBlend::MeanBlockWidth() const
{
    const TBlockPartition& p = *partition_;
    double sum = 0;
    for (int k = 0; k < p.BlockCount(); ++k)
        sum += p.BlockAt(k).x1 - p.BlockAt(k).x0;
    return sum / p.BlockCount();
}

double TBlockBlend::MeanBlockHeight() const
{
    const TBlockPartition& p = *partition_;
    double sum = 0;
    for (int k = 0; k < p.BlockCount(); ++k)
        sum += p.BlockAt(k).y1 - p.BlockAt(k).y0;
    return sum / p.BlockCount();
}

void TBlockBlend::Blend(const TBlockBasis& basis, const std::vector<double>& values,
                        double* out) const
{
    const TBlockPartition& partition = *partition_;
    std::vector<double> accumulated(m_, 0.0), weightSum(m_, 0.0);
    std::vector<int> data, outputs;
    std::vector<double> weights, matrix, coefficients;
    const double diagonal = basis.At(0, 0);
    for (int k = 0; k < partition.BlockCount(); ++k) {
        partition.Gather(k, neighbourMinimum_, data, outputs, weights);
        const int size = static_cast<int>(data.size());
        if (size == 0 || outputs.empty())
            continue;
        matrix.resize(static_cast<size_t>(size) * size);
        coefficients.resize(size);
        for (int i = 0; i < size; ++i) {
            const int pi = data[i];
            for (int j = 0; j < size; ++j) {
                const int pj = data[j];
                matrix[static_cast<size_t>(i) * size + j] =
                    i == j ? diagonal : basis.At(xs_[pi] - xs_[pj], ys_[pi] - ys_[pj]);
            }
            coefficients[i] = values[pi];
        }
        if (!SolveGauss(matrix.data(), coefficients.data(), size))
            continue;
        bool finite = true;
        for (double c : coefficients)
            finite = finite && std::isfinite(c);
        if (!finite)
            continue;
        for (size_t o = 0; o < outputs.size(); ++o) {
            const int po = outputs[o];
            double estimate = 0;
            for (int j = 0; j < size; ++j)
                estimate += coefficients[j] * basis.At(xs_[po] - xs_[data[j]], ys_[po] - ys_[data[j]]);
            accumulated[po - n_] += weights[o] * estimate;
            weightSum[po - n_] += weights[o];
        }
    }
    for (int o = 0; o < m_; ++o)
        out[o] = weightSum[o] > 0 ? accumulated[o] / weightSum[o]
                                  : std::numeric_limits<double>::quiet_NaN();
}
