// A whole calculation: the default model with a needle electrode, stepped from
// the preparation to breakdown with a pinned seed. Reports the preparation, the
// steps taken, the time per step, solver iterations per step, the node count at
// breakdown and the share of each step spent refreshing the statistics.
#include <benchmark/benchmark.h>

#include <chrono>

#include "Engine.h"
#include "korvane.h"

namespace {

// A needle: odd-coded cells rising from the centre of the lower electrode plane
// through a fifth of the gap, so that the discharge starts at its tip.
void PlaceNeedle(THeap& h) {
  const int c1 = h.N1 / 2, c3 = h.N3 / 2;
  const int tip = h.N2 / 5;
  for (int i2 = 1; i2 <= tip; ++i2) h.ElectrodeCodes[korvane::CellIndex(h, c1, i2, c3)] = -3.0;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_RunToBreakdown(benchmark::State& state) {
  const int n1 = static_cast<int>(state.range(0)), n2 = static_cast<int>(state.range(1));
  const int maxSteps = static_cast<int>(state.range(2));
  for (auto _ : state) {
    KorvaneSetRandomSeed(1, 12345);
    THeap* h = THeapNew();
    if (!h) {
      state.SkipWithError("no memory for the engine record");
      return;
    }
    THeapSetLatticeSize(h, n1, n2, n1);
    PlaceNeedle(*h);
    THeapReset(h);
    using Clock = std::chrono::steady_clock;
    const auto prepared = Clock::now();
    THeapInitCalc(h);
    const double preparationSeconds = Seconds(Clock::now() - prepared);
    const int preparationIterations = h->TotalIterations;

    Clock::duration stepTime{}, statisticsTime{};
    int steps = 0;
    while (!h->Flags && steps < maxSteps) {
      const auto t0 = Clock::now();
      THeapGoTimeStep(h);
      const auto t1 = Clock::now();
      // Refreshing the statistics again changes nothing, so it can be timed on
      // the live record to find its share of the step.
      korvane::RefreshStatistics(*h, false);
      statisticsTime += Clock::now() - t1;
      stepTime += t1 - t0;
      ++steps;
    }
    state.counters["steps"] = steps;
    state.counters["breakdown"] = h->Flags;
    state.counters["ms_per_step"] = steps ? 1e3 * Seconds(stepTime) / steps : 0.0;
    state.counters["preparation_s"] = preparationSeconds;
    state.counters["preparation_iterations"] = preparationIterations;
    state.counters["iterations_per_step"] = steps ? double(h->TotalIterations - preparationIterations) / steps : 0.0;
    state.counters["nodes"] = h->Nodes.count;
    state.counters["statistics_share"] = Seconds(stepTime) > 0 ? Seconds(statisticsTime) / Seconds(stepTime) : 0.0;
    state.counters["run_s"] = Seconds(stepTime);
    THeapDelete(h);
    KorvaneSetRandomSeed(0, 0);
  }
}

// {N1 = N3, N2, step limit}; the largest lattice is timed over its first steps only.
BENCHMARK(BM_RunToBreakdown)->Args({25, 26, 20000})->Args({51, 51, 20000})->Args({101, 101, 100})
    ->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
