// Whole runs on several threads against the same runs on one: after the
// preparation and after every step every lattice array that a step writes, the
// node list and the circuit's and the currents' figures must hold the same
// bytes, whatever the number of threads (also more than the lattice has
// planes). The thread sanitizer pass of the test script runs this suite too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "Engine.h"
#include "SmallRecord.h"
#include "WorkerPool.h"
#include "korvane.h"

namespace {

using korvane::CellCount;
using korvane::CellIndex;
using korvane_test::HeapPtr;

// FNV-1a over the 64-bit words of an array: a run is compared stage by stage
// without keeping every stage's arrays.
std::uint64_t Digest(const void* data, std::size_t bytes) {
  std::uint64_t d = 1469598103934665603ULL;
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    d = (d ^ word) * 1099511628211ULL;
  }
  for (std::size_t i = bytes / 8 * 8; i < bytes; ++i) d = (d ^ p[i]) * 1099511628211ULL;
  return d;
}

struct Stage {
  std::uint64_t potential, charge, nodeOfCell, nodes, fields, currents, figures;
  bool operator==(const Stage&) const = default;
};

// The link fields, the displacement currents and the conduction currents.
std::uint64_t FieldsDigest(const THeap& h, std::initializer_list<const double*> arrays) {
  const std::size_t cells = static_cast<std::size_t>(CellCount(h)) * sizeof(double);
  std::uint64_t d = 0;
  for (const double* a : arrays) d = d * 31 + Digest(a, cells);
  return d;
}

// The figures of a step that come from sums and extremes over the lattice.
std::uint64_t FiguresDigest(const THeap& h) {
  std::vector<double> v = {h.IterationError, h.PotentialMin, h.PotentialMax, h.FieldAbsMin, h.FieldAbsMax,
                           h.EcMin, h.EcMax, h.ChargeMin, h.ChargeMax, h.MeanCurrent, h.PositiveCurrent,
                           h.NegativeCurrent, h.BoundaryDispCurrent, h.GapU, h.GapI, h.GapC, h.Time,
                           static_cast<double>(h.TotalIterations)};
  for (int e = 0; e < h.ElectrodeCount; ++e)
    v.insert(v.end(), {h.ElectrodeCharges[e], h.ElectrodeFluxCharges[e], h.ElectrodeCurrents[e],
                       h.ElectrodeDispCurrents[e], h.CodePotentialBase[-2 - 2 * e]});
  return Digest(v.data(), v.size() * sizeof(double));
}

Stage Take(const THeap& h) {
  const std::size_t cells = static_cast<std::size_t>(CellCount(h)) * sizeof(double);
  return {Digest(h.Potential, cells),
          Digest(h.Charge, cells),
          Digest(h.NodeOfCell, cells),
          Digest(h.Nodes.nodes, sizeof(TNode) * static_cast<std::size_t>(h.Nodes.count)),
          FieldsDigest(h, {h.FieldX, h.FieldY, h.FieldZ, h.FieldAbs}),
          FieldsDigest(h, {h.DispCurrentX, h.DispCurrentY, h.DispCurrentZ, h.DispCurrentAbs, h.CurrentX, h.CurrentY,
                           h.CurrentZ}),
          FiguresDigest(h)};
}

constexpr int kStepLimit = 1000;
constexpr int kGeneratorSteps = 30;
constexpr Stage kBreakdown = {0, 0, 0, 1, 0, 0, 0};  // marks a run that reached breakdown

enum class Drive {
  ConstantVoltage,  // to breakdown
  Generator,        // the default circuit, its first steps
};

struct Shape {
  int n1, n2, n3;
  Drive drive;
  std::vector<int> threads;  // compared with one thread
};

