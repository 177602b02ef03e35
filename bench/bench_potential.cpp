// Speed of the potential solver: one sweep of each scheme on lattices of
// several sizes, a full solution to convergence, and a STREAM-triad style copy
// measured in the same run as the memory-bandwidth yardstick.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "Engine.h"
#include "Potential.h"
#include "korvane.h"

namespace {

struct HeapDeleter {
  void operator()(THeap* h) const { THeapDelete(h); }
};

// One record for the whole run: creating it touches 216 MiB.
THeap& Record() {
  static std::unique_ptr<THeap, HeapDeleter> record(THeapNew());
  return *record;
}

// Default set-up in the constant-voltage mode with a little space charge, so
// that the free cells never settle into an exactly repeating state.
THeap& Lattice(int n1, int n2, int n3, bool bsep, bool conductive) {
  THeap& h = Record();
  THeapSetLatticeSize(&h, n1, n2, n3);
  h.Tau = 0;
  h.GenU = 0;
  h.GenIdle = 1;
  h.Materials[0].Sigma = conductive ? 1e-3 : 0;
  THeapSetDefaults(&h);
  const int cells = korvane::CellCount(h);
  for (int c = 0; c < cells; ++c) h.Charge[c] = 1e-6 * std::sin(0.37 * c);
  h.BSep = bsep;
  h.DwType = 2;
  h.Dw = 0;
  h.MinNwItr = 1;
  h.MaxNwItr = 1 << 30;
  return h;
}

// Bytes that a sweep must move at least: the potential read and written, three
// link arrays, the charge and the codes; Jacobi also writes the new values aside
// and copies them back.
double BytesPerCell(bool bsep) { return bsep ? 8.0 * 9 : 8.0 * 7; }

void Sweep(benchmark::State& state, bool implicit, bool bsep, bool conductive) {
  const int n = static_cast<int>(state.range(0));
  const int n2 = state.range(1) > 0 ? static_cast<int>(state.range(1)) : n;
  const int n3 = state.range(2) > 0 ? static_cast<int>(state.range(2)) : n;
  THeap& h = Lattice(n, n2, n3, bsep, conductive);
  for (auto _ : state) {
    h.Converged = 0;
    korvane::IteratePotential(h, implicit, false);
    benchmark::DoNotOptimize(h.IterationError);
  }
  const double cells = static_cast<double>(korvane::CellCount(h));
  const double sweeps = static_cast<double>(state.iterations());
  state.counters["Mcells/s"] = benchmark::Counter(cells * sweeps / 1e6, benchmark::Counter::kIsRate);
  state.counters["GB/s"] = benchmark::Counter(cells * sweeps * BytesPerCell(bsep) / 1e9, benchmark::Counter::kIsRate);
  state.counters["ms/sweep"] = benchmark::Counter(sweeps * 1e-3, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ExplicitSweep(benchmark::State& s) { Sweep(s, false, false, false); }
void ImplicitSweep(benchmark::State& s) { Sweep(s, true, false, false); }
void ImplicitConductiveSweep(benchmark::State& s) { Sweep(s, true, false, true); }
void ImplicitJacobiSweep(benchmark::State& s) { Sweep(s, true, true, false); }
void ExplicitJacobiSweep(benchmark::State& s) { Sweep(s, false, true, false); }

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({25, 26, 25})->Args({26, 0, 0})->Args({51, 0, 0})->Args({101, 0, 0});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(ExplicitSweep)->Apply(Sizes);
BENCHMARK(ImplicitSweep)->Apply(Sizes);
BENCHMARK(ImplicitConductiveSweep)->Apply(Sizes);
BENCHMARK(ImplicitJacobiSweep)->Apply(Sizes);
BENCHMARK(ExplicitJacobiSweep)->Apply(Sizes);

// The engine's pipelined sweep against the plain cell-by-cell order (both give
// the same bits): schedule 0 plain, 1 pipelined; scheme 0 explicit, 1 implicit.
// The minimum of five runs, which a busy machine disturbs least.
void Schedule(benchmark::State& state) {
  const korvane::SweepSchedule schedules[] = {korvane::SweepSchedule::Plain, korvane::SweepSchedule::Automatic};
  korvane::SetSweepSchedule(schedules[state.range(1)]);
  const int n = static_cast<int>(state.range(0));
  THeap& h = Lattice(n, n, n, false, false);
  const bool implicit = state.range(2) != 0;
  for (auto _ : state) {
    h.Converged = 0;
    korvane::IteratePotential(h, implicit, false);
    benchmark::DoNotOptimize(h.IterationError);
  }
  korvane::SetSweepSchedule(korvane::SweepSchedule::Automatic);
  state.counters["Mcells/s"] = benchmark::Counter(
      static_cast<double>(korvane::CellCount(h)) * static_cast<double>(state.iterations()) / 1e6,
      benchmark::Counter::kIsRate);
}
BENCHMARK(Schedule)
    ->ArgsProduct({{26, 51, 101}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

// The zero-charge solution of a run's preparation: explicit, to 1e-8 of the
// potential range, from a zero start.
void FullSolution(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int n2 = state.range(1) > 0 ? static_cast<int>(state.range(1)) : n;
  const int n3 = state.range(2) > 0 ? static_cast<int>(state.range(2)) : n;
  THeap& h = Lattice(n, n2, n3, false, false);
  const int cells = korvane::CellCount(h);
  long sweeps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::fill(h.Potential, h.Potential + cells, 0.0);
    std::fill(h.Charge, h.Charge + cells, 0.0);
    korvane::ApplyElectrodePotentials(h, 1.0);
    h.DwType = 1;
    h.Dw = 1e-8;
    h.MinNwItr = 8;
    h.MaxNwItr = 20000;
    h.SweepOrder = 0;
    h.StepIterations = 0;
    korvane::ArrayMinMax(h, h.Potential, h.PotentialMin, h.PotentialMax);
    state.ResumeTiming();
    h.Converged = 0;
    while (!h.Converged) {
      korvane::IteratePotential(h, false, false);
      ++sweeps;
    }
  }
  state.counters["sweeps"] = static_cast<double>(sweeps) / static_cast<double>(state.iterations());
}
BENCHMARK(FullSolution)->Args({25, 26, 25})->Args({51, 0, 0})->Unit(benchmark::kMillisecond);

// a = b + s*c over three arrays: what the caches (arrays of one lattice array's
// size) and the main memory (eight times larger) deliver to a simple streaming
// loop on this machine.
void StreamTriad(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(KORVANE_MAX_CELLS) * state.range(0);
  std::vector<double> a(n, 0.0), b(n, 1.0), c(n, 2.0);
  const double s = 3.0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < n; ++i) a[i] = b[i] + s * c[i];
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
  state.counters["GB/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n * 24 / 1e9,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(StreamTriad)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
