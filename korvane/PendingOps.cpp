// Temporary weak placeholders so that the library links while the engine units
// are written in parallel. Every real definition overrides its placeholder.
// This file is removed once all units stand.
#include "Engine.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace korvane {

__attribute__((weak)) void* EngineAlloc(std::size_t bytes) { return 0; }
__attribute__((weak)) void* EngineRealloc(void* block, std::size_t bytes) { return 0; }
__attribute__((weak)) void EngineFree(void* block) {}
__attribute__((weak)) void SeedRandom() {}
__attribute__((weak)) int NextRandom() { return 0; }
__attribute__((weak)) void FillBox(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3, double value, double* array) {}
__attribute__((weak)) void FillBoxInt(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3, int32_t value, int32_t* array) {}
__attribute__((weak)) void BuildLinkPermittivity(THeap& h) {}
__attribute__((weak)) void CollectElectrodeCells(THeap& h) {}
__attribute__((weak)) void SeedRootNodes(THeap& h) {}
__attribute__((weak)) void ResetEcFromMaterials(THeap& h) {}
__attribute__((weak)) void ZeroElectrodeCharge(THeap& h) {}
__attribute__((weak)) void ApplyElectrodePotentials(THeap& h, double factor) {}
__attribute__((weak)) void ApplyElectrodePotentialsQ0(THeap& h, double factor, int mode) {}
__attribute__((weak)) void AddScaledQ0(THeap& h, double value) {}
__attribute__((weak)) void IteratePotential(THeap& h, bool implicit, bool generatorCoupling) {}
__attribute__((weak)) void SolvePotentialExplicit(THeap& h) {}
__attribute__((weak)) void SolvePotentialImplicit(THeap& h) {}
__attribute__((weak)) void ComputeFieldComponents(THeap& h) {}
__attribute__((weak)) int AddNode(THeap& h, int x, int y, int z, int cell, int parent) { return 0; }
__attribute__((weak)) int AddGrownNode(THeap& h, int x, int y, int z, int cell, int parent, double g0, double dist, double invDist, double field) { return 0; }
__attribute__((weak)) void GrowStep(THeap& h) {}
__attribute__((weak)) void UpdateChannelConductance(THeap& h) {}
__attribute__((weak)) void GrowthFieldRange(THeap& h, double& maxField, double& minField, double& maxRate) {}
__attribute__((weak)) void RefreshNodeCells(THeap& h) {}
__attribute__((weak)) bool HasNodeOnElectrode(const THeap& h) { return 0; }
__attribute__((weak)) double SparkGapResistance(THeap& h, double t) { return 0; }
__attribute__((weak)) double SolveGeneratorCircuit(THeap& h, double t) { return 0; }
__attribute__((weak)) void CouplingSumsExplicit(THeap& h) {}
__attribute__((weak)) void CouplingSumsImplicit(THeap& h) {}
__attribute__((weak)) void ApplyGeneratorElectrodes(THeap& h) {}
__attribute__((weak)) void ComputeBranchCurrents(THeap& h) {}
__attribute__((weak)) void UpdateStrayBranch(THeap& h) {}
__attribute__((weak)) void CalibrateGapCapacitance(THeap& h) {}
__attribute__((weak)) void RecomputeVoltageMode(THeap& h) {}
__attribute__((weak)) double VoltageFactor(THeap& h, double t) { return 0; }
__attribute__((weak)) void ArrayMinMax(const THeap& h, const double* array, double& minValue, double& maxValue) {}
__attribute__((weak)) void SolveUntilConverged(THeap& h, bool implicit, bool generatorCoupling) {}
__attribute__((weak)) void StepCore(THeap& h) {}
__attribute__((weak)) void RefreshStatistics(THeap& h, bool logging) {}
__attribute__((weak)) void FitLineOrthogonal(const double* x, const double* y, int n, double* slope, double* intercept) {}
__attribute__((weak)) double StructureChargeOf(const THeap& h) { return 0; }
__attribute__((weak)) void RefreshNodeExtremes(THeap& h) {}
__attribute__((weak)) void ComputeDisplacementCurrents(THeap& h) {}
__attribute__((weak)) void ComputeBulkCurrents(THeap& h) {}
__attribute__((weak)) void ComputeElectrodeCurrents(THeap& h) {}
__attribute__((weak)) double ElectrodeCharge(THeap& h, int electrode) { return 0; }

}  // namespace korvane
