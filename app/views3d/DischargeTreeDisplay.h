#pragma once
// How the discharge-tree view turns the model into what the cube frame draws:
// one coloured segment per tree element that has a parent, and bodies for the
// electrode plates, the electrodes and the inhomogeneities. Plain functions
// over the snapshot's records, so that tests drive them without a window.
#include "views3d/CubeViewRecords.h"

#include "model/store/ElectrodeRecord.h"
#include "model/store/InhomogeneityRecord.h"

#include <korvane.h>

#include <cstdint>
#include <functional>
#include <vector>

struct TEngineStatistics;

// The value kinds of the tree colouring (index of the options dialog's list).
enum TTreeValueKind : int32_t {
  TreeValueChannels = 0,
  TreeValueCurrent = 1,
  TreeValueConductance = 2,
  TreeValueField = 3,
  TreeValueChargeDensity = 4,
  TreeValuePotential = 5,
  TreeValueEnergy = 6,
  TreeValuePower = 7,
  TreeValueLinearEnergy = 8,
  TreeValueLinearPower = 9,
  TreeValueLinearCharge = 10,
};

struct TTreeDisplaySettings {
  bool showTree = true;
  bool showElectrodes = true;
  bool showInhomogeneities = true;
  int32_t pickedSegment = -1;
  int32_t pickedNode = -1;
  int32_t mixMode = 2; // as MixColor: 0 RGB, 1 HSV, 2 HSV with the hue decreasing
  COLORREF colourMin = 0xFF0000;
  COLORREF colourMax = 0x0000FF;
  int32_t opacityMin = 0; // 16.16
  int32_t opacityMax = 0x10000;
  double width = 0.5;
  double widthPicked = 1.0;
  double widthBreakdown = 1.5;
  int32_t valueKind = TreeValueCurrent;
  double valueMax = 0;
  double valueMin = 0;
  bool autoMax = true;
  bool autoMin = true;
  bool logarithmic = false;
};

// The code of a cell of the electrode-code array by its lattice indices
// (axis 1, axis 3, axis 2); false outside the array or without one.
using TCellCodeLookup = std::function<bool(int i, int j, int k, double& code)>;

// The element's value for the kind; logarithmic kinds give -300 for values <= 0.
double TreeElementValue(const TNode& node, int32_t kind, bool logarithmic);
// The colour range from the elements that have a parent, where the auto flags ask.
void UpdateTreeRange(TTreeDisplaySettings& settings, const TTree& tree);
// The segments of the tree in a lattice of n1 x n2 x n3 cells; records the
// node at the end of the picked segment in settings.pickedNode.
std::vector<CubeViewSegment> BuildTreeSegments(TTreeDisplaySettings& settings, const TTree& tree, int n1, int n2,
                                               int n3, const TCellCodeLookup& electrodeCodes);
// The plates, the electrodes and the inhomogeneities, as the flags show them.
std::vector<CubeViewBody> BuildModelBodies(const TTreeDisplaySettings& settings,
                                           const std::vector<TElectrodeRecord>& electrodes,
                                           const std::vector<TInhomogeneityRecord>& inhomogeneities,
                                           const TEngineStatistics& lattice);
// A 16.16 opacity from a transparency in percent (0 opaque .. 100 clear), and back.
int32_t OpacityFromTransparency(double percent);
double TransparencyFromOpacity(int32_t opacity);