// A needle that reaches half way across the gap, beside a conducting ball of
// higher permittivity, under a slab of weaker dielectric (lower critical
// field). At constant voltage the solver bounds are loose, so that the run
// reaches breakdown in about a hundred steps; the generator drives the floating
// electrodes through the coupling sums in every iteration, explicitly in the
// preparation and implicitly in the steps.
HeapPtr Model(const Shape& s) {
  HeapPtr h(THeapNew());
  if (!h) return h;
  THeap& r = *h;
  THeapSetLatticeSize(&r, s.n1, s.n2, s.n3);
  TMaterial* table = TMaterialNew(3);
  std::memcpy(&table[0], &r.Materials[0], sizeof(TMaterial));
  table[1] = table[0];
  table[1].Eps = 12;
  table[1].InvEps = 1 / 12.0;
  table[1].Sigma = 1e-4;
  table[2] = table[0];
  table[2].Eps = 3;
  table[2].InvEps = 1 / 3.0;
  table[2].Ec = 1.2e7;
  TMaterialDelete(r.Materials);
  r.Materials = table;
  r.MaterialCount = 3;
  const int c1 = s.n1 / 2, c3 = s.n3 / 2, radius = s.n1 / 5;
  for (int i2 = 1; i2 < s.n2 - 1; ++i2)
    for (int i3 = 0; i3 < s.n3; ++i3)
      for (int i1 = 0; i1 < s.n1; ++i1) {
        const int d1 = i1 - s.n1 / 4, d2 = i2 - s.n2 / 2, d3 = i3 - c3;
        int& m = r.MaterialOfCell[CellIndex(r, i1, i2, i3)];
        if (d1 * d1 + d2 * d2 + d3 * d3 <= radius * radius) m = 1;
        if (i2 > s.n2 / 3 && i2 < s.n2 / 2 && i1 > c1) m = 2;
      }
  for (int i2 = 1; i2 <= s.n2 / 2; ++i2) r.ElectrodeCodes[CellIndex(r, c1, i2, c3)] = -3.0;
  if (s.drive == Drive::Generator) {
    r.Dw0 = 1e-5;
    r.MinNwItr = 4;
    r.MaxNwItr = 40;
    return h;
  }
  r.GenU = 0;
  const double pots[2] = {2e5, 0};
  THeapSetElectrodesPot(&r, pots, 2, 0);
  r.Dw0 = 1e-5;
  r.Dw = 100;
  r.MinNwItr = 4;
  r.MaxNwItr = 12;
  return h;
}

// The stages of one run on the given number of threads.
std::vector<Stage> RunStages(const Shape& s, int threads) {
  korvane::SetWorkerThreads(threads);
  KorvaneSetRandomSeed(1, 2024);
  std::vector<Stage> stages;
  HeapPtr h = Model(s);
  if (!h) return stages;
  THeap& r = *h;
  THeapReset(&r);
  THeapInitCalc(&r);
  stages.push_back(Take(r));
  const int steps = s.drive == Drive::Generator ? kGeneratorSteps : kStepLimit;
  for (int step = 0; step < steps && !r.Flags; ++step) {
    THeapGoTimeStep(&r);
    stages.push_back(Take(r));
  }
  if (r.Flags) stages.push_back(kBreakdown);
  return stages;
}

class SweepThreads : public ::testing::Test {
 protected:
  void TearDown() override {
    korvane::SetWorkerThreads(0);
    KorvaneSetRandomSeed(0, 0);
  }
};

