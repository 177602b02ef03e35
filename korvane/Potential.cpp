// Relaxation of the potential on the lattice and the field components that
// follow from it.
//
// The in-place sweep is Gauss-Seidel: every new value is seen by the cells that
// come after it, so the order of the cells decides the bits of the result. One
// row after another, each new value waits for the one before it, and the sweep
// runs at the latency of that chain of arithmetic. Successive inner planes are
// therefore swept as a pipeline: plane j+1 trails plane j by one row, which
// keeps every cell's inputs exactly those of the plain plane-by-plane order (the
// row it faces in the plane before is done, the one in the plane after not yet
// started) while the CPU works on independent chains. The error and the
// extremes are totalled per row once the row is written, two cells at a time,
// and folded in sweep order; the few rows where order could show (zeros of
// both signs, errors that are not numbers) are settled cell by cell.
//
// On several threads the planes form a wavefront: each thread takes every T-th
// plane counted from the lowest, the same planes in both directions so that
// they stay in its cache, and works on a row once the plane before it in sweep
// order has finished the row after it. That row lag keeps, for every cell, the plain order's view
// of both neighbouring planes (the plane before is new there, the plane after
// still old) and of the channels that lean one row across; the totals of every
// plane are folded in sweep order afterwards, so the bits stay those of one
// thread.
#include "Potential.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <atomic>
#include <chrono>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "WorkerPool.h"

namespace korvane {
namespace {

// Two planes in the pipeline gain most on lattices that the caches hold and
// still hold their own on the largest lattice, which streams from main memory.
constexpr int kPipelinedPlanes = 2;
// The explicit scheme has no channels between planes and the least work per
// cell: on one thread its chain of arithmetic, not the work, sets the pace,
// and three planes in the pipeline run three chains at once (measured at 51^3
// with bench_sweep_peers: 0.96 ms per sweep against 1.01 with two planes and
// 2.7 with four, whose state no longer fits the registers).
constexpr int kMostPipelinedPlanes = 3;
// Materials up to which the implicit sweep tabulates the link conductivities.
constexpr int kLinkSigmaTableMaterials = 64;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// What the sweep notes about a plane before it starts (bit flags).
constexpr unsigned char kPlaneWithNodes = 1;
constexpr unsigned char kChannelToNextPlane = 2;  // to the plane of the next higher index
// In a wavefront: a channel between this plane and the next higher one (or
// across both) that the row lag does not cover, so the later of the two in
// sweep order waits for the whole earlier one.
constexpr unsigned char kWholePlaneToNext = 4;

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

// How a cell's change counts as error in this sweep.
struct ErrorRule {
  int dwType;
  double range;
};

// A cell's share of the totals, taken as the sweep writes it: every value
// enters the extremes, every free cell's change the error. Taken in sweep order
// they keep the order-sensitive cases of the plain order (the first of +0 and
// -0 as an extreme, the last error that is not a number).
[[gnu::always_inline]] inline void NoteCell(Tally& t, double before, double after, bool free,
                                            const ErrorRule& rule) {
  if (free) NoteError(CellError(rule.dwType, before, after, rule.range), t.error);
  NoteValue(after, t);
}

// One row of cells (fixed i2, i3): its start and the offsets to its axis-3
// neighbours, which wrap at the ends of the axis.
struct Row {
  int base;
  int lower3;
  int upper3;
  int ahead;  // to the row kRowsAhead further in sweep order; 0 at the end
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
inline void KeepValue(const double* phi, double* next, int c) {
  if (Aside) next[c] = phi[c];
}

// The cell's new potential, numerator over denominator: into the aside array
// when the sweep must not see it yet, else in place. Returns the value the
// cell ends the sweep with.
template <bool Aside>
inline double StoreSolution(double* phi, double* next, int c, double numerator, double denominator) {
  if (denominator == 0) {
    KeepValue<Aside>(phi, next, c);
    return phi[c];
  }
  const double value = numerator / denominator;
  if (Aside)
    next[c] = value;
  else
    phi[c] = value;
  return value;
}

struct Directions {
  bool back1 = false;
  bool back2 = false;
  bool back3 = false;
};

// Cells are fetched from this many rows ahead of the sweep, a cache line every
// eight cells. Within a plane the rows follow each other in memory only when
// the cells of a row run the same way as the rows; in the other four sweep
// orders every row starts a short stream of its own, which the processor does
// not fetch ahead by itself, and those sweeps took nearly twice as long.
constexpr int kRowsAhead = 3;

// A plain prefetch builtin may be dropped by the optimiser as dead code, so
// the instruction is written out where it exists.
inline void FetchAhead(const void* p) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

// The arrays that a cell's update reads.
struct CellInputs {
  const double* phi;
  const double* le1;
  const double* le2;
  const double* le3;
  const double* source;  // the charge term
  const void* codes;      // what tells a free cell, one entry per cell
  int codeSize;           // bytes per entry
  int plane;
};

// The cache lines holding what cell c reads. The plane before in sweep order
// (the one above it when the sweep runs from the top) is left alone on several
// threads: another thread may still be writing it.
template <bool Axis2>
[[gnu::always_inline]] inline void FetchCellInputs(const CellInputs& in, int c, bool planeBefore, bool fromTop) {
  FetchAhead(in.phi + c);
  FetchAhead(in.le1 + c);
  FetchAhead(in.le3 + c);
  if (in.source) FetchAhead(in.source + c);
  FetchAhead(static_cast<const char*>(in.codes) + static_cast<std::ptrdiff_t>(c) * in.codeSize);
  if (!Axis2) return;
  if (planeBefore) {
    FetchAhead(in.phi + c - in.plane);
    FetchAhead(in.phi + c + in.plane);
  } else {
    FetchAhead(in.phi + c + (fromTop ? -in.plane : in.plane));
  }
  FetchAhead(in.le2 + c);
  FetchAhead(in.le2 + c - in.plane);
}

// Where a cell's row comes in the sweep of its plane.
inline int RowPosition(const THeap& h, int cell, const Directions& dir) {
  const int i3 = (cell / h.N1) % h.N3;
  return dir.back3 ? h.N3 - 1 - i3 : i3;
}

// ---- the explicit scheme ----------------------------------------------------

// WithSources false: every cell's charge term is +0, and the sweep adds the
// constant instead of reading it (the same bits: the sum with +0 stays, for its
// sign rule). The zero-charge solution, most of the preparation's sweeps, then
// streams 41 bytes per cell instead of 56 together with the byte of freeCells.
template <bool WithSources>
class ExplicitSchemeOf {
 public:
  // sources holds Charge / Eps0 of every cell and free a 1 for every free
  // cell, both computed once per solution.
  ExplicitSchemeOf(THeap& h, const double* sources, const unsigned char* free)
      : phi_(h.Potential),
        next_(h.PotentialNext),
        le1_(h.LinkEps1),
        le2_(h.LinkEps2),
        le3_(h.LinkEps3),
        sources_(sources),
        free_(free),
        w1_(2 / (h.CellSize1 * h.CellSize1)),
        w2_(2 / (h.CellSize2 * h.CellSize2)),
        w3_(2 / (h.CellSize3 * h.CellSize3)),
        plane_(h.N1 * h.N3) {}

