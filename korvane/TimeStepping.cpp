// Run control of the engine: creation of a record, the reset to time 0, the
// preparation of a run, one time step with its step-size ladder, and the
// rebuild of the derived state after the program restored a saved record.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Allocator.h"
#include "ArrayExtremes.h"
#include "ElectrodeCodes.h"
#include "Engine.h"
#include "Lattice.h"
#include "Potential.h"
#include "TimeStepping.h"

namespace korvane {
namespace {

constexpr double kNoValue = 1e300;

void SetParameterDefaults(THeap& h) {
  h.Dw = 0.1;
  h.Dw0 = 1e-8;
  h.DwType = 2;
  h.Tau = 0;
  h.Eps0 = 8.8542e-12;
  h.AuxParam1 = 0;
  h.AuxParam2 = 0;
  h.AuxParam3 = 100;
  h.GrowthType = 0;
  h.LimbEn = 2;
  h.LimbMinCond = 1e-15;
  h.LimbMaxCond = 1e10;
  h.LimbDimMinLength = 2;
  h.LimbDimMinCount = 5;
  h.GenC = 2e-8;
  h.GenR0 = 20000;
  h.GenR1 = 2;
  h.GenRT = 6e-8;
  h.GenL = 1e-5;
  h.GenCs = 5e-10;
  h.GenU = 200000;
  h.GenL1 = 0;
  h.GenL2 = 0;
  h.GenNR1 = 0;
  h.GenNR2 = 0;
  h.GenIdle = 0;
  h.AuxParam4 = 0.01;
  h.AuxParam5 = 0.05;
  h.AuxParam6 = 100;
  h.AuxParam7 = 200;
  h.AuxParam8 = 0;
  h.AuxParam9 = 1;
  h.AuxParam10 = 0;
  h.AuxParam11 = 5;
  h.AuxParam12 = 1;
  h.AuxParam13 = 0;
  h.AuxParam14 = 0;
  h.AuxParam15 = 0;
  h.AuxParam16 = 1;
  h.AuxParam17 = 10;
  h.MinNwItr = 8;
  h.MaxNwItr = 20000;
  h.AuxParam18 = 0;
  h.ItrType = 1;
  h.AuxParam19 = 1;
  h.AuxParam20 = 300;
  h.AuxParam21 = 0;
  h.BSep = 0;
  h.CellSize1 = 0.001;
  h.CellSize2 = 0.001;
  h.CellSize3 = 0.001;
  h.DtInit = 1e-9;
  h.DtGrowth = h.DtInit * 0.1;
  h.DtSpark = h.DtInit * 0.1 * 0.1;
  h.N1 = 25;
  h.N2 = 26;
  h.N3 = 25;
  h.N1Last = 24;
  h.N2Last = 25;
  h.N3Last = 24;
  h.OwnerWindow = 0;
}

// Two electrodes at {2, 1} with every per-electrode array; false when memory
// runs out (the caller then gives the record back).
bool CreateElectrodes(THeap& h) {
  double** slots[8] = {&h.CodePotentials,        &h.ElectrodePots,    &h.ElectrodeCurrents,
                       &h.ElectrodeDispCurrents, &h.ElectrodeCharges, &h.ElectrodeFluxCharges,
                       &h.ElectrodeWork1,        &h.ElectrodeWork2};
  const int sizes[8] = {4, 2, 2, 2, 2, 2, 2, 2};
  for (int i = 0; i < 8; ++i) {
    *slots[i] = NewZeroDoubles(sizes[i]);
    if (!*slots[i]) return false;
  }
  h.ElectrodeCount = 2;
  h.CodeCount = 4;
  h.CodePotentialBase = h.CodePotentials + 5;
  h.ElectrodePots[0] = 2;
  h.ElectrodePots[1] = 1;
  h.ElectrodeCellCount = 0;
  h.VoltageRatio = 0;
  h.VoltageRatioError = 0;
  return true;
}

void FillAllCells(double* array, double value) { std::fill_n(array, KORVANE_MAX_CELLS, value); }

void ZeroPerElectrode(THeap& h) {
  for (double* a : {h.ElectrodeCurrents, h.ElectrodeDispCurrents, h.ElectrodeCharges, h.ElectrodeFluxCharges})
    std::fill_n(a, h.ElectrodeCount, 0.0);
}

void ClearStatistics(THeap& h) {
  h.JouleHeat = h.JoulePower = h.StructureCharge = h.ChannelLength = h.StructureSize = 0;
  h.ElementCount = h.ChannelCount = h.SegmentCount = h.Dimension = h.DimensionIntercept = 0;
  for (double* f : {&h.MaxChannelCurrent, &h.MaxLinearConductance, &h.MinChannelCurrent, &h.MinLinearConductance,
                    &h.MaxChannelField, &h.MaxGrowthField, &h.MaxGrowthRate, &h.MinChannelField, &h.MinGrowthField,
                    &h.MinHeatDensity, &h.MaxHeatDensity, &h.MinPowerDensity, &h.MaxPowerDensity, &h.MinLinearHeat,
                    &h.MaxLinearHeat, &h.MinLinearPower, &h.MaxLinearPower, &h.MinLinearCharge, &h.MaxLinearCharge})
    *f = 0;
  h.AppliedVoltage = 0;
  h.VoltageRatio = 0;
  h.VoltageRatioError = 0;
}

void ResetGeneratorCircuit(THeap& h) {
  h.GenUc = -h.GenU;
  h.GenUl = h.GenU;
  // A generator without inductance has no defined start acceleration.
  h.GenUcAccel = h.GenL != 0.0 ? h.GenU / h.GenL * h.Dt : 0.0;
  for (double* f : {&h.GenUcRate, &h.GenUr, &h.GenI, &h.GenIr, &h.GapC, &h.GapCChange, &h.GapRCircuit,
                    &h.GapGCircuit, &h.GapR, &h.GapG, &h.LoadCurrent, &h.LoadCurrentPrev, &h.GapI, &h.GapIPrev,
                    &h.CsI, &h.CsIPrev, &h.StrayU, &h.StrayUPrev, &h.GapU, &h.GapUPrev, &h.CsU, &h.CsUPrev,
                    &h.GenUl1, &h.GenUl2, &h.GenUnr1, &h.GenUnr2})
    *f = 0;
  h.GenR = SparkGapResistance(h, h.Time);
}

void LatticeExtremes(THeap& h) {
  const ExtremesTarget targets[] = {{h.Potential, &h.PotentialMin, &h.PotentialMax},
                                    {h.FieldAbs, &h.FieldAbsMin, &h.FieldAbsMax},
                                    {h.Ec, &h.EcMin, &h.EcMax},
                                    {h.Charge, &h.ChargeMin, &h.ChargeMax}};
  ArraysMinMax(h, targets, 4);
}

double LogOrNoValue(double x) { return x > 0.0 ? std::log(x) : kNoValue; }

void ZeroCodePotentials(THeap& h) {
  for (int e = 0; e < h.ElectrodeCount; ++e) {
    CodePotential(h, -2 - 2 * e) = 0.0;
    CodePotential(h, -3 - 2 * e) = 0.0;
  }
}

}  // namespace

void RecomputeVoltageMode(THeap& h) {
  if (h.Tau != 0.0)
    h.VoltageMode = 1;
  else
    h.VoltageMode = h.GenU != 0.0 ? 2 : 0;
}

double VoltageFactor(THeap& h, double t) {
  switch (h.VoltageMode) {
    case 1:
      // Tau can be set to 0 after the mode was chosen; there is no rise then.
      return h.Tau != 0.0 ? 1.0 - std::exp(-t / h.Tau) : 1.0;
    case 2:
      return SolveGeneratorCircuit(h, t);
    default:
      return 1.0;
  }
}

void ArrayMinMax(const THeap& h, const double* array, double& minValue, double& maxValue) {
  const ExtremesTarget target{array, &minValue, &maxValue};
  ArraysMinMax(h, &target, 1);
}

namespace {

// The extremes of the field, the critical field and the potential after a
// step, in one job.
void StepExtremes(THeap& h) {
  const ExtremesTarget targets[] = {{h.FieldAbs, &h.FieldAbsMin, &h.FieldAbsMax},
                                    {h.Ec, &h.EcMin, &h.EcMax},
                                    {h.Potential, &h.PotentialMin, &h.PotentialMax}};
  ArraysMinMax(h, targets, 3);
}

}  // namespace

void SolveUntilConverged(THeap& h, bool implicit, bool generatorCoupling) {
  h.Converged = 0;
  // The iteration counts itself to MaxNwItr; the bound here only guards
  // against a counter the program set out of range.
  const long long bound = static_cast<long long>(std::max({h.MaxNwItr, h.MinNwItr, 1})) + 1;
  PotentialSolution solution(h, implicit, generatorCoupling);
  for (long long calls = 0; !h.Converged && calls < bound; ++calls) solution.Iterate();
  h.Converged = 1;
}

void StepCore(THeap& h) {
  ComputeBulkCurrents(h);
  UpdateChannelConductance(h);
  if (!h.GenIdle) GrowStep(h);
  h.StepCount += 1;
  h.Converged = 0;
  StoreStepIterations(h, 0);
  h.IterationsAtLastStep = h.TotalIterations;
  h.StepIterationCount += h.TotalIterations;
  h.Time += h.Dt;
}

void RefreshStatistics(THeap& h, bool logging) {
  TTree* tree = &h.Nodes;
  const double d1 = h.CellSize1, d2 = h.CellSize2, d3 = h.CellSize3;
  h.JouleHeat = TTreeOmEnergy(tree, d1, d2, d3);
  h.JoulePower = TTreeOmPower(tree, d1, d2, d3);
  h.StructureCharge = StructureChargeOf(h);
  h.ChannelLength = TTreeLength(tree);
  h.StructureSize = TTreeRadius(tree, d1, d2, d3);
  h.ElementCount = TTreeLimbs(tree);
  TTreeSegments(tree, &h.SegmentCount, &h.ChannelCount);
  if (logging && h.Nodes.count > 0 && h.Nodes.nodes) {
    TNode& newest = h.Nodes.nodes[h.Nodes.count - 1];
    newest.lnL = LogOrNoValue(h.ChannelLength);
    newest.lnR = LogOrNoValue(h.StructureSize);
  }
  TTreeDimension(tree, h.LimbDimMinCount, h.LimbDimMinLength, &h.Dimension, &h.DimensionIntercept);
  RefreshNodeExtremes(h);
  GrowthFieldRange(h, h.MaxGrowthField, h.MinGrowthField, h.MaxGrowthRate);
  h.AppliedVoltage = THeapGetUmax(&h);
  RefreshNodeCells(h);
}

namespace {

// Grown nodes keep unwrapped coordinates along the periodic axes; a structure
// cannot wander further than the lattice holds nodes, so anything beyond that
// bound came from a damaged file (and would overflow the neighbour offsets).
bool NodeStandsOnItsCell(const THeap& h, const TNode& n) {
  constexpr int kFarthest = 1 << 24;
  if (n.y < 0 || n.y > h.N2 - 1 || n.x < -kFarthest || n.x > kFarthest || n.z < -kFarthest || n.z > kFarthest)
    return false;
  return n.cell == CellIndex(h, WrapModulo(n.x, h.N1), n.y, WrapModulo(n.z, h.N3));
}

}  // namespace

bool ValidateRestoredState(THeap& h) {
  // Sizes first: every other check indexes the lattice.
  const bool sizesOk = h.N1 >= 1 && h.N2 >= 1 && h.N3 >= 1 &&
                       static_cast<long long>(h.N1) * h.N2 <= KORVANE_MAX_CELLS &&
                       static_cast<long long>(h.N1) * h.N2 * h.N3 <= KORVANE_MAX_CELLS;
  if (!sizesOk) {
    h.N1 = 25;
    h.N2 = 26;
    h.N3 = 25;
  }
  h.N1Last = h.N1 - 1;
  h.N2Last = h.N2 - 1;
  h.N3Last = h.N3 - 1;
  bool ok = sizesOk;

  const std::size_t perElectrode = static_cast<std::size_t>(std::max(h.ElectrodeCount, 0)) * sizeof(double);
  const bool electrodesOk =
      h.ElectrodeCount >= 2 && h.ElectrodeCount <= INT32_MAX / 2 - 1 && h.CodePotentials &&
      EngineBlockSize(h.CodePotentials) >= 2 * perElectrode && EngineBlockSize(h.ElectrodePots) >= perElectrode &&
      EngineBlockSize(h.ElectrodeCurrents) >= perElectrode &&
      EngineBlockSize(h.ElectrodeDispCurrents) >= perElectrode &&
      EngineBlockSize(h.ElectrodeCharges) >= perElectrode && EngineBlockSize(h.ElectrodeFluxCharges) >= perElectrode;
  if (electrodesOk) {
    h.CodeCount = 2 * h.ElectrodeCount;
    h.CodePotentialBase = h.CodePotentials + (2 * h.ElectrodeCount + 1);
  } else {
    // Without arrays of the claimed length no code can be addressed; fall back
    // to the two default electrodes at their default potentials.
    const double pots[2] = {2, 1};
    const int keepCount = h.ElectrodeCount;
    h.ElectrodeCount = -1;  // forces the arrays to be replaced
    THeapSetElectrodesPot(&h, pots, 2, h.Tau);
    if (h.ElectrodeCount != 2) h.ElectrodeCount = keepCount;
    ok = false;
  }

  if (!EnsureMaterials(h)) return false;
  const int cells = CellCount(h);
  for (int c = 0; c < cells; ++c)
    if (h.MaterialOfCell[c] < 0 || h.MaterialOfCell[c] >= h.MaterialCount) {
      h.MaterialOfCell[c] = 0;
      ok = false;
    }
  const double fallback = FallbackInverseEps(h);
  for (int m = 0; m < h.MaterialCount; ++m) {
    const double inv = h.Materials[m].InvEps;
    if (!(inv > 0.0) || !std::isfinite(inv)) {
      h.Materials[m].InvEps = fallback;
      ok = false;
    }
  }

  // The node list: every node on a cell of the lattice, every parent before it.
  TTree& t = h.Nodes;
  // Growth appends while count < capacity: the capacity must be what the block holds.
  const int held = static_cast<int>(std::min<std::size_t>(EngineBlockSize(t.nodes) / sizeof(TNode), INT32_MAX));
  if (t.capacity > held || t.capacity < 0) {
    t.capacity = held;
    ok = false;
  }
  bool nodesOk = t.count >= 0 && t.count <= t.capacity;
  for (int i = 0; nodesOk && i < t.count; ++i) {
    const TNode& n = t.nodes[i];
    nodesOk = n.cell >= 0 && n.cell < cells && n.parent >= -1 && n.parent < i && NodeStandsOnItsCell(h, n);
  }
  if (!nodesOk) {
    EngineFree(t.nodes);
    t.nodes = nullptr;
    t.count = 0;
    t.capacity = 0;
    ok = false;
  }
  for (int c = 0; c < cells; ++c) {
    const double v = h.NodeOfCell[c];
    if (v == -1.0) continue;
    if (!(v >= 0.0 && v < t.count) || v != std::floor(v)) {
      h.NodeOfCell[c] = -1.0;
      ok = false;
    }
  }
  return ok;
}

}  // namespace korvane

