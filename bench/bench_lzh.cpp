// Packing and unpacking throughput of the LZH coder on a 20 MB image shaped like
// a saved lattice state: per-cell electrode codes (mostly "free dielectric"),
// a smooth potential field and a sparse charge density, as doubles and int32.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "data/ByteOrder.h"
#include "data/LzhCoder.h"

namespace {

const std::vector<uint8_t>& LatticeImage()
{
  static const std::vector<uint8_t> image = [] {
    constexpr int n = 101;
    constexpr size_t cells = size_t{n} * n * n;
    std::mt19937 rng(2026);
    TByteWriter w;
    for (size_t c = 0; c < cells; ++c) // electrode codes
      w.Int32(c % n < 3 ? -2 : (c % n > n - 4 ? -5 : -1));
    for (size_t c = 0; c < cells; ++c) { // potential: smooth in space
      const double x = static_cast<double>(c % n) / n;
      const double y = static_cast<double>(c / n % n) / n;
      const double z = static_cast<double>(c / n / n) / n;
      w.Double(1e5 * (1 - x) + 300 * std::sin(6 * y) * std::cos(5 * z));
    }
    for (size_t c = 0; c < cells; ++c) // charge density: mostly zero
      w.Double(rng() % 50 == 0 ? 1e-6 * (rng() % 1000) : 0.0);
    std::vector<uint8_t> bytes = w.Take();
    bytes.resize(20u << 20, 0); // pad to 20 MB with an empty tail
    return bytes;
  }();
  return image;
}

void BM_LzhPack(benchmark::State& state)
{
  const auto& image = LatticeImage();
  std::vector<uint8_t> coded;
  for (auto _ : state) {
    LzhEncodeBytes(image.data(), image.size(), coded);
    benchmark::DoNotOptimize(coded.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  state.counters["ratio"] = static_cast<double>(coded.size()) / static_cast<double>(image.size());
}

void BM_LzhUnpack(benchmark::State& state)
{
  const auto& image = LatticeImage();
  std::vector<uint8_t> coded;
  LzhEncodeBytes(image.data(), image.size(), coded);
  std::vector<uint8_t> out;
  out.reserve(image.size());
  for (auto _ : state) {
    if (LzhDecodeBytes(coded.data(), coded.size(), static_cast<int64_t>(image.size()), out) != LzhOk ||
        out.size() != image.size())
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

} // namespace

BENCHMARK(BM_LzhPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhUnpack)->Unit(benchmark::kMillisecond);
