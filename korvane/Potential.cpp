// Relaxation of the potential on the lattice and the field components that
// follow from it.
//
// The in-place sweep is Gauss-Seidel: every new value is seen by the cells that
// come after it, so the order of the cells decides the bits of the result. The
// sweep nevertheless keeps several rows of a plane in flight at once: row j+1 of
// a group trails row j by one cell, which keeps every cell's inputs exactly those
// of the plain row-by-row order (a cell's axis-3 neighbour in the row before is
// always done, the one in the row after never started) while the CPU works on
// independent dependency chains. Running totals are kept per row and folded in
// row order, which reproduces the plain order's tie and NaN behaviour as well.
#include "Potential.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace korvane {
namespace {

constexpr int kRowsInFlight = 4;
// Rows in flight pay off while the three planes that a sweep works on stay in
// the second-level cache; beyond that the interleaved row streams cost more in
// memory stalls than the parallel chains gain, and one row at a time is faster.
constexpr int kInterleavedPlaneCells = 4096;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Error and potential extremes met by one row (or by the whole sweep).
struct Tally {
  double error = 0.0;
  double low = kInfinity;
  double high = -kInfinity;
};

inline void NoteValue(double v, Tally& t) {
  if (v < t.low) t.low = v;
  if (v > t.high) t.high = v;
}

inline void MergeTally(const Tally& row, Tally& total) {
  NoteError(row.error, total.error);
  if (row.low < total.low) total.low = row.low;
  if (row.high > total.high) total.high = row.high;
}

struct Directions {
  bool back1 = false;
  bool back2 = false;
  bool back3 = false;
};

// One row of cells (fixed i2, i3): its start and the offsets to its axis-3
// neighbours, which wrap at the ends of the axis.
struct Row {
  int base;
  int lower3;
  int upper3;
};

// The 26 neighbour offsets (d1, d2, d3) in the fixed table order: d1, then d2,
// then d3 each running 1, 0, -1.
struct Offset {
  int d1, d2, d3;
};
constexpr Offset kNeighbourOffsets[26] = {
    {1, 1, 1},   {1, 1, 0},   {1, 1, -1},  {1, 0, 1},   {1, 0, 0},   {1, 0, -1},  {1, -1, 1},
    {1, -1, 0},  {1, -1, -1}, {0, 1, 1},   {0, 1, 0},   {0, 1, -1},  {0, 0, 1},   {0, 0, -1},
    {0, -1, 1},  {0, -1, 0},  {0, -1, -1}, {-1, 1, 1},  {-1, 1, 0},  {-1, 1, -1}, {-1, 0, 1},
    {-1, 0, 0},  {-1, 0, -1}, {-1, -1, 1}, {-1, -1, 0}, {-1, -1, -1}};

// A free cell without any link keeps its potential, as a fixed cell does.
template <bool Aside>
inline void KeepValue(const double* phi, double* next, int c, Tally& t) {
  const double keep = phi[c];
  if (Aside) next[c] = keep;
  NoteValue(keep, t);
}

// ---- the explicit scheme ----------------------------------------------------

class ExplicitScheme {
 public:
  explicit ExplicitScheme(THeap& h)
      : phi_(h.Potential),
        next_(h.PotentialNext),
        le1_(h.LinkEps1),
        le2_(h.LinkEps2),
        le3_(h.LinkEps3),
        charge_(h.Charge),
        codes_(h.ElectrodeCodes),
        w1_(2 / (h.CellSize1 * h.CellSize1)),
        w2_(2 / (h.CellSize2 * h.CellSize2)),
        w3_(2 / (h.CellSize3 * h.CellSize3)),
        eps0_(h.Eps0),
        range_(h.PotentialRange),
        plane_(h.N1 * h.N3),
        dwType_(h.DwType) {}

  // Cells whose channel terms reach diagonal neighbours: none in this scheme.
  bool NeedsSerialPlanes() const { return false; }
  void MarkSerialPlanes(const THeap&, std::vector<unsigned char>&) const {}

