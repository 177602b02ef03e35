// Speed of the potential solver: one sweep of each scheme on lattices of
// several sizes, the sweep's orders and thread counts side by side with a
// textbook sweep, a full solution to convergence, and a STREAM-triad style copy
// measured in the same run as the memory-bandwidth yardstick.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Engine.h"
#include "Potential.h"
#include "Timing.h"
#include "WorkerPool.h"
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
  // One solution for all sweeps, as a run sweeps.
  korvane::PotentialSolution solution(h, implicit, false);
  for (auto _ : state) {
    h.Converged = 0;
    solution.Iterate();
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

// ---- orders of the Gauss-Seidel sweep side by side ----------------------------

using bench_timing::Clocks;
using bench_timing::Median;
using bench_timing::Now;

// The textbook sweep for reference: in place, 7 points, constant coefficients,
// over the inner cells of a box of its own arrays, as -O2 compiles it.
struct Textbook {
  int n = 0;
  std::vector<double> u, f;
  void Resize(int size) {
    n = size;
    u.assign(static_cast<std::size_t>(n) * n * n, 0.0);
    f.assign(u.size(), 0.0);
    for (std::size_t c = 0; c < u.size(); ++c) {
      u[c] = std::sin(0.11 * c);
      f[c] = 1e-3 * std::cos(0.07 * c);
    }
  }
  __attribute__((noinline)) void Sweep() {
    const std::size_t row = n, plane = static_cast<std::size_t>(n) * n;
    for (int k = 1; k < n - 1; ++k)
      for (int j = 1; j < n - 1; ++j)
        for (int i = 1; i < n - 1; ++i) {
          const std::size_t c = i + row * j + plane * k;
          u[c] = (f[c] + u[c - 1] + u[c + 1] + u[c - row] + u[c + row] + u[c - plane] + u[c + plane]) / 6.0;
        }
    benchmark::DoNotOptimize(u.data());
  }
};

struct Scheme {
  const char* name;
  bool implicit, bsep, conductive;
};
constexpr Scheme kSchemes[] = {{"explicit", false, false, false},
                               {"implicit", true, false, false},
                               {"implicit conducting", true, false, true},
                               {"implicit Jacobi", true, true, false},
                               {"explicit Jacobi", false, true, false}};

// One way of running the sweep: the plain cell order, or the engine's own
// schedule on a number of threads (1: the two-plane pipeline; 0: the engine's
// default count), or the textbook.
struct Variant {
  std::string name;
  bool plain = false;
  bool textbook = false;
  int threads = 1;
};

std::vector<Variant> Variants(bool bsep) {
  std::vector<Variant> v;
  v.push_back({"plain", true, false, 1});
  v.push_back({bsep ? "engine, 1 thread" : "pipeline, 1 thread", false, false, 1});
  const int all = static_cast<int>(std::thread::hardware_concurrency());
  for (int t : {2, 4, all})
    if (t > 1) v.push_back({(bsep ? "planes split, " : "wavefront, ") + std::to_string(t) + " threads", false, false, t});
  // The engine's own count: every core, fewer while the machine is too busy.
  v.push_back({"engine's default count", false, false, 0});
  if (!bsep) v.push_back({"textbook -O2 reference", false, true, 1});
  return v;
}

// Every round runs every variant once, a few sweeps each, so that a change of
// the machine's load falls on all of them alike; the medians of the rounds and
// their spread (lowest to highest) are printed, wall time and processor time.
void Orders(benchmark::State& state) {
  const Scheme& scheme = kSchemes[state.range(0)];
  const int n = static_cast<int>(state.range(1));
  const int rounds = static_cast<int>(state.range(2));
  THeap& h = Lattice(n, n, n, scheme.bsep, scheme.conductive);
  const std::vector<Variant> variants = Variants(scheme.bsep);
  Textbook textbook;
  textbook.Resize(n);
  // About 150 ms of single-thread sweeping per variant and round, but at most
  // 200 sweeps: a few sweeps alone would mostly time the waking of pool
  // threads that slept while the other variants ran.
  const int sweeps = std::clamp(static_cast<int>(2e7 / korvane::CellCount(h)), 2, 200);
  std::vector<std::vector<double>> wall(variants.size()), cpu(variants.size());
  for (auto _ : state) {
    for (int round = 0; round < rounds; ++round) {
      for (std::size_t v = 0; v < variants.size(); ++v) {
        const Variant& var = variants[v];
        korvane::SetSweepSchedule(var.plain ? korvane::SweepSchedule::Plain : korvane::SweepSchedule::Automatic);
        korvane::SetWorkerThreads(var.threads);
        // The variant's sweeps within one solution, as a run sweeps.
        korvane::PotentialSolution solution(h, scheme.implicit, false);
        if (!var.textbook)
          for (int k = 0; k < 2; ++k) solution.Iterate();  // threads and caches warm
        const Clocks t0 = Now();
        for (int k = 0; k < sweeps; ++k) {
          if (var.textbook) {
            textbook.Sweep();
          } else {
            h.Converged = 0;
            solution.Iterate();
          }
        }
        const Clocks t1 = Now();
        wall[v].push_back(1e3 * (t1.wall - t0.wall) / sweeps);
        cpu[v].push_back(1e3 * (t1.cpu - t0.cpu) / sweeps);
      }
    }
  }
  korvane::SetSweepSchedule(korvane::SweepSchedule::Automatic);
  korvane::SetWorkerThreads(0);
  const double plain = Median(wall[0]);
  std::printf("\n%s %d^3, ms per sweep, median of %d interleaved rounds (lowest-highest)\n", scheme.name, n, rounds);
  for (std::size_t v = 0; v < variants.size(); ++v) {
    const double w = Median(wall[v]);
    const auto [lo, hi] = std::minmax_element(wall[v].begin(), wall[v].end());
    std::printf("  %-26s wall %8.3f (%.3f-%.3f)  cpu %8.3f   plain/this %5.2fx\n", variants[v].name.c_str(), w, *lo,
                *hi, Median(cpu[v]), plain / w);
    state.counters[variants[v].name] = plain / w;
  }
  // Every variant but the textbook keeps the plain order's bits, so the faster
  // of them is the order to use at this size.
  std::size_t fastest = 0;
  for (std::size_t v = 1; v < variants.size(); ++v)
    if (!variants[v].textbook && Median(wall[v]) < Median(wall[fastest])) fastest = v;
  const std::size_t single = Median(wall[1]) < Median(wall[0]) ? 1 : 0;
  std::printf("  faster exact order on one thread: %s; fastest exact order: %s\n", variants[single].name.c_str(),
              variants[fastest].name.c_str());
  std::fflush(stdout);
}

void OrderCases(benchmark::internal::Benchmark* b) {
  for (int size : {26, 51, 101})
    for (int s = 0; s < static_cast<int>(std::size(kSchemes)); ++s) b->Args({s, size, size == 101 ? 5 : 9});
  b->Iterations(1)->Unit(benchmark::kMillisecond);
}
BENCHMARK(Orders)->Apply(OrderCases);

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
    korvane::PotentialSolution solution(h, false, false);
    while (!h.Converged) {
      solution.Iterate();
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

// The same loop over the main-memory arrays split among the engine's threads:
// what several threads together can draw from memory, the floor of a sweep on
// as many threads.
void StreamTriadThreads(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(KORVANE_MAX_CELLS) * 8;
  std::vector<double> a(n, 0.0), b(n, 1.0), c(n, 2.0);
  const double s = 3.0;
  const korvane::WorkerPool pool(static_cast<int>(state.range(0)));
  const std::size_t parts = static_cast<std::size_t>(pool.Threads());
  for (auto _ : state) {
    pool.Run([&](int t) {
      const std::size_t begin = n * t / parts, end = n * (t + 1) / parts;
      for (std::size_t i = begin; i < end; ++i) a[i] = b[i] + s * c[i];
    });
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
  state.counters["threads"] = static_cast<double>(parts);
  state.counters["GB/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n * 24 / 1e9,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(StreamTriadThreads)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
