// The engine's explicit sweep beside two peers that give the same bits: a plain
// sweep written cell by cell from the formulas as -O2 compiles it, and an exact
// OpenMP wavefront (each thread takes every T-th plane in sweep order, one row
// behind the plane before it, spin waits, a parallel region per sweep). All
// three run in one process, interleaved round by round on the same record, so
// that the machine's load falls on every variant alike; the medians and the
// ratios engine / peer are printed. Before timing, every variant is checked to
// leave the plain peer's bits.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Engine.h"
#include "Potential.h"
#include "Timing.h"
#include "WorkerPool.h"
#include "korvane.h"

namespace {

using bench_timing::Clocks;
using bench_timing::Median;
using bench_timing::Now;

struct HeapDeleter {
  void operator()(THeap* h) const { THeapDelete(h); }
};

THeap& Record() {
  static std::unique_ptr<THeap, HeapDeleter> record(THeapNew());
  return *record;
}

// The default planes at constant voltage with a little space charge, so that
// the free cells never settle into a repeating state.
THeap& Lattice(int n) {
  THeap& h = Record();
  THeapSetLatticeSize(&h, n, n, n);
  h.Tau = 0;
  h.GenU = 0;
  THeapSetDefaults(&h);
  const int cells = korvane::CellCount(h);
  for (int c = 0; c < cells; ++c) h.Charge[c] = 1e-6 * std::sin(0.37 * c);
  h.BSep = 0;
  h.DwType = 2;
  h.Dw = 0;
  h.MinNwItr = 1;
  h.MaxNwItr = 1 << 30;
  return h;
}

// ---- the peers ------------------------------------------------------------------

struct Totals {
  double error = 0, low = 1e300, high = -1e300;
};

// One row of the explicit sweep, cell after cell, as the formulas read.
void PeerRow(THeap& h, int i2, int i3, bool back1, Totals& t) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  double* phi = h.Potential;
  const double w1 = 2 / (h.CellSize1 * h.CellSize1), w2 = 2 / (h.CellSize2 * h.CellSize2),
               w3 = 2 / (h.CellSize3 * h.CellSize3);
  const bool inner = i2 > 0 && i2 < n2 - 1;
  for (int p1 = 0; p1 < n1; ++p1) {
    const int i1 = back1 ? n1 - 1 - p1 : p1;
    const int c = korvane::CellIndex(h, i1, i2, i3);
    if (h.ElectrodeCodes[c] != -1.0) {
      t.low = std::min(t.low, phi[c]);
      t.high = std::max(t.high, phi[c]);
      continue;
    }
    const int c1m = korvane::CellIndex(h, korvane::WrapOnce(i1 - 1, n1), i2, i3);
    const int c1p = korvane::CellIndex(h, korvane::WrapOnce(i1 + 1, n1), i2, i3);
    const int c3m = korvane::CellIndex(h, i1, i2, korvane::WrapOnce(i3 - 1, n3));
    const int c3p = korvane::CellIndex(h, i1, i2, korvane::WrapOnce(i3 + 1, n3));
    double n = h.Charge[c] / h.Eps0 + w1 * (h.LinkEps1[c] * phi[c1p] + h.LinkEps1[c1m] * phi[c1m]) +
               w3 * (h.LinkEps3[c] * phi[c3p] + h.LinkEps3[c3m] * phi[c3m]);
    double d = w1 * (h.LinkEps1[c] + h.LinkEps1[c1m]) + w3 * (h.LinkEps3[c] + h.LinkEps3[c3m]);
    if (inner) {
      const int c2m = korvane::CellIndex(h, i1, i2 - 1, i3), c2p = korvane::CellIndex(h, i1, i2 + 1, i3);
      n = n + w2 * (h.LinkEps2[c] * phi[c2p] + h.LinkEps2[c2m] * phi[c2m]);
      d = d + w2 * (h.LinkEps2[c] + h.LinkEps2[c2m]);
    }
    const double value = n / d;
    korvane::NoteError(korvane::CellError(h.DwType, phi[c], value, h.PotentialRange), t.error);
    phi[c] = value;
    t.low = std::min(t.low, value);
    t.high = std::max(t.high, value);
  }
}

struct Order {
  bool back1, back2, back3;
};

