// Lifetime of the record and the exports kept only for binary compatibility.
#include "Allocator.h"
#include "Engine.h"
#include "Random.h"

extern "C" {

// Nothing reads or writes this block; callers bound to it by name still load.
KORVANE_API unsigned char neighbors3d[26 * 3 * sizeof(int32_t)] = {};

KORVANE_API void THeapDelete(THeap* heap) {
  if (!heap) return;
  korvane::EngineFree(heap->Nodes.nodes);
  korvane::EngineFree(heap->CodePotentials);
  korvane::EngineFree(heap->ElectrodePots);
  korvane::EngineFree(heap->ElectrodeCurrents);
  korvane::EngineFree(heap->ElectrodeDispCurrents);
  korvane::EngineFree(heap->ElectrodeCharges);
  korvane::EngineFree(heap->ElectrodeFluxCharges);
  korvane::EngineFree(heap->Materials);
  korvane::EngineFree(heap->ElectrodeWork1);
  korvane::EngineFree(heap->ElectrodeWork2);
  korvane::UnmapRecord(heap);
}

KORVANE_API void THeapSetas(int, double, double, double, int, double, double, double, int) {}

KORVANE_API void THeapSetThermal(int, double, double, double, double) {}

KORVANE_API void THeapSetFaseTranzTemperature(int, double) {}

KORVANE_API void KorvaneSetRandomSeed(int pin, uint32_t seed) { korvane::PinRandomSeed(pin != 0, seed); }

}  // extern "C"