  // Cells whose channel terms reach diagonal neighbours: none in this scheme.
  bool NeedsPlaneNotes() const { return false; }
  int PlanesInPipelineOnOneThread() const { return kMostPipelinedPlanes; }
  // On several threads too: three planes give each thread more to fetch at
  // once (measured at 101^3, 0.79-0.93 s for the preparation's first 416
  // sweeps on 8 threads against 0.95-0.97 s with pairs).
  int PlanesInPipelineOnSeveralThreads() const { return kMostPipelinedPlanes; }
  void NotePlanes(const THeap&, const Directions&, std::vector<unsigned char>&) const {}
  void NoteWavefrontPlanes(const THeap&, std::vector<unsigned char>&) const {}
  void BeginPlane(bool) {}

  // What cell c reads, fetched ahead of its visit.
  template <bool Axis2>
  [[gnu::always_inline]] inline void FetchCell(int c, bool planeBefore, bool fromTop) const {
    FetchCellInputs<Axis2>({phi_, le1_, le2_, le3_, WithSources ? sources_ : nullptr, free_, 1, plane_}, c,
                           planeBefore, fromTop);
  }

  bool IsFree(int c) const { return free_[c] != 0; }

  // v1m and v1p are the potentials of cells c1m and c1p as they stand; the
  // return value is the one cell c ends the sweep with.
  template <bool Axis2, bool Aside>
  [[gnu::always_inline]] inline double Visit(int c, int c1m, int /*c1p*/, int c3m, int c3p, double v1m,
                                             double v1p) {
    if (!IsFree(c)) {
      if (Aside) next_[c] = phi_[c];
      return phi_[c];
    }
    double n = (WithSources ? sources_[c] : 0.0) + w1_ * (le1_[c] * v1p + le1_[c1m] * v1m) +
               w3_ * (le3_[c] * phi_[c3p] + le3_[c3m] * phi_[c3m]);
    double d = w1_ * (le1_[c] + le1_[c1m]) + w3_ * (le3_[c] + le3_[c3m]);
    if (Axis2) {
      const int c2m = c - plane_;
      const int c2p = c + plane_;
      n = n + w2_ * (le2_[c] * phi_[c2p] + le2_[c2m] * phi_[c2m]);
      d = d + w2_ * (le2_[c] + le2_[c2m]);
    }
    // A cell whose links all vanish (no usable permittivity) has no equation.
    return StoreSolution<Aside>(phi_, next_, c, n, d);
  }

 private:
  double* phi_;
  double* next_;
  const double* le1_;
  const double* le2_;
  const double* le3_;
  const double* sources_;
  const unsigned char* free_;
  double w1_, w2_, w3_;
  int plane_;
};

// ---- the implicit scheme ----------------------------------------------------

// With Hoisted, the cells' denominators come from an array filled once per
// solution (see ImplicitDenominators): they hold nothing that changes between
// the sweeps of a solution.
template <bool Hoisted>
class ImplicitSchemeOf {
 public:
  // Free cells are told by their codes, which the scheme reads anyway for the
  // electrodes' potentials.
  ImplicitSchemeOf(THeap& h, const double* denominators)
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
        plane_(h.N1 * h.N3),
        materialCount_(h.MaterialCount),
        conductive_(AnyConductiveMaterial(h)),
        hasNodes_(h.Nodes.count > 0 && h.Nodes.nodes != nullptr),
        denominators_(denominators) {
    if (conductive_) BuildLinkSigmaTable();
  }

  // Only planes that hold nodes have channel cells to look for.
  void BeginPlane(bool withNodes) { channels_ = hasNodes_ && withNodes; }

  // In a wavefront a plane works on a row only once the plane before it in
  // sweep order has finished the row after it, so a channel between successive
  // planes whose ends lie at most one row apart reads what the plain order
  // reads. Any other channel between different planes (across the axis-3 wrap,
  // or to a plane further away) makes every plane it spans wait for the whole
  // plane before it.
  void NoteWavefrontPlanes(const THeap& h, std::vector<unsigned char>& planes) const {
    const int cells = CellCount(h);
    const TNode* nodes = h.Nodes.nodes;
    const int count = h.Nodes.count;
    const int n2 = h.N2;
    std::vector<int> spans(static_cast<std::size_t>(n2) + 1, 0);
    for (int n = 0; n < count; ++n) {
      const int cell = nodes[n].cell;
      if (cell < 0 || cell >= cells) continue;
      const int plane = cell / plane_;
      planes[plane] |= kPlaneWithNodes;
      const int parent = nodes[n].parent;
      if (parent < 0 || parent >= count) continue;
      const int pc = nodes[parent].cell;
      if (pc < 0 || pc >= cells) continue;
      const int other = pc / plane_;
      if (other == plane) continue;
      const int rows = (cell / h.N1) % h.N3 - (pc / h.N1) % h.N3;
      if ((other == plane + 1 || other == plane - 1) && rows >= -1 && rows <= 1) continue;
      ++spans[std::min(plane, other)];
      --spans[std::max(plane, other)];
    }
    int open = 0;
    for (int m = 0; m < n2; ++m) {
      open += spans[m];
      if (open > 0) planes[m] |= kWholePlaneToNext;
    }
  }

  // Channel terms read the potential of a node's parent and children, which
  // may lie in the next plane. Two planes in work side by side have the later
  // one a row behind: a channel between them reads what the plain order reads
  // as long as its cell in the later plane comes at the same row position as
  // its cell in the earlier plane or after it (the later plane's cell is then
  // still old for the earlier one, the earlier plane's cell already new for the
  // later one). Planes holding nodes are marked so that the sweep looks for
  // channel cells there; successive planes joined by any other channel are
  // never swept side by side.
  bool NeedsPlaneNotes() const { return hasNodes_; }
  // With conducting materials the plain order beats the two-plane pipeline on
  // one thread (measured at 26^3, 51^3 and 101^3); both give the same values.
  // Never more than two: channels are checked between successive planes only,
  // and a third plane in work would need them checked two planes apart.
  int PlanesInPipelineOnOneThread() const { return conductive_ ? 1 : kPipelinedPlanes; }
  // On several threads pairs give each thread enough units to keep them even.
  int PlanesInPipelineOnSeveralThreads() const { return kPipelinedPlanes; }
  void NotePlanes(const THeap& h, const Directions& dir, std::vector<unsigned char>& planes) const {
    const int cells = CellCount(h);
    const TNode* nodes = h.Nodes.nodes;
    const int count = h.Nodes.count;
    for (int n = 0; n < count; ++n) {
      const int cell = nodes[n].cell;
      if (cell < 0 || cell >= cells) continue;
      const int plane = cell / plane_;
      planes[plane] |= kPlaneWithNodes;
      const int parent = nodes[n].parent;
      if (parent < 0 || parent >= count) continue;
      const int pc = nodes[parent].cell;
      if (pc < 0 || pc >= cells) continue;
      const int other = pc / plane_;
      if (other != plane + 1 && other != plane - 1) continue;
      // The ends of the channel in the plane swept first and in the one after.
      const bool nodeFirst = (other > plane) != dir.back2;
      const int first = nodeFirst ? cell : pc, later = nodeFirst ? pc : cell;
      if (RowPosition(h, later, dir) < RowPosition(h, first, dir)) planes[std::min(plane, other)] |= kChannelToNextPlane;
    }
  }

