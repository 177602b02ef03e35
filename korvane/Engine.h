// Internal operations of the engine, shared between its units. Every operation
// works on one record and runs on the caller's thread; none is exported.
#ifndef KORVANE_ENGINE_H
#define KORVANE_ENGINE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "korvane.h"

namespace korvane {

class WorkerPool;

// ---- lattice indexing -------------------------------------------------------

// Flat index: axis 1 fastest, then axis 3, axis 2 slowest.
inline int CellIndex(const THeap& h, int i1, int i2, int i3) { return i1 + h.N1 * (i3 + h.N3 * i2); }

inline int CellCount(const THeap& h) { return h.N1 * h.N2 * h.N3; }

// The threads for one pass over the record's lattice (see WorkerThreadsFor).
WorkerPool LatticePool(const THeap& h);

// Periodic axes wrap an index that is at most one period out of range.
inline int WrapOnce(int i, int n) { return i < 0 ? i + n : (i > n - 1 ? i - n : i); }

// True modulo, for coordinates that may lie several periods away.
inline int WrapModulo(int i, int n) {
  int r = i % n;
  return r < 0 ? r + n : r;
}

inline int ClampAxis2(int i, int n2) { return i < 0 ? 0 : (i > n2 - 1 ? n2 - 1 : i); }

// Applied potential of electrode code k (k <= -2), addressed through the base.
inline double& CodePotential(THeap& h, int code) { return h.CodePotentialBase[code]; }

// ---- allocator and random generator (KorvaneAllocator.cpp, Random.cpp) ------

void* EngineAlloc(std::size_t bytes);
void* EngineRealloc(void* block, std::size_t bytes);
void EngineFree(void* block);

void SeedRandom();   // from the clock, or the pinned seed
int NextRandom();    // 0..32767

// ---- lattice, materials and electrodes (Lattice.cpp) ------------------------

void FillBox(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3,
             double value, double* array);
void FillBoxInt(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3,
                int32_t value, int32_t* array);
void BuildLinkPermittivity(THeap& h);
void CollectElectrodeCells(THeap& h);
void SeedRootNodes(THeap& h);
void ResetEcFromMaterials(THeap& h);
void ZeroElectrodeCharge(THeap& h);
void ApplyElectrodePotentials(THeap& h, double factor);
void ApplyElectrodePotentialsQ0(THeap& h, double factor, int mode);
void AddScaledQ0(THeap& h, double value);

// ---- potential solution (Potential.cpp) -------------------------------------

void IteratePotential(THeap& h, bool implicit, bool generatorCoupling);
void SolvePotentialExplicit(THeap& h);
void SolvePotentialImplicit(THeap& h);
void ComputeFieldComponents(THeap& h);

// ---- discharge growth and channels (Growth.cpp) -----------------------------

int AddNode(THeap& h, int x, int y, int z, int cell, int parent);
int AddGrownNode(THeap& h, int x, int y, int z, int cell, int parent, double g0, double dist,
                 double invDist, double field);
void GrowStep(THeap& h);
void UpdateChannelConductance(THeap& h);
void GrowthFieldRange(THeap& h, double& maxField, double& minField, double& maxRate);
void RefreshNodeCells(THeap& h);
// Whether some non-root node stands on an electrode cell (breakdown after a restore).
bool HasNodeOnElectrode(const THeap& h);

// ---- generator circuit (Generator.cpp) --------------------------------------

double SparkGapResistance(THeap& h, double t);
double SolveGeneratorCircuit(THeap& h, double t);
void CouplingSumsExplicit(THeap& h);
void CouplingSumsImplicit(THeap& h);
// The coupling sums of electrodes 0 and 1 as terms in the order they are
// added: the weights and the cells stay for a whole solution, only the
// potentials of the cells change between its iterations.
struct CouplingTerm {
  double weight;
  int cell;
};
struct CouplingPlan {
  bool active = false;
  double weightSums[2] = {0.0, 0.0};
  std::vector<CouplingTerm> terms[2];
};
void PlanCouplingSums(const THeap& h, bool implicit, CouplingPlan& plan);
void CouplingSumsFromPlan(THeap& h, const CouplingPlan& plan);
// With a pool, the shift of the whole lattice runs on its threads.
void ApplyGeneratorElectrodes(THeap& h, const WorkerPool* pool = nullptr);
void ComputeBranchCurrents(THeap& h);
void UpdateStrayBranch(THeap& h);
void CalibrateGapCapacitance(THeap& h);

// ---- time stepping and run control (TimeStepping.cpp) -----------------------

void RecomputeVoltageMode(THeap& h);
double VoltageFactor(THeap& h, double t);
void ArrayMinMax(const THeap& h, const double* array, double& minValue, double& maxValue);
void SolveUntilConverged(THeap& h, bool implicit, bool generatorCoupling);
void StepCore(THeap& h);
void RefreshStatistics(THeap& h, bool logging);

// ---- tree statistics (TreeStatistics.cpp) -----------------------------------

void FitLineOrthogonal(const double* x, const double* y, int n, double* slope, double* intercept);
double StructureChargeOf(const THeap& h);
void RefreshNodeExtremes(THeap& h);

// ---- lattice currents and electrode charges (LatticeCurrents.cpp) -----------

void ComputeDisplacementCurrents(THeap& h);
void ComputeBulkCurrents(THeap& h);
void ComputeElectrodeCurrents(THeap& h);
double ElectrodeCharge(THeap& h, int electrode);

}  // namespace korvane

#endif  // KORVANE_ENGINE_H
