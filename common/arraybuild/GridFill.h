#pragma once
// The seven methods that fill the open cells of a grid from its known cells.
// Each method reports progress after every row, batch or sweep, lets pending
// events through and stops when the progress says the build was cancelled;
// what to do with a cancelled build is the caller's choice.
#include "arraybuild/FillGrid.h"
#include "gis/ArrayBuildParams.h"

class TArrayBuildProgress;

// The text the Gauss method reports when its iteration diverges.
inline constexpr const char* GaussDivergedMessage =
    "Невозможно интерполировать даные - альфа или вета слишком малы";

// Runs the method of params.fillMethod. Values outside the seven methods
// (including the reserved 7, which has no solver) compute nothing. A build
// cancelled on the way keeps the cells as far as they were computed (the
// known cells with their values) and returns false; otherwise true.
bool FillOpenCells(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                   TArrayBuildProgress& progress);

// Laplace: a start fill that grows the known region ring by ring from row and
// column estimates, then Gauss-Seidel sweeps of the harmonic mean with a
// third-derivative term over the open cells of `known`.
void LaplaceSeed(TFillGrid& grid, const TKnownMask& known);
void LaplaceRelax(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                  TArrayBuildProgress& progress);
// Exponential averaging of the known values' residuals.
void FillByGauss(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
               TArrayBuildProgress& progress);
// Natural neighbours over the N-dimensional tessellation (2 dimensions here).
void FillByNN1(TFillGrid& grid, const TKnownMask& known, TArrayBuildProgress& progress);
// Natural neighbours (or linear) over the Delaunay triangulation, row by row.
void FillByNN2(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
             TArrayBuildProgress& progress);
void FillByIDW(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
             TArrayBuildProgress& progress);
void FillByMinCurvature(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                      TArrayBuildProgress& progress);
void FillByKriging(TFillGrid& grid, const TKnownMask& known, const TArrayBuildParams& params,
                 TArrayBuildProgress& progress);
