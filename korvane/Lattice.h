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

// InvEps = 1/Eps for every material. A permittivity that is not a positive
// finite number would fill the lattice with NaN: such a material takes the
// permittivity of the dielectric (material 0), or of vacuum when that one is
// invalid too. Eps itself is left as the program wrote it.
void RecomputeInverseEps(THeap& h);

// The inverse permittivity that stands in for an invalid one.
double FallbackInverseEps(const THeap& h);

// Makes ElectrodeWork1/2 hold at least ElectrodeCount doubles; fresh replaces
// them even when they are long enough. False when memory runs out.
bool EnsureElectrodeWork(THeap& h, bool fresh);

// Fills the default material (index 0 of a new record).
void SetDefaultMaterial(TMaterial& m);

}  // namespace korvane

#endif  // KORVANE_LATTICE_H