Order NextOrder(THeap& h) {
  const int k = h.SweepOrder;
  h.SweepOrder = (k + 1) % 8;
  return {k >= 4, (k & 1) != 0, (k & 2) != 0};
}

void Fold(THeap& h, const Totals& t) {
  korvane::NoteError(t.error, h.IterationError);
  h.PotentialMin = std::min(h.PotentialMin, t.low);
  h.PotentialMax = std::max(h.PotentialMax, t.high);
}

void StartIteration(THeap& h) {
  h.IterationError = 0;
  h.PotentialMin = 1e300;
  h.PotentialMax = -1e300;
}

__attribute__((noinline)) void PlainSweep(THeap& h) {
  StartIteration(h);
  const Order o = NextOrder(h);
  Totals t;
  for (int p2 = 0; p2 < h.N2; ++p2)
    for (int p3 = 0; p3 < h.N3; ++p3)
      PeerRow(h, o.back2 ? h.N2 - 1 - p2 : p2, o.back3 ? h.N3 - 1 - p3 : p3, o.back1, t);
  Fold(h, t);
}

// Rows done per plane position, one cache line each.
struct alignas(64) RowsDone {
  std::atomic<int> rows{0};
};

__attribute__((noinline)) void OpenMpWavefront(THeap& h, int threads) {
  StartIteration(h);
  const Order o = NextOrder(h);
  const int n2 = h.N2, n3 = h.N3;
  static std::vector<RowsDone> done;
  static std::vector<Totals> totals;
  if (static_cast<int>(done.size()) < n2) done = std::vector<RowsDone>(n2);
  totals.assign(n2, Totals{});
  for (int p = 0; p < n2; ++p) done[p].rows.store(0, std::memory_order_relaxed);
#pragma omp parallel num_threads(threads)
  {
    const int t = omp_get_thread_num(), team = omp_get_num_threads();
    for (int p2 = t; p2 < n2; p2 += team) {
      const int i2 = o.back2 ? n2 - 1 - p2 : p2;
      for (int p3 = 0; p3 < n3; ++p3) {
        // The plane before must have finished this row: it is new there, and
        // the row after it still old.
        if (p2 > 0)
          while (done[p2 - 1].rows.load(std::memory_order_acquire) < p3 + 1) _mm_pause();
        PeerRow(h, i2, o.back3 ? n3 - 1 - p3 : p3, o.back1, totals[p2]);
        done[p2].rows.store(p3 + 1, std::memory_order_release);
      }
    }
  }
  Totals all;
  for (int p = 0; p < n2; ++p) {
    korvane::NoteError(totals[p].error, all.error);
    all.low = std::min(all.low, totals[p].low);
    all.high = std::max(all.high, totals[p].high);
  }
  Fold(h, all);
}

// ---- side by side -----------------------------------------------------------------

struct Variant {
  std::string name;
  int kind;  // 0 plain peer, 1 OpenMP peer, 2 engine
  int threads;
};

// Up to the given thread count.
std::vector<Variant> Variants(int most) {
  std::vector<Variant> v{{"plain -O2 peer", 0, 1}};
  for (int t : {1, 2, 4, 8}) {
    if (t > most) break;
    v.push_back({"OpenMP wavefront, " + std::to_string(t), 1, t});
    v.push_back({"engine, " + std::to_string(t), 2, t});
  }
  if (most > 1) v.push_back({"engine, default count", 2, 0});
  return v;
}

// Runs sweeps of one variant; the engine sweeps within one solution, as it runs.
void RunSweeps(THeap& h, const Variant& v, int sweeps) {
  if (v.kind == 0) {
    for (int k = 0; k < sweeps; ++k) PlainSweep(h);
  } else if (v.kind == 1) {
    for (int k = 0; k < sweeps; ++k) OpenMpWavefront(h, v.threads);
  } else {
    korvane::SetWorkerThreads(v.threads);
    h.StepIterations = 0;
    korvane::PotentialSolution solution(h, false, false);
    for (int k = 0; k < sweeps; ++k) {
      h.Converged = 0;
      solution.Iterate();
    }
    korvane::SetWorkerThreads(0);
  }
}

struct Snapshot {
  std::vector<double> phi;
  double error, low, high, range;
  int order;
};

Snapshot Take(const THeap& h) {
  return {std::vector<double>(h.Potential, h.Potential + korvane::CellCount(h)), h.IterationError, h.PotentialMin,
          h.PotentialMax, h.PotentialRange, h.SweepOrder};
}

void Restore(THeap& h, const Snapshot& s) {
  std::copy(s.phi.begin(), s.phi.end(), h.Potential);
  h.IterationError = s.error;
  h.PotentialMin = s.low;
  h.PotentialMax = s.high;
  h.PotentialRange = s.range;
  h.SweepOrder = s.order;
}

bool SameBits(const Snapshot& a, const Snapshot& b) {
  return a.phi.size() == b.phi.size() && std::memcmp(a.phi.data(), b.phi.data(), a.phi.size() * 8) == 0 &&
         std::memcmp(&a.error, &b.error, 8) == 0 && std::memcmp(&a.low, &b.low, 8) == 0 &&
         std::memcmp(&a.high, &b.high, 8) == 0 && a.order == b.order;
}

void SideBySide(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int rounds = static_cast<int>(state.range(1));
  THeap& h = Lattice(n);
  const std::vector<Variant> variants = Variants(static_cast<int>(state.range(2)));
  // About 30 ms of one-thread sweeping per variant and round: on a busy
  // machine the spinning peer on many threads takes far longer.
  const int sweeps = std::clamp(static_cast<int>(4e6 / korvane::CellCount(h)), 4, 50);

  // Eight sweeps (every order once) of each variant from the same state.
  h.PotentialRange = 1;
  const Snapshot start = Take(h);
  RunSweeps(h, variants[0], 8);
  const Snapshot reference = Take(h);
  bool allSame = true;
  for (std::size_t v = 1; v < variants.size(); ++v) {
    Restore(h, start);
    RunSweeps(h, variants[v], 8);
    if (!SameBits(reference, Take(h))) {
      std::printf("  %s does NOT give the plain peer's bits\n", variants[v].name.c_str());
      allSame = false;
    }
  }
  Restore(h, start);

  std::vector<std::vector<double>> wall(variants.size()), cpu(variants.size());
  for (auto _ : state) {
    for (int round = 0; round < rounds; ++round)
      for (std::size_t v = 0; v < variants.size(); ++v) {
        RunSweeps(h, variants[v], 2);  // threads and caches warm
        const Clocks t0 = Now();
        RunSweeps(h, variants[v], sweeps);
        const Clocks t1 = Now();
        wall[v].push_back(1e3 * (t1.wall - t0.wall) / sweeps);
        cpu[v].push_back(1e3 * (t1.cpu - t0.cpu) / sweeps);
      }
  }
  std::printf("\nexplicit sweep %d^3, ms per sweep, median of %d interleaved rounds of %d sweeps (lowest-highest); "
              "all variants give the same bits: %s\n",
              n, rounds, sweeps, allSame ? "yes" : "NO");
  for (std::size_t v = 0; v < variants.size(); ++v) {
    const auto [lo, hi] = std::minmax_element(wall[v].begin(), wall[v].end());
    std::printf("  %-26s wall %8.3f (%.3f-%.3f)  cpu %8.3f\n", variants[v].name.c_str(), Median(wall[v]), *lo, *hi,
                Median(cpu[v]));
  }
  const double plain = Median(wall[0]);
  std::printf("  engine / plain peer on one thread: %.2f\n", Median(wall[2]) / plain);
  for (std::size_t v = 1; v + 1 < variants.size() && variants[v].kind == 1; v += 2) {
    const double ratio = Median(wall[v + 1]) / Median(wall[v]);
    std::printf("  engine / OpenMP wavefront on %d thread(s): %.2f\n", variants[v].threads, ratio);
    state.counters["engine/omp_" + std::to_string(variants[v].threads)] = ratio;
  }
  state.counters["engine/plain_1"] = Median(wall[2]) / plain;
  std::fflush(stdout);
}

// {size, rounds, most threads}; the last runs the one-thread variants alone.
BENCHMARK(SideBySide)
    ->Args({51, 7, 8})
    ->Args({101, 5, 8})
    ->Args({51, 9, 1})
    ->Args({101, 9, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
