#pragma once
// Building of arrays from the reper values that the objects of their GIS carry
// for the array's quantity code: the known cells are collected into a mask and
// the array's fill method computes the others (arraybuild/GridFill.h). The
// array's own operations (TGArray::Build, BuildRange, CollectKnownCells) run
// through these functions.
//
// A cancelled build keeps the cells as far as they were computed.
#include "arraybuild/FillGrid.h"

class TArrayBuildProgress;
class TGArray;

// The progress that builds started from the program report to; a progress
// that shows nothing until the program installs its window.
TArrayBuildProgress& GetArrayBuildProgress();
void SetArrayBuildProgress(TArrayBuildProgress* progress);

// The known cells of a build and the range of the values found for them.
struct TKnownCells {
  TKnownMask mask;
  double minimum = 3e300;
  double maximum = -3e300;
};

// Writes the known values into their cells and marks them in the mask; the
// reper values are taken for the depth interval lo <= depth < hi. False when
// no cell is known (or the array has no GIS or no cells). The array's data
// range is left to the caller.
bool CollectKnownCells(TGArray& array, double lo, double hi, TKnownCells& known);

enum class TRangeBuild {
  NothingKnown, // no GIS or no known cell: the values are untouched
  Built,
  Cancelled, // stopped by the user: the cells keep what was computed
};

// Fills the array's cells from the values known for the depth interval;
// `known` tells which cells were known and the range of their values.
TRangeBuild BuildArrayRange(TGArray& array, double lo, double hi, TArrayBuildProgress& progress, TKnownCells& known);

// The whole build of any array (TGArray::Build, level by level for a
// three-dimensional one). False when nothing was built.
bool BuildArray(TGArray& array, TArrayBuildProgress& progress);

// The grid of an array as the fill methods see it (values, cell sizes and
// world cell centres).
TFillGrid MakeFillGrid(TGArray& array);