  template <bool Axis2, bool Aside>
  inline void Visit(int c, int c1m, int c1p, int c3m, int c3p, Tally& t) {
    if (!IsFreeCode(codes_[c])) {
      const double keep = phi_[c];
      if (Aside) next_[c] = keep;
      NoteValue(keep, t);
      return;
    }
    double n = charge_[c] / eps0_ + w1_ * (le1_[c] * phi_[c1p] + le1_[c1m] * phi_[c1m]) +
               w3_ * (le3_[c] * phi_[c3p] + le3_[c3m] * phi_[c3m]);
    double d = w1_ * (le1_[c] + le1_[c1m]) + w3_ * (le3_[c] + le3_[c3m]);
    if (Axis2) {
      const int c2m = c - plane_;
      const int c2p = c + plane_;
      n = n + w2_ * (le2_[c] * phi_[c2p] + le2_[c2m] * phi_[c2m]);
      d = d + w2_ * (le2_[c] + le2_[c2m]);
    }
    // A cell whose links all vanish (no usable permittivity) has no equation.
    if (d == 0) return KeepValue<Aside>(phi_, next_, c, t);
    const double value = n / d;
    const double old = phi_[c];
    if (Aside)
      next_[c] = value;
    else
      phi_[c] = value;
    NoteError(CellError(dwType_, old, value, range_), t.error);
    NoteValue(value, t);
  }

 private:
  double* phi_;
  double* next_;
  const double* le1_;
  const double* le2_;
  const double* le3_;
  const double* charge_;
  const double* codes_;
  double w1_, w2_, w3_, eps0_, range_;
  int plane_;
  int dwType_;
};

// ---- the implicit scheme ----------------------------------------------------

class ImplicitScheme {
 public:
  explicit ImplicitScheme(THeap& h)
      : h_(h),
        phi_(h.Potential),
        next_(h.PotentialNext),
        le1_(h.LinkEps1),
        le2_(h.LinkEps2),
        le3_(h.LinkEps3),
        charge_(h.Charge),
        codes_(h.ElectrodeCodes),
        a1_(2 * h.Eps0 / (h.CellSize1 * h.CellSize1)),
        a2_(2 * h.Eps0 / (h.CellSize2 * h.CellSize2)),
        a3_(2 * h.Eps0 / (h.CellSize3 * h.CellSize3)),
        b1_(2 * h.Dt / (h.CellSize1 * h.CellSize1)),
        b2_(2 * h.Dt / (h.CellSize2 * h.CellSize2)),
        b3_(2 * h.Dt / (h.CellSize3 * h.CellSize3)),
        dt_(h.Dt),
        volume_(h.CellSize1 * h.CellSize2 * h.CellSize3),
        range_(h.PotentialRange),
        plane_(h.N1 * h.N3),
        dwType_(h.DwType),
        conductive_(AnyConductiveMaterial(h)),
        hasNodes_(h.Nodes.count > 0 && h.Nodes.nodes != nullptr) {}

  // Channel terms read diagonal neighbours and parents, which a trailing row
  // could reach before the plain order does: planes with nodes run row by row.
  bool NeedsSerialPlanes() const { return hasNodes_; }
  void MarkSerialPlanes(const THeap& h, std::vector<unsigned char>& serial) const {
    const int cells = CellCount(h);
    for (int n = 0; n < h.Nodes.count; ++n) {
      const int cell = h.Nodes.nodes[n].cell;
      if (cell >= 0 && cell < cells) serial[cell / plane_] = 1;
    }
  }

