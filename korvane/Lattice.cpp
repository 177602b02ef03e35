// The lattice inputs and what the solvers derive from them once per reset:
// size and defaults, link permittivities, the electrode cell list, the roots,
// and the applied potentials of the electrodes.
#include "Lattice.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstring>

#include "Allocator.h"
#include "ElectrodeCodes.h"
#include "Engine.h"
#include "WorkerPool.h"

namespace korvane {
namespace {

constexpr double kNoValue = 1e300;

int ClampStart(int start, int n) { return start < 0 ? 0 : (start > n - 1 ? n - 1 : start); }

int BoxEnd(int start, int extent, int n) {
  const long long end = static_cast<long long>(start) + extent;
  return static_cast<int>(std::min<long long>(end, n));
}

template <typename T>
void FillBoxOf(const THeap& h, int s1, int s2, int s3, int e1, int e2, int e3, T value, T* array) {
  const int a1 = ClampStart(s1, h.N1), a2 = ClampStart(s2, h.N2), a3 = ClampStart(s3, h.N3);
  const int b1 = BoxEnd(a1, e1, h.N1), b2 = BoxEnd(a2, e2, h.N2), b3 = BoxEnd(a3, e3, h.N3);
  for (int i2 = a2; i2 < b2; ++i2)
    for (int i3 = a3; i3 < b3; ++i3) {
      T* row = array + CellIndex(h, 0, i2, i3);
      for (int i1 = a1; i1 < b1; ++i1) row[i1] = value;
    }
}

void FillLattice(const THeap& h, double* array, double value) { std::fill_n(array, CellCount(h), value); }

bool IsUsableInverse(double inv) { return inv > 0.0 && std::isfinite(inv); }

// Series permittivity of a link. InvEps is kept usable at every reset and
// restore; a value written behind the engine's back counts as vacuum rather
// than giving a link of 0, which would leave a cell with no flux to balance.
double SeriesLink(double invA, double invB) {
  if (!IsUsableInverse(invA)) invA = 1.0;
  if (!IsUsableInverse(invB)) invB = 1.0;
  return 1.0 / (invA + invB);
}

bool SetPotentialsUnchanged(const THeap& h, const double* pots, int count, double tau) {
  if (count != h.ElectrodeCount || tau != h.Tau) return false;
  for (int i = 0; i < count; ++i)
    if (pots[i] != h.ElectrodePots[i]) return false;
  return true;
}

// The per-electrode arrays for a new electrode count, all allocated before any
// old one is given up, so that running out of memory leaves the record whole.
bool ReplaceElectrodeArrays(THeap& h, int count) {
  double* fresh[8];
  const int sizes[8] = {2 * count, count, count, count, count, count, count, count};
  for (int i = 0; i < 8; ++i) {
    fresh[i] = NewZeroDoubles(sizes[i]);
    if (!fresh[i]) {
      for (int j = 0; j < i; ++j) EngineFree(fresh[j]);
      return false;
    }
  }
  double** slots[8] = {&h.CodePotentials,        &h.ElectrodePots,    &h.ElectrodeCurrents,
                       &h.ElectrodeDispCurrents, &h.ElectrodeCharges, &h.ElectrodeFluxCharges,
                       &h.ElectrodeWork1,        &h.ElectrodeWork2};
  for (int i = 0; i < 8; ++i) {
    EngineFree(*slots[i]);
    *slots[i] = fresh[i];
  }
  h.ElectrodeCount = count;
  h.CodeCount = 2 * count;
  h.CodePotentialBase = h.CodePotentials + (2 * count + 1);
  return true;
}

int ElectrodeCellEntries(const THeap& h) {
  return std::clamp(h.ElectrodeCellCount, 0, KORVANE_MAX_CELLS);
}

void WriteElectrodeCells(THeap& h) {
  const int n = ElectrodeCellEntries(h);
  for (int i = 0; i < n; ++i) {
    const TElectrodeCell& entry = h.ElectrodeCells[i];
    if (IsValidElectrodeCode(h, entry.code)) h.Potential[entry.cell] = CodePotential(h, entry.code);
  }
  h.Converged = 0;
}

void SetBothCodes(THeap& h, int electrode, double value) {
  CodePotential(h, -2 - 2 * electrode) = value;
  CodePotential(h, -3 - 2 * electrode) = value;
}

// Each code takes the potential of its last cell; 1e300 where a code has none.
void ReadCodePotentialsFromLattice(THeap& h) {
  for (int e = 0; e < h.ElectrodeCount; ++e) SetBothCodes(h, e, kNoValue);
  const int cells = CellCount(h);
  for (int c = 0; c < cells; ++c) {
    const int code = CellElectrodeCode(h, c);
    if (code <= -2 && code != kInvalidElectrodeCode) CodePotential(h, code) = h.Potential[c];
  }
}

// Change of the factor that electrode e tells, or false when it cannot tell
// one: an electrode with set potential 0 (or no value) has no factor to divide
// out, and one without a previous value has no change.
bool FactorChangeOf(const THeap& h, int e, double& ratio) {
  const double set = h.ElectrodePots[e];
  const double change = h.ElectrodeWork1[e];
  if (change == kNoValue || set == 0.0 || set == kNoValue || !std::isfinite(set)) return false;
  ratio = change / set;
  return true;
}

// Mean change of the factor and the relative standard error of that mean; a
// ratio of 0 when no electrode can tell it.
void MeasureVoltageRatio(THeap& h) {
  double sum = 0.0, ratio = 0.0;
  int n = 0;
  for (int e = 0; e < h.ElectrodeCount; ++e)
    if (FactorChangeOf(h, e, ratio)) {
      sum += ratio;
      ++n;
    }
  const double mean = n > 0 ? sum / n : 0.0;
  double relative = 0.0;
  if (n > 1) {
    double squares = 0.0;
    for (int e = 0; e < h.ElectrodeCount; ++e)
      if (FactorChangeOf(h, e, ratio)) squares += (ratio - mean) * (ratio - mean);
    const double standardError = std::sqrt(squares / (n - 1) / n);
    relative = mean != 0.0 ? standardError / std::fabs(mean) : standardError;
  }
  h.VoltageRatio = mean;
  h.VoltageRatioError = relative < 1e-14 ? 0.0 : relative;
}

}  // namespace

void SetDefaultMaterial(TMaterial& m) {
  m.Ec = 2.5e7;
  m.Eps = 5;
  m.InvEps = 0.2;
  m.Sigma = 0;
  m.GrowthA = 2e-7;
  m.G0 = 5e-9;
  m.Alpha = 3e-5;
  m.Beta = 5e7;
  m.EcTarget = 1e6;
  m.EcAmplitude = 0;
  m.EcWidth = 0.75;
}

bool EnsureMaterials(THeap& h) {
  if (h.Materials && h.MaterialCount >= 1) return true;
  TMaterial* table = TMaterialNew(1);
  if (!table) return false;
  SetDefaultMaterial(table[0]);
  EngineFree(h.Materials);
  h.Materials = table;
  h.MaterialCount = 1;
  return true;
}

void MapInvalidMaterials(THeap& h) {
  const int cells = CellCount(h);
  const int32_t count = h.MaterialCount;
  for (int c = 0; c < cells; ++c)
    if (h.MaterialOfCell[c] < 0 || h.MaterialOfCell[c] >= count) h.MaterialOfCell[c] = 0;
}

namespace {

double InverseOf(double eps) {
  const double inv = 1.0 / eps;
  return eps > 0.0 && IsUsableInverse(inv) ? inv : 0.0;
}

}  // namespace

double FallbackInverseEps(const THeap& h) {
  const double dielectric = h.MaterialCount >= 1 && h.Materials ? InverseOf(h.Materials[0].Eps) : 0.0;
  return dielectric != 0.0 ? dielectric : 1.0;
}

void RecomputeInverseEps(THeap& h) {
  const double fallback = FallbackInverseEps(h);
  for (int m = 0; m < h.MaterialCount; ++m) {
    const double inv = InverseOf(h.Materials[m].Eps);
    h.Materials[m].InvEps = inv != 0.0 ? inv : fallback;
  }
}

bool EnsureElectrodeWork(THeap& h, bool fresh) {
  const int count = std::max(h.ElectrodeCount, 0);
  const std::size_t needed = static_cast<std::size_t>(count) * sizeof(double);
  double** slots[2] = {&h.ElectrodeWork1, &h.ElectrodeWork2};
  bool ok = true;
  for (double** slot : slots) {
    if (!fresh && *slot && EngineBlockSize(*slot) >= needed) continue;
    double* block = NewZeroDoubles(count);
    if (!block) {
      ok = false;
      continue;
    }
    EngineFree(*slot);
    *slot = block;
  }
  return ok;
}

void FillBox(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3, double value,
             double* array) {
  FillBoxOf<double>(h, start1, start2, start3, extent1, extent2, extent3, value, array);
}

void FillBoxInt(THeap& h, int start1, int start2, int start3, int extent1, int extent2, int extent3, int32_t value,
                int32_t* array) {
  FillBoxOf<int32_t>(h, start1, start2, start3, extent1, extent2, extent3, value, array);
}

void BuildLinkPermittivity(THeap& h) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  const TMaterial* materials = h.Materials;
  const int32_t* materialOf = h.MaterialOfCell;
  auto inv = [&](int cell) { return materials[materialOf[cell]].InvEps; };
  for (int i2 = 0; i2 < n2; ++i2) {
    const int up2 = std::min(i2 + 1, n2 - 1);
    for (int i3 = 0; i3 < n3; ++i3) {
      const int up3 = WrapOnce(i3 + 1, n3);
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = CellIndex(h, i1, i2, i3);
        const double own = inv(c);
        h.LinkEps1[c] = SeriesLink(own, inv(CellIndex(h, WrapOnce(i1 + 1, n1), i2, i3)));
        h.LinkEps2[c] = SeriesLink(own, inv(CellIndex(h, i1, up2, i3)));
        h.LinkEps3[c] = SeriesLink(own, inv(CellIndex(h, i1, i2, up3)));
      }
    }
  }
}

