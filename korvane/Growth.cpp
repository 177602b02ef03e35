// Growth of the discharge structure, its channels, and the critical-field
// lowering between repeated discharges.
#include "Growth.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "korvane.h"

namespace korvane {

const NeighbourOffset kNeighbourOffsets[kNeighbourCount] = {
    {1, 1, 1},   {1, 1, 0},   {1, 1, -1},   {1, 0, 1},   {1, 0, 0},   {1, 0, -1},  {1, -1, 1},
    {1, -1, 0},  {1, -1, -1}, {0, 1, 1},    {0, 1, 0},   {0, 1, -1},  {0, 0, 1},   {0, 0, -1},
    {0, -1, 1},  {0, -1, 0},  {0, -1, -1},  {-1, 1, 1},  {-1, 1, 0},  {-1, 1, -1}, {-1, 0, 1},
    {-1, 0, 0},  {-1, 0, -1}, {-1, -1, 1},  {-1, -1, 0}, {-1, -1, -1}};

namespace {

constexpr int kNodeBlock = 100;
constexpr double kNoLog = 1e300;
constexpr double kRandomScale = 1.0 / 32767.0;

// A code below -1 marks an electrode cell. Truncating a value v toward zero
// gives less than -1 exactly when v <= -2, which also keeps NaN and huge values
// out of an undefined integer conversion.
inline bool IsElectrodeCell(const THeap& h, int cell) { return h.ElectrodeCodes[cell] <= -2.0; }

inline bool CellHoldsNode(const THeap& h, int cell) { return h.NodeOfCell[cell] != -1.0; }

inline const TMaterial& MaterialOf(const THeap& h, int cell) { return h.Materials[h.MaterialOfCell[cell]]; }

inline bool HasParent(const TNode& n) { return n.parent != -1; }

// Target cell of a node's neighbour, or -1 when the neighbour lies beyond an
// outer face of axis 2.
inline int NeighbourCell(const THeap& h, int x, int y, int z, const NeighbourOffset& o) {
  int y2 = y + o.d2;
  if (y2 < 0 || y2 > h.N2 - 1) return -1;
  return WrappedCellIndex(h, x + o.d1, y2, z + o.d3);
}

void StampFirstEventTimes(THeap& h) {
  if (h.CandidateFlag && h.TimeFirstCandidate == 0) h.TimeFirstCandidate = h.Time;
  if (h.GrowthFlag && h.TimeFirstGrowth == 0) h.TimeFirstGrowth = h.Time;
  if (h.Flags && h.TimeBreakdown == 0) h.TimeBreakdown = h.Time;
}

void GrowInto(THeap& h, int parent, int x, int y, int z, const NeighbourOffset& o, int target,
              double dist, double inv, double field) {
  int added = AddGrownNode(h, x + o.d1, y + o.d2, z + o.d3, target, parent, MaterialOf(h, target).G0, dist,
                           inv, field);
  if (added < 0) return;  // no memory for the node: nothing grew
  h.GrowthFlag = 1;
  if (IsElectrodeCell(h, target)) h.Flags = 1;
}

void GrowStochastic(THeap& h) {
  const NeighbourDistances nd = ComputeNeighbourDistances(h);
  const double exponent = h.LimbEn;
  const double dt = h.Dt;
  const int startCount = h.Nodes.count;
  for (int n = 0; n < startCount; ++n) {
    // Copies: growing may move the node array.
    const TNode node = h.Nodes.nodes[n];
    const double phi = h.Potential[node.cell];
    for (int k = 0; k < kNeighbourCount; ++k) {
      const NeighbourOffset& o = kNeighbourOffsets[k];
      int target = NeighbourCell(h, node.x, node.y, node.z, o);
      if (target < 0 || CellHoldsNode(h, target)) continue;
      double field = (phi - h.Potential[target]) * nd.inv[k];
      if (!(field > h.Ec[target])) continue;
      h.CandidateFlag = 1;
      double stay = std::exp(-std::pow(field, exponent) * MaterialOf(h, target).GrowthA * dt);
      int draw = NextRandom();
      if (draw * kRandomScale > stay) GrowInto(h, n, node.x, node.y, node.z, o, target, nd.dist[k], nd.inv[k], field);
    }
  }
}

void GrowDeterministic(THeap& h) {
  if (h.Nodes.count <= 0) return;
  const NeighbourDistances nd = ComputeNeighbourDistances(h);
  const int newest = h.Nodes.count - 1;
  const TNode node = h.Nodes.nodes[newest];
  const double phi = h.Potential[node.cell];
  double best = 0;
  int winner = -1;
  int winnerCell = -1;
  for (int k = 0; k < kNeighbourCount; ++k) {
    int target = NeighbourCell(h, node.x, node.y, node.z, kNeighbourOffsets[k]);
    if (target < 0 || CellHoldsNode(h, target)) continue;
    double field = (phi - h.Potential[target]) * nd.inv[k];
    if (field > best) {
      best = field;
      winner = k;
      winnerCell = target;
    }
  }
  if (winner < 0 || !(best > h.Ec[winnerCell])) return;
  h.CandidateFlag = 1;
  GrowInto(h, newest, node.x, node.y, node.z, kNeighbourOffsets[winner], winnerCell, nd.dist[winner],
           nd.inv[winner], best);
}

// Limit of the Gaussian weight for a vanishing width: everything lands on the
// lattice cell nearest to the node.
void LowerEcAtNearestCell(THeap& h, const TNode& node, double heat) {
  int i1 = std::clamp(node.x, 0, h.N1 - 1);
  int i2 = std::clamp(node.y, 0, h.N2 - 1);
  int i3 = std::clamp(node.z, 0, h.N3 - 1);
  int c = CellIndex(h, i1, i2, i3);
  const TMaterial& m = MaterialOf(h, c);
  double k = std::min(heat * m.EcAmplitude, 1.0);
  h.Ec[c] += k * (m.EcTarget - h.Ec[c]);
}

// Per-axis factors of the Gaussian exp(-r^2/(2w^2)); returns their sum.
double AxisWeights(int centre, int size, double cellSize, double twoWidthSq, std::vector<double>& out) {
  out.resize(size);
  double sum = 0;
  for (int i = 0; i < size; ++i) {
    double a = (centre - i) * cellSize;
    out[i] = std::exp(-(a * a) / twoWidthSq);
    sum += out[i];
  }
  return sum;
}

struct GaussianScratch {
  std::vector<double> w1, w2, w3;
};

// The normalised Gaussian G/S factorises per axis (the constant (2 pi w^2)^1.5
// cancels), so one node costs N1 + N2 + N3 exponentials instead of one per
// cell. Cells whose weight is exactly zero keep their Ec, as the full formula
// gives them k = 0.
void LowerEcAroundNode(THeap& h, const TNode& node, double heat, double width, GaussianScratch& s) {
  double twoWidthSq = 2 * width * width;
  double s1 = AxisWeights(node.x, h.N1, h.CellSize1, twoWidthSq, s.w1);
  double s2 = AxisWeights(node.y, h.N2, h.CellSize2, twoWidthSq, s.w2);
  double s3 = AxisWeights(node.z, h.N3, h.CellSize3, twoWidthSq, s.w3);
  double sum = s1 * s2 * s3;
  if (sum == 0) return;
  const double scale = heat / sum;
  const int n1 = h.N1;
  for (int i2 = 0; i2 < h.N2; ++i2) {
    for (int i3 = 0; i3 < h.N3; ++i3) {
      double rowWeight = s.w2[i2] * s.w3[i3];
      if (rowWeight == 0) continue;
      const int row = CellIndex(h, 0, i2, i3);
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = row + i1;
        const TMaterial& m = MaterialOf(h, c);
        double k = std::min(scale * (rowWeight * s.w1[i1]) * m.EcAmplitude, 1.0);
        h.Ec[c] += k * (m.EcTarget - h.Ec[c]);
      }
    }
  }
}

bool AnyMaterialLowersEc(const THeap& h) {
  for (int m = 0; m < h.MaterialCount; ++m)
    if (h.Materials[m].EcAmplitude != 0) return true;
  return false;
}

}  // namespace