  template <bool Axis2>
  [[gnu::always_inline]] inline void FetchCell(int c, bool planeBefore, bool fromTop) const {
    FetchCellInputs<Axis2>({phi_, le1_, le2_, le3_, charge_, codes_, sizeof(double), plane_}, c, planeBefore, fromTop);
  }

  bool IsFree(int c) const { return IsFreeCode(codes_[c]); }

  // v1m and v1p are the potentials of cells c1m and c1p as they stand; the
  // return value is the one cell c ends the sweep with.
  template <bool Axis2, bool Aside>
  [[gnu::always_inline]] inline double Visit(int c, int c1m, int c1p, int c3m, int c3p, double v1m, double v1p) {
    const double code = codes_[c];
    if (!IsFreeCode(code)) {
      if (Aside) {
        // Every electrode cell ends the sweep at its code's applied potential.
        const int k = ClassifyElectrodeCode(h_, code);
        const double value = IsValidElectrodeCode(h_, k) ? CodePotential(h_, k) : phi_[c];
        next_[c] = value;
        return value;
      }
      return phi_[c];
    }
    const Sums sums = Terms<Axis2, !Hoisted>(c, c1m, c1p, c3m, c3p, v1m, v1p);
    return StoreSolution<Aside>(phi_, next_, c, sums.q, Hoisted ? denominators_[c] : sums.p);
  }

  // The denominator of free cell c, as the sweep would compute it.
  template <bool Axis2>
  double Denominator(int c, int c1m, int c1p, int c3m, int c3p) const {
    return Terms<Axis2, true>(c, c1m, c1p, c3m, c3p, phi_[c1m], phi_[c1p]).p;
  }

 private:
  struct Sums {
    double p, q;
  };

  // The cell's denominator p (unless WithP is false) and numerator q, each
  // term added in the one fixed order that decides their bits.
  template <bool Axis2, bool WithP>
  [[gnu::always_inline]] inline Sums Terms(int c, int c1m, int c1p, int c3m, int c3p, double v1m,
                                           double v1p) const {
    double p = 0.0;
    if constexpr (WithP) p = a1_ * (le1_[c1m] + le1_[c]);
    double q = charge_[c] + a1_ * (le1_[c1m] * v1m + le1_[c] * v1p);
    int mc = -1;
    double sc = 0.0;
    if (conductive_) {
      mc = h_.MaterialOfCell[c];
      sc = mc >= 0 && mc < materialCount_ ? h_.Materials[mc].Sigma : 0.0;
    }
    if (sc > 0) AddConduction<WithP>(mc, sc, b1_, c1m, c1p, v1m, v1p, p, q);
    if (Axis2) {
      const int c2m = c - plane_;
      const int c2p = c + plane_;
      if constexpr (WithP) p += a2_ * (le2_[c2m] + le2_[c]);
      q += a2_ * (le2_[c2m] * phi_[c2m] + le2_[c] * phi_[c2p]);
      if (sc > 0) AddConduction<WithP>(mc, sc, b2_, c2m, c2p, phi_[c2m], phi_[c2p], p, q);
    }
    if constexpr (WithP) p += a3_ * (le3_[c3m] + le3_[c]);
    q += a3_ * (le3_[c3m] * phi_[c3m] + le3_[c] * phi_[c3p]);
    if (sc > 0) AddConduction<WithP>(mc, sc, b3_, c3m, c3p, phi_[c3m], phi_[c3p], p, q);
    if (channels_) {
      const int node = NodeAt(h_, c);
      if (node >= 0) return AddChannels(h_, phi_, dt_, volume_, c, node, {p, q});
    }
    return {p, q};
  }

  static bool AnyConductiveMaterial(const THeap& h) {
    for (int m = 0; m < h.MaterialCount; ++m)
      if (h.Materials[m].Sigma > 0) return true;
    return false;
  }

  static double SeriesSigma(double sc, double sn) { return sn > 0 ? sc * sn / (sc + sn) : 0.0; }

  // The series conductivity of every pair of materials, so that a sweep through
  // a conducting lattice does not divide six times per cell; the entries are
  // computed exactly as the cell would compute them.
  void BuildLinkSigmaTable() {
    static thread_local std::vector<double> table;
    const int m = materialCount_;
    if (m <= 0 || m > kLinkSigmaTableMaterials) return;
    table.resize(static_cast<std::size_t>(m) * m);
    for (int a = 0; a < m; ++a)
      for (int b = 0; b < m; ++b) table[a * m + b] = SeriesSigma(h_.Materials[a].Sigma, h_.Materials[b].Sigma);
    linkSigma_ = table.data();
  }

  double LinkSigma(int mc, double sc, int neighbour) const {
    const int mn = h_.MaterialOfCell[neighbour];
    if (mn < 0 || mn >= materialCount_) return 0.0;
    if (linkSigma_) return linkSigma_[mc * materialCount_ + mn];
    return SeriesSigma(sc, h_.Materials[mn].Sigma);
  }

  template <bool WithP>
  void AddConduction(int mc, double sc, double b, int lower, int upper, double lowerValue, double upperValue,
                     double& p, double& q) const {
    const double sLower = LinkSigma(mc, sc, lower);
    const double sUpper = LinkSigma(mc, sc, upper);
    if constexpr (WithP) p += b * (sLower + sUpper);
    q += b * (sLower * lowerValue + sUpper * upperValue);
  }

  static double ChannelWeight(const TNode& node, double dt, double volume) {
    return dt * (node.invLength * node.g) / volume;
  }