void CollectElectrodeCells(THeap& h) {
  int count = 0;
  for (int i2 = 0; i2 < h.N2; ++i2)
    for (int i3 = 0; i3 < h.N3; ++i3)
      for (int i1 = 0; i1 < h.N1; ++i1) {
        const int c = CellIndex(h, i1, i2, i3);
        const int code = CellElectrodeCode(h, c);
        if (code < -5 || code > -2) continue;  // also drops invalid codes
        h.ElectrodeCells[count++] = TElectrodeCell{i1, i2, i3, c, ElectrodeOfCode(code), code};
      }
  h.ElectrodeCellCount = count;
}

void SeedRootNodes(THeap& h) {
  EngineFree(h.Nodes.nodes);
  h.Nodes.nodes = nullptr;
  h.Nodes.count = 0;
  h.Nodes.capacity = 0;
  for (int i2 = 0; i2 < h.N2; ++i2)
    for (int i3 = 0; i3 < h.N3; ++i3)
      for (int i1 = 0; i1 < h.N1; ++i1) {
        const int c = CellIndex(h, i1, i2, i3);
        const int code = CellElectrodeCode(h, c);
        if (code <= -2 && code != kInvalidElectrodeCode && (code & 1)) AddNode(h, i1, i2, i3, c, -1);
      }
  h.Flags = 0;
  h.GrowthFlag = 0;
  h.CandidateFlag = 0;
}

