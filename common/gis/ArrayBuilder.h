#pragma once
// Building of arrays from the reper values that the objects of their GIS carry
// for the array's quantity code: the known cells are collected into a mask and
// the array's fill method computes the others (arraybuild/GridFill.h).
//
// A cancelled build leaves the array as it was before the build.
#include "arraybuild/FillGrid.h"

class TArrayBuildProgress;
class TGArray;

// The progress that builds started from the program report to; a progress
// that shows nothing until the program installs its window.
TArrayBuildProgress& GetArrayBuildProgress();
void SetArrayBuildProgress(TArrayBuildProgress* progress);

// Writes the known values into their cells and marks them in `known`; the
// reper values are taken for the depth interval lo <= depth < hi. False when
// no cell is known (or the array has no GIS or no cells).
bool CollectKnownCells(TGArray& array, double lo, double hi, TKnownMask& known);

// Fills the array's cells from the values known for the depth interval. False
// when the array has no GIS or nothing is known, and the values are untouched;
// true otherwise, also after a cancel (which gives the values back).
bool BuildArrayRange(TGArray& array, double lo, double hi, TArrayBuildProgress& progress);

// The whole build: a regular array over every depth, a three-dimensional array
// level by level; then the data range and the drawing range. False when
// nothing was built.
bool BuildArray(TGArray& array, TArrayBuildProgress& progress);

// The grid of an array as the fill methods see it (values, cell sizes and
// world cell centres).
TFillGrid MakeFillGrid(TGArray& array);