extern "C" {

KORVANE_API THeap* THeapNew(void) {
  using namespace korvane;
  // Fresh anonymous pages are zero: the whole record starts cleared.
  THeap* heap = MapRecord();
  if (!heap) return nullptr;
  THeap& h = *heap;
  SeedRandom();
  SetParameterDefaults(h);
  TMaterial* materials = TMaterialNew(1);
  if (!materials || !CreateElectrodes(h)) {
    EngineFree(materials);
    THeapDelete(heap);
    return nullptr;
  }
  SetDefaultMaterial(materials[0]);
  h.Materials = materials;
  h.MaterialCount = 1;

  FillAllCells(h.Ec, materials[0].Ec);
  FillAllCells(h.NodeOfCell, -1.0);
  FillAllCells(h.ElectrodeCodes, -1.0);
  THeapSetDefaults(heap);
  return heap;
}

KORVANE_API int THeapReset(THeap* heap) { return THeapResetEx(heap, 1); }

KORVANE_API int THeapResetEx(THeap* heap, int reinitEc) {
  using namespace korvane;
  THeap& h = *heap;
  h.IterationsAtLastStep = h.StepIterationCount = 0;
  h.StepCount = 0;
  h.IterationError = h.LastIterationError = 0;
  h.TotalIterations = h.PostStepIterations = h.StepIterations = 0;

  h.Time = 0;
  h.TimeFirstCandidate = h.TimeFirstGrowth = h.TimeBreakdown = 0;
  h.Dt = h.DtInit;
  RecomputeVoltageMode(h);

  // Only the lattice in use: the cells beyond it are set when it grows over
  // them (THeapSetLatticeSize), and touching the whole capacity would make the
  // record take its full size in memory for any lattice.
  std::copy_n(h.ChargeInit, CellCount(h), h.Charge);
  std::copy_n(h.PotentialInit, CellCount(h), h.Potential);
  std::fill_n(h.NodeOfCell, CellCount(h), -1.0);

  EnsureMaterials(h);
  MapInvalidMaterials(h);
  RecomputeInverseEps(h);
  BuildLinkPermittivity(h);
  CollectElectrodeCells(h);
  EnsureElectrodeWork(h, true);
  SeedRootNodes(h);
  ClearStatistics(h);
  ResetGeneratorCircuit(h);

  ApplyElectrodePotentialsQ0(h, VoltageFactor(h, 0.0), 0);
  ZeroElectrodeCharge(h);
  ComputeFieldComponents(h);
  if (reinitEc & 0xff) ResetEcFromMaterials(h);

  h.AppliedVoltage = THeapGetUmax(heap);
  LatticeExtremes(h);
  h.MeanCurrent = h.NegativeCurrent = h.PositiveCurrent = h.BoundaryDispCurrent = 0;
  ZeroPerElectrode(h);
  h.Converged = 0;
  return 0;
}

KORVANE_API int THeapInitCalc(THeap* heap) {
  using namespace korvane;
  THeap& h = *heap;
  const int cells = CellCount(h);
  SeedRandom();

  // Zero-charge solution for a unit factor, to the tight bound.
  const double dw = h.Dw;
  const int32_t dwType = h.DwType;
  std::fill_n(h.Charge, cells, 0.0);
  std::copy_n(h.PotentialQ0, cells, h.Potential);
  ApplyElectrodePotentials(h, 1.0);
  h.Dw = h.Dw0;
  h.DwType = 1;
  ArrayMinMax(h, h.Potential, h.PotentialMin, h.PotentialMax);
  SolveUntilConverged(h, false, false);
  std::copy_n(h.Potential, cells, h.PotentialQ0);

  // Initial solution with the space charge and the factor at the start time.
  std::copy_n(h.ChargeInit, cells, h.Charge);
  std::copy_n(h.PotentialInit, cells, h.Potential);
  h.Dw = dw;
  h.DwType = dwType;
  ApplyElectrodePotentialsQ0(h, VoltageFactor(h, h.Time), 2);
  ArrayMinMax(h, h.Potential, h.PotentialMin, h.PotentialMax);
  SolveUntilConverged(h, false, false);
  std::copy_n(h.Potential, cells, h.PotentialInit);

  ComputeFieldComponents(h);
  if (h.VoltageMode == 2) CalibrateGapCapacitance(h);

  for (int e = 0; e < h.ElectrodeCount; ++e) {
    const double q = ElectrodeCharge(h, e);
    h.ElectrodeCharges[e] = q;
    h.ElectrodeFluxCharges[e] = q;
    h.ElectrodeDispCurrents[e] = 0;
    h.ElectrodeCurrents[e] = 0;
  }
  // The potentials stay in the electrode cells. A rising factor (modes 1 and 2)
  // starts from 0, so the next application measures its change against 0. In
  // mode 0 the factor is 1 already and the cells hold the code potentials just
  // applied: the table stays, or the first step would add the whole zero-charge
  // solution on top of the converged potential once more.
  if (h.VoltageMode != 0) ZeroCodePotentials(h);

  h.BoundaryDispCurrent = h.NegativeCurrent = h.PositiveCurrent = h.MeanCurrent = 0;
  ArrayMinMax(h, h.FieldAbs, h.FieldAbsMin, h.FieldAbsMax);
  GrowthFieldRange(h, h.MaxGrowthField, h.MinGrowthField, h.MaxGrowthRate);
  h.IterationsAtLastStep = h.TotalIterations;
  h.StepIterationCount = h.TotalIterations;
  return 0;
}

KORVANE_API double THeapGoTimeStep(THeap* heap) {
  using namespace korvane;
  THeap& h = *heap;
  const double t0 = h.Time;
  const bool generator = h.VoltageMode == 2;
  h.StepIterationCount = -h.IterationsAtLastStep;

  if (h.ItrType != 0) {
    ApplyElectrodePotentialsQ0(h, VoltageFactor(h, t0 + h.Dt), 1);
    SolveUntilConverged(h, true, generator);
    ComputeDisplacementCurrents(h);
  }
  StepCore(h);
  if (h.ItrType == 0) {
    const int32_t before = h.TotalIterations;
    ApplyElectrodePotentialsQ0(h, VoltageFactor(h, h.Time), 1);
    SolveUntilConverged(h, false, generator);
    ComputeDisplacementCurrents(h);
    h.PostStepIterations += h.TotalIterations - before;
  }

  StepExtremes(h);

  ComputeElectrodeCurrents(h);
  for (int e = 0; e < h.ElectrodeCount; ++e) h.ElectrodeFluxCharges[e] = ElectrodeCharge(h, e);

  if (generator) {
    ComputeBranchCurrents(h);
    UpdateStrayBranch(h);
    h.ElectrodeCharges[0] += h.Dt * h.GapI;
    h.ElectrodeCharges[1] -= h.Dt * h.GapI;
  } else {
    std::fill_n(h.ElectrodeCharges, h.ElectrodeCount, 0.0);
  }
  ArrayMinMax(h, h.Charge, h.ChargeMin, h.ChargeMax);
  RefreshStatistics(h, true);

  // The ladder only climbs: DtInit, DtGrowth from the step after growth was
  // met, DtSpark from the step after breakdown; only a reset goes back.
  if (h.Flags)
    h.Dt = h.DtSpark;
  else if (h.GrowthFlag || h.CandidateFlag)
    h.Dt = h.DtGrowth;
  return h.Time - t0;
}

KORVANE_API void* THeapLoadPrepaire(THeap* heap) {
  using namespace korvane;
  THeap& h = *heap;
  const bool valid = ValidateRestoredState(h);
  RecomputeVoltageMode(h);
  BuildLinkPermittivity(h);
  CollectElectrodeCells(h);
  EnsureElectrodeWork(h, true);
  ComputeFieldComponents(h);
  LatticeExtremes(h);
  h.GapGCircuit = h.GapRCircuit > 0 ? 1.0 / h.GapRCircuit : 0.0;
  h.GapG = h.GapR > 0 ? 1.0 / h.GapR : 0.0;
  RefreshStatistics(h, false);
  h.Flags = HasNodeOnElectrode(h) ? 1 : 0;
  // The program treats a null result as an unreadable state.
  return valid ? static_cast<void*>(heap) : nullptr;
}

}  // extern "C"