void ResetEcFromMaterials(THeap& h) {
  const int cells = CellCount(h);
  for (int c = 0; c < cells; ++c) h.Ec[c] = h.Materials[h.MaterialOfCell[c]].Ec;
}

void ZeroElectrodeCharge(THeap& h) {
  const int cells = CellCount(h);
  for (int c = 0; c < cells; ++c)
    if (CellElectrode(h, c) >= 0) h.Charge[c] = 0.0;
}

void ApplyElectrodePotentials(THeap& h, double factor) {
  for (int e = 0; e < h.ElectrodeCount; ++e) SetBothCodes(h, e, factor * h.ElectrodePots[e]);
  h.VoltageRatio = 1.0;
  h.VoltageRatioError = 0.0;
  WriteElectrodeCells(h);
}

void ApplyElectrodePotentialsQ0(THeap& h, double factor, int mode) {
  const bool follow = mode == 1 || mode == 2;
  if (follow && !EnsureElectrodeWork(h, false)) return;
  if (mode == 2) ReadCodePotentialsFromLattice(h);
  for (int e = 0; e < h.ElectrodeCount; ++e) {
    const double applied = factor * h.ElectrodePots[e];
    if (follow) {
      const double previous = CodePotential(h, -2 - 2 * e);
      h.ElectrodeWork1[e] = previous == kNoValue ? kNoValue : applied - previous;
    }
    SetBothCodes(h, e, applied);
  }
  if (follow) {
    MeasureVoltageRatio(h);
    AddScaledQ0(h, h.VoltageRatio);
  }
  WriteElectrodeCells(h);
}

void AddScaledQ0(THeap& h, double value) {
  const int cells = CellCount(h);
  double* potential = h.Potential;
  const double* q0 = h.PotentialQ0;
  const double* codes = h.ElectrodeCodes;
  // After a threaded solution the potentials lie in the workers' caches: each
  // worker takes a block, rather than the caller's thread fetching them all.
  LatticePool(h).Split([&](int t, int parts) {
    const PartRange r = PartOf(cells, t, parts);
    for (int c = r.begin; c < r.end; ++c)
      if (codes[c] == -1.0) potential[c] += value * q0[c];
  });
}

}  // namespace korvane