NeighbourDistances ComputeNeighbourDistances(const THeap& h) {
  NeighbourDistances nd;
  for (int k = 0; k < kNeighbourCount; ++k) {
    const NeighbourOffset& o = kNeighbourOffsets[k];
    double a = o.d1 * h.CellSize1, b = o.d2 * h.CellSize2, c = o.d3 * h.CellSize3;
    nd.dist[k] = std::sqrt(a * a + b * b + c * c);
    nd.inv[k] = 1 / nd.dist[k];
  }
  return nd;
}

int AddNode(THeap& h, int x, int y, int z, int cell, int parent) {
  TTree& t = h.Nodes;
  if (t.count >= t.capacity) {
    int capacity = t.capacity + kNodeBlock;
    void* grown = EngineRealloc(t.nodes, static_cast<std::size_t>(capacity) * sizeof(TNode));
    if (!grown) return -1;  // the structure stays as it was
    t.nodes = static_cast<TNode*>(grown);
    t.capacity = capacity;
  }
  const int index = t.count;
  TNode& n = t.nodes[index];
  n = TNode{};
  n.x = x;
  n.y = y;
  n.z = z;
  n.cell = cell;
  n.parent = parent;
  n.g = 1;
  n.invLength = 1;
  n.lnL = kNoLog;
  n.lnR = kNoLog;
  n.potential = h.Potential[cell];
  n.charge = h.Charge[cell];
  n.ec = h.Ec[cell];
  if (parent != -1) {
    n.pathLength = t.nodes[parent].pathLength + 1;
    n.generation = t.nodes[parent].generation + 1;
  }
  h.NodeOfCell[cell] = index;
  t.count = index + 1;
  return index;
}

