#pragma once
// The breakdown model as the model window of every new project: creates it,
// takes the geo reference and the layers from its lattice, and sets up the
// drawing of the potential.

#include "shell/ModelWindowMaker.h"

class TBitModelWindowMaker : public TModelWindowMaker {
public:
  std::unique_ptr<TFModel> CreateModel(TFMain& main) override;
  void SetUpNewProject(TFMain& main) override;
  void FinishNewProject(TFMain& main) override;

  // The GIS's relative (1, 1) becomes the lattice's far corner in world units.
  static void ApplyGeoReference(TFMain& main);
  // Every three-dimensional array takes the depth of the lattice.
  static void ApplyVolumeDepth(TFMain& main);
};
