// A whole calculation: the default model with a needle electrode, stepped from
// the preparation to breakdown with a pinned seed, on one thread and on the
// engine's default count in turn. Reports the preparation, the steps taken, the time per step,
// solver iterations per step, the node count at breakdown, the share of each
// step spent refreshing the statistics, and the ratio of one thread's time to
// the engine's default count's time (wall and processor time, medians of
// interleaved repeats).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Engine.h"
#include "Timing.h"
#include "WorkerPool.h"
#include "korvane.h"

namespace {

using bench_timing::Clocks;
using bench_timing::Median;
using bench_timing::Now;
using bench_timing::Since;

// A needle: odd-coded cells rising from the centre of the lower electrode plane
// through a fifth of the gap, so that the discharge starts at its tip.
void PlaceNeedle(THeap& h) {
  const int c1 = h.N1 / 2, c3 = h.N3 / 2;
  const int tip = h.N2 / 5;
  for (int i2 = 1; i2 <= tip; ++i2) h.ElectrodeCodes[korvane::CellIndex(h, c1, i2, c3)] = -3.0;
}

struct RunFigures {
  Clocks preparation, steps;
  int preparationIterations = 0, stepCount = 0, breakdown = 0, nodes = 0, iterations = 0;
  double statisticsSeconds = 0;
};

RunFigures RunOnce(int n1, int n2, int maxSteps, int threads, int maxIterations) {
  RunFigures f;
  korvane::SetWorkerThreads(threads);
  KorvaneSetRandomSeed(1, 12345);
  THeap* h = THeapNew();
  if (!h) return f;
  THeapSetLatticeSize(h, n1, n2, n1);
  PlaceNeedle(*h);
  if (maxIterations > 0) h->MaxNwItr = maxIterations;
  THeapReset(h);
  Clocks t0 = Now();
  THeapInitCalc(h);
  f.preparation = Since(t0);
  f.preparationIterations = h->TotalIterations;
  t0 = Now();
  while (!h->Flags && f.stepCount < maxSteps) {
    THeapGoTimeStep(h);
    // Refreshing the statistics again changes nothing, so it can be timed on
    // the live record to find its share of the step.
    const auto s0 = std::chrono::steady_clock::now();
    korvane::RefreshStatistics(*h, false);
    f.statisticsSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - s0).count();
    ++f.stepCount;
  }
  f.steps = Since(t0);
  f.breakdown = h->Flags;
  f.nodes = h->Nodes.count;
  f.iterations = h->TotalIterations - f.preparationIterations;
  THeapDelete(h);
  KorvaneSetRandomSeed(0, 0);
  korvane::SetWorkerThreads(0);
  return f;
}

// {N1 = N3, N2, step limit, repeats, iteration limit (0: the default)}: each
// repeat runs one thread, then the
// engine's default count (every core, fewer while the machine is too busy for
// them), so that a change of the machine's load falls on both alike. Each run's
// figures are printed as soon as it ends.
void BM_RunToBreakdown(benchmark::State& state) {
  const int n1 = static_cast<int>(state.range(0)), n2 = static_cast<int>(state.range(1));
  const int maxSteps = static_cast<int>(state.range(2)), repeats = static_cast<int>(state.range(3));
  const int maxIterations = static_cast<int>(state.range(4));
  const int counts[2] = {1, 0};
  const char* names[2] = {"one thread", "default count"};
  std::vector<double> prepWall[2], prepCpu[2], stepWall[2], stepCpu[2];
  RunFigures last[2];
  for (auto _ : state) {
    for (int r = 0; r < repeats; ++r)
      for (int k = 0; k < 2; ++k) {
        const RunFigures f = RunOnce(n1, n2, maxSteps, counts[k], maxIterations);
        std::printf("  run %d, %s: preparation wall %.2f cpu %.2f s; %d steps wall %.2f cpu %.2f s%s\n", r + 1,
                    names[k], f.preparation.wall, f.preparation.cpu, f.stepCount, f.steps.wall, f.steps.cpu,
                    counts[k] == 0 ? (", default count now " + std::to_string(korvane::WorkerThreadsFor(n2, n1 * n2 * n1)))
                                         .c_str()
                                   : "");
        std::fflush(stdout);
        prepWall[k].push_back(f.preparation.wall);
        prepCpu[k].push_back(f.preparation.cpu);
        stepWall[k].push_back(f.steps.wall);
        stepCpu[k].push_back(f.steps.cpu);
        last[k] = f;
      }
  }
  std::printf("\n%d x %d x %d, %d step(s) (breakdown %d), %d nodes, %.0f iterations per step, preparation %d "
              "iterations; medians of %d interleaved repeat(s), seconds (lowest-highest)\n",
              n1, n2, n1, last[0].stepCount, last[0].breakdown, last[0].nodes,
              last[0].stepCount ? double(last[0].iterations) / last[0].stepCount : 0.0,
              last[0].preparationIterations, repeats);
  for (int k = 0; k < 2; ++k) {
    const auto [pl, ph] = std::minmax_element(prepWall[k].begin(), prepWall[k].end());
    const auto [sl, sh] = std::minmax_element(stepWall[k].begin(), stepWall[k].end());
    std::printf("  %s: preparation wall %.2f (%.2f-%.2f) cpu %.2f; steps wall %.2f (%.2f-%.2f) cpu %.2f; "
                "statistics share %.2f %%\n",
                names[k], Median(prepWall[k]), *pl, *ph, Median(prepCpu[k]), Median(stepWall[k]), *sl, *sh,
                Median(stepCpu[k]),
                last[k].steps.wall > 0 ? 100 * last[k].statisticsSeconds / last[k].steps.wall : 0.0);
  }
  const double prepRatio = Median(prepWall[0]) / Median(prepWall[1]);
  const double stepRatio = Median(stepWall[0]) / Median(stepWall[1]);
  const double runRatio = (Median(prepWall[0]) + Median(stepWall[0])) / (Median(prepWall[1]) + Median(stepWall[1]));
  std::printf("  one thread / default count (up to %d threads): preparation %.2fx, steps %.2fx, whole run %.2fx\n",
              static_cast<int>(std::thread::hardware_concurrency()), prepRatio, stepRatio, runRatio);
  std::fflush(stdout);
  state.counters["preparation_x"] = prepRatio;
  state.counters["steps_x"] = stepRatio;
  state.counters["run_x"] = runRatio;
  state.counters["steps"] = last[0].stepCount;
  state.counters["nodes"] = last[0].nodes;
}

// The largest lattice is timed over its preparation and first 100 steps, once.
// The shorter cases stand in for the long ones where time is short: the 51^3
// run over its first 100 steps, and the 101^3 preparation with every solution
// cut at 400 iterations (the same work per iteration, a fiftieth of them).
BENCHMARK(BM_RunToBreakdown)
    ->Args({25, 26, 20000, 3, 0})
    ->Args({51, 51, 20000, 1, 0})
    ->Args({101, 101, 100, 1, 0})
    ->Args({51, 51, 100, 1, 0})
    ->Args({101, 101, 0, 1, 400})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
