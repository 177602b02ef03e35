// The lowest and highest values of lattice arrays, taken on the lattice's
// threads with the values one scan from the first cell to the last would find.
#ifndef KORVANE_ARRAYEXTREMES_H
#define KORVANE_ARRAYEXTREMES_H

#include "korvane.h"

namespace korvane {

// An array and where its extremes go.
struct ExtremesTarget {
  const double* array;
  double* low;
  double* high;
};

// Each array's extremes over the record's cells, all arrays in one job on the
// lattice's threads. Bit for bit what a scan from the first cell finds that
// starts from that cell's value, a NaN first cell included; a lattice without
// cells leaves the targets as they are.
void ArraysMinMax(const THeap& h, const ExtremesTarget* targets, int count);

}  // namespace korvane

#endif  // KORVANE_ARRAYEXTREMES_H
