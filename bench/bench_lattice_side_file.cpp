// The lattice side file of a paused model: building the state image, writing
// and packing it, and unpacking and taking it over again, on the largest
// lattice and on a middle one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "data/Stream.h"
#include "data/TagStream.h"
#include "korvane.h"
#include "model/store/EngineStateStore.h"
#include "model/store/LatticeSideFile.h"

namespace {

struct HeapDeleter {
  void operator()(THeap* h) const { THeapDelete(h); }
};
using HeapPtr = std::unique_ptr<THeap, HeapDeleter>;

// A lattice of side n with smooth, not constant, fields (like a real state:
// packing compresses them only in part) and a short needle of nodes.
HeapPtr Model(int n)
{
  HeapPtr h(THeapNew());
  THeapSetLatticeSize(h.get(), n, n, n);
  const int cells = n * n * n;
  for (int c = 0; c < cells; ++c) {
    h->Potential[c] = 1e5 * (c % (n * n)) / (n * n) + 0.001 * c;
    h->Charge[c] = 1e-6 * ((c * 7919) % 1000);
    h->CurrentX[c] = h->Potential[c] * 1e-9;
  }
  TTreeSetSize(&h->Nodes, 100);
  h->Nodes.count = 0;
  for (int i = 0; i < 40; ++i) {
    TNode& node = h->Nodes.nodes[h->Nodes.count++];
    node = TNode{};
    node.x = n / 2;
    node.y = i % n;
    node.z = n / 2;
    node.cell = node.x + n * (node.z + n * node.y);
    node.parent = i - 1;
    node.generation = i;
    node.g = 1e-9 * i;
    h->NodeOfCell[node.cell] = i;
  }
  return h;
}

void BM_StateImage(benchmark::State& state)
{
  HeapPtr h = Model(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TMemoryStream stream;
    TTagStream image(&stream, TagStreamWrite);
    WriteHeapState(image, *h);
    image.Commit();
    benchmark::DoNotOptimize(stream.GetSize());
  }
}
BENCHMARK(BM_StateImage)->Arg(51)->Arg(101)->Unit(benchmark::kMillisecond);

void BM_SaveSideFile(benchmark::State& state)
{
  HeapPtr h = Model(static_cast<int>(state.range(0)));
  const std::string path = MakeGfmTempFile();
  for (auto _ : state) {
    std::string why;
    if (!SaveLatticeSideFile(path, *h, &why))
      state.SkipWithError(why.c_str());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveSideFile)->Arg(51)->Arg(101)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LoadSideFile(benchmark::State& state)
{
  HeapPtr h = Model(static_cast<int>(state.range(0)));
  const std::string path = MakeGfmTempFile();
  SaveLatticeSideFile(path, *h);
  HeapPtr target = Model(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string why;
    if (!LoadLatticeSideFile(path, *target, {h->StepCount, h->Time}, &why))
      state.SkipWithError(why.c_str());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadSideFile)->Arg(51)->Arg(101)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