  template <bool Axis2, bool Aside>
  inline void Visit(int c, int c1m, int c1p, int c3m, int c3p, Tally& t) {
    const double code = codes_[c];
    if (!IsFreeCode(code)) {
      double keep = phi_[c];
      if (Aside) {
        // Every electrode cell ends the sweep at its code's applied potential.
        const int k = ClassifyElectrodeCode(h_, code);
        if (IsValidElectrodeCode(h_, k)) keep = CodePotential(h_, k);
        next_[c] = keep;
      }
      NoteValue(keep, t);
      return;
    }
    double p = a1_ * (le1_[c1m] + le1_[c]);
    double q = charge_[c] + a1_ * (le1_[c1m] * phi_[c1m] + le1_[c] * phi_[c1p]);
    const double sc = conductive_ ? SigmaOf(h_, c) : 0.0;
    if (sc > 0) AddConduction(sc, b1_, c1m, c1p, p, q);
    if (Axis2) {
      const int c2m = c - plane_;
      const int c2p = c + plane_;
      p += a2_ * (le2_[c2m] + le2_[c]);
      q += a2_ * (le2_[c2m] * phi_[c2m] + le2_[c] * phi_[c2p]);
      if (sc > 0) AddConduction(sc, b2_, c2m, c2p, p, q);
    }
    p += a3_ * (le3_[c3m] + le3_[c]);
    q += a3_ * (le3_[c3m] * phi_[c3m] + le3_[c] * phi_[c3p]);
    if (sc > 0) AddConduction(sc, b3_, c3m, c3p, p, q);
    if (hasNodes_) {
      const int node = NodeAt(h_, c);
      if (node >= 0) AddChannels(c, node, p, q);
    }
    if (p == 0) return KeepValue<Aside>(phi_, next_, c, t);
    const double value = q / p;
    const double old = phi_[c];
    if (Aside)
      next_[c] = value;
    else
      phi_[c] = value;
    NoteError(CellError(dwType_, old, value, range_), t.error);
    NoteValue(value, t);
  }

 private:
  static bool AnyConductiveMaterial(const THeap& h) {
    for (int m = 0; m < h.MaterialCount; ++m)
      if (h.Materials[m].Sigma > 0) return true;
    return false;
  }

  double LinkSigma(double sc, int neighbour) const {
    const double sn = SigmaOf(h_, neighbour);
    return sn > 0 ? sc * sn / (sc + sn) : 0.0;
  }

  void AddConduction(double sc, double b, int lower, int upper, double& p, double& q) const {
    const double sLower = LinkSigma(sc, lower);
    const double sUpper = LinkSigma(sc, upper);
    p += b * (sLower + sUpper);
    q += b * (sLower * phi_[lower] + sUpper * phi_[upper]);
  }

  double ChannelWeight(const TNode& node) const { return dt_ * (node.invLength * node.g) / volume_; }

  // The channel to the parent and the channels to the children in the 26
  // neighbouring cells. On a lattice only one or two cells wide several offsets
  // wrap onto the same cell; each cell is taken once, or a child would be
  // counted several times and the operator would lose its symmetry.
  void AddChannels(int c, int n, double& p, double& q) const {
    const TNode* nodes = h_.Nodes.nodes;
    const int count = h_.Nodes.count;
    const int cells = CellCount(h_);
    const int parent = nodes[n].parent;
    if (parent >= 0 && parent < count) {
      const int pc = nodes[parent].cell;
      if (pc >= 0 && pc < cells) {
        const double t = ChannelWeight(nodes[n]);
        p += t;
        q += t * phi_[pc];
      }
    }
    const int n1 = h_.N1, n2 = h_.N2, n3 = h_.N3;
    const int i1 = c % n1;
    const int i3 = (c / n1) % n3;
    const int i2 = c / plane_;
    const bool mayRepeat = n1 <= 2 || n3 <= 2;
    int seen[26];
    int seenCount = 0;
    for (const Offset& o : kNeighbourOffsets) {
      const int j2 = i2 + o.d2;
      if (j2 < 0 || j2 > n2 - 1) continue;
      const int target = CellIndex(h_, WrapOnce(i1 + o.d1, n1), j2, WrapOnce(i3 + o.d3, n3));
      if (mayRepeat) {
        if (std::find(seen, seen + seenCount, target) != seen + seenCount) continue;
        seen[seenCount++] = target;
      }
      const int m = NodeAt(h_, target);
      if (m < 0 || nodes[m].parent != n) continue;
      const double t = ChannelWeight(nodes[m]);
      p += t;
      q += t * phi_[target];
    }
  }