int AddGrownNode(THeap& h, int x, int y, int z, int cell, int parent, double g0, double dist,
                 double invDist, double field) {
  int index = AddNode(h, x, y, z, cell, parent);
  if (index < 0) return index;
  TNode& n = h.Nodes.nodes[index];
  n.g = g0;
  n.invLength = invDist;
  n.pathLength = h.Nodes.nodes[parent].pathLength + dist;
  n.field = field;
  return index;
}

void GrowStep(THeap& h) {
  h.GrowthFlag = 0;
  h.CandidateFlag = 0;
  if (h.GrowthType == 0)
    GrowStochastic(h);
  else if (h.GrowthType == 1)
    GrowDeterministic(h);
  StampFirstEventTimes(h);
}

void UpdateChannelConductance(THeap& h) {
  TNode* nodes = h.Nodes.nodes;
  const int count = h.Nodes.count;
  const double volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  const double dt = h.Dt;
  for (int i = 0; i < count; ++i) {
    TNode& n = nodes[i];
    if (!HasParent(n)) continue;
    TNode& p = nodes[n.parent];
    const double phiP = h.Potential[p.cell];
    const double phiN = h.Potential[n.cell];
    const double field = (phiP - phiN) * n.invLength;
    const double current = n.g * field;
    n.current = current;
    n.field = field;
    const double q = current * dt;
    n.linearCharge += n.invLength * q;
    p.linearCharge -= p.invLength * q;
    n.linearPower = field * current;
    n.linearHeat += field * q;
    const double dRho = q / volume;
    h.Charge[n.cell] += dRho;
    h.Charge[p.cell] -= dRho;
    n.powerDensity = dRho * (phiP - phiN) / dt;
    n.heatDensity += dRho * (phiP - phiN);
    const TMaterial& m = MaterialOf(h, n.cell);
    double g = n.g * (1 + (m.Alpha * field * field - m.Beta) * dt);
    if (g < h.LimbMinCond) g = h.LimbMinCond;
    if (g > h.LimbMaxCond) g = h.LimbMaxCond;
    n.g = g;
  }
}

