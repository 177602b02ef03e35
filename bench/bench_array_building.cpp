// Building a 101 x 101 x 101 three-dimensional array level by level from
// scattered values: 40 boreholes, each a point of the GIS carrying a value for
// every level's depth, as the model's input arrays are built. One build per
// fill method, through the array's own build (known cells, fill, level fill,
// data range).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "data/NullArrayBuildProgress.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/GPoint.h"

namespace {

constexpr int Size = 101;
constexpr int Boreholes = 40;
constexpr int Code = 10000;

double Field(double x, double y, double depth)
{
  return std::sin(x / 13) * std::cos(y / 17) + 0.01 * x + 0.02 * depth;
}

struct TScene {
  TGIS gis;
  TGArray3D* array = nullptr;

  explicit TScene(int method)
  {
    gis.SetTransform(0, 0, Size, Size, 0, Size);
    auto volume = std::make_unique<TGArray3D>(&gis, Size, Size, Size, Code);
    volume->SetRelativeRect(0, 0, 1, 1);
    volume->SetDZ(1);
    volume->BuildParams().fillMethod = method;
    array = volume.get();
    gis.AddObject(nullptr, std::move(volume), true);
    std::mt19937 gen(2024);
    std::uniform_real_distribution<double> place(0.0, 1.0);
    for (int b = 0; b < Boreholes; ++b) {
      auto point = std::make_unique<TGPoint>(&gis);
      const double u = place(gen), v = place(gen);
      point->SetXY(u, v);
      for (int k = 0; k < Size; ++k)
        point->SetReperValue(Field(u * Size, v * Size, k + 0.5), Code, k + 0.5);
      gis.AddObject(nullptr, std::move(point), true);
    }
  }
};

void BM_BuildLevelByLevel(benchmark::State& state)
{
  const int method = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    TScene scene(method);
    TNullArrayBuildProgress progress;
    state.ResumeTiming();
    benchmark::DoNotOptimize(scene.array->Build(progress));
    benchmark::DoNotOptimize(scene.array->GetVolumeData()[Size * Size * 50 + 5050]);
  }
  state.SetLabel(method == FillLaplace              ? "Laplace"
                 : method == FillInverseDistances   ? "inverse distances"
                 : method == FillNaturalNeighbours2 ? "natural neighbours 2"
                 : method == FillMinimumCurvature   ? "minimum curvature"
                                                    : "kriging");
}

BENCHMARK(BM_BuildLevelByLevel)
    ->Arg(FillLaplace)
    ->Arg(FillInverseDistances)
    ->Arg(FillNaturalNeighbours2)
    ->Arg(FillMinimumCurvature)
    ->Arg(FillKriging)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace
