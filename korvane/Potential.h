// Helpers of the potential solver that the lattice currents and the tests share.
#ifndef KORVANE_POTENTIAL_H
#define KORVANE_POTENTIAL_H

#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>

#include "ElectrodeCodes.h"
#include "Engine.h"

namespace korvane {

// A free dielectric cell: its code is exactly -1. Every other code is fixed.
inline bool IsFreeCode(double code) { return code == -1.0; }

// Error of one cell's change, by the error measure in force.
inline double CellError(int dwType, double oldValue, double newValue, double range) {
  const double delta = newValue - oldValue;
  if (dwType == 1) return std::fabs(delta / range);
  if (dwType == 2) return std::fabs(delta);
  if (oldValue != 0) return std::fabs(delta / oldValue);
  if (newValue == 0) return 0;
  return std::fabs(delta / newValue);
}

// A not-a-number error must stick, or a poisoned lattice could pass the bound.
inline void NoteError(double error, double& largest) {
  if (error > largest || error != error) largest = error;
}

// Material lookups that survive an index outside the material table (the
// program writes MaterialOfCell directly).
inline const TMaterial* MaterialOf(const THeap& h, int cell) {
  const int m = h.MaterialOfCell[cell];
  return (m >= 0 && m < h.MaterialCount) ? &h.Materials[m] : nullptr;
}
inline double SigmaOf(const THeap& h, int cell) {
  const TMaterial* m = MaterialOf(h, cell);
  return m ? m->Sigma : 0.0;
}
inline double InvEpsOf(const THeap& h, int cell) {
  const TMaterial* m = MaterialOf(h, cell);
  return m ? m->InvEps : 0.0;
}

// Index of the node on a cell, or -1 when the cell holds none or the stored
// value names no node of the list.
inline int NodeAt(const THeap& h, int cell) {
  const double v = h.NodeOfCell[cell];
  if (!(v >= 0.0) || !(v < static_cast<double>(h.Nodes.count))) return -1;
  return static_cast<int>(v);
}

// The program may show the progress of a long solution (StepIterations,
// LastIterationError) from another thread while a step runs; every writer of
// these two fields during a step goes through here so that the reader sees
// whole values.
inline int LoadStepIterations(THeap& h) {
  return std::atomic_ref<int32_t>(h.StepIterations).load(std::memory_order_relaxed);
}
inline void StoreStepIterations(THeap& h, int value) {
  std::atomic_ref<int32_t>(h.StepIterations).store(value, std::memory_order_relaxed);
}
inline void StoreLastIterationError(THeap& h, double value) {
  std::atomic_ref<double>(h.LastIterationError).store(value, std::memory_order_relaxed);
}

// One solution of the potential, from its first iteration to its last. What
// stays fixed while it runs (the explicit scheme's charge terms, the coupling
// of the generator's electrodes) is prepared once, and the engine's threads
// stay with it, awake, until it ends. Every result is bit for bit what one
// iteration after the other through IteratePotential gives.
class PotentialSolution {
 public:
  PotentialSolution(THeap& h, bool implicit, bool generatorCoupling);
  ~PotentialSolution();
  PotentialSolution(const PotentialSolution&) = delete;
  PotentialSolution& operator=(const PotentialSolution&) = delete;

  // One iteration (IteratePotential).
  void Iterate();
  // One sweep of the scheme alone (SolvePotentialExplicit, SolvePotentialImplicit).
  void Sweep();
  // Threads that the solution's sweeps run on.
  int Threads() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// How the in-place sweep orders its work, with the same bits either way: planes
// in a pipeline (the engine's choice) or plainly one cell after another, which
// benchmarks and tests compare against.
enum class SweepSchedule { Automatic, Plain };
void SetSweepSchedule(SweepSchedule schedule);

}  // namespace korvane

#endif  // KORVANE_POTENTIAL_H
