#include "ArrayExtremes.h"

#include <cmath>
#include <vector>

#include "Engine.h"
#include "WorkerPool.h"

namespace korvane {
namespace {

// The extremes of one part of an array, as a scan in cell order takes them: a
// value replaces the lowest only when it compares lower, so NaN is never taken
// and of equal values (such as -0 and +0) the first one stays. `any` is false
// for a part of NaN only.
struct Extremes {
  double low = 0.0;
  double high = 0.0;
  bool any = false;
};

Extremes ExtremesOf(const double* array, int begin, int end) {
  int c = begin;
  while (c < end && std::isnan(array[c])) ++c;
  if (c == end) return {};
  double low = array[c], high = array[c];
  for (++c; c < end; ++c) {
    const double v = array[c];
    if (v < low) low = v;
    if (v > high) high = v;
  }
  return {low, high, true};
}

// Folds the extremes of the next part into those of the parts before it.
void MergeExtremes(const Extremes& next, Extremes& total) {
  if (!next.any) return;
  if (!total.any) {
    total = next;
    return;
  }
  if (next.low < total.low) total.low = next.low;
  if (next.high > total.high) total.high = next.high;
}

}  // namespace

void ArraysMinMax(const THeap& h, const ExtremesTarget* targets, int count) {
  const int cells = CellCount(h);
  if (cells < 1 || count < 1) return;
  // After a threaded solution the arrays lie in the workers' caches: each
  // worker scans a block, and the blocks are folded in cell order.
  const WorkerPool pool = LatticePool(h);
  const int parts = pool.Threads();
  std::vector<Extremes> found(static_cast<std::size_t>(parts) * count);
  pool.Split([&](int t, int) {
    const PartRange r = PartOf(cells, t, parts);
    Extremes* mine = &found[static_cast<std::size_t>(t) * count];
    for (int k = 0; k < count; ++k) mine[k] = ExtremesOf(targets[k].array, r.begin, r.end);
  });
  for (int k = 0; k < count; ++k) {
    const double first = targets[k].array[0];
    // A scan that starts from NaN keeps it: nothing compares lower or higher.
    Extremes total{first, first, true};
    if (!std::isnan(first)) {
      total = {};
      for (int t = 0; t < parts; ++t) MergeExtremes(found[static_cast<std::size_t>(t) * count + k], total);
    }
    *targets[k].low = total.low;
    *targets[k].high = total.high;
  }
}

}  // namespace korvane
