// The pulse generator that drives the electrodes in voltage mode 2: a capacitor
// discharging through a spark switch and an inductance into the gap branch (the
// lattice between electrodes 0 and 1) and a stray branch. Electrodes 0 and 1
// float: their potentials follow from the charges the circuit brings to them.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ElectrodeCodes.h"
#include "Engine.h"
#include "Potential.h"
#include "WorkerPool.h"

namespace korvane {

namespace {

// Beyond 300 time constants the exponential tail of the spark resistance is far
// below a double's resolution of GenR1, so the settled value is used exactly.
constexpr double kSparkSettledRatio = 300.0;

// The calibration raises the trial voltage tenfold per attempt. The lattice is
// linear, so a trial that produces no current at all will not produce one at a
// higher voltage; a few attempts only guard against underflow.
constexpr int kCalibrationAttempts = 8;

// A gap voltage that does not change leaves the dynamic capacitance undefined;
// this large value stands in for it without a division by zero.
constexpr double kUnchangedGapCapacitance = 1e100;

// The circuit couples exactly electrodes 0 and 1, through their per-electrode
// arrays; without them there is nothing to drive.
bool HasGeneratorElectrodes(const THeap& h) {
  return h.ElectrodeCount >= 2 && h.CodePotentialBase != nullptr && h.ElectrodePots != nullptr &&
         h.ElectrodeCharges != nullptr && h.ElectrodeWork1 != nullptr && h.ElectrodeWork2 != nullptr;
}

bool IsFreeCell(const THeap& h, int cell) { return !IsFixedCell(h, cell); }

bool IsNodeIndex(const THeap& h, int node) { return node >= 0 && node < h.Nodes.count; }

// An entry whose indices lie in the lattice and name its cell.
bool IsInLattice(const THeap& h, const TElectrodeCell& entry) {
  return entry.i1 >= 0 && entry.i1 < h.N1 && entry.i2 >= 0 && entry.i2 < h.N2 && entry.i3 >= 0 && entry.i3 < h.N3 &&
         entry.cell == CellIndex(h, entry.i1, entry.i2, entry.i3);
}

void SetElectrodePotential(THeap& h, int electrode, double value) {
  CodePotential(h, -2 - 2 * electrode) = value;
  CodePotential(h, -3 - 2 * electrode) = value;
}

void ShiftPotential(THeap& h, double shift, const WorkerPool* pool) {
  const int cells = CellCount(h);
  double* potential = h.Potential;
  auto part = [&](int t, int parts) {
    const PartRange r = PartOf(cells, t, parts);
    for (int c = r.begin; c < r.end; ++c) potential[c] += shift;
  };
  if (pool)
    pool->Split(part);
  else
    part(0, 1);
}

void WriteElectrodeCellPotentials(THeap& h) {
  for (int k = 0; k < h.ElectrodeCellCount; ++k) {
    const TElectrodeCell& entry = h.ElectrodeCells[k];
    if (!IsValidElectrodeCode(h, entry.code) || entry.cell < 0 || entry.cell >= CellCount(h)) continue;
    h.Potential[entry.cell] = CodePotential(h, entry.code);
  }
}

struct AxisCoefficients {
  double eps[3];   // 2*Eps0/CellSize_k^2
  double cond[3];  // 2*Dt/CellSize_k^2
};

AxisCoefficients MakeAxisCoefficients(const THeap& h) {
  const double size[3] = {h.CellSize1, h.CellSize2, h.CellSize3};
  AxisCoefficients k{};
  for (int axis = 0; axis < 3; ++axis) {
    const double squared = size[axis] * size[axis];
    k.eps[axis] = 2.0 * h.Eps0 / squared;
    k.cond[axis] = 2.0 * h.Dt / squared;
  }
  return k;
}

// One face of an electrode cell toward a lattice neighbour.
struct Face {
  int axis;       // 0, 1, 2 for axes 1, 2, 3
  int neighbour;  // flat index
  double linkEps; // permittivity of the link between the two cells
};

// The six faces in a fixed order: lower then upper neighbour of axes 1, 2, 3.
// Axis 2 is limited to the lattice, so an outer plane faces itself.
void ElectrodeFaces(const THeap& h, const TElectrodeCell& entry, Face faces[6]) {
  const int i1 = entry.i1, i2 = entry.i2, i3 = entry.i3, c = entry.cell;
  const int lower1 = CellIndex(h, WrapOnce(i1 - 1, h.N1), i2, i3);
  const int upper1 = CellIndex(h, WrapOnce(i1 + 1, h.N1), i2, i3);
  const int lower2 = CellIndex(h, i1, ClampAxis2(i2 - 1, h.N2), i3);
  const int upper2 = CellIndex(h, i1, ClampAxis2(i2 + 1, h.N2), i3);
  const int lower3 = CellIndex(h, i1, i2, WrapOnce(i3 - 1, h.N3));
  const int upper3 = CellIndex(h, i1, i2, WrapOnce(i3 + 1, h.N3));
  faces[0] = {0, lower1, h.LinkEps1[lower1]};
  faces[1] = {0, upper1, h.LinkEps1[c]};
  faces[2] = {1, lower2, h.LinkEps2[lower2]};
  faces[3] = {1, upper2, h.LinkEps2[c]};
  faces[4] = {2, lower3, h.LinkEps3[lower3]};
  faces[5] = {2, upper3, h.LinkEps3[c]};
}

// Channels through an electrode cell conduct during the step in the implicit
// scheme: the one from the node's parent and those to the node's children.
void AddChannelTerms(const THeap& h, const TElectrodeCell& entry, double dtOverVolume,
                     std::vector<CouplingTerm>& terms) {
  const int f = NodeAt(h, entry.cell);
  if (f < 0) return;
  const TNode* nodes = h.Nodes.nodes;
  const int parent = nodes[f].parent;
  if (IsNodeIndex(h, parent)) {
    const int parentCell = nodes[parent].cell;
    if (parentCell >= 0 && parentCell < CellCount(h) && IsFreeCell(h, parentCell))
      terms.push_back({dtOverVolume * (nodes[f].invLength * nodes[f].g), parentCell});
  }
  // Same neighbour order as the growth code.
  for (int d1 = 1; d1 >= -1; --d1) {
    for (int d2 = 1; d2 >= -1; --d2) {
      for (int d3 = 1; d3 >= -1; --d3) {
        if (d1 == 0 && d2 == 0 && d3 == 0) continue;
        const int y = entry.i2 + d2;
        if (y < 0 || y >= h.N2) continue;
        const int n = CellIndex(h, WrapOnce(entry.i1 + d1, h.N1), y, WrapOnce(entry.i3 + d3, h.N3));
        if (!IsFreeCell(h, n)) continue;
        const int m = NodeAt(h, n);
        if (m < 0 || nodes[m].parent != f) continue;
        terms.push_back({dtOverVolume * (nodes[m].invLength * nodes[m].g), n});
      }
    }
  }
}

}  // namespace

// S_e and P_e of electrodes 0 and 1: the weights by which an electrode's charge
// couples to its free neighbours, and those neighbours' weighted potentials.
// The terms are kept in the order they are added, so that the sums of every
// iteration come out as if each were gathered afresh.
void PlanCouplingSums(const THeap& h, bool implicit, CouplingPlan& plan) {
  plan.active = HasGeneratorElectrodes(h);
  for (int e = 0; e < 2; ++e) {
    plan.terms[e].clear();
    plan.weightSums[e] = 0.0;
  }
  if (!plan.active) return;
  const AxisCoefficients k = MakeAxisCoefficients(h);
  const double volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  const double dtOverVolume = h.Dt / volume;
  for (int index = 0; index < h.ElectrodeCellCount; ++index) {
    const TElectrodeCell& entry = h.ElectrodeCells[index];
    const int e = entry.electrode;
    if ((e != 0 && e != 1) || !IsValidElectrodeCode(h, entry.code) || !IsInLattice(h, entry)) continue;
    std::vector<CouplingTerm>& terms = plan.terms[e];
    const double sigmaCell = implicit ? SigmaOf(h, entry.cell) : 0.0;
    Face faces[6];
    ElectrodeFaces(h, entry, faces);
    for (const Face& face : faces) {
      if (!IsFreeCell(h, face.neighbour)) continue;
      terms.push_back({k.eps[face.axis] * face.linkEps, face.neighbour});
      if (sigmaCell != 0.0) {
        const double sigmaNeighbour = SigmaOf(h, face.neighbour);
        if (sigmaNeighbour != 0.0) {
          const double link = sigmaCell * sigmaNeighbour / (sigmaCell + sigmaNeighbour);
          terms.push_back({k.cond[face.axis] * link, face.neighbour});
        }
      }
    }
    if (implicit) AddChannelTerms(h, entry, dtOverVolume, terms);
  }
  for (int e = 0; e < 2; ++e)
    for (const CouplingTerm& t : plan.terms[e]) plan.weightSums[e] += t.weight;
}

void CouplingSumsFromPlan(THeap& h, const CouplingPlan& plan) {
  if (!plan.active) return;
  const double* phi = h.Potential;
  for (int e = 0; e < 2; ++e) {
    double p = 0.0;
    for (const CouplingTerm& t : plan.terms[e]) p += t.weight * phi[t.cell];
    h.ElectrodeWork1[e] = plan.weightSums[e];
    h.ElectrodeWork2[e] = p;
  }
}

namespace {

// Charge q that the gap branch moves from electrode 1 to electrode 0 during the
// step, such that the gap voltage balances the stray branch.
double ChargeCarriedByCircuit(const THeap& h, double s0, double s1, double p0, double p1) {
  const double dt = h.Dt, cs = h.GenCs, volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  const double i = h.GenI, is = h.CsI, ig = h.GapI;
  const double q0 = h.ElectrodeCharges[0], q1 = h.ElectrodeCharges[1];
  const double numerator =
      dt * dt *
          (cs * (volume * s0 * s1 * (h.GenNR2 * i + h.CsU) + volume * (s0 * p1 - s1 * p0) + s0 * q1 - s1 * q0) +
           volume * dt * i * s0 * s1) +
      volume * cs * dt * s0 * s1 * ((i - is) * h.GenL2 + ig * h.GenL1);
  const double denominator = dt * dt * (cs * (s0 + s1) + volume * s0 * s1) +
                             volume * cs * s0 * s1 * (h.GenL1 + h.GenL2 + dt * (h.GenNR1 + h.GenNR2));
  // Only when neither electrode couples to the lattice is the charge undefined;
  // both then keep their potentials and q is not used.
  return denominator != 0.0 ? numerator / denominator : 0.0;
}

// Gap capacitance from the charges of electrodes 0 and 1 by Gauss's law, for a
// unit voltage between them and no space charge: the fallback when the trial
// voltages of the calibration drive no current.
double GaussGapCapacitance(THeap& h) {
  const int cells = CellCount(h);
  std::vector<double> savedCharge(h.Charge, h.Charge + cells);
  const double savedDw = h.Dw;
  const int savedDwType = h.DwType;
  // Free cells start halfway between the electrodes, not at the trial voltages
  // that the last attempt left.
  for (int c = 0; c < cells; ++c) {
    h.Charge[c] = 0.0;
    if (IsFreeCell(h, c)) h.Potential[c] = 0.5;
  }
  h.Dw = h.Dw0;
  h.DwType = 1;
  SetElectrodePotential(h, 0, 1.0);
  SetElectrodePotential(h, 1, 0.0);
  WriteElectrodeCellPotentials(h);
  h.Converged = 0;
  ArrayMinMax(h, h.Potential, h.PotentialMin, h.PotentialMax);
  SolveUntilConverged(h, false, false);
  const double capacitance = (ElectrodeCharge(h, 0) - ElectrodeCharge(h, 1)) * 0.5;
  h.Dw = savedDw;
  h.DwType = savedDwType;
  for (int c = 0; c < cells; ++c) h.Charge[c] = savedCharge[c];
  return std::isfinite(capacitance) ? std::fabs(capacitance) : 0.0;
}

}  // namespace

double SparkGapResistance(THeap& h, double t) {
  if (h.GenRT == 0.0 || t / h.GenRT >= kSparkSettledRatio) return h.GenR1;
  return h.GenR1 + (h.GenR0 - h.GenR1) * std::exp(-t / h.GenRT);
}

double SolveGeneratorCircuit(THeap& h, double t) {
  if (t == 0.0) return 0.0;
  const double dt = h.Dt;
  const double rate = 1.0 / dt;
  const double rate2 = rate * rate;
  const double rate3 = rate2 * rate;
  const double c = h.GenC, l = h.GenL;
  const double u = h.GenUc, v = h.GenUcRate;

  // Generator loop: L*C*U'' + R*C*U' + U + StrayU = 0, backward Euler.
  const double r = SparkGapResistance(h, t);
  h.GenR = r;
  const double uNew = (c * ((u + dt * v) * l * rate2 + r * u * rate) - h.StrayU) / (c * (l * rate2 + r * rate) + 1.0);
  h.GenUc = uNew;
  h.GenUcRate = (uNew - u) * rate;
  h.GenUcAccel = (h.GenUcRate - v) * rate;
  h.GenUl = c * l * h.GenUcAccel;
  h.GenI = c * h.GenUcRate;
  h.GenUr = r * h.GenI;

  // Load: the generator current divides between the gap (capacitance GapC) and
  // the stray branch, each with its own inductance and resistance.
  h.GapUPrev = h.GapU;
  const double i = h.GenI, ug = h.GapU, cg = h.GapC, cs = h.GenCs;
  const double l12 = h.GenL1 + h.GenL2, nr12 = h.GenNR1 + h.GenNR2;
  const double numerator = i +
                           cs * (((i - h.CsI) * h.GenL2 + h.GapI * h.GenL1 + nr12 * cg * ug) * rate2 +
                                 l12 * cg * ug * rate3) +
                           (cs * (h.GenNR2 * i + h.CsU) + cg * ug) * rate;
  const double denominator = cs * cg * (l12 * rate3 + nr12 * rate2) + (cs + cg) * rate;
  h.GapU = numerator / denominator;
  return h.GapU;
}

void CouplingSumsExplicit(THeap& h) {
  CouplingPlan plan;
  PlanCouplingSums(h, false, plan);
  CouplingSumsFromPlan(h, plan);
}

void CouplingSumsImplicit(THeap& h) {
  CouplingPlan plan;
  PlanCouplingSums(h, true, plan);
  CouplingSumsFromPlan(h, plan);
}

void ApplyGeneratorElectrodes(THeap& h, const WorkerPool* pool) {
  if (!HasGeneratorElectrodes(h)) return;
  const double volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  const double s0 = h.ElectrodeWork1[0], s1 = h.ElectrodeWork1[1];
  const double p0 = h.ElectrodeWork2[0], p1 = h.ElectrodeWork2[1];
  const double q = ChargeCarriedByCircuit(h, s0, s1, p0, p1);

  // An electrode without a free neighbour has no capacitance to the lattice; its
  // charge fixes no potential, so it keeps the one it has.
  const double phi0 = s0 != 0.0 ? (p0 + (h.ElectrodeCharges[0] + q) / volume) / s0 : CodePotential(h, -2);
  const double phi1 = s1 != 0.0 ? (p1 + (h.ElectrodeCharges[1] - q) / volume) / s1 : CodePotential(h, -4);
  h.ElectrodeWork2[0] = phi0;
  h.ElectrodeWork2[1] = phi1;

  // Only the difference of the floating potentials is physical; the shift puts
  // electrode 1 at the gap voltage and electrode 0 at twice it.
  h.GapU = phi0 - phi1;
  const double shift = phi0 - 2.0 * phi1;
  for (int e = 0; e < h.ElectrodeCount; ++e) {
    double value;
    if (e == 0)
      value = phi0 + shift;
    else if (e == 1)
      value = phi1 + shift;
    else
      value = h.ElectrodePots[e] * h.GapU;
    // Measured like a cell's change in a sweep, so the bound means the same.
    NoteError(CellError(h.DwType, CodePotential(h, -2 - 2 * e), value, h.PotentialRange), h.IterationError);
    SetElectrodePotential(h, e, value);
    if (value < h.PotentialMin) h.PotentialMin = value;
    if (value > h.PotentialMax) h.PotentialMax = value;
  }
  // Far from convergence the free cells move with the electrodes, which keeps
  // the field and saves the sweeps the shift would otherwise cost.
  if (h.IterationError > h.Dw) ShiftPotential(h, shift, pool);
  WriteElectrodeCellPotentials(h);
}

void ComputeBranchCurrents(THeap& h) {
  if (!h.Flags) {
    h.GapRCircuit = 0.0;
    h.GapGCircuit = 0.0;
    h.GapR = 0.0;
    h.GapG = 0.0;
    h.GenIr = 0.0;
    return;
  }
  TNode* nodes = h.Nodes.nodes;
  const int count = nodes != nullptr ? h.Nodes.count : 0;
  const int cells = CellCount(h);

  // Children linked in increasing index order, so that every sum over children
  // is formed in list order.
  std::vector<int> firstChild(count, -1), nextSibling(count, -1);
  for (int j = count - 1; j >= 0; --j) {
    nodes[j].branchCurrent = 0.0;
    const int parent = nodes[j].parent;
    if (parent < 0 || parent >= j) continue;
    nextSibling[j] = firstChild[parent];
    firstChild[parent] = j;
  }

  // From the newest node back to the roots: the branch current of a segment is
  // what its children pass on, limited by its own channel current and in the
  // direction of the current at the node that touched the electrode.
  bool positive = true;
  for (int i = count - 1; i >= 0; --i) {
    TNode& node = nodes[i];
    const int cell = node.cell;
    const bool onElectrode = cell >= 0 && cell < cells && h.ElectrodeCodes[cell] <= -2.0;
    if (node.parent >= 0 && onElectrode) {
      node.branchCurrent = node.current;
      positive = node.current > 0.0;
      continue;
    }
    double passed = 0.0;
    for (int child = firstChild[i]; child >= 0; child = nextSibling[child]) passed += nodes[child].branchCurrent;
    if (node.parent < 0) node.current = passed;
    node.branchCurrent = positive ? std::max(0.0, std::min(passed, node.current))
                                  : std::min(0.0, std::max(passed, node.current));
  }

  double intoRoots = 0.0;
  for (int i = 0; i < count; ++i)
    if (nodes[i].parent < 0) intoRoots += nodes[i].branchCurrent;
  h.GenIr = intoRoots;
  if (h.GapI != 0.0) h.GapRCircuit = h.GapU / h.GapI;
  if (h.GenIr != 0.0) h.GapR = h.GapU / h.GenIr;
  h.GapGCircuit = h.GapRCircuit > 0.0 ? 1.0 / h.GapRCircuit : 0.0;
  h.GapG = h.GapR > 0.0 ? 1.0 / h.GapR : 0.0;
}

void UpdateStrayBranch(THeap& h) {
  const double dt = h.Dt, cs = h.GenCs, i = h.GenI;
  const double is = h.CsI, ig = h.GapI;

  // Both branches see the same voltage; backward differences in time.
  h.CsIPrev = is;
  const double isNew = ((h.GapU - h.CsU + h.GenNR1 * i) * dt + (i - ig) * h.GenL1 + is * h.GenL2) * cs /
                       (cs * (dt * (h.GenNR1 + h.GenNR2) + h.GenL1 + h.GenL2) + dt * dt);
  h.CsI = isNew;
  h.GapIPrev = ig;
  h.GapI = i - isNew;

  h.GenUl1 = h.GenL1 * (h.GapI - ig) / dt;
  h.GenUl2 = h.GenL2 * (isNew - is) / dt;
  h.GenUnr1 = h.GenNR1 * h.GapI;
  h.GenUnr2 = h.GenNR2 * isNew;

  h.StrayUPrev = h.StrayU;
  h.CsUPrev = h.CsU;
  h.CsU += dt * isNew / cs;
  h.StrayU = h.CsU + h.GenNR2 * isNew + h.GenUl2;

  h.LoadCurrentPrev = h.LoadCurrent;
  h.LoadCurrent = isNew + h.MeanCurrent;

  const double voltageChange = h.GapU - h.GapUPrev;
  const double capacitance = voltageChange == 0.0 ? kUnchangedGapCapacitance : h.MeanCurrent * dt / voltageChange;
  h.GapCChange = capacitance - h.GapC;
  h.GapC = capacitance;
}

void CalibrateGapCapacitance(THeap& h) {
  const int cells = CellCount(h);
  std::vector<double> savedPotential(h.Potential, h.Potential + cells);

  // Trial voltages until the lattice draws a displacement current; its charge
  // for the unit factor is the gap capacitance. Electrode 0 may sit below
  // electrode 1, so the current counts by its magnitude.
  bool measured = false;
  double factor = 1.0;
  for (int attempt = 0; attempt < kCalibrationAttempts && !measured; ++attempt) {
    ApplyElectrodePotentialsQ0(h, factor, 2);
    ArrayMinMax(h, h.Potential, h.PotentialMin, h.PotentialMax);
    SolveUntilConverged(h, false, false);
    ComputeDisplacementCurrents(h);
    ComputeElectrodeCurrents(h);
    const double charge = std::fabs(h.MeanCurrent) * h.Dt;
    h.GapC = charge;
    measured = charge > 0.0 && std::isfinite(charge);
    factor *= 10.0;
  }
  if (!measured && HasGeneratorElectrodes(h)) h.GapC = GaussGapCapacitance(h);
  if (!std::isfinite(h.GapC)) h.GapC = 0.0;

  h.GapCChange = 0.0;
  for (int c = 0; c < cells; ++c) h.Potential[c] = savedPotential[c];
  ComputeFieldComponents(h);
  h.StrayU = 0.0;
  h.GapU = 0.0;
  h.CsU = 0.0;
  h.GenUl1 = 0.0;
  h.GenUl2 = 0.0;
  h.GenUnr1 = 0.0;
  h.GenUnr2 = 0.0;
  h.AppliedVoltage = 0.0;
}

}  // namespace korvane