TEST_F(SweepThreads, WholeRunsMatchTheSingleThreadRunByteForByte) {
  // More threads than the small lattice has planes; on the large one the
  // counts that divide its planes evenly and unevenly.
  const Shape shapes[] = {{25, 26, 25, Drive::ConstantVoltage, {2, 3, 8, 30}},
                          {51, 51, 51, Drive::ConstantVoltage, {3, 8}},
                          {25, 26, 25, Drive::Generator, {2, 3, 8}}};
  for (const Shape& s : shapes) {
    const std::vector<Stage> one = RunStages(s, 1);
    ASSERT_FALSE(one.empty());
    if (s.drive == Drive::ConstantVoltage) {
      EXPECT_EQ(one.back(), kBreakdown) << "the run should reach breakdown";
    }
    for (int threads : s.threads) {
      SCOPED_TRACE(testing::Message() << s.n1 << "x" << s.n2 << "x" << s.n3
                                      << (s.drive == Drive::Generator ? " with the generator" : "") << " on "
                                      << threads << " threads");
      const std::vector<Stage> many = RunStages(s, threads);
      ASSERT_EQ(many.size(), one.size());
      for (std::size_t k = 0; k < one.size(); ++k) {
        const std::string where = k == 0 ? "after the preparation" : "after step " + std::to_string(k);
        EXPECT_EQ(many[k].potential, one[k].potential) << "potential " << where;
        EXPECT_EQ(many[k].charge, one[k].charge) << "charge " << where;
        EXPECT_EQ(many[k].nodeOfCell, one[k].nodeOfCell) << "node cells " << where;
        EXPECT_EQ(many[k].fields, one[k].fields) << "fields " << where;
        EXPECT_EQ(many[k].currents, one[k].currents) << "currents " << where;
        EXPECT_EQ(many[k].figures, one[k].figures) << "circuit and current figures " << where;
        ASSERT_EQ(many[k].nodes, one[k].nodes) << "node list " << where;
      }
    }
  }
}

// A set count is a most: a lattice too small to keep the threads busy runs on
// fewer, down to one for the default project's 25 x 26 x 25 cells, where more
// threads would only wait for each other.
TEST_F(SweepThreads, SetCountIsAMostThatTheWorkLimits) {
  struct Case {
    int most, n1, n2, n3, threads;
  };
  const Case cases[] = {{8, 25, 26, 25, 1}, {64, 25, 26, 25, 1}, {1, 101, 101, 101, 1},
                        {8, 101, 101, 101, 8}, {8, 51, 51, 51, 8}, {8, 101, 3, 101, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(korvane::ThreadsForWork(c.most, c.n2, c.n1 * c.n2 * c.n3), c.threads)
        << c.n1 << "x" << c.n2 << "x" << c.n3 << " with at most " << c.most;
}

// The default count follows the clock on a machine that others share: on a
// machine where more threads sweep slower it comes down to one thread, and
// once more threads pay again it goes back to all of them. A forced count
// never changes.
TEST_F(SweepThreads, DefaultCountFollowsTheFasterCount) {
  if (std::getenv("KORVANE_THREADS")) GTEST_SKIP() << "KORVANE_THREADS sets the most";
  constexpr int kPlanes = 101, kCells = 101 * 101 * 101;
  const int base = korvane::WorkerThreadsFor(kPlanes, kCells);
  if (base < 2) GTEST_SKIP() << "one processor only";
  // Sweeps on the counts the engine asks for, each taking the time per cell
  // that the machine gives for the count; returns the count most of the last
  // 64 sweeps ran on (trials take a few of them).
  auto settle = [&](double (*secondsPerCell)(int), int sweeps) {
    std::vector<int> last;
    for (int k = 0; k < sweeps; ++k) {
      const int threads = korvane::WorkerThreadsFor(kPlanes, kCells);
      korvane::NoteSweepTime(threads, kCells, secondsPerCell(threads) * kCells);
      if (k >= sweeps - 64) last.push_back(threads);
    }
    int best = 0, most = 0;
    for (int t : last) {
      const int n = static_cast<int>(std::count(last.begin(), last.end(), t));
      if (n > most) best = t, most = n;
    }
    return best;
  };
  auto busy = [](int threads) { return 1e-9 * threads; };
  auto calm = [](int threads) { return 1e-9 / threads; };
  EXPECT_EQ(settle(calm, 256), base) << "a calm machine keeps every thread";
  EXPECT_EQ(settle(busy, 512), 1) << "a busy machine sweeps faster on one";
  EXPECT_EQ(settle(calm, 1024), base) << "the threads come back once they pay";

  korvane::SetWorkerThreads(3);
  for (int k = 0; k < 256; ++k) korvane::NoteSweepTime(3, kCells, 1.0);
  EXPECT_EQ(korvane::WorkerThreadsFor(kPlanes, kCells), 3);
}

}  // namespace
