// Filling a 101 x 101 grid from 500 scattered known cells by each gridding
// method, called the way the array builder calls it (per row, per batch or
// per cell) with the builder's default settings.

#include "calc/GriddingSolvers.h"
#include "calc/SimplexInterp.h"
#include "calc/nnlib/nn.h"

#include <benchmark/benchmark.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int Size = 101;
constexpr int Known = 500;

struct Grid {
    std::vector<char> known;
    std::vector<double> values;
    std::vector<double> dataX, dataY, dataZ;

    Grid() : known(Size * Size, 0), values(Size * Size, 0)
    {
        std::mt19937 gen(2024);
        std::uniform_int_distribution<int> cell(0, Size * Size - 1);
        int count = 0;
        while (count < Known) {
            const int c = cell(gen);
            if (known[c])
                continue;
            known[c] = 1;
            ++count;
        }
        for (int c = 0; c < Size * Size; ++c) {
            if (!known[c])
                continue;
            const double x = c % Size + 0.5, y = c / Size + 0.5;
            dataX.push_back(x);
            dataY.push_back(y);
            dataZ.push_back(std::sin(x / 13) * std::cos(y / 17) + 0.01 * x);
        }
    }
    static double X(int c) { return c % Size + 0.5; }
    static double Y(int c) { return c / Size + 0.5; }
};

const Grid& TheGrid()
{
    static const Grid grid;
    return grid;
}

const double Rect[4] = {0, Size, 0, Size};

void BM_InverseDistances(benchmark::State& state)
{
    const Grid& g = TheGrid();
    std::vector<double> data;
    for (int i = 0; i < Known; ++i) {
        data.push_back(g.dataX[i]);
        data.push_back(g.dataY[i]);
    }
    const double weights[3] = {1, 1, 1};
    std::vector<double> out(Size * Size), row, rowValues(Size);
    for (auto _ : state) {
        for (int j = 0; j < Size; ++j) {
            row.clear();
            for (int i = 0; i < Size; ++i) {
                if (!g.known[j * Size + i]) {
                    row.push_back(Grid::X(j * Size + i));
                    row.push_back(Grid::Y(j * Size + i));
                }
            }
            SolveIDW(data.data(), g.dataZ.data(), Known, 2, row.data(), row.size() / 2.0, rowValues.data(),
                     weights, 3);
        }
        benchmark::DoNotOptimize(rowValues.data());
    }
}
BENCHMARK(BM_InverseDistances)->Unit(benchmark::kMillisecond);

void BM_MinimumCurvature(benchmark::State& state)
{
    const Grid& g = TheGrid();
    const int batch = Size * Size / 10;
    std::vector<double> ox, oy, out(batch);
    for (auto _ : state) {
        for (int start = 0; start < Size * Size; start += batch) {
            ox.clear();
            oy.clear();
            for (int c = start; c < std::min(start + batch, Size * Size); ++c) {
                if (!g.known[c]) {
                    ox.push_back(Grid::X(c));
                    oy.push_back(Grid::Y(c));
                }
            }
            SolveMinCurvature(Rect, g.dataX.data(), g.dataY.data(), g.dataZ.data(), Known, ox.data(), oy.data(),
                              static_cast<int>(ox.size()), out.data(), true, 32, 8, 400);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MinimumCurvature)->Unit(benchmark::kMillisecond);

void BM_Kriging(benchmark::State& state)
{
    const Grid& g = TheGrid();
    std::vector<double> ox, oy, out(Size);
    for (auto _ : state) {
        for (int j = 0; j < Size; ++j) {
            ox.clear();
            oy.clear();
            for (int i = 0; i < Size; ++i) {
                if (!g.known[j * Size + i]) {
                    ox.push_back(Grid::X(j * Size + i));
                    oy.push_back(Grid::Y(j * Size + i));
                }
            }
            SolveKriging(Rect, g.dataX.data(), g.dataY.data(), g.dataZ.data(), Known, ox.data(), oy.data(),
                         static_cast<int>(ox.size()), out.data(), true, nullptr, 0.0, 32, 8, 500, 1.0 / 3);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Kriging)->Unit(benchmark::kMillisecond);

void BM_NaturalNeighboursN(benchmark::State& state)
{
    const Grid& g = TheGrid();
    std::vector<std::vector<double>> sites;
    for (int i = 0; i < Known; ++i)
        sites.push_back({g.dataX[i], g.dataY[i], g.dataZ[i]});
    std::vector<const double*> pointers;
    for (const auto& s : sites)
        pointers.push_back(s.data());
    const double lo[2] = {0, 0}, hi[2] = {Size, Size};
    const double* bounds[2] = {lo, hi};
    int found = 0;
    for (auto _ : state) {
        simplex_interp_init(pointers.data(), Known, 2, bounds);
        for (int c = 0; c < Size * Size; ++c) {
            if (g.known[c])
                continue;
            const double p[2] = {Grid::X(c), Grid::Y(c)};
            double v = 0;
            found += simplex_interp_value(p, &v);
        }
        simplex_interp_free();
    }
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_NaturalNeighboursN)->Unit(benchmark::kMillisecond);

// method: 0 linear, 1 Sibson, 2 non-Sibsonian; scaling: 0 none, 2 ellipse.
void BM_ScatteredData(benchmark::State& state)
{
    const Grid& g = TheGrid();
    const int method = static_cast<int>(state.range(0));
    const int scaling = static_cast<int>(state.range(1));
    std::vector<point> in;
    for (int i = 0; i < Known; ++i)
        in.push_back({g.dataX[i], g.dataY[i], g.dataZ[i]});
    std::vector<point> row;
    for (auto _ : state) {
        for (int j = 0; j < Size; ++j) {
            row.clear();
            for (int i = 0; i < Size; ++i)
                if (!g.known[j * Size + i])
                    row.push_back({Grid::X(j * Size + i), Grid::Y(j * Size + i), 0});
            int nout = static_cast<int>(row.size());
            point* pout = row.data();
            nn_interpolate_scattered(Known, in.data(), method, scaling, &nout, &pout, -1, -1, 0, -1, -1, -DBL_MAX,
                                     1.0);
        }
        benchmark::DoNotOptimize(row.data());
    }
}
BENCHMARK(BM_ScatteredData)
    ->ArgNames({"method", "scaling"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace
