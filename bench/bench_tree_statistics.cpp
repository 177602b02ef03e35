// Measures of the discharge structure that run after every time step, on
// chains and branching trees of 10^3 to 10^5 nodes, and the critical-field
// lowering between discharges on the full 101^3 lattice.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Engine.h"
#include "korvane.h"

namespace {

constexpr double kCell = 1e-3;

struct Structure {
  TTree tree{};
  explicit Structure(int capacity) { TTreeSetSize(&tree, capacity); }
  ~Structure() { TTreeDelete(&tree); }
  int Add(int x, int y, int z, int parent) {
    TNode& n = tree.nodes[tree.count];
    n = TNode{};
    n.x = x;
    n.y = y;
    n.z = z;
    n.parent = parent;
    n.generation = parent < 0 ? 0 : tree.nodes[parent].generation + 1;
    n.invLength = parent < 0 ? 1 : 1 / kCell;
    n.lnL = n.lnR = 1e300;
    n.heatDensity = n.powerDensity = 1;
    return tree.count++;
  }
  // History of (ln R, ln L) as the engine logs it, one point per grown node.
  void LogHistory() {
    for (int i = 0; i < tree.count; ++i) {
      if (tree.nodes[i].parent < 0) continue;
      tree.nodes[i].lnR = std::log(1e-3 * (1 + i % 977));
      tree.nodes[i].lnL = 1.6 * tree.nodes[i].lnR + 2;
    }
  }
};

// One root and a straight chain.
void BuildChain(Structure& s, int n) {
  int p = s.Add(0, 0, 0, -1);
  for (int i = 1; i < n; ++i) p = s.Add(0, i, 0, p);
}

// A plane of roots (a tenth of the nodes, 10^4 at 10^5 nodes) and grown nodes
// branching from random earlier nodes.
void BuildTree(Structure& s, int n) {
  const int side = static_cast<int>(std::lround(std::sqrt(n / 10.0)));
  for (int i3 = 0; i3 < side; ++i3)
    for (int i1 = 0; i1 < side; ++i1) s.Add(i1, 0, i3, -1);
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> step(-1, 1);
  while (s.tree.count < n) {
    int parent = std::uniform_int_distribution<int>(0, s.tree.count - 1)(rng);
    const TNode p = s.tree.nodes[parent];
    s.Add(p.x + step(rng), p.y + 1, p.z + step(rng), parent);
  }
}

template <void (*Build)(Structure&, int)>
Structure& Shape(int n) {
  static std::vector<std::pair<int, Structure*>> cache;
  for (auto& [size, s] : cache)
    if (size == n) return *s;
  auto* s = new Structure(n);
  Build(*s, n);
  s->LogHistory();
  cache.emplace_back(n, s);
  return *s;
}

template <void (*Build)(Structure&, int)>
void BM_StepStatistics(benchmark::State& state) {
  Structure& s = Shape<Build>(static_cast<int>(state.range(0)));
  TTree* t = &s.tree;
  for (auto _ : state) {
    double segments, tips, D, b;
    benchmark::DoNotOptimize(TTreeOmEnergy(t, kCell, kCell, kCell));
    benchmark::DoNotOptimize(TTreeOmPower(t, kCell, kCell, kCell));
    benchmark::DoNotOptimize(TTreeLength(t));
    benchmark::DoNotOptimize(TTreeRadius(t, kCell, kCell, kCell));
    benchmark::DoNotOptimize(TTreeLimbs(t));
    TTreeSegments(t, &segments, &tips);
    benchmark::DoNotOptimize(TTreeDimension(t, 5, 2, &D, &b));
    benchmark::DoNotOptimize(segments + tips + D + b);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <void (*Build)(Structure&, int)>
void BM_Radius(benchmark::State& state) {
  Structure& s = Shape<Build>(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TTreeRadius(&s.tree, kCell, kCell, kCell));
}

template <void (*Build)(Structure&, int)>
void BM_Segments(benchmark::State& state) {
  Structure& s = Shape<Build>(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    double segments, tips;
    TTreeSegments(&s.tree, &segments, &tips);
    benchmark::DoNotOptimize(segments + tips);
  }
}

// The measures as plainly defined: every root against every grown node, and
// a scan of the whole list per node for its children. For comparison only.
void BM_QuadraticRadiusAndSegments(benchmark::State& state) {
  Structure& s = Shape<BuildTree>(static_cast<int>(state.range(0)));
  const TNode* nodes = s.tree.nodes;
  const int n = s.tree.count;
  for (auto _ : state) {
    double radius = 0, segments = 0;
    for (int r = 0; r < n; ++r) {
      if (nodes[r].parent != -1) continue;
      for (int i = 0; i < n; ++i) {
        if (nodes[i].parent == -1) continue;
        double dz = (nodes[r].z - nodes[i].z) * kCell, dy = (nodes[r].y - nodes[i].y) * kCell,
               dx = (nodes[r].x - nodes[i].x) * kCell;
        radius = std::max(radius, std::sqrt(dz * dz + dy * dy + dx * dx));
      }
    }
    for (int i = 0; i < n; ++i) {
      if (nodes[i].parent == -1) continue;
      int children = 0;
      for (int j = 0; j < n; ++j) children += nodes[j].parent == i;
      segments += children != 1;
    }
    benchmark::DoNotOptimize(radius + segments);
  }
}

// THeapEcDecay on 101^3 cells for state.range(0) heated channel nodes.
void BM_EcDecayFullLattice(benchmark::State& state) {
  THeap* h = THeapNew();
  THeapSetLatticeSize(h, 101, 101, 101);
  h->Materials[0].EcAmplitude = 1e-3;
  h->Materials[0].EcWidth = 5e-3;
  int p = korvane::AddNode(*h, 50, 0, 50, korvane::CellIndex(*h, 50, 0, 50), -1);
  for (int i = 1; i <= state.range(0); ++i) {
    p = korvane::AddNode(*h, 50, i, 50 + i % 3, korvane::CellIndex(*h, 50, i, 50 + i % 3), p);
    h->Nodes.nodes[p].heatDensity = 1;
  }
  for (auto _ : state) THeapEcDecay(h);
  state.SetItemsProcessed(state.iterations() * state.range(0) * korvane::CellCount(*h));
  THeapDelete(h);
}

// The lowering as plainly written, one Gaussian per cell and node, with the
// normalising sum over the lattice first. For comparison only.
void BM_EcDecayFormulaReference(benchmark::State& state) {
  THeap* h = THeapNew();
  THeapSetLatticeSize(h, 101, 101, 101);
  const double w = 5e-3, amplitude = 1e-3, target = h->Materials[0].EcTarget;
  const int nodes = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 1; i <= nodes; ++i) {
      const int x = 50, y = i, z = 50 + i % 3;
      auto weight = [&](int i1, int i2, int i3) {
        double a = (x - i1) * kCell, b = (y - i2) * kCell, c = (z - i3) * kCell;
        return std::exp(-(a * a + b * b + c * c) / (2 * w * w)) / std::pow(2 * M_PI * w * w, 1.5);
      };
      double sum = 0;
      for (int i2 = 0; i2 < 101; ++i2)
        for (int i3 = 0; i3 < 101; ++i3)
          for (int i1 = 0; i1 < 101; ++i1) sum += weight(i1, i2, i3);
      for (int i2 = 0; i2 < 101; ++i2)
        for (int i3 = 0; i3 < 101; ++i3)
          for (int i1 = 0; i1 < 101; ++i1) {
            double& ec = h->Ec[korvane::CellIndex(*h, i1, i2, i3)];
            ec += std::min(weight(i1, i2, i3) / sum * amplitude, 1.0) * (target - ec);
          }
    }
  }
  state.SetItemsProcessed(state.iterations() * nodes * korvane::CellCount(*h));
  THeapDelete(h);
}

}  // namespace

BENCHMARK(BM_StepStatistics<BuildChain>)->Name("StepStatistics/chain")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_StepStatistics<BuildTree>)->Name("StepStatistics/tree")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Radius<BuildTree>)->Name("Radius/tree")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Segments<BuildTree>)->Name("Segments/tree")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_QuadraticRadiusAndSegments)->Name("QuadraticReference/tree")->Arg(1000)->Arg(10000);
BENCHMARK(BM_EcDecayFullLattice)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EcDecayFormulaReference)->Arg(10)->Unit(benchmark::kMillisecond);
