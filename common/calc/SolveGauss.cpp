#include "calc/GriddingSolvers.h"

#include <cstddef>
#include <utility>

bool SolveGauss(double* a, double* rhs, int size)
{
    const auto at = [a, size](int row, int col) -> double& { return a[row * size + col]; };
    for (int k = 0; k + 1 < size; ++k) {
        int pivot = k;
        while (pivot < size && at(pivot, k) == 0)
            ++pivot;
        if (pivot == size)
            return false;
        if (pivot != k) {
            std::swap(rhs[k], rhs[pivot]);
            for (int j = k; j < size; ++j)
                std::swap(at(k, j), at(pivot, j));
        }
        const double* __restrict pivotRow = a + static_cast<std::size_t>(k) * size;
        for (int i = k + 1; i < size; ++i) {
            double* __restrict row = a + static_cast<std::size_t>(i) * size;
            const double f = row[k] / pivotRow[k];
            if (f == 0)
                continue;
            row[k] = 0;
            // Independent element updates: vectorising them keeps every result.
            for (int j = k + 1; j < size; ++j)
                row[j] -= pivotRow[j] * f;
            rhs[i] -= rhs[k] * f;
        }
    }
    for (int i = size - 1; i >= 0; --i) {
        if (at(i, i) == 0)
            return false;
        const double x = rhs[i] / at(i, i);
        rhs[i] = x;
        for (int j = 0; j < i; ++j)
            rhs[j] -= x * at(j, i);
    }
    return true;
}
