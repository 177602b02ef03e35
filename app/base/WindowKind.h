#pragma once
// The kinds of the MDI view windows. A window keeps its kind for its life; the
// project file stores it first in the window's image so that the loader knows
// which class to recreate. Kind 0 marks a window that the broadcasts skip.

enum TWindowKind : int {
  WindowKindSimpleView = 0,
  WindowKind3DView = 4,
  WindowKindSectionView = 5,
  WindowKindSimplePlot = 8,
  WindowKindTimePlot = 9,
  WindowKindArrayPlot = 10,
  WindowKindArray3DPlot = 11,
  WindowKindArray3DInfo = 12,
  WindowKindGisView = 14,
  WindowKindBit3DView = 104,
  WindowKindDimPlot = 110,
  WindowKindTreePlot = 209,
  WindowKindModelInfo = 1104,
  WindowKindTreeInfo = 1105,
};