  THeap& h_;
  double* phi_;
  double* next_;
  const double* le1_;
  const double* le2_;
  const double* le3_;
  const double* charge_;
  const double* codes_;
  double a1_, a2_, a3_, b1_, b2_, b3_, dt_, volume_, range_;
  int plane_;
  int dwType_;
  bool conductive_;
  bool hasNodes_;
};

// ---- the sweep schedule -----------------------------------------------------

// K rows of one plane, row j trailing row j-1 by one cell.
template <int K, bool Axis2, bool Aside, class Scheme>
void SweepRows(Scheme& s, const Row* rows, Tally* tallies, int n1, bool back1) {
  const int last = n1 - 1;
  for (int step = 0; step < n1 + K - 1; ++step) {
    for (int j = 0; j < K; ++j) {
      const int pos = step - j;
      if (pos < 0 || pos > last) continue;
      const int i1 = back1 ? last - pos : pos;
      const int c = rows[j].base + i1;
      const int c1m = i1 == 0 ? c + last : c - 1;
      const int c1p = i1 == last ? c - last : c + 1;
      s.template Visit<Axis2, Aside>(c, c1m, c1p, c + rows[j].lower3, c + rows[j].upper3, tallies[j]);
    }
  }
}

template <bool Axis2, bool Aside, class Scheme>
void SweepPlane(Scheme& s, const THeap& h, int i2, const Directions& dir, int rowsInFlight,
                Tally& total) {
  const int n1 = h.N1, n3 = h.N3;
  for (int first = 0; first < n3; first += rowsInFlight) {
    const int rows = std::min(rowsInFlight, n3 - first);
    Row row[kRowsInFlight];
    Tally tally[kRowsInFlight];
    for (int j = 0; j < rows; ++j) {
      const int pos = first + j;
      const int i3 = dir.back3 ? n3 - 1 - pos : pos;
      row[j].base = CellIndex(h, 0, i2, i3);
      row[j].lower3 = (WrapOnce(i3 - 1, n3) - i3) * n1;
      row[j].upper3 = (WrapOnce(i3 + 1, n3) - i3) * n1;
    }
    switch (rows) {
      case 4: SweepRows<4, Axis2, Aside>(s, row, tally, n1, dir.back1); break;
      case 3: SweepRows<3, Axis2, Aside>(s, row, tally, n1, dir.back1); break;
      case 2: SweepRows<2, Axis2, Aside>(s, row, tally, n1, dir.back1); break;
      default: SweepRows<1, Axis2, Aside>(s, row, tally, n1, dir.back1); break;
    }
    for (int j = 0; j < rows; ++j) MergeTally(tally[j], total);
  }
}

template <bool Aside, class Scheme>
void SweepLattice(Scheme& s, const THeap& h, const Directions& dir, Tally& total) {
  static thread_local std::vector<unsigned char> serial;
  const bool useSerial = s.NeedsSerialPlanes();
  if (useSerial) {
    serial.assign(h.N2, 0);
    s.MarkSerialPlanes(h, serial);
  }
  const int n2 = h.N2;
  const bool interleave = h.N1 * h.N3 <= kInterleavedPlaneCells;
  for (int pos = 0; pos < n2; ++pos) {
    const int i2 = dir.back2 ? n2 - 1 - pos : pos;
    const int rows = (useSerial && serial[i2]) || !interleave ? 1 : kRowsInFlight;
    if (i2 > 0 && i2 < n2 - 1)
      SweepPlane<true, Aside>(s, h, i2, dir, rows, total);
    else
      SweepPlane<false, Aside>(s, h, i2, dir, rows, total);
  }
}

int CurrentSweepOrder(const THeap& h) { return ((h.SweepOrder % 8) + 8) % 8; }

template <class Scheme>
void RunSweep(THeap& h) {
  Scheme scheme(h);
  const int order = CurrentSweepOrder(h);
  Directions dir;
  if (!h.BSep) {
    dir.back1 = order >= 4;
    dir.back3 = (order & 2) != 0;
    dir.back2 = (order & 1) != 0;
  }
  Tally total;
  total.error = h.IterationError;
  total.low = h.PotentialMin;
  total.high = h.PotentialMax;
  if (h.BSep)
    SweepLattice<true>(scheme, h, dir, total);
  else
    SweepLattice<false>(scheme, h, dir, total);
  h.IterationError = total.error;
  h.PotentialMin = total.low;
  h.PotentialMax = total.high;
  if (h.BSep)
    std::memcpy(h.Potential, h.PotentialNext, sizeof(double) * static_cast<std::size_t>(CellCount(h)));
  else
    h.SweepOrder = (order + 1) % 8;
}

// The program may show the progress of a long solution from another thread;
// these two fields are written whole for it.
int LoadStepIterations(THeap& h) {
  return std::atomic_ref<int32_t>(h.StepIterations).load(std::memory_order_relaxed);
}
void StoreStepIterations(THeap& h, int value) {
  std::atomic_ref<int32_t>(h.StepIterations).store(value, std::memory_order_relaxed);
}
void StoreLastIterationError(THeap& h, double value) {
  std::atomic_ref<double>(h.LastIterationError).store(value, std::memory_order_relaxed);
}

}  // namespace