extern "C" {

KORVANE_API bool THeapSetLatticeSize(THeap* heap, int size1, int size2, int size3) {
  THeap& h = *heap;
  if (size1 == h.N1 && size2 == h.N2 && size3 == h.N3) return true;
  if (size1 < 1 || size2 < 1 || size3 < 1) return false;
  // Stepwise in 64 bits: no partial product can overflow once it is bounded.
  const long long plane = static_cast<long long>(size1) * size2;
  if (plane > KORVANE_MAX_CELLS || plane * size3 > KORVANE_MAX_CELLS) return false;
  // A reset copies the start values of the cells in use only. Cells that the
  // lattice newly covers take theirs as a reset over the whole capacity would
  // have left them, so that they start every solution from the same guess.
  const long long held = static_cast<long long>(h.N1) * h.N2 * h.N3;
  const int before = static_cast<int>(std::clamp<long long>(held, 0, KORVANE_MAX_CELLS));
  const int after = static_cast<int>(plane * size3);
  if (after > before) {
    std::copy(h.ChargeInit + before, h.ChargeInit + after, h.Charge + before);
    std::copy(h.PotentialInit + before, h.PotentialInit + after, h.Potential + before);
  }
  h.N1 = size1;
  h.N2 = size2;
  h.N3 = size3;
  h.N1Last = size1 - 1;
  h.N2Last = size2 - 1;
  h.N3Last = size3 - 1;
  THeapSetDefaults(heap);
  return true;
}

KORVANE_API int THeapSetDefaults(THeap* heap) {
  using namespace korvane;
  THeap& h = *heap;
  const int cells = CellCount(h);
  std::fill_n(h.MaterialOfCell, cells, 0);
  FillLattice(h, h.ChargeInit, 0.0);

  FillLattice(h, h.ElectrodeCodes, -1.0);
  FillBox(h, 0, 0, 0, h.N1, 1, h.N3, -2.0, h.ElectrodeCodes);
  FillBox(h, 0, h.N2 - 1, 0, h.N1, 1, h.N3, -4.0, h.ElectrodeCodes);

  ApplyElectrodePotentials(h, 1.0);
  std::copy_n(h.Potential, cells, h.PotentialQ0);
  RecomputeVoltageMode(h);
  ApplyElectrodePotentialsQ0(h, VoltageFactor(h, 0.0), 0);
  std::copy_n(h.Potential, cells, h.PotentialInit);

  for (double* a : {h.FieldX, h.FieldY, h.FieldZ, h.FieldAbs, h.CurrentX, h.CurrentY, h.CurrentZ, h.CurrentAbs,
                    h.DispCurrentX, h.DispCurrentY, h.DispCurrentZ, h.DispCurrentAbs})
    FillLattice(h, a, 0.0);
  return THeapResetEx(heap, 1);
}

KORVANE_API void THeapSetElectrodesPot(THeap* heap, const double* pots, int count, double tau) {
  using namespace korvane;
  THeap& h = *heap;
  // Electrodes 0 and 1 own the default planes and the generator couples them:
  // a set of fewer is refused rather than leaving indices without arrays.
  if (!pots || count < 2 || count > INT_MAX / 2 - 1) return;
  if (SetPotentialsUnchanged(h, pots, count, tau)) return;
  if (count != h.ElectrodeCount) {
    if (!ReplaceElectrodeArrays(h, count)) return;
  }
  h.Tau = tau;
  std::copy_n(pots, count, h.ElectrodePots);
  ApplyElectrodePotentialsQ0(h, VoltageFactor(h, h.Time), 0);
  h.Converged = 0;
}

KORVANE_API int THeapGetElectrodesPot(THeap* heap, double* out) {
  if (out && heap->ElectrodePots) std::copy_n(heap->ElectrodePots, std::max(heap->ElectrodeCount, 0), out);
  return heap->ElectrodeCount;
}

KORVANE_API double THeapGetUmax(THeap* heap) {
  const THeap& h = *heap;
  double smallest = 1e300, largest = -1e300;
  const int n = std::min(h.CodeCount, 2 * std::max(h.ElectrodeCount, 0));
  for (int i = 0; i < n; ++i) {
    smallest = std::min(smallest, h.CodePotentials[i]);
    largest = std::max(largest, h.CodePotentials[i]);
  }
  const double span = largest - smallest;
  return (h.Tau == 0.0 && h.GenU != 0.0 && h.GapU < 0.0) ? -span : span;
}

KORVANE_API double THeapGetU0max(THeap* heap) {
  const THeap& h = *heap;
  double smallest = 1e300, largest = -1e300;
  for (int i = 0; i < h.ElectrodeCount; ++i) {
    smallest = std::min(smallest, h.ElectrodePots[i]);
    largest = std::max(largest, h.ElectrodePots[i]);
  }
  return largest - smallest;
}

}  // extern "C"
