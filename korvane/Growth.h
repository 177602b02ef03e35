// Neighbourhood of a lattice cell as the growth and channel code sees it.
#ifndef KORVANE_GROWTH_H
#define KORVANE_GROWTH_H

#include "Engine.h"

namespace korvane {

struct NeighbourOffset {
  int d1, d2, d3;
};

constexpr int kNeighbourCount = 26;

// The 26 offsets around a cell. The order is fixed (d1 slowest, then d2, then
// d3, each running 1, 0, -1): it decides which neighbour wins a tie and in which
// order random numbers are drawn, so results are reproducible bit for bit.
extern const NeighbourOffset kNeighbourOffsets[kNeighbourCount];

// Length and inverse length of every offset for the record's cell sizes.
struct NeighbourDistances {
  double dist[kNeighbourCount];
  double inv[kNeighbourCount];
};
NeighbourDistances ComputeNeighbourDistances(const THeap& h);

// Cell of a node position that may lie any number of periods beyond the
// periodic axes 1 and 3; y must already be inside 0..N2-1.
inline int WrappedCellIndex(const THeap& h, int x, int y, int z) {
  return CellIndex(h, WrapModulo(x, h.N1), y, WrapModulo(z, h.N3));
}

}  // namespace korvane

#endif  // KORVANE_GROWTH_H
