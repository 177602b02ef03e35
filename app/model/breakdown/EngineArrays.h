#pragma once

#include <korvane.h>

class TModelArrays;
class TQuantityLevels;

// Array ids of the engine lattice that the model reads itself.
enum TEngineArrayId {
  ArrayChargeInit = 10000,
  ArrayCriticalField = 10004,
  ArrayElectrodes = 10005,
  ArrayMaterial = 10007,
  ArrayPotentialInit = 10008,
  ArrayPotentialQ0 = 10009,
  ArrayCharge = 20000,
  ArrayPotential = 20001,
  ArrayStructure = 20007,
};

// Registers the 21 lattice arrays of the engine record (volumes whose data is
// the engine's own memory) and their menu captions, in their fixed order.
void RegisterEngineArrays(THeap &engine, TModelArrays &arrays, TQuantityLevels &arrayLevels);

// Whether the array holds codes (electrode codes, material indices, node
// numbers): such values must never be blended when the grid is resampled.
bool IsCodeArray(int id);