  // The channel to the parent and the channels to the children in the 26
  // neighbouring cells. On a lattice only one or two cells wide several offsets
  // wrap onto the same cell; each cell is taken once, or a child would be
  // counted several times and the operator would lose its symmetry. Rare and
  // long, so kept out of line; it sees nothing of the scheme, which lets the
  // sweep keep the scheme's members in registers across it.
  [[gnu::noinline]] static Sums AddChannels(const THeap& h, const double* phi, double dt, double volume, int c,
                                            int n, Sums s) {
    const TNode* nodes = h.Nodes.nodes;
    const int count = h.Nodes.count;
    const int cells = CellCount(h);
    const int parent = nodes[n].parent;
    if (parent >= 0 && parent < count) {
      const int pc = nodes[parent].cell;
      if (pc >= 0 && pc < cells) {
        const double t = ChannelWeight(nodes[n], dt, volume);
        s.p += t;
        s.q += t * phi[pc];
      }
    }
    const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
    const int plane = n1 * n3;
    const int i1 = c % n1;
    const int i3 = (c / n1) % n3;
    const int i2 = c / plane;
    const bool mayRepeat = n1 <= 2 || n3 <= 2;
    int seen[26];
    int seenCount = 0;
    for (const Offset& o : kNeighbourOffsets) {
      const int j2 = i2 + o.d2;
      if (j2 < 0 || j2 > n2 - 1) continue;
      const int target = CellIndex(h, WrapOnce(i1 + o.d1, n1), j2, WrapOnce(i3 + o.d3, n3));
      if (mayRepeat) {
        if (std::find(seen, seen + seenCount, target) != seen + seenCount) continue;
        seen[seenCount++] = target;
      }
      const int m = NodeAt(h, target);
      if (m < 0 || nodes[m].parent != n) continue;
      const double t = ChannelWeight(nodes[m], dt, volume);
      s.p += t;
      s.q += t * phi[target];
    }
    return s;
  }

  THeap& h_;
  double* phi_;
  double* next_;
  const double* le1_;
  const double* le2_;
  const double* le3_;
  const double* charge_;
  const double* codes_;
  double a1_, a2_, a3_, b1_, b2_, b3_, dt_, volume_;
  int plane_;
  int materialCount_;
  const double* linkSigma_ = nullptr;
  bool conductive_;
  bool hasNodes_;
  bool channels_ = false;
  const double* denominators_;
};

using ImplicitScheme = ImplicitSchemeOf<false>;

// ---- the sweep schedule -----------------------------------------------------

Row RowOf(const THeap& h, int i2, int pos, bool back3) {
  const int n1 = h.N1, n3 = h.N3;
  const int i3 = back3 ? n3 - 1 - pos : pos;
  Row r;
  r.base = CellIndex(h, 0, i2, i3);
  r.lower3 = (WrapOnce(i3 - 1, n3) - i3) * n1;
  r.upper3 = (WrapOnce(i3 + 1, n3) - i3) * n1;
  r.ahead = pos + kRowsAhead < n3 ? (back3 ? -kRowsAhead : kRowsAhead) * n1 : 0;
  return r;
}

// What every row of a sweep shares.
struct Bookkeeping {
  const double* phi;
  ErrorRule rule;
  bool fetchPlaneBefore;
  bool back2;  // as in Directions: the planes run from the top
};

// The potentials of a cell's two axis-1 neighbours. In place, the neighbour
// visited just before holds the value that visit left, which is handed on in a
// register instead of being read back from the store that is still in flight:
// the chain from one cell to the next is the sweep's bottleneck.
struct Axis1Values {
  double lower;
  double upper;
};
template <bool Aside>
inline Axis1Values Axis1Neighbours(const double* phi, int c1m, int c1p, int pos, bool back1, double previous) {
  if (Aside || pos == 0) return {phi[c1m], phi[c1p]};
  if (back1) return {phi[c1m], previous};
  return {previous, phi[c1p]};
}

// One row of a plane, cell after cell, each cell noted in the plane's totals
// as it is written.
template <bool Axis2, bool Aside, class Scheme>
void SweepRowAt(const Scheme& scheme, const THeap& h, const Row& row, const Directions& dir, const Bookkeeping& book,
                Tally& total) {
  // A copy of its own keeps the scheme's members in registers: a store of a
  // potential could otherwise be a store to any double member of the shared
  // scheme, which would then be read again for every cell.
  Scheme s = scheme;
  Tally t = total;
  const ErrorRule rule = book.rule;
  const int n1 = h.N1;
  const int last = n1 - 1;
  double previous = 0.0;
  for (int p1 = 0; p1 <= last; ++p1) {
    const int i1 = dir.back1 ? last - p1 : p1;
    const int c = row.base + i1;
    const int c1m = i1 == 0 ? c + last : c - 1;
    const int c1p = i1 == last ? c - last : c + 1;
    if ((p1 & 7) == 0 && row.ahead != 0)
      s.template FetchCell<Axis2>(c + row.ahead, book.fetchPlaneBefore, dir.back2);
    const double before = book.phi[c];
    const Axis1Values v = Axis1Neighbours<Aside>(book.phi, c1m, c1p, p1, dir.back1, previous);
    previous = s.template Visit<Axis2, Aside>(c, c1m, c1p, c + row.lower3, c + row.upper3, v.lower, v.upper);
    NoteCell(t, before, previous, s.IsFree(c), rule);
  }
  total = t;
}

template <bool Axis2, bool Aside, class Scheme>
void SweepRow(const Scheme& scheme, const THeap& h, int i2, int p3, const Directions& dir, const Bookkeeping& book,
              Tally& total) {
  SweepRowAt<Axis2, Aside>(scheme, h, RowOf(h, i2, p3, dir.back3), dir, book, total);
}

// M rows of different planes side by side, cell for cell, written out M times
// so that each row's previous cell and totals stay in registers. The rows are
// never neighbours of each other, so any order among them gives the same
// values.
template <int M, class Scheme>
void SweepLockstep(const Scheme& scheme, const Row* rows, Tally* const* tallies, int n1, bool back1,
                   const Bookkeeping& book) {
  Scheme s = scheme;  // in registers, as in SweepRow
  const ErrorRule rule = book.rule;
  const int last = n1 - 1;
  double previous[M] = {};
  Tally t[M];
  int base[M], lower3[M], upper3[M], ahead[M];
  for (int j = 0; j < M; ++j) {
    t[j] = *tallies[j];
    base[j] = rows[j].base;
    lower3[j] = rows[j].lower3;
    upper3[j] = rows[j].upper3;
    ahead[j] = rows[j].ahead;
  }
  auto visit = [&](auto j, int pos, int i1, int down, int up) [[gnu::always_inline]] {
    const int c = base[j] + i1;
    if ((pos & 7) == 0 && ahead[j] != 0) s.template FetchCell<true>(c + ahead[j], book.fetchPlaneBefore, book.back2);
    const double before = book.phi[c];
    const Axis1Values v = Axis1Neighbours<false>(book.phi, c + down, c + up, pos, back1, previous[j]);
    previous[j] = s.template Visit<true, false>(c, c + down, c + up, c + lower3[j], c + upper3[j], v.lower, v.upper);
    NoteCell(t[j], before, previous[j], s.IsFree(c), rule);
  };
  for (int pos = 0; pos <= last; ++pos) {
    const int i1 = back1 ? last - pos : pos;
    const int down = i1 == 0 ? last : -1;
    const int up = i1 == last ? -last : 1;
    [&]<int... J>(std::integer_sequence<int, J...>) [[gnu::always_inline]] {
      (visit(std::integral_constant<int, J>{}, pos, i1, down, up), ...);
    }(std::make_integer_sequence<int, M>{});
  }
  for (int j = 0; j < M; ++j) *tallies[j] = t[j];
}

// The rows in work while the pipeline fills and drains are fewer than J.
template <int J, class Scheme>
void SweepActiveRows(int active, Scheme& s, const Row* rows, Tally* const* tallies, int n1, bool back1,
                     const Bookkeeping& book) {
  if constexpr (J > 1) {
    if (active < J) return SweepActiveRows<J - 1>(active, s, rows, tallies, n1, back1, book);
  }
  SweepLockstep<J>(s, rows, tallies, n1, back1, book);
}

// J successive inner planes, plane j trailing plane j-1 by one row: a row is
// done only after the row it faces in the plane before, and before the row it
// faces in the plane after, exactly as in the plain plane-by-plane order, while
// each plane streams through memory on its own. wait(r) comes before the first
// plane's row r, finished(n) after the last plane's n-th row.
template <int J, class Scheme, class Wait, class Finished>
void SweepPlaneGroup(Scheme& s, const THeap& h, const int* planes, const Directions& dir, const Bookkeeping& book,
                     Tally& total, Wait&& wait, Finished&& finished) {
  const int n3 = h.N3;
  Tally tally[J];
  for (int step = 0; step < n3 + J - 1; ++step) {
    if (step < n3) wait(step);
    Row row[J];
    Tally* rowTally[J];
    int active = 0;
    for (int j = 0; j < J; ++j) {
      const int pos = step - j;
      if (pos < 0 || pos >= n3) continue;
      row[active] = RowOf(h, planes[j], pos, dir.back3);
      rowTally[active] = &tally[j];
      ++active;
    }
    SweepActiveRows<J>(active, s, row, rowTally, h.N1, dir.back1, book);
    if (step >= J - 1) finished(step - J + 2);
  }
  for (int j = 0; j < J; ++j) MergeTally(tally[j], total);
}

// Planes that one thread sweeps as one piece: two successive inner planes in
// the pipeline, or a single plane.
struct Unit {
  int planes[kMostPipelinedPlanes];
  int count;
  bool withNodes;
};

// One unit, row after row, with the same hooks as SweepPlaneGroup.
template <bool Aside, class Scheme, class Wait, class Finished>
void SweepUnit(Scheme& s, const THeap& h, const Unit& unit, const Directions& dir, const Bookkeeping& book,
               Tally& total, Wait&& wait, Finished&& finished) {
  s.BeginPlane(unit.withNodes);
  static_assert(kMostPipelinedPlanes == 3, "every group size has its case");
  switch (unit.count) {
    case 3:
      return SweepPlaneGroup<3>(s, h, unit.planes, dir, book, total, wait, finished);
    case 2:
      return SweepPlaneGroup<2>(s, h, unit.planes, dir, book, total, wait, finished);
    default:
      break;
  }
  const int i2 = unit.planes[0];
  const bool inner = i2 > 0 && i2 < h.N2 - 1;
  for (int p3 = 0; p3 < h.N3; ++p3) {
    wait(p3);
    if (inner)
      SweepRow<true, Aside>(s, h, i2, p3, dir, book, total);
    else
      SweepRow<false, Aside>(s, h, i2, p3, dir, book, total);
    finished(p3 + 1);
  }
}

SweepSchedule gSchedule = SweepSchedule::Automatic;

// Rows that one thread of a wavefront has finished, counted as the plane's
// position in sweep order times (N3 + 1) plus its rows done: the count only
// grows within a sweep, so a waiter compares it with the count it needs. One
// cache line each, or the threads would pass the lines to and fro on every row.
// A plain store publishes it: a fenced one would hold the writer for the
// round trip to the waiter's cache on every row, and a waiter that has slept
// finds the count by looking again after a short sleep, so no wake-up call is
// needed.
struct alignas(64) Progress {
  std::atomic<int> rows{0};