void GrowthFieldRange(THeap& h, double& maxField, double& minField, double& maxRate) {
  const NeighbourDistances nd = ComputeNeighbourDistances(h);
  const double exponent = h.LimbEn;
  const double dt = h.Dt;
  double hi = -1e300, lo = 1e300, rate = -1e300;
  for (int i = 0; i < h.Nodes.count; ++i) {
    const TNode& node = h.Nodes.nodes[i];
    const double phi = h.Potential[node.cell];
    for (int k = 0; k < kNeighbourCount; ++k) {
      int target = NeighbourCell(h, node.x, node.y, node.z, kNeighbourOffsets[k]);
      if (target < 0) continue;
      double field = (phi - h.Potential[target]) * nd.inv[k];
      if (field > hi) hi = field;
      if (field < lo) lo = field;
      const TMaterial& m = MaterialOf(h, target);
      if (field > m.Ec) {
        double r = (1 - std::exp(-std::pow(field, exponent) * m.GrowthA * dt)) / dt;
        if (r > rate) rate = r;
      }
    }
  }
  maxField = hi == -1e300 ? 0 : hi;
  minField = lo == 1e300 ? 0 : lo;
  maxRate = rate == -1e300 ? 0 : rate;
  h.MaxGrowthField = maxField;
  h.MinGrowthField = minField;
  h.MaxGrowthRate = maxRate;
}

void RefreshNodeCells(THeap& h) {
  for (int i = 0; i < h.Nodes.count; ++i) {
    TNode& n = h.Nodes.nodes[i];
    n.potential = h.Potential[n.cell];
    n.charge = h.Charge[n.cell];
    n.ec = h.Ec[n.cell];
  }
}

bool HasNodeOnElectrode(const THeap& h) {
  for (int i = 0; i < h.Nodes.count; ++i) {
    const TNode& n = h.Nodes.nodes[i];
    if (HasParent(n) && IsElectrodeCell(h, n.cell)) return true;
  }
  return false;
}

}  // namespace korvane

using namespace korvane;

extern "C" {

void THeapEcDecay(THeap* heap) {
  THeap& h = *heap;
  if (!AnyMaterialLowersEc(h)) return;  // every k would be 0
  GaussianScratch scratch;
  for (int i = 0; i < h.Nodes.count; ++i) {
    const TNode node = h.Nodes.nodes[i];
    const double heat = node.heatDensity;
    if (heat == 0) continue;  // roots and channels without Joule heat change nothing
    const double width = MaterialOf(h, node.cell).EcWidth;
    if (width > 0)
      LowerEcAroundNode(h, node, heat, width, scratch);
    else
      LowerEcAtNearestCell(h, node, heat);
  }
}

bool THeapIsBreakdownIn(THeap* heap, int material) {
  const THeap& h = *heap;
  const TNode* nodes = h.Nodes.nodes;
  const int count = h.Nodes.count;
  // After breakdown many nodes stand on the electrode and share their paths:
  // a node already looked at (and found of another material) ends the walk,
  // since its own ancestors were looked at with it. Every node is read once.
  std::vector<bool> seen;
  for (int i = 0; i < count; ++i) {
    if (!HasParent(nodes[i]) || !IsElectrodeCell(h, nodes[i].cell)) continue;
    if (seen.empty()) seen.assign(static_cast<std::size_t>(count), false);
    // Parents precede their children, so the walk ends after at most i steps.
    for (int a = nodes[i].parent, steps = 0; a >= 0 && a < count && steps <= i && !seen[a];
         a = nodes[a].parent, ++steps) {
      if (h.MaterialOfCell[nodes[a].cell] == material) return true;
      seen[a] = true;
    }
  }
  return false;
}

}  // extern "C"