void SolvePotentialExplicit(THeap& h) { RunSweep<ExplicitScheme>(h); }

void SolvePotentialImplicit(THeap& h) { RunSweep<ImplicitScheme>(h); }

void IteratePotential(THeap& h, bool implicit, bool generatorCoupling) {
  const double span = h.PotentialMax - h.PotentialMin;
  h.PotentialRange = span == 0 ? 1.0 : span;
  h.PotentialMin = 1e300;
  h.PotentialMax = -1e300;
  h.IterationError = 0;
  if (generatorCoupling) {
    if (implicit)
      CouplingSumsImplicit(h);
    else
      CouplingSumsExplicit(h);
    ApplyGeneratorElectrodes(h);
  }
  const int done = LoadStepIterations(h);
  if (done == 0) h.FirstUpdateError = h.IterationError;
  if (implicit)
    SolvePotentialImplicit(h);
  else
    SolvePotentialExplicit(h);
  if (done == 0) h.FirstSweepError = h.IterationError;
  StoreLastIterationError(h, h.IterationError);
  const int k = done + 1;
  StoreStepIterations(h, k);
  if (k < h.MinNwItr) return;
  // A NaN error fails this test, so a poisoned lattice runs to the limit.
  if (k >= h.MaxNwItr || h.IterationError <= h.Dw) {
    h.TotalIterations += k;
    h.Converged = 1;
    StoreStepIterations(h, 0);
  }
}

void ComputeFieldComponents(THeap& h) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  const int plane = n1 * n3;
  const double* phi = h.Potential;
  const double s1 = h.CellSize1, s2 = h.CellSize2, s3 = h.CellSize3;
  for (int i2 = 0; i2 < n2; ++i2) {
    for (int i3 = 0; i3 < n3; ++i3) {
      const int base = CellIndex(h, 0, i2, i3);
      const int lower3 = (WrapOnce(i3 - 1, n3) - i3) * n1;
      for (int i1 = 0; i1 < n1; ++i1) {
        const int c = base + i1;
        const double v = phi[c];
        const int c1m = i1 == 0 ? c + n1 - 1 : c - 1;
        const double fx = (phi[c1m] - v) / s1;
        // The bottom plane has no lower link; it takes the one above it.
        const double fy = i2 > 0 ? (phi[c - plane] - v) / s2
                                  : (v - phi[c + (n2 > 1 ? plane : 0)]) / s2;
        const double fz = (phi[c + lower3] - v) / s3;
        h.FieldX[c] = fx;
        h.FieldY[c] = fy;
        h.FieldZ[c] = fz;
        h.FieldAbs[c] = std::sqrt(fx * fx + fy * fy + fz * fz);
      }
    }
  }
}

}  // namespace korvane