  void Publish(int count) { rows.store(count, std::memory_order_release); }
};

// The row a waiter waits for is usually a microsecond or two away, unless the
// thread working on it lost its processor to another program: after this long
// the waiter sleeps, so that a preempted thread may have its processor back.
constexpr auto kSleepAfter = std::chrono::microseconds(100);
// A sleeping waiter looks again this often.
constexpr auto kSleepFor = std::chrono::microseconds(50);

// Returns once the count has reached target, with the seconds it waited (0
// when the count was there at once). known is the count last seen: it only
// grows, so while it suffices the writer's cache line is left alone.
double WaitForRows(Progress& done, int target, int& known) {
  if (known >= target) return 0;
  known = done.rows.load(std::memory_order_acquire);
  if (known >= target) return 0;
  const auto start = std::chrono::steady_clock::now();
  Backoff backoff;
  for (unsigned i = 1; known < target; ++i) {
    backoff.Pause();
    known = done.rows.load(std::memory_order_acquire);
    if (known < target && i % 16 == 0 && std::chrono::steady_clock::now() - start > kSleepAfter) break;
  }
  while (known < target) {
    std::this_thread::sleep_for(kSleepFor);
    known = done.rows.load(std::memory_order_acquire);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the threaded sweeps of one solution reuse from sweep to sweep.
struct WavefrontScratch {
  std::unique_ptr<Progress[]> progress;
  int threads = 0;
  std::vector<Tally> unitTotals;
  // Each thread's seconds per cell, its waits for the thread before left out.
  std::vector<double> paces;

  void Prepare(int threadCount, int units) {
    if (threads != threadCount) {
      progress.reset(new Progress[threadCount]);
      threads = threadCount;
    }
    for (int t = 0; t < threads; ++t) progress[t].rows.store(0, std::memory_order_relaxed);
    unitTotals.assign(units, Tally{});
    paces.assign(threadCount, 0.0);
  }
};

// The units shared among the pool's threads, every T-th unit counted from the
// lowest plane to each. In place, a unit works on a row once the unit before it has finished
// that row in its last plane: the plane before is then new where the plain
// order reads it new, and the plane after still old where it reads it old. A
// channel between the two planes may lean one row across, so next to planes
// with nodes the unit waits for the row after it too, and for the whole plane
// where a channel needs that. The Jacobi sweep reads only old values and needs
// no waiting. Each unit keeps its own totals, folded in sweep order.
template <bool Aside, class Scheme>
void SweepWavefront(const Scheme& scheme, const THeap& h, const std::vector<Unit>& units, const Directions& dir,
                   const Bookkeeping& shared, const std::vector<unsigned char>* notes, const WorkerPool& pool,
                   WavefrontScratch& scratch, Tally& total) {
  const int n3 = h.N3;
  const int count = static_cast<int>(units.size());
  const int threads = pool.Threads();
  const int stride = n3 + 1;
  scratch.Prepare(threads, count);
  Progress* progress = scratch.progress.get();
  std::vector<Tally>& unitTotals = scratch.unitTotals;
  auto note = [&](int i2, unsigned char flag) { return notes && ((*notes)[i2] & flag) != 0; };
  // A thread sweeps the same planes in both directions and finds them in its
  // own cache; the unit before its own in sweep order is on the thread before
  // it, or after it when the sweep runs from the top.
  const int rowCells = h.N1 * n3;
  pool.Run([&](int t) {
    const auto began = std::chrono::steady_clock::now();
    double waited = 0;
    int cells = 0;
    Scheme s(scheme);
    Progress& mine = progress[t];
    Progress& before = progress[(t + (dir.back2 ? 1 : threads - 1)) % threads];
    int known = 0;
    const int firstUnit = dir.back2 ? ((count - 1 - t) % threads + threads) % threads : t;
    for (int k = firstUnit; k < count; k += threads) {
      const Unit& unit = units[k];
      const int first = unit.planes[0];
      const int previous = dir.back2 ? first + 1 : first - 1;
      const bool wholePlane = k > 0 && note(std::min(first, previous), kWholePlaneToNext);
      const int lag = k > 0 && (note(first, kPlaneWithNodes) || note(previous, kPlaneWithNodes)) ? 2 : 1;
      auto wait = [&](int row) {
        if (Aside || k == 0) return;
        waited += WaitForRows(before, (k - 1) * stride + (wholePlane ? n3 : std::min(row + lag, n3)), known);
      };
      auto finished = [&](int rows) {
        if (!Aside) mine.Publish(k * stride + rows);
      };
      SweepUnit<Aside>(s, h, unit, dir, shared, unitTotals[k], wait, finished);
      cells += unit.count * rowCells;
    }
    const double busy = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() - waited;
    scratch.paces[t] = cells > 0 ? busy / cells : 0.0;
  });
  for (const Tally& t : unitTotals) MergeTally(t, total);
  if (!Aside) NoteSweepPaces(pool, scratch.paces.data());
}

// Rows per thread below which the bands of a plane do not pay: the threads
// then trail each other by too large a share of the sweep (measured with
// interleaved 101^3 and 51^3 explicit sweeps; see bench/README.md).
constexpr int kLeastRowsPerBand = 10;

// One thread's rows of one plane, or of up to three successive inner planes
// side by side, plane j a row behind plane j-1 as in SweepPlaneGroup. wait(j)
// comes before plane j's first row, finished(j) after its last. The rows
// fetched ahead past the band's end are the first of the band in the plane
// after (after: that plane, or -1 when it is not an inner one).
template <int J, class Scheme, class Wait, class Finished>
void SweepBandGroup(Scheme& s, const THeap& h, const int* planes, int after, PartRange band, const Directions& dir,
                    const Bookkeeping& book, Tally* const* tallies, Wait&& wait, Finished&& finished) {
  const int rows = band.end - band.begin;
  const bool inner = planes[0] > 0 && planes[0] < h.N2 - 1;
  for (int step = 0; step < rows + J - 1; ++step) {
    Row row[J];
    Tally* rowTally[J];
    int active = 0;
    for (int j = 0; j < J; ++j) {
      const int k = step - j;
      if (k < 0 || k >= rows) continue;
      if (k == 0) wait(j);
      const int pos = band.begin + k;
      Row& r = row[active];
      r = RowOf(h, planes[j], pos, dir.back3);
      if (pos + kRowsAhead >= band.end) {
        const int target = band.begin + (pos + kRowsAhead - band.end);
        const int next2 = j + 1 < J ? planes[j + 1] : after;
        r.ahead = inner && next2 >= 0 && target < band.end ? RowOf(h, next2, target, dir.back3).base - r.base : 0;
      }
      rowTally[active] = tallies[j];
      ++active;
    }
    if constexpr (J == 1) {
      if (inner)
        SweepRowAt<true, false>(s, h, row[0], dir, book, *rowTally[0]);
      else
        SweepRowAt<false, false>(s, h, row[0], dir, book, *rowTally[0]);
    } else {
      SweepActiveRows<J>(active, s, row, rowTally, h.N1, dir.back1, book);
    }
    const int done = step - (rows - 1);
    if (done >= 0 && done < J) finished(done);
  }
}

// A sweep cut into bands of rows: every thread takes the same rows of every
// plane, plane after plane in sweep order, and works on a plane once the
// thread before it has finished its band there. The row before a band's first
// is then new where the plain order reads it new, and the row after its last
// (the next thread's) still old; the first band's first row reads the last
// band's last row across the axis-3 wrap, which the last thread reaches only
// after every thread before it. A thread hands on two rows of each plane, where
// units of planes hand on whole planes, and its planes before are its own. Only
// for cells that read no diagonal neighbours (no channels). Totals are kept per
// plane and band, and folded in sweep order.
template <class Scheme>
void SweepBands(const Scheme& scheme, const THeap& h, const Directions& dir, const Bookkeeping& shared,
                const WorkerPool& pool, WavefrontScratch& scratch, Tally& total) {
  const int n2 = h.N2, n3 = h.N3;
  const int threads = pool.Threads();
  const int most = std::min(scheme.PlanesInPipelineOnSeveralThreads(), kMostPipelinedPlanes);
  scratch.Prepare(threads, n2 * threads);
  Progress* progress = scratch.progress.get();
  std::vector<Tally>& tallies = scratch.unitTotals;
  Bookkeeping book = shared;
  book.fetchPlaneBefore = true;
  pool.Run([&](int t) {
    const auto began = std::chrono::steady_clock::now();
    double waited = 0;
    Scheme s(scheme);
    s.BeginPlane(false);
    const PartRange band = PartOf(n3, t, threads);
    Progress& mine = progress[t];
    int known = 0;
    auto planeAt = [&](int q) { return dir.back2 ? n2 - 1 - q : q; };
    auto isInner = [&](int q) { return q < n2 && planeAt(q) > 0 && planeAt(q) < n2 - 1; };
    for (int q = 0; q < n2;) {
      int group = 1;
      if (isInner(q))
        while (group < most && isInner(q + group)) ++group;
      int planes[kMostPipelinedPlanes];
      Tally* groupTallies[kMostPipelinedPlanes];
      for (int j = 0; j < group; ++j) {
        planes[j] = planeAt(q + j);
        groupTallies[j] = &tallies[static_cast<std::size_t>(q + j) * threads + t];
      }
      const int after = isInner(q + group) ? planeAt(q + group) : -1;
      auto wait = [&](int j) {
        if (t > 0) waited += WaitForRows(progress[t - 1], q + j + 1, known);
      };
      auto finished = [&](int j) { mine.Publish(q + j + 1); };
      static_assert(kMostPipelinedPlanes == 3, "every group size has its case");
      if (group == 3)
        SweepBandGroup<3>(s, h, planes, after, band, dir, book, groupTallies, wait, finished);
      else if (group == 2)
        SweepBandGroup<2>(s, h, planes, after, band, dir, book, groupTallies, wait, finished);
      else
        SweepBandGroup<1>(s, h, planes, after, band, dir, book, groupTallies, wait, finished);
      q += group;
    }
    const double busy = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() - waited;
    const int cells = (band.end - band.begin) * h.N1 * n2;
    scratch.paces[t] = cells > 0 ? busy / cells : 0.0;
  });
  for (const Tally& t : tallies) MergeTally(t, total);
  NoteSweepPaces(pool, scratch.paces.data());
}

// The Jacobi sweep's new values into place, in one block per thread.
void CopyLattice(double* to, const double* from, int count, const WorkerPool& pool) {
  pool.Split([&](int t, int parts) {
    const PartRange r = PartOf(count, t, parts);
    std::memcpy(to + r.begin, from + r.begin, sizeof(double) * (r.end - r.begin));
  });
}

// The sweep's planes in sweep order, cut into units. Inner planes go through
// the pipeline in groups of up to `group` planes, unless a channel joins two in
// a way that the pipeline's row lag or (on several threads) the wavefront's
// does not cover.
void PlanUnits(const THeap& h, const Directions& dir, const std::vector<unsigned char>* notes, int group,
               std::vector<Unit>& units) {
  const int n2 = h.N2;
  auto note = [&](int i2, unsigned char flag) { return notes && ((*notes)[i2] & flag) != 0; };
  auto joined = [&](int a, int b) {
    const int lower = std::min(a, b);
    return note(lower, kChannelToNextPlane) || note(lower, kWholePlaneToNext);
  };
  // Built from the lowest plane up whatever the direction, and turned round
  // for a sweep from the top: the units are then the same planes in both
  // directions, which lets every thread keep its planes from sweep to sweep.
  units.clear();
  int i2 = 0;
  while (i2 < n2) {
    Unit unit{};
    while (unit.count < group && i2 + unit.count < n2) {
      const int next = i2 + unit.count;
      if (next == 0 || next == n2 - 1 || (unit.count > 0 && joined(next - 1, next))) break;
      unit.planes[unit.count++] = next;
    }
    if (unit.count < 2) {
      unit.count = 1;
      unit.planes[0] = i2;
    }
    for (int j = 0; j < unit.count; ++j) unit.withNodes = unit.withNodes || note(unit.planes[j], kPlaneWithNodes);
    units.push_back(unit);
    i2 += unit.count;
  }
  if (!dir.back2) return;
  std::reverse(units.begin(), units.end());
  for (Unit& unit : units) std::reverse(unit.planes, unit.planes + unit.count);
}

// What the sweeps of one solution reuse.
struct SweepScratch {
  std::vector<unsigned char> planeNotes;
  std::vector<Unit> units;
  WavefrontScratch wavefront;
};

template <bool Aside, class Scheme>
void SweepLattice(Scheme& s, const THeap& h, const Directions& dir, const ErrorRule& rule, const WorkerPool& pool,
                 SweepScratch& scratch, Tally& total) {
  const bool threaded = pool.Threads() > 1;
  const Bookkeeping book{h.Potential, rule, !threaded, dir.back2};
  const bool useNotes = s.NeedsPlaneNotes();
  std::vector<unsigned char>* notes = useNotes ? &scratch.planeNotes : nullptr;
  if (useNotes) {
    scratch.planeNotes.assign(h.N2, 0);
    s.NotePlanes(h, dir, scratch.planeNotes);
    if (threaded) s.NoteWavefrontPlanes(h, scratch.planeNotes);
  }
  // The Jacobi sweep has no chain to break; more streams would only slow it.
  const int group = Aside || gSchedule == SweepSchedule::Plain ? 1
                    : threaded                                  ? s.PlanesInPipelineOnSeveralThreads()
                                                                : s.PlanesInPipelineOnOneThread();
  // Without channels, lattices with rows enough for every thread go in bands.
  if (threaded && !Aside && !useNotes && h.N3 / pool.Threads() >= kLeastRowsPerBand)
    return SweepBands(s, h, dir, book, pool, scratch.wavefront, total);
  PlanUnits(h, dir, notes, group, scratch.units);
  if (threaded)
    return SweepWavefront<Aside>(s, h, scratch.units, dir, book, notes, pool, scratch.wavefront, total);
  for (const Unit& unit : scratch.units) SweepUnit<Aside>(s, h, unit, dir, book, total, [](int) {}, [](int) {});
}

int CurrentSweepOrder(const THeap& h) { return ((h.SweepOrder % 8) + 8) % 8; }

template <class Scheme>
void RunSweep(THeap& h, Scheme scheme, const WorkerPool& pool, SweepScratch& scratch) {
  const int order = CurrentSweepOrder(h);
  Directions dir;
  if (!h.BSep) {
    dir.back1 = order >= 4;
    dir.back3 = (order & 2) != 0;
    dir.back2 = (order & 1) != 0;
  }
  // Relative to a positive range, the largest error is the largest change over
  // the range: a division rounds monotonically, so one division at the end
  // gives the bits of the largest of the cells' quotients, and the cells are
  // spared a division each.
  const double range = h.PotentialRange;
  const bool overRangeOnce = h.DwType == 1 && range > 0 && range < kInfinity;
  const ErrorRule rule = overRangeOnce ? ErrorRule{2, 1.0} : ErrorRule{h.DwType, range};
  Tally total;
  total.error = overRangeOnce ? 0.0 : h.IterationError;
  total.low = h.PotentialMin;
  total.high = h.PotentialMax;
  const auto start = std::chrono::steady_clock::now();
  if (h.BSep)
    SweepLattice<true>(scheme, h, dir, rule, pool, scratch, total);
  else
    SweepLattice<false>(scheme, h, dir, rule, pool, scratch, total);
  if (gSchedule != SweepSchedule::Plain)
    NoteSweepTime(pool.Threads(), CellCount(h),
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  if (overRangeOnce) {
    double error = h.IterationError;
    NoteError(total.error / range, error);
    total.error = error;
  }
  h.IterationError = total.error;
  h.PotentialMin = total.low;
  h.PotentialMax = total.high;
  if (h.BSep)
    CopyLattice(h.Potential, h.PotentialNext, CellCount(h), pool);
  else
    h.SweepOrder = (order + 1) % 8;
}

// Lattices up to this many cells sweep the implicit scheme with the cells'
// denominators computed once per solution. While the lattice stays in the
// caches that spares each cell a dozen operations (51^3 on one thread: 0.92
// to 0.97 ms per sweep against 1.13); a larger lattice streams from memory,
// where the extra array costs more than it saves (101^3: 9.2-9.6 ms against
// 9.1-9.5).
constexpr int kMostCellsForHoistedDenominators = 1 << 19;

// Every free cell's denominator into out, plane by plane on the pool's
// threads; the cells' neighbours as the sweep finds them.
void ImplicitDenominators(THeap& h, double* out, const WorkerPool& pool) {
  const ImplicitScheme scheme(h, nullptr);
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  pool.Split([&](int t, int parts) {
    ImplicitScheme s(scheme);
    s.BeginPlane(true);
    const PartRange planes = PartOf(n2, t, parts);
    for (int i2 = planes.begin; i2 < planes.end; ++i2) {
      const bool inner = i2 > 0 && i2 < n2 - 1;
      for (int i3 = 0; i3 < n3; ++i3) {
        const Row row = RowOf(h, i2, i3, false);
        for (int i1 = 0; i1 < n1; ++i1) {
          const int c = row.base + i1;
          const int c1m = i1 == 0 ? c + n1 - 1 : c - 1;
          const int c1p = i1 == n1 - 1 ? c - (n1 - 1) : c + 1;
          const int c3m = c + row.lower3, c3p = c + row.upper3;
          if (!IsFreeCode(h.ElectrodeCodes[c]))
            out[c] = 0.0;  // never read
          else if (inner)
            out[c] = s.template Denominator<true>(c, c1m, c1p, c3m, c3p);
          else
            out[c] = s.template Denominator<false>(c, c1m, c1p, c3m, c3p);
        }
      }
    }
  });
}

int SolutionThreads(const THeap& h) {
  return gSchedule == SweepSchedule::Plain ? 1 : WorkerThreadsFor(h.N2, CellCount(h));
}

// A lattice array for the sources, kept by the thread between its solutions:
// a run allocates none of them after its first solution.
std::vector<double>& SpareSources() {
  static thread_local std::vector<double> spare;
  return spare;
}

}  // namespace

struct PotentialSolution::Parts {
  Parts(THeap& record, bool implicitScheme, bool coupling)
      : h(record), implicit(implicitScheme), generatorCoupling(coupling) {
    pool.emplace(SolutionThreads(record));
    sources.swap(SpareSources());
  }

  // The count that the machine's load allows may change within a long
  // solution; the threads follow it from the next sweep on.
  void FollowThreadCount() {
    const int wanted = SolutionThreads(h);
    if (wanted == pool->Threads() && pool->OnCurrentWorkers()) return;
    pool.reset();
    pool.emplace(wanted);
  }
  ~Parts() {
    if (sources.capacity() > SpareSources().capacity()) sources.swap(SpareSources());
  }

  THeap& h;
  bool implicit;
  bool generatorCoupling;
  std::optional<WorkerPool> pool;
  // Charge / Eps0 of every cell for the explicit scheme: the charge stays as it
  // is for the whole solution, so the quotient is the same in every sweep.
  // For the implicit scheme on a lattice that the caches hold, the cells'
  // denominators (hoisted).
  std::vector<double> sources;
  // For the explicit scheme, a byte per cell that tells a free cell: the
  // electrode codes stay as they are for the whole solution, and a sweep that
  // streams the lattice from memory reads one byte per cell instead of eight.
  std::vector<unsigned char> freeCells;
  // Every source is +0 (the lattice holds no charge).
  bool chargeFree = false;
  bool hoisted = false;
  CouplingPlan coupling;
  SweepScratch scratch;
};

PotentialSolution::PotentialSolution(THeap& h, bool implicit, bool generatorCoupling)
    : parts_(std::make_unique<Parts>(h, implicit, generatorCoupling)) {
  Parts& p = *parts_;
  if (!implicit) {
    const int cells = CellCount(h);
    p.sources.resize(static_cast<std::size_t>(cells));
    double* sources = p.sources.data();
    p.freeCells.resize(static_cast<std::size_t>(cells));
    unsigned char* free = p.freeCells.data();
    const double* charge = h.Charge;
    const double* codes = h.ElectrodeCodes;
    const double eps0 = h.Eps0;
    std::vector<unsigned char> charged(static_cast<std::size_t>(p.pool->Threads()), 0);
    p.pool->Split([&](int t, int parts) {
      const PartRange r = PartOf(cells, t, parts);
      bool any = false;
      for (int c = r.begin; c < r.end; ++c) {
        sources[c] = charge[c] / eps0;
        free[c] = IsFreeCode(codes[c]) ? 1 : 0;
        any = any || sources[c] != 0.0 || std::signbit(sources[c]);
      }
      charged[t] = any ? 1 : 0;
    });
    p.chargeFree = std::find(charged.begin(), charged.end(), 1) == charged.end();
  }
  if (implicit && CellCount(h) <= kMostCellsForHoistedDenominators) {
    p.sources.resize(static_cast<std::size_t>(CellCount(h)));
    ImplicitDenominators(h, p.sources.data(), *p.pool);
    p.hoisted = true;
  }
  if (generatorCoupling) PlanCouplingSums(h, implicit, p.coupling);
}

PotentialSolution::~PotentialSolution() = default;

int PotentialSolution::Threads() const { return parts_->pool->Threads(); }

void PotentialSolution::Sweep() {
  Parts& p = *parts_;
  if (p.implicit && p.hoisted)
    RunSweep(p.h, ImplicitSchemeOf<true>(p.h, p.sources.data()), *p.pool, p.scratch);
  else if (p.implicit)
    RunSweep(p.h, ImplicitScheme(p.h, nullptr), *p.pool, p.scratch);
  else if (p.chargeFree)
    RunSweep(p.h, ExplicitSchemeOf<false>(p.h, nullptr, p.freeCells.data()), *p.pool, p.scratch);
  else
    RunSweep(p.h, ExplicitSchemeOf<true>(p.h, p.sources.data(), p.freeCells.data()), *p.pool, p.scratch);
  p.FollowThreadCount();
}

void PotentialSolution::Iterate() {
  Parts& p = *parts_;
  THeap& h = p.h;
  const double span = h.PotentialMax - h.PotentialMin;
  h.PotentialRange = span == 0 ? 1.0 : span;
  h.PotentialMin = 1e300;
  h.PotentialMax = -1e300;
  h.IterationError = 0;
  if (p.generatorCoupling) {
    CouplingSumsFromPlan(h, p.coupling);
    ApplyGeneratorElectrodes(h, &*p.pool);
  }
  const int done = LoadStepIterations(h);
  if (done == 0) h.FirstUpdateError = h.IterationError;
  Sweep();
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

void SetSweepSchedule(SweepSchedule schedule) { gSchedule = schedule; }

void SolvePotentialExplicit(THeap& h) { PotentialSolution(h, false, false).Sweep(); }

void SolvePotentialImplicit(THeap& h) { PotentialSolution(h, true, false).Sweep(); }

void IteratePotential(THeap& h, bool implicit, bool generatorCoupling) {
  PotentialSolution(h, implicit, generatorCoupling).Iterate();
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
