// Helpers of the lattice unit shared with run control.
#ifndef KORVANE_LATTICE_H
#define KORVANE_LATTICE_H

#include "korvane.h"

namespace korvane {

// Keeps a material table to index: when the program left none, one default
// material is created, as a new record has.
bool EnsureMaterials(THeap& h);

// Cells whose material index names no material are given material 0 (the layer
// is user-editable and materials can be deleted while cells use them).
void MapInvalidMaterials(THeap& h);

// InvEps = 1/Eps for every material; a permittivity that is not a positive
// finite number gets an infinite inverse, which makes every link to it 0.
void RecomputeInverseEps(THeap& h);

// Makes ElectrodeWork1/2 hold at least ElectrodeCount doubles; fresh replaces
// them even when they are long enough. False when memory runs out.
bool EnsureElectrodeWork(THeap& h, bool fresh);

// Fills the default material (index 0 of a new record).
void SetDefaultMaterial(TMaterial& m);

}  // namespace korvane

#endif  // KORVANE_LATTICE_H
