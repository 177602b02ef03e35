// The lowest and highest values of lattice arrays, taken on the lattice's
// threads with the values one scan from the first cell to the last would find.
#ifndef KORVANE_ARRAYEXTREMES_H
#define KORVANE_ARRAYEXTREMES_H

#include "korvane.h"

namespace korvane {

// The extremes of one part of an array, as a scan in cell order takes them: a
// value replaces the lowest only when it compares lower, so NaN is never taken
// and of equal values (such as -0 and +0) the first one stays. `any` is false
// for a part of NaN only.
struct Extremes {
  double low = 0.0;
  double high = 0.0;
  bool any = false;
};

Extremes ExtremesOf(const double* array, int begin, int end);
// Folds the extremes of the next part into those of the parts before it.
void MergeExtremes(const Extremes& next, Extremes& total);

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
