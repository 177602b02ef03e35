// The potential solver: electrostatics against analytic profiles, iteration
// control and error measures, the sweep orders, the Jacobi variant, the
// implicit scheme's conduction and channel terms, and the fast sweep schedule
// against a plain cell-by-cell transcription.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "Engine.h"
#include "Potential.h"
#include "PotentialTestHeap.h"
#include "WorkerPool.h"
#include "korvane.h"

namespace {

using korvane::CellError;
using korvane::CellIndex;
using korvane::WrapOnce;
using potential_test::DefaultMaterial;
using potential_test::EngineRecord;
using potential_test::MaterialWith;

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// ---- a plain transcription of one sweep, cell after cell ------------------------
// Written apart from the engine's scheme classes on purpose: the engine's sweeps
// are checked against it bit for bit, so it must not share their code.

double RefSigma(const THeap& h, int c) { return h.Materials[h.MaterialOfCell[c]].Sigma; }

double RefLinkSigma(const THeap& h, int a, int b) {
  const double sa = RefSigma(h, a), sb = RefSigma(h, b);
  return sb > 0 ? sa * sb / (sa + sb) : 0.0;
}

int RefNode(const THeap& h, int c) {
  const double v = h.NodeOfCell[c];
  return (v >= 0 && v < h.Nodes.count) ? static_cast<int>(v) : -1;
}

void ReferenceSweep(THeap& h, bool implicit) {
  const int n1 = h.N1, n2 = h.N2, n3 = h.N3;
  const int k = h.SweepOrder;
  const bool back1 = !h.BSep && k >= 4;
  const bool back3 = !h.BSep && (k & 2) != 0;
  const bool back2 = !h.BSep && (k & 1) != 0;
  double* phi = h.Potential;
  double err = h.IterationError, low = h.PotentialMin, high = h.PotentialMax;
  const double volume = h.CellSize1 * h.CellSize2 * h.CellSize3;
  for (int p2 = 0; p2 < n2; ++p2) {
    const int i2 = back2 ? n2 - 1 - p2 : p2;
    for (int p3 = 0; p3 < n3; ++p3) {
      const int i3 = back3 ? n3 - 1 - p3 : p3;
      for (int p1 = 0; p1 < n1; ++p1) {
        const int i1 = back1 ? n1 - 1 - p1 : p1;
        const int c = CellIndex(h, i1, i2, i3);
        const double code = h.ElectrodeCodes[c];
        if (code != -1.0) {
          double v = phi[c];
          if (h.BSep) {
            const bool valid = code <= -2 && code >= -2.0 * h.ElectrodeCount - 1 && code == std::trunc(code);
            if (implicit && valid) v = h.CodePotentialBase[static_cast<int>(code)];
            h.PotentialNext[c] = v;
          }
          if (v < low) low = v;
          if (v > high) high = v;
          continue;
        }
        const int c1m = CellIndex(h, WrapOnce(i1 - 1, n1), i2, i3);
        const int c1p = CellIndex(h, WrapOnce(i1 + 1, n1), i2, i3);
        const int c3m = CellIndex(h, i1, i2, WrapOnce(i3 - 1, n3));
        const int c3p = CellIndex(h, i1, i2, WrapOnce(i3 + 1, n3));
        const bool inner = i2 > 0 && i2 < n2 - 1;
        const int c2m = inner ? CellIndex(h, i1, i2 - 1, i3) : c;
        const int c2p = inner ? CellIndex(h, i1, i2 + 1, i3) : c;
        double value;
        if (!implicit) {
          const double w1 = 2 / (h.CellSize1 * h.CellSize1), w2 = 2 / (h.CellSize2 * h.CellSize2),
                       w3 = 2 / (h.CellSize3 * h.CellSize3);
          double n = h.Charge[c] / h.Eps0 + w1 * (h.LinkEps1[c] * phi[c1p] + h.LinkEps1[c1m] * phi[c1m]) +
                     w3 * (h.LinkEps3[c] * phi[c3p] + h.LinkEps3[c3m] * phi[c3m]);
          double d = w1 * (h.LinkEps1[c] + h.LinkEps1[c1m]) + w3 * (h.LinkEps3[c] + h.LinkEps3[c3m]);
          if (inner) {
            n = n + w2 * (h.LinkEps2[c] * phi[c2p] + h.LinkEps2[c2m] * phi[c2m]);
            d = d + w2 * (h.LinkEps2[c] + h.LinkEps2[c2m]);
          }
          value = n / d;
        } else {
          const double cs[3] = {h.CellSize1, h.CellSize2, h.CellSize3};
          const double* le[3] = {h.LinkEps1, h.LinkEps2, h.LinkEps3};
          const int lower[3] = {c1m, c2m, c3m}, upper[3] = {c1p, c2p, c3p};
          double p = 0, q = 0;
          for (int axis : {0, 1, 2}) {
            if (axis == 1 && !inner) continue;
            const double a = 2 * h.Eps0 / (cs[axis] * cs[axis]);
            const double b = 2 * h.Dt / (cs[axis] * cs[axis]);
            const int lo = lower[axis], up = upper[axis];
            if (axis == 0) {
              p = a * (le[0][lo] + le[0][c]);
              q = h.Charge[c] + a * (le[0][lo] * phi[lo] + le[0][c] * phi[up]);
            } else {
              p += a * (le[axis][lo] + le[axis][c]);
              q += a * (le[axis][lo] * phi[lo] + le[axis][c] * phi[up]);
            }
            if (RefSigma(h, c) > 0) {
              const double sl = RefLinkSigma(h, c, lo), su = RefLinkSigma(h, c, up);
              p += b * (sl + su);
              q += b * (sl * phi[lo] + su * phi[up]);
            }
          }
          const int n = RefNode(h, c);
          if (n >= 0) {
            const TNode* nodes = h.Nodes.nodes;
            if (nodes[n].parent >= 0) {
              const double t = h.Dt * (nodes[n].invLength * nodes[n].g) / volume;
              p += t;
              q += t * phi[nodes[nodes[n].parent].cell];
            }
            std::set<int> seen;
            for (int d1 : {1, 0, -1})
              for (int d2 : {1, 0, -1})
                for (int d3 : {1, 0, -1}) {
                  if (d1 == 0 && d2 == 0 && d3 == 0) continue;
                  const int j2 = i2 + d2;
                  if (j2 < 0 || j2 >= n2) continue;
                  const int t = CellIndex(h, WrapOnce(i1 + d1, n1), j2, WrapOnce(i3 + d3, n3));
                  if (!seen.insert(t).second) continue;
                  const int m = RefNode(h, t);
                  if (m < 0 || nodes[m].parent != n) continue;
                  const double w = h.Dt * (nodes[m].invLength * nodes[m].g) / volume;
                  p += w;
                  q += w * phi[t];
                }
          }
          value = q / p;
        }
        const double old = phi[c];
        if (h.BSep)
          h.PotentialNext[c] = value;
        else
          phi[c] = value;
        const double e = CellError(h.DwType, old, value, h.PotentialRange);
        if (e > err || e != e) err = e;
        if (value < low) low = value;
        if (value > high) high = value;
      }
    }
  }
  h.IterationError = err;
  h.PotentialMin = low;
  h.PotentialMax = high;
  if (h.BSep)
    std::memcpy(h.Potential, h.PotentialNext, sizeof(double) * korvane::CellCount(h));
  else
    h.SweepOrder = (k + 1) % 8;
}

// ---- fixtures ---------------------------------------------------------------------

class PotentialSolve : public EngineRecord {
 protected:
  // Potential of the default set-up (planes at 2 and 1) for a converged lattice:
  // linear in i2, the same in every row.
  void ExpectLinearProfile(double tolerance) {
    THeap& r = h();
    for (int i2 = 0; i2 < r.N2; ++i2)
      for (int i3 = 0; i3 < r.N3; ++i3)
        for (int i1 = 0; i1 < r.N1; ++i1)
          ASSERT_NEAR(Phi(i1, i2, i3), 2.0 - static_cast<double>(i2) / (r.N2 - 1), tolerance)
              << i1 << "," << i2 << "," << i3;
  }
};

struct SchemeCase {
  const char* name;
  bool implicit;
  bool bsep;
};

TEST_F(PotentialSolve, UniformDielectricConvergesToLinearProfileInEveryScheme) {
  const SchemeCase cases[] = {
      {"explicit", false, false}, {"implicit", true, false}, {"explicit Jacobi", false, true}, {"implicit Jacobi", true, true}};
  for (const SchemeCase& s : cases) {
    SCOPED_TRACE(s.name);
    Prepare(5, 9, 4);
    h().BSep = s.bsep;
    const int iterations = Solve(s.implicit);
    EXPECT_LT(iterations, 100000);
    ExpectLinearProfile(1e-11);
    EXPECT_EQ(h().StepIterations, 0);
    EXPECT_EQ(h().Converged, 1);
    EXPECT_LE(h().IterationError, h().Dw);
    EXPECT_EQ(h().LastIterationError, h().IterationError);
  }
}

TEST_F(PotentialSolve, TwoDielectricsDropInverselyToTheirPermittivity) {
  // Lower half permittivity 2, upper half 8: flux continuity makes the field in
  // the lower half four times the field in the upper half.
  Prepare(3, 11, 3, {MaterialWith(2, 0), MaterialWith(8, 0)});
  THeap& r = h();
  for (int c = 0; c < korvane::CellCount(r); ++c) r.MaterialOfCell[c] = (c / (3 * 3)) >= 5 ? 1 : 0;
  THeapReset(&r);
  Solve(false);
  const double epsOf[2] = {2, 8};
  double flux = 0;
  for (int i2 = 0; i2 + 1 < r.N2; ++i2) {
    const double e1 = epsOf[i2 >= 5 ? 1 : 0], e2 = epsOf[i2 + 1 >= 5 ? 1 : 0];
    const double link = 2 * e1 * e2 / (e1 + e2);
    const double drop = Phi(1, i2, 1) - Phi(1, i2 + 1, 1);
    if (i2 == 0) flux = link * drop;
    EXPECT_NEAR(link * drop, flux, 1e-11) << "link " << i2;
  }
  const double lowerDrop = Phi(0, 1, 0) - Phi(0, 2, 0);
  const double upperDrop = Phi(0, 7, 0) - Phi(0, 8, 0);
  EXPECT_NEAR(lowerDrop / upperDrop, 4.0, 1e-9);
  // The drops add up to the applied voltage.
  EXPECT_NEAR(Phi(2, 0, 2) - Phi(2, 10, 2), 1.0, 1e-15);
}

TEST_F(PotentialSolve, JacobiAndGaussSeidelAgreeAtConvergence) {
  std::vector<double> gauss;
  for (bool bsep : {false, true}) {
    Prepare(4, 7, 5);
    THeap& r = h();
    r.Charge[Cell(1, 3, 2)] = 2e-5;
    r.Charge[Cell(3, 4, 0)] = -1e-5;
    r.BSep = bsep;
    Solve(true);
    std::vector<double> result(r.Potential, r.Potential + korvane::CellCount(r));
    if (!bsep) {
      gauss = result;
      continue;
    }
    for (std::size_t c = 0; c < result.size(); ++c) EXPECT_NEAR(result[c], gauss[c], 1e-11) << c;
  }
}

TEST_F(PotentialSolve, JacobiDoesNotDependOnTheStartingSweepOrder) {
  std::vector<double> first;
  for (int order : {0, 5}) {
    Prepare(4, 6, 3);
    THeap& r = h();
    r.Charge[Cell(2, 2, 1)] = 1e-3;
    r.BSep = 1;
    r.SweepOrder = order;
    r.MinNwItr = r.MaxNwItr = 7;
    Solve(false);
    EXPECT_EQ(r.SweepOrder, order);  // Jacobi leaves the counter alone
    std::vector<double> result(r.Potential, r.Potential + korvane::CellCount(r));
    if (first.empty())
      first = result;
    else
      for (std::size_t c = 0; c < first.size(); ++c) ASSERT_EQ(Bits(first[c]), Bits(result[c])) << c << " " << first[c] << " " << result[c];
  }
}

// ---- iteration control ------------------------------------------------------------

TEST_F(PotentialSolve, IterationLimits) {
  struct Case {
    const char* name;
    int minItr, maxItr;
    double dw;
    int expected;
  };
  const Case cases[] = {
      {"fixed count", 5, 5, 1e-13, 5},
      {"lower bound holds although the first sweep changes nothing", 8, 20000, 1e300, 8},
      {"lower bound above the upper one wins", 12, 3, 1e-13, 12},
      {"upper bound stops a solution that misses the bound", 1, 4, 0.0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(4, 6, 4);
    THeap& r = h();
    r.MinNwItr = c.minItr;
    r.MaxNwItr = c.maxItr;
    r.Dw = c.dw;
    const int before = r.TotalIterations;
    EXPECT_EQ(Solve(false), c.expected);
    EXPECT_EQ(r.TotalIterations - before, c.expected);
    EXPECT_EQ(r.StepIterations, 0);
    EXPECT_EQ(r.Converged, 1);
  }
}

TEST_F(PotentialSolve, StepIterationCountOfFixedCountSteps) {
  Prepare(4, 6, 4);
  THeap& r = h();
  r.MinNwItr = r.MaxNwItr = 3;
  THeapInitCalc(&r);
  // The preparation solves twice.
  EXPECT_EQ(r.TotalIterations, 6);
  for (int step = 1; step <= 3; ++step) {
    THeapGoTimeStep(&r);
    EXPECT_EQ(r.StepIterationCount, 3.0) << step;
    EXPECT_EQ(r.TotalIterations, 6 + 3 * step);
  }
}

TEST_F(PotentialSolve, FirstErrorsAndRangeOfTheFirstIteration) {
  Prepare(4, 6, 4);
  THeap& r = h();
  r.MinNwItr = r.MaxNwItr = 3;
  r.Converged = 0;
  korvane::IteratePotential(r, false, false);
  const double first = r.IterationError;
  EXPECT_EQ(r.FirstUpdateError, 0.0);  // no generator update
  EXPECT_EQ(r.FirstSweepError, first);
  EXPECT_EQ(r.StepIterations, 1);
  EXPECT_LE(r.PotentialMin, 1.0);
  EXPECT_EQ(r.PotentialMax, 2.0);
  const double span = r.PotentialMax - r.PotentialMin;
  korvane::IteratePotential(r, false, false);
  EXPECT_EQ(r.FirstSweepError, first);  // kept through the solution
  EXPECT_EQ(r.PotentialRange, span);
  EXPECT_NE(r.IterationError, first);
}

TEST_F(PotentialSolve, GeneratorUpdateErrorOpensTheFirstIteration) {
  // In the generator mode each iteration first moves the floating electrodes;
  // the error of that move is the first-update error, and the sweep can only
  // add to it.
  Prepare(4, 6, 4);
  THeap& r = h();
  r.GenU = 200000;
  r.MinNwItr = 8;
  r.Dw = 0.1;
  THeapReset(&r);
  ASSERT_EQ(r.VoltageMode, 2);
  THeapInitCalc(&r);
  for (int step = 0; step < 3; ++step) {
    THeapGoTimeStep(&r);
    EXPECT_GT(r.FirstUpdateError, 0.0) << step;
    EXPECT_GE(r.FirstSweepError, r.FirstUpdateError) << step;
    EXPECT_EQ(r.StepIterations, 0);
  }
}

TEST(CellErrorMeasure, ByType) {
  struct Case {
    int type;
    double oldValue, newValue, range, expected;
  };
  const Case cases[] = {
      {0, 0.0, 0.0, 1, 0.0},  {0, 0.0, 3.0, 1, 1.0},    {0, 2.0, 3.0, 1, 0.5}, {0, -2.0, -1.0, 1, 0.5},
      {7, 0.0, 5.0, 1, 1.0},  {1, 1.0, 3.0, 4, 0.5},    {1, 3.0, 1.0, -4, 0.5}, {2, 1.0, -2.0, 9, 3.0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CellError(c.type, c.oldValue, c.newValue, c.range), c.expected)
        << "type " << c.type << " " << c.oldValue << "->" << c.newValue;
}

TEST_F(PotentialSolve, RelativeToRangeErrorIsTheAbsoluteErrorOverTheRange) {
  // Potentials 4 and 0: the range of the previous iteration is 4.
  Prepare(4, 6, 4);
  THeap& r = h();
  const double pots[2] = {4, 0};
  THeapSetElectrodesPot(&r, pots, 2, 0);
  r.Converged = 0;
  korvane::IteratePotential(r, false, false);
  const std::vector<double> start(r.Potential, r.Potential + korvane::CellCount(r));
  const int order = r.SweepOrder;
  double errors[3];
  for (int type : {1, 2}) {
    std::memcpy(r.Potential, start.data(), start.size() * sizeof(double));
    r.SweepOrder = order;
    r.DwType = type;
    r.PotentialMin = 0;
    r.PotentialMax = 4;
    korvane::IteratePotential(r, false, false);
    EXPECT_EQ(r.PotentialRange, 4.0);
    errors[type] = r.IterationError;
  }
  EXPECT_GT(errors[2], 0.0);
  EXPECT_EQ(errors[1], errors[2] / 4);
}

TEST_F(PotentialSolve, PoisonedLatticeRunsToTheIterationLimit) {
  Prepare(4, 6, 4);
  THeap& r = h();
  r.Charge[Cell(1, 2, 1)] = std::numeric_limits<double>::quiet_NaN();
  r.MaxNwItr = 40;
  r.Dw = 1e300;
  EXPECT_EQ(Solve(false), 40);
  EXPECT_TRUE(std::isnan(r.LastIterationError));
}

TEST_F(PotentialSolve, CellWithoutLinksKeepsItsPotential) {
  // A cell all of whose links vanish has no equation and must not poison its
  // neighbours with 0/0.
  for (bool implicit : {false, true}) {
    SCOPED_TRACE(implicit ? "implicit" : "explicit");
    Prepare(4, 6, 4);
    THeap& r = h();
    const int isolated = Cell(1, 3, 2);
    for (double* link : {&r.LinkEps1[isolated], &r.LinkEps1[Cell(0, 3, 2)], &r.LinkEps2[isolated],
                         &r.LinkEps2[Cell(1, 2, 2)], &r.LinkEps3[isolated], &r.LinkEps3[Cell(1, 3, 1)]})
      *link = 0;
    r.Potential[isolated] = 0.3;
    Solve(implicit);
    EXPECT_EQ(r.Potential[isolated], 0.3);
    for (int c = 0; c < korvane::CellCount(r); ++c) ASSERT_TRUE(std::isfinite(r.Potential[c])) << c;
    EXPECT_LT(r.IterationError, r.Dw);
  }
}

// ---- sweep orders ----------------------------------------------------------------

// A lattice without any symmetry: materials, charges and potentials at random.
// The engine sweeps it on one thread and as a wavefront on several.
class SweepSchedule : public EngineRecord {
 protected:
  void TearDown() override {
    korvane::SetWorkerThreads(0);
    EngineRecord::TearDown();
  }
  static constexpr int kThreadCounts[] = {1, 3};

  void RandomSetUp(int n1, int n2, int n3, unsigned seed, bool conductive, bool withNodes, int materials = 3) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<TMaterial> table = {MaterialWith(3, conductive ? 2e-3 : 0), MaterialWith(7.5, 0),
                                    MaterialWith(1.5, conductive ? 5e-4 : 0)};
    while (static_cast<int>(table.size()) < materials)
      table.push_back(MaterialWith(1 + 9 * unit(random), conductive && random() % 2 ? 1e-3 * unit(random) : 0));
    Prepare(n1, n2, n3, table);
    THeap& r = h();
    const int cells = korvane::CellCount(r);
    for (int c = 0; c < cells; ++c) r.MaterialOfCell[c] = static_cast<int>(random() % materials);
    // A few electrode cells inside the lattice, among them an odd (root) code,
    // a code of a non-existent electrode and a fractional code.
    const double codes[] = {-3, -5, -2, -4, -9, -2.5};
    for (double code : codes) r.ElectrodeCodes[random() % cells] = code;
    THeapReset(&r);
    for (int c = 0; c < cells; ++c) {
      r.NodeOfCell[c] = -1;
      r.Charge[c] = (unit(random) - 0.5) * 1e-3;
      r.Potential[c] = 3 * unit(random) - 1;
    }
    r.Dt = 3e-9;
    if (withNodes) InstallRandomTree(random);
  }

  // A chain of channels from a root cell through free cells, with branches.
  void InstallRandomTree(std::mt19937& random) {
    THeap& r = h();
    std::vector<TNode> nodes;
    std::set<int> used;
    int x = r.N1 / 2, y = r.N2 / 2, z = r.N3 / 2;
    int cell = Cell(x, y, z);
    nodes.push_back(NodeAt(x, y, z, cell, -1, 1, 1));
    used.insert(cell);
    for (int n = 1; n < 40; ++n) {
      const int parent = static_cast<int>(random() % nodes.size());
      const TNode& p = nodes[parent];
      const int d1 = static_cast<int>(random() % 3) - 1, d2 = static_cast<int>(random() % 3) - 1,
                d3 = static_cast<int>(random() % 3) - 1;
      const int y2 = p.y + d2;
      if (y2 < 0 || y2 >= r.N2) continue;
      const int c = Cell(korvane::WrapModulo(p.x + d1, r.N1), y2, korvane::WrapModulo(p.z + d3, r.N3));
      if (!used.insert(c).second) continue;
      nodes.push_back(NodeAt(p.x + d1, y2, p.z + d3, c, parent, 1e-9 * (1 + n), 800.0 + n));
    }
    UseNodes(nodes);
  }

  struct Snapshot {
    std::vector<double> potential;
    double error, low, high;
    int order;
  };

  Snapshot Take() {
    THeap& r = h();
    return {std::vector<double>(r.Potential, r.Potential + korvane::CellCount(r)), r.IterationError,
            r.PotentialMin, r.PotentialMax, r.SweepOrder};
  }
  void Restore(const Snapshot& s) {
    THeap& r = h();
    std::memcpy(r.Potential, s.potential.data(), s.potential.size() * sizeof(double));
    r.IterationError = s.error;
    r.PotentialMin = s.low;
    r.PotentialMax = s.high;
    r.SweepOrder = s.order;
  }

  // Bit for bit, except that the payload of a NaN is not compared: which operand
  // of a sum of two NaNs passes its payload on is the compiler's choice.
  static std::uint64_t Canonical(double v) { return v != v ? 0x7ff8000000000000ULL : Bits(v); }

  void ExpectSameBits(const Snapshot& a, const Snapshot& b) {
    ASSERT_EQ(a.potential.size(), b.potential.size());
    for (std::size_t c = 0; c < a.potential.size(); ++c)
      ASSERT_EQ(Canonical(a.potential[c]), Canonical(b.potential[c])) << "cell " << c;
    EXPECT_EQ(Canonical(a.error), Canonical(b.error));
    EXPECT_EQ(Bits(a.low), Bits(b.low));
    EXPECT_EQ(Bits(a.high), Bits(b.high));
    EXPECT_EQ(a.order, b.order);
  }

  // One sweep of the engine and one of the plain cell order from the same state
  // must leave the same bits; the record goes on from the plain sweep's result.
  void ExpectSweepMatchesReference(bool implicit) {
    THeap& r = h();
    const Snapshot start = Take();
    if (implicit)
      korvane::SolvePotentialImplicit(r);
    else
      korvane::SolvePotentialExplicit(r);
    const Snapshot fast = Take();
    Restore(start);
    ReferenceSweep(r, implicit);
    ExpectSameBits(fast, Take());
  }

  // Eight sweeps in a row, which cover every order, each from fresh totals.
  void ExpectEightSweepsMatchReference(bool implicit) {
    THeap& r = h();
    for (int sweep = 0; sweep < 8; ++sweep) {
      r.IterationError = 0;
      r.PotentialMin = 1e300;
      r.PotentialMax = -1e300;
      ExpectSweepMatchesReference(implicit);
      if (HasFatalFailure()) return;
    }
  }
};

TEST_F(SweepSchedule, FastSweepMatchesThePlainCellOrderBitForBit) {
  struct Shape {
    int n1, n2, n3;
  };
  // {70, 3, 61} has a single inner plane, which the pipeline leaves alone; the
  // last two have rows enough for a band per thread, and a tree-less implicit
  // lattice goes in bands too.
  const Shape shapes[] = {{7, 6, 9}, {5, 5, 4}, {1, 6, 5},  {2, 5, 2},  {3, 4, 3},
                          {6, 3, 1}, {4, 1, 6}, {9, 2, 7}, {70, 3, 61}, {9, 8, 31}};
  struct Scheme {
    bool implicit, withNodes;
    const char* name;
  };
  const Scheme schemes[] = {
      {false, false, " explicit"}, {true, true, " implicit"}, {true, false, " implicit, no tree"}};
  unsigned seed = 1;
  for (int threads : kThreadCounts) {
    korvane::SetWorkerThreads(threads);
    for (const Shape& s : shapes) {
      for (const Scheme& scheme : schemes) {
        const bool implicit = scheme.implicit;
        for (bool bsep : {false, true}) {
          for (int dwType : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << s.n1 << "x" << s.n2 << "x" << s.n3 << scheme.name
                                            << (bsep ? " Jacobi" : "") << " error type " << dwType << ", "
                                            << threads << " thread(s)");
            RandomSetUp(s.n1, s.n2, s.n3, ++seed, implicit, scheme.withNodes);
            THeap& r = h();
            r.BSep = bsep;
            r.DwType = dwType;
            r.PotentialRange = 2.5;
            r.SweepOrder = static_cast<int>(seed % 8);
            ExpectEightSweepsMatchReference(implicit);
            if (HasFatalFailure()) return;
            DropNodes();
          }
        }
      }
    }
  }
}

TEST_F(SweepSchedule, SignedZerosAndNaNErrorsMatchThePlainCellOrder) {
  // Where the extremes are zeros of both signs, the first one in sweep order
  // gives the sign; where errors are not numbers, the last one stands. Both
  // depend on the order in which cells are taken.
  struct Case {
    const char* name;
    double fixedLow, fixedHigh;  // values of scattered fixed cells
    bool poison;                 // NaN charges in some free cells
    double freeStart;            // where the free cells start
    double charge;               // of every cell
  };
  // Negative zeros everywhere: a cell's sum of neighbour terms is -0, and only
  // the charge term decides the sign of the new potential (+0 without charge,
  // -0 with a charge of -0).
  const Case cases[] = {
      {"zero minimum", -0.0, 1.0, false, 0.0, 0.0},
      {"zero maximum", -0.0, -1.0, false, 0.0, 0.0},
      {"all zeros", -0.0, 0.0, false, 0.0, 0.0},
      {"negative zeros everywhere", -0.0, -0.0, false, -0.0, 0.0},
      {"negative zeros and charges of -0", -0.0, -0.0, false, -0.0, -0.0},
      {"errors not a number", -0.0, 1.0, true, 0.0, 0.0},
  };
  // The deeper lattice has rows enough for a band per thread.
  for (int n3 : {5, 30})
    for (int threads : kThreadCounts)
      for (const Case& k : cases)
        for (bool implicit : {false, true})
          for (int dwType : {1, 2}) {
            SCOPED_TRACE(testing::Message() << k.name << (implicit ? " implicit" : " explicit") << " type " << dwType
                                            << ", 7x6x" << n3 << " on " << threads << " thread(s)");
            korvane::SetWorkerThreads(threads);
            Prepare(7, 6, n3);
            THeap& r = h();
            std::mt19937 random(5);
            const int cells = korvane::CellCount(r);
            for (int c = 0; c < cells; ++c) {
              r.Potential[c] = k.freeStart;
              r.Charge[c] = k.charge;
              if (random() % 4 == 0) {
                r.ElectrodeCodes[c] = -9;  // fixed, keeps its value
                r.Potential[c] = random() % 2 ? k.fixedLow : k.fixedHigh;
              }
            }
            if (k.poison) {
              const double poisons[] = {std::nan("1"), -std::nan("2"), std::nan("3")};
              for (double v : poisons) {
                int c;
                do c = static_cast<int>(random() % cells);
                while (r.ElectrodeCodes[c] != -1.0);
                r.Charge[c] = v;
              }
            }
            r.DwType = dwType;
            r.PotentialRange = 3.0;
            ExpectEightSweepsMatchReference(implicit);
            if (HasFatalFailure()) return;
          }
}

TEST_F(SweepSchedule, ChannelsAcrossPlanesMatchThePlainCellOrder) {
  // Channels rising plane to plane straight, and leaning forward or back along
  // axis 3 (also across its wrap), by one row or by two: the pipeline may keep
  // two planes joined by a channel side by side, and the wavefront one row
  // apart, only where the plain order's values are still seen.
  struct Lean {
    const char* name;
    int d3;
  };
  const Lean leans[] = {{"straight", 0}, {"forward", 1}, {"back", -1}, {"two rows forward", 2}};
  for (int threads : kThreadCounts)
    for (const Lean& lean : leans) {
      for (int start3 : {0, 3, 6}) {
        SCOPED_TRACE(testing::Message() << lean.name << " from row " << start3 << ", " << threads << " thread(s)");
        korvane::SetWorkerThreads(threads);
        RandomSetUp(6, 8, 7, 40 + start3, true, false);
        THeap& r = h();
        std::vector<TNode> nodes;
        int z = start3;
        for (int y = 1; y < r.N2 - 1; ++y, z += lean.d3) {
          const int wrapped = korvane::WrapModulo(z, r.N3);
          nodes.push_back(NodeAt(2, y, z, Cell(2, y, wrapped), y == 1 ? -1 : y - 2, 1e-9 * y, 900.0 + y));
        }
        UseNodes(nodes);
        ExpectEightSweepsMatchReference(true);
        if (HasFatalFailure()) return;
        DropNodes();
      }
    }
}

TEST_F(SweepSchedule, ManyConductingMaterialsMatchThePlainCellOrder) {
  // More materials than the sweep tabulates: the conductivities come per cell.
  for (int materials : {3, 100}) {
    SCOPED_TRACE(materials);
    RandomSetUp(6, 5, 7, 11, true, false, materials);
    for (int sweep = 0; sweep < 3; ++sweep) ExpectSweepMatchesReference(true);
  }
}

TEST_F(SweepSchedule, MirroredLatticeSweptInTheMirroredOrderGivesMirroredPotentials) {
  // Reversing an axis of the set-up and of the sweep direction must give the
  // reversed result exactly: a check of each axis's direction bit.
  const int n1 = 5, n2 = 6, n3 = 4;
  struct Axis {
    const char* name;
    int flip;  // sweep-order bit of the axis
  };
  const Axis axes[] = {{"axis 1", 4}, {"axis 2", 1}, {"axis 3", 2}};
  for (const Axis& axis : axes) {
    for (int order = 0; order < 8; ++order) {
      SCOPED_TRACE(testing::Message() << axis.name << " order " << order);
      RandomSetUp(n1, n2, n3, 77, false, false);
      THeap& r = h();
      const int cells = korvane::CellCount(r);
      auto mirror = [&](int c) {
        int i1 = c % n1, i3 = (c / n1) % n3, i2 = c / (n1 * n3);
        if (axis.flip == 4) i1 = n1 - 1 - i1;
        if (axis.flip == 1) i2 = n2 - 1 - i2;
        if (axis.flip == 2) i3 = n3 - 1 - i3;
        return CellIndex(r, i1, i2, i3);
      };
      std::vector<int> material(r.MaterialOfCell, r.MaterialOfCell + cells);
      std::vector<double> charge(r.Charge, r.Charge + cells), phi(r.Potential, r.Potential + cells),
          codes(r.ElectrodeCodes, r.ElectrodeCodes + cells);
      r.SweepOrder = order;
      korvane::SolvePotentialExplicit(r);
      const std::vector<double> straight(r.Potential, r.Potential + cells);
      // The same set-up reflected.
      for (int c = 0; c < cells; ++c) {
        r.MaterialOfCell[mirror(c)] = material[c];
        r.ElectrodeCodes[mirror(c)] = codes[c];
      }
      THeapReset(&r);
      for (int c = 0; c < cells; ++c) {
        r.Charge[mirror(c)] = charge[c];
        r.Potential[mirror(c)] = phi[c];
      }
      r.SweepOrder = order ^ axis.flip;
      korvane::SolvePotentialExplicit(r);
      for (int c = 0; c < cells; ++c) ASSERT_EQ(Bits(r.Potential[mirror(c)]), Bits(straight[c])) << "cell " << c;
    }
  }
}

TEST_F(SweepSchedule, EightSuccessiveSweepsUseEveryOrderOnce) {
  RandomSetUp(4, 5, 4, 3, false, false);
  THeap& r = h();
  r.SweepOrder = 6;
  std::vector<int> seen;
  for (int sweep = 0; sweep < 8; ++sweep) {
    seen.push_back(r.SweepOrder);
    korvane::SolvePotentialExplicit(r);
  }
  EXPECT_EQ(seen, (std::vector<int>{6, 7, 0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(r.SweepOrder, 6);
}

// ---- the implicit scheme ----------------------------------------------------------

class ImplicitScheme : public EngineRecord {};

TEST_F(ImplicitScheme, InsulatingCellNextToConductorGetsNoConductionTerm) {
  // An insulating cell between conducting ones solves the same equation as in
  // the explicit scheme; a conducting one does not.
  Prepare(5, 7, 5, {MaterialWith(5, 1e-2), MaterialWith(5, 0)});
  THeap& r = h();
  const int insulator = Cell(2, 3, 2);
  const int conductor = Cell(2, 4, 2);
  r.MaterialOfCell[insulator] = 1;
  THeapReset(&r);
  r.Dt = 1e-9;
  for (int c = 0; c < korvane::CellCount(r); ++c)
    if (r.ElectrodeCodes[c] == -1.0) r.Potential[c] = 1.5 + 0.1 * std::sin(c);
  // Jacobi, so that both schemes see the same neighbour values.
  r.BSep = 1;
  const std::vector<double> start(r.Potential, r.Potential + korvane::CellCount(r));
  korvane::SolvePotentialExplicit(r);
  const double explicitInsulator = r.Potential[insulator], explicitConductor = r.Potential[conductor];
  std::memcpy(r.Potential, start.data(), start.size() * sizeof(double));
  korvane::SolvePotentialImplicit(r);
  EXPECT_NEAR(r.Potential[insulator], explicitInsulator, 1e-13);
  EXPECT_GT(std::fabs(r.Potential[conductor] - explicitConductor), 1e-6);
}

TEST_F(ImplicitScheme, ChannelAcrossThePeriodicBoundaryCouplesLikeAnInteriorOne) {
  // A strongly conducting channel joins two free cells. The set-up with the pair
  // inside the lattice, moved by three cells along axis 1, puts the pair across
  // the seam; the solution must move with it.
  auto solve = [&](int shift, bool channel) {
    Prepare(6, 7, 5);
    THeap& r = h();
    r.Dt = 1e-9;
    r.Charge[Cell(WrapOnce(1 + shift, 6), 2, 2)] = 5e-5;
    const int x = 2 + shift;
    const int a = Cell(WrapOnce(x, 6), 3, 2), b = Cell(WrapOnce(x + 1, 6), 3, 2);
    if (channel) UseNodes({NodeAt(x, 3, 2, a, -1, 1, 1), NodeAt(x + 1, 3, 2, b, 0, 1e-6, 1000)});
    Solve(true);
    std::vector<double> phi(r.Potential, r.Potential + korvane::CellCount(r));
    DropNodes();
    return std::make_pair(phi, std::fabs(phi[a] - phi[b]));
  };
  const auto inside = solve(0, true);
  const auto across = solve(3, true);
  const auto without = solve(0, false);
  for (int i2 = 0; i2 < 7; ++i2)
    for (int i3 = 0; i3 < 5; ++i3)
      for (int i1 = 0; i1 < 6; ++i1)
        EXPECT_NEAR(across.first[Cell(WrapOnce(i1 + 3, 6), i2, i3)], inside.first[Cell(i1, i2, i3)], 1e-11);
  EXPECT_NEAR(across.second, inside.second, 1e-11);
  EXPECT_LT(inside.second, 0.5 * without.second);
}

TEST_F(ImplicitScheme, ChildOnANarrowLatticeIsCountedOnce) {
  // Two cells across axis 1 and one row along axis 3: six of the 26 offsets
  // reach the child's cell. Its channel enters the parent's equation once.
  Prepare(2, 3, 1);
  THeap& r = h();
  r.Dt = 1e-9;
  const int a = Cell(0, 1, 0), b = Cell(1, 1, 0), below = Cell(0, 0, 0);
  r.Potential[a] = 0;
  r.Potential[b] = 0.5;
  const double g = 1e-9, inv = 1000;
  UseNodes({NodeAt(0, 0, 0, below, -1, 1, 1), NodeAt(0, 1, 0, a, 0, g, inv), NodeAt(1, 1, 0, b, 1, g, inv)});
  r.SweepOrder = 0;
  korvane::SolvePotentialImplicit(r);
  const double volume = 1e-9;
  const double t = r.Dt * (inv * g) / volume;
  const double a1 = 2 * r.Eps0 / 1e-6;
  // Uniform permittivity 5: every link is 5/2.
  const double le = 2.5;
  double p = a1 * (le + le) + a1 * (le + le) + a1 * (le + le) + t + t;
  double q = 0 + a1 * (le * 0.5 + le * 0.5) + a1 * (le * 2 + le * 1) + a1 * (le * 0 + le * 0) + t * 2 + t * 0.5;
  EXPECT_NEAR(r.Potential[a], q / p, 1e-12);
}

TEST_F(ImplicitScheme, JacobiPutsEveryElectrodeCellAtItsAppliedPotential) {
  Prepare(4, 6, 4);
  THeap& r = h();
  const double pots[3] = {2, 1, 1.5};
  THeapSetElectrodesPot(&r, pots, 3, 0);
  const int third = Cell(1, 2, 1), invalid = Cell(2, 3, 2);
  r.ElectrodeCodes[third] = -6;    // electrode 2: fixed, outside the electrode cell list
  r.ElectrodeCodes[invalid] = -11;  // electrode 4 does not exist
  THeapReset(&r);
  r.Potential[third] = 0.25;
  r.Potential[invalid] = 0.75;
  r.BSep = 1;
  korvane::SolvePotentialImplicit(r);
  EXPECT_EQ(r.Potential[third], 1.5);
  EXPECT_EQ(r.Potential[invalid], 0.75);
  EXPECT_EQ(Phi(0, 0, 0), 2.0);
  EXPECT_EQ(Phi(3, 5, 3), 1.0);
}

// ---- field components ------------------------------------------------------------

TEST_F(PotentialSolve, FieldComponentsOfAKnownPotential) {
  Prepare(4, 5, 3);
  THeap& r = h();
  r.CellSize1 = 0.5;
  r.CellSize2 = 0.25;
  r.CellSize3 = 2;
  auto phi = [](int i1, int i2, int i3) { return 1.0 * i1 + 3.0 * i2 * i2 - 2.0 * i3; };
  for (int i2 = 0; i2 < 5; ++i2)
    for (int i3 = 0; i3 < 3; ++i3)
      for (int i1 = 0; i1 < 4; ++i1) Phi(i1, i2, i3) = phi(i1, i2, i3);
  korvane::ComputeFieldComponents(r);
  for (int i2 = 0; i2 < 5; ++i2)
    for (int i3 = 0; i3 < 3; ++i3)
      for (int i1 = 0; i1 < 4; ++i1) {
        const int c = Cell(i1, i2, i3);
        const double fx = (phi(WrapOnce(i1 - 1, 4), i2, i3) - phi(i1, i2, i3)) / 0.5;
        const double fy = i2 > 0 ? (phi(i1, i2 - 1, i3) - phi(i1, i2, i3)) / 0.25 : (phi(i1, 0, i3) - phi(i1, 1, i3)) / 0.25;
        const double fz = (phi(i1, i2, WrapOnce(i3 - 1, 3)) - phi(i1, i2, i3)) / 2;
        EXPECT_EQ(r.FieldX[c], fx);
        EXPECT_EQ(r.FieldY[c], fy);
        EXPECT_EQ(r.FieldZ[c], fz);
        EXPECT_EQ(r.FieldAbs[c], std::sqrt(fx * fx + fy * fy + fz * fz));
      }
  // Inside the lattice: -grad phi.
  EXPECT_EQ(r.FieldX[Cell(2, 2, 1)], -2.0);
  EXPECT_EQ(r.FieldZ[Cell(2, 2, 1)], 1.0);
  EXPECT_EQ(r.FieldY[Cell(2, 0, 1)], -12.0);  // the bottom plane takes the link above
}

TEST_F(PotentialSolve, FieldOfASinglePlaneLattice) {
  Prepare(3, 1, 3);
  THeap& r = h();
  korvane::ComputeFieldComponents(r);
  for (int c = 0; c < 9; ++c) EXPECT_EQ(r.FieldY[c], 0.0);
}

}  // namespace
