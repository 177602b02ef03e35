// Reset, preparation and one time step: bookkeeping, voltage modes and the
// step-size ladder, and the rebuild of a restored state.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "Allocator.h"
#include "Engine.h"
#include "TimeStepping.h"
#include "SmallRecord.h"
#include "korvane.h"

namespace {

using korvane::CellCount;
using korvane::CellIndex;

using korvane_test::HeapPtr;

class RunControl : public korvane_test::SmallRecord {
 protected:
  void SetUp() override {
    KorvaneSetRandomSeed(1, 2024);
    SmallRecord::SetUp();
  }
  void TearDown() override { KorvaneSetRandomSeed(0, 0); }
  void Prepare() {
    THeapReset(heap.get());
    THeapInitCalc(heap.get());
  }
};

TEST_F(RunControl, VoltageModeFollowsRiseTimeAndGenerator) {
  struct Case {
    double tau, genU;
    int mode;
  };
  const Case cases[] = {{0, 200000, 2}, {1e-8, 200000, 1}, {1e-8, 0, 1}, {0, 0, 0}, {-1e-9, 0, 1}};
  for (const Case& c : cases) {
    h().Tau = c.tau;
    h().GenU = c.genU;
    THeapReset(heap.get());
    EXPECT_EQ(h().VoltageMode, c.mode) << c.tau << ", " << c.genU;
  }
}

TEST_F(RunControl, VoltageFactorByMode) {
  h().Tau = 2e-9;
  h().VoltageMode = 1;
  EXPECT_DOUBLE_EQ(korvane::VoltageFactor(h(), 3e-9), 1.0 - std::exp(-1.5));
  EXPECT_EQ(korvane::VoltageFactor(h(), 0.0), 0.0);
  // The rise time can be cleared after the mode was chosen: no rise then.
  h().Tau = 0;
  EXPECT_EQ(korvane::VoltageFactor(h(), 0.0), 1.0);
  h().VoltageMode = 0;
  EXPECT_EQ(korvane::VoltageFactor(h(), 5e-9), 1.0);
  h().VoltageMode = 7;
  EXPECT_EQ(korvane::VoltageFactor(h(), 5e-9), 1.0);
  h().VoltageMode = 2;
  EXPECT_EQ(korvane::VoltageFactor(h(), 0.0), 0.0);  // no circuit step at time 0
}

TEST_F(RunControl, ArrayExtremesCoverTheLatticeOnly) {
  for (int c = 0; c < CellCount(h()); ++c) h().ChargeInit[c] = 3;
  h().ChargeInit[Cell(5, 6, 4)] = 9;
  h().ChargeInit[Cell(0, 3, 0)] = -1;
  h().ChargeInit[CellCount(h())] = 100;  // beyond the lattice
  double lo = 0, hi = 0;
  korvane::ArrayMinMax(h(), h().ChargeInit, lo, hi);
  EXPECT_EQ(lo, -1.0);
  EXPECT_EQ(hi, 9.0);
}

TEST_F(RunControl, ResetReturnsToTimeZeroWithTheRootsOnly) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  h().GenU = 0;
  const double pots[2] = {1e9, 0};  // far above the critical field: growth at once
  THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
  Prepare();
  for (int s = 0; s < 3; ++s) THeapGoTimeStep(heap.get());
  ASSERT_GT(h().Nodes.count, 1);
  ASSERT_NE(h().Dt, h().DtInit);
  THeapReset(heap.get());
  EXPECT_EQ(h().Time, 0.0);
  EXPECT_EQ(h().Dt, h().DtInit);
  EXPECT_EQ(h().StepCount, 0);
  EXPECT_EQ(h().TotalIterations, 0);
  EXPECT_EQ(h().PostStepIterations, 0);
  EXPECT_EQ(h().StepIterations, 0);
  EXPECT_EQ(h().IterationsAtLastStep, 0.0);
  EXPECT_EQ(h().StepIterationCount, 0.0);
  EXPECT_EQ(h().TimeFirstGrowth, 0.0);
  EXPECT_EQ(h().TimeBreakdown, 0.0);
  EXPECT_EQ(h().Nodes.count, 1);
  EXPECT_EQ(h().Flags, 0);
  EXPECT_EQ(h().GrowthFlag, 0);
  EXPECT_EQ(h().ChannelLength, 0.0);
  EXPECT_EQ(h().ElementCount, 0.0);
  EXPECT_EQ(h().MaxChannelCurrent, 0.0);
  EXPECT_EQ(h().MeanCurrent, 0.0);
  EXPECT_EQ(h().ElectrodeCharges[0], 0.0);
  EXPECT_EQ(h().ElectrodeCurrents[1], 0.0);
  EXPECT_EQ(h().Converged, 0);
  int stray = 0;
  for (int c = 0; c < CellCount(h()); ++c) stray += h().NodeOfCell[c] != (c == Cell(2, 1, 2) ? 0.0 : -1.0);
  EXPECT_EQ(stray, 0);
}

TEST_F(RunControl, ResetPutsTheGeneratorToItsStartState) {
  h().GenU = 1000;
  h().GenL = 2e-5;
  h().GapU = 5;
  h().GenI = 3;
  THeapReset(heap.get());
  EXPECT_EQ(h().GenUc, -1000.0);
  EXPECT_EQ(h().GenUl, 1000.0);
  EXPECT_EQ(h().GenUcAccel, 1000.0 / 2e-5 * 1e-9);
  EXPECT_EQ(h().GapU, 0.0);
  EXPECT_EQ(h().GenI, 0.0);
  EXPECT_EQ(h().GenR, h().GenR0);
  EXPECT_EQ(THeapGetUmax(heap.get()), 0.0);
  h().GenRT = 0;
  THeapReset(heap.get());
  EXPECT_EQ(h().GenR, h().GenR1);
  // Without inductance the start acceleration is 0 rather than infinite.
  h().GenL = 0;
  THeapReset(heap.get());
  EXPECT_EQ(h().GenUcAccel, 0.0);
}

TEST_F(RunControl, CriticalFieldSurvivesResetOnlyWithoutReinit) {
  const int c = Cell(3, 3, 3);
  struct Case {
    int reinitEc;
    double expected;
  };
  const Case cases[] = {{0, 1e6}, {0x100, 1e6}, {1, 2.5e7}, {0x101, 2.5e7}};
  for (const Case& k : cases) {
    h().Ec[c] = 1e6;
    EXPECT_EQ(THeapResetEx(heap.get(), k.reinitEc), 0);
    EXPECT_EQ(h().Ec[c], k.expected) << k.reinitEc;
    EXPECT_EQ(h().EcMin, k.expected);
  }
  h().Ec[c] = 1e6;
  EXPECT_EQ(THeapReset(heap.get()), 0);
  EXPECT_EQ(h().Ec[c], 2.5e7);
}

TEST_F(RunControl, PreparationInGeneratorModeAppliesNothingAtTimeZero) {
  Prepare();
  EXPECT_EQ(h().VoltageMode, 2);
  EXPECT_EQ(h().Potential[Cell(1, 0, 1)], 0.0);
  EXPECT_EQ(h().Potential[Cell(1, 6, 1)], 0.0);
  for (int k = -5; k <= -2; ++k) EXPECT_EQ(korvane::CodePotential(h(), k), 0.0);
  EXPECT_GT(h().TotalIterations, 0);
  EXPECT_EQ(h().IterationsAtLastStep, double(h().TotalIterations));
  EXPECT_EQ(h().StepIterationCount, double(h().TotalIterations));
  // The zero-charge solution is the field of the set potentials.
  EXPECT_EQ(h().PotentialQ0[Cell(1, 0, 1)], 2.0);
  EXPECT_EQ(h().PotentialQ0[Cell(1, 6, 1)], 1.0);
  EXPECT_GT(h().PotentialQ0[Cell(1, 3, 1)], 1.0);
  EXPECT_LT(h().PotentialQ0[Cell(1, 3, 1)], 2.0);
  EXPECT_EQ(h().Dw, 0.1);
  EXPECT_EQ(h().DwType, 2);
}

// The factor of a rising voltage is that of the end of the step, in either
// time scheme.
TEST_F(RunControl, RisingVoltageAppliesTheFactorOfTheStepEnd) {
  for (int itrType : {1, 0}) {
    SCOPED_TRACE(itrType);
    h().ItrType = itrType;
    h().Tau = 4e-9;
    h().GenIdle = 1;
    Prepare();
    const double dt = h().Dt;
    EXPECT_EQ(THeapGoTimeStep(heap.get()), dt);
    const double factor = 1.0 - std::exp(-dt / 4e-9);
    EXPECT_DOUBLE_EQ(h().Potential[Cell(2, 0, 2)], 2.0 * factor);
    EXPECT_DOUBLE_EQ(h().Potential[Cell(2, 6, 2)], 1.0 * factor);
    EXPECT_DOUBLE_EQ(THeapGetUmax(heap.get()), factor);
  }
}

TEST_F(RunControl, ConstantVoltageAppliesTheSetPotentialsFromTheFirstStep) {
  h().GenU = 0;
  Prepare();
  THeapGoTimeStep(heap.get());
  EXPECT_EQ(h().Potential[Cell(2, 0, 2)], 2.0);
  EXPECT_EQ(h().Potential[Cell(2, 6, 2)], 1.0);
  EXPECT_EQ(h().AppliedVoltage, 1.0);
  EXPECT_TRUE(AllFinite(h().Potential));
}

// In constant voltage the preparation leaves the converged potential and the
// factor never changes: the first step must start from that potential like any
// later step, not add the zero-charge solution on top of it.
TEST_F(RunControl, ConstantVoltageFirstStepStartsFromThePreparedPotential) {
  for (int itrType : {1, 0}) {
    for (double dw : {0.1, 1e-12}) {
      SCOPED_TRACE(testing::Message() << "scheme " << itrType << " bound " << dw);
      h().GenU = 0;
      h().GenIdle = 1;
      h().ItrType = itrType;
      h().Dw = dw;
      Prepare();
      ASSERT_EQ(h().VoltageMode, 0);
      int before = h().TotalIterations;
      THeapGoTimeStep(heap.get());
      const int firstSweeps = h().TotalIterations - before;
      const std::vector<double> first(h().Potential, h().Potential + CellCount(h()));
      before = h().TotalIterations;
      THeapGoTimeStep(heap.get());
      EXPECT_EQ(firstSweeps, h().TotalIterations - before);
      for (int c = 0; c < CellCount(h()); ++c) ASSERT_NEAR(first[c], h().Potential[c], 1e-6) << "cell " << c;
    }
  }
}

// The ladder only climbs, one step after the event that moves it, and only a
// reset goes back. The returned step is the difference of the model times, so
// it is Dt up to rounding. Growth is held off so the flags stay as the test sets them.
TEST_F(RunControl, StepSizeLadder) {
  h().GenU = 0;
  h().GenIdle = 1;
  Prepare();
  auto ExpectStep = [&](double dt) { EXPECT_NEAR(THeapGoTimeStep(heap.get()), dt, dt * 1e-9); };
  ExpectStep(h().DtInit);
  EXPECT_EQ(h().Dt, h().DtInit);
  h().CandidateFlag = 1;
  ExpectStep(h().DtInit);
  EXPECT_EQ(h().Dt, h().DtGrowth);
  h().CandidateFlag = 0;
  ExpectStep(h().DtGrowth);
  EXPECT_EQ(h().Dt, h().DtGrowth);
  h().Flags = 1;
  ExpectStep(h().DtGrowth);
  EXPECT_EQ(h().Dt, h().DtSpark);
  ExpectStep(h().DtSpark);
  EXPECT_EQ(h().StepCount, 5);
  EXPECT_DOUBLE_EQ(h().Time, 2 * h().DtInit + 2 * h().DtGrowth + h().DtSpark);
  THeapReset(heap.get());
  EXPECT_EQ(h().Dt, h().DtInit);
}

TEST_F(RunControl, IterationBookkeepingOfBothSchemes) {
  h().GenU = 0;
  h().GenIdle = 1;
  h().ItrType = 1;
  Prepare();
  const int before = h().TotalIterations;
  THeapGoTimeStep(heap.get());
  EXPECT_EQ(h().StepIterationCount, double(h().TotalIterations - before));
  EXPECT_EQ(h().IterationsAtLastStep, double(h().TotalIterations));
  EXPECT_EQ(h().PostStepIterations, 0);

  h().ItrType = 0;
  Prepare();
  const int atStart = h().TotalIterations;
  THeapGoTimeStep(heap.get());
  // The explicit solution follows the step core: its iterations land in
  // PostStepIterations and the next step's count.
  EXPECT_EQ(h().StepIterationCount, 0.0);
  EXPECT_EQ(h().PostStepIterations, h().TotalIterations - atStart);
  const int afterFirst = h().TotalIterations;
  THeapGoTimeStep(heap.get());
  EXPECT_EQ(h().StepIterationCount, double(afterFirst - atStart));
}

TEST_F(RunControl, IdleGeneratorGrowsNothingButKeepsComputing) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  h().GenU = 0;
  h().GenIdle = 1;
  const double pots[2] = {1e9, 0};
  THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
  Prepare();
  for (int s = 0; s < 3; ++s) THeapGoTimeStep(heap.get());
  EXPECT_EQ(h().Nodes.count, 1);
  EXPECT_EQ(h().StepCount, 3);
  EXPECT_EQ(h().AppliedVoltage, 1e9);
  EXPECT_GT(h().MaxGrowthField, 0.0);
  EXPECT_EQ(h().Nodes.nodes[0].potential, 1e9);
}

// An event in a step that starts at time 0 is stamped 0, the value of no event
// yet; the next step with the event stamps its own start time instead.
TEST_F(RunControl, FirstEventTimesAtTimeZeroAreStampedAgain) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  h().GenU = 0;
  const double pots[2] = {1e9, 0};
  THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
  Prepare();
  THeapGoTimeStep(heap.get());
  ASSERT_EQ(h().GrowthFlag, 1);
  EXPECT_EQ(h().TimeFirstGrowth, 0.0);
  EXPECT_EQ(h().TimeFirstCandidate, 0.0);
  EXPECT_EQ(h().Dt, h().DtGrowth);
  const double secondStart = h().Time;
  THeapGoTimeStep(heap.get());
  ASSERT_EQ(h().GrowthFlag, 1);
  EXPECT_EQ(h().TimeFirstGrowth, secondStart);
  EXPECT_EQ(h().TimeFirstCandidate, secondStart);
}

// The program relies on this: new potentials in generator mode during a run
// take the circuit one step on, as any evaluation of the factor there does.
TEST_F(RunControl, NewPotentialsInGeneratorModeStepTheCircuit) {
  h().GenIdle = 1;
  HeapPtr twin(THeapNew());
  ASSERT_TRUE(twin);
  ASSERT_TRUE(THeapSetLatticeSize(twin.get(), 6, 7, 5));
  twin->GenIdle = 1;
  for (THeap* r : {heap.get(), twin.get()}) {
    THeapReset(r);
    THeapInitCalc(r);
    for (int s = 0; s < 3; ++s) THeapGoTimeStep(r);
  }
  const double ucBefore = h().GenUc;
  ASSERT_EQ(twin->GenUc, ucBefore);
  korvane::SolveGeneratorCircuit(*twin, twin->Time);
  // A new rise time does not change the voltage mode before the next reset.
  const double pots[2] = {2, 1};
  THeapSetElectrodesPot(heap.get(), pots, 2, 1e-6);
  EXPECT_EQ(h().VoltageMode, 2);
  EXPECT_NE(h().GenUc, ucBefore);
  EXPECT_EQ(h().GenUc, twin->GenUc);
  EXPECT_EQ(h().GapU, twin->GapU);
  EXPECT_EQ(h().Potential[Cell(1, 0, 1)], 2.0 * twin->GapU);
}

// A state restored from a file may carry anything: the rebuild repairs what
// would index out of bounds, reports it, and the engine runs on finitely.
TEST_F(RunControl, CorruptRestoredStateIsReportedAndMadeSafe) {
  struct Corruption {
    const char* name;
    void (*apply)(THeap&);
  };
  const Corruption cases[] = {
      {"sizes", [](THeap& h) { h.N1 = 0; }},
      {"size product", [](THeap& h) { h.N1 = h.N2 = h.N3 = 1 << 16; }},
      {"node cell", [](THeap& h) { h.Nodes.nodes[0].cell = 1 << 30; }},
      {"node parent", [](THeap& h) { h.Nodes.nodes[0].parent = 5; }},
      {"node far away", [](THeap& h) { h.Nodes.nodes[0].x = INT32_MAX; }},
      {"node off its cell", [](THeap& h) { h.Nodes.nodes[0].z += 1; }},
      {"node beyond the plates", [](THeap& h) { h.Nodes.nodes[0].y = -1; }},
      {"node count", [](THeap& h) { h.Nodes.count = h.Nodes.capacity + 10; }},
      {"node capacity", [](THeap& h) { h.Nodes.capacity += 1000; }},
      {"node of cell", [](THeap& h) { h.NodeOfCell[3] = 1e9; }},
      {"node of cell NaN", [](THeap& h) { h.NodeOfCell[4] = std::nan(""); }},
      {"material", [](THeap& h) { h.MaterialOfCell[5] = 77; }},
      {"electrode count", [](THeap& h) { h.ElectrodeCount = 50; }},
      {"electrode count low", [](THeap& h) { h.ElectrodeCount = 1; }},
  };
  for (const Corruption& k : cases) {
    SCOPED_TRACE(k.name);
    heap.reset(THeapNew());
    ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 6, 7, 5));
    h().GenU = 0;
    h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
    Prepare();
    THeapGoTimeStep(heap.get());
    ASSERT_EQ(h().Nodes.count, 1);
    EXPECT_NE(THeapLoadPrepaire(heap.get()), nullptr);
    k.apply(h());
    EXPECT_EQ(THeapLoadPrepaire(heap.get()), nullptr);
    EXPECT_GE(h().N1, 1);
    EXPECT_LE(static_cast<long long>(h().N1) * h().N2 * h().N3, KORVANE_MAX_CELLS);
    EXPECT_EQ(h().N1Last, h().N1 - 1);
    EXPECT_GE(h().ElectrodeCount, 2);
    // Growth appends to the restored list: it must fit its block.
    for (int i = 0; h().Nodes.count > 0 && i < 150; ++i)
      korvane::AddGrownNode(h(), 2, 2, 2, Cell(2, 2, 2), 0, 1e-8, 1e-3, 1e3, 1e7);
    THeapGoTimeStep(heap.get());
    THeapGoTimeStep(heap.get());
    EXPECT_TRUE(AllFinite(h().Potential));
    EXPECT_TRUE(std::isfinite(h().AppliedVoltage));
  }
}

TEST_F(RunControl, RebuildFindsABreakdownInTheRestoredNodes) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  Prepare();
  h().GapRCircuit = 4;
  h().GapR = -1;
  // A grown node on the upper electrode's plane: the structure has reached it.
  korvane::AddGrownNode(h(), 2, 6, 2, Cell(2, 6, 2), 0, 1e-8, 1e-3, 1e3, 1e7);
  h().Flags = 0;
  EXPECT_NE(THeapLoadPrepaire(heap.get()), nullptr);
  EXPECT_EQ(h().Flags, 1);
  EXPECT_EQ(h().GapGCircuit, 0.25);
  EXPECT_EQ(h().GapG, 0.0);
  EXPECT_EQ(h().ElementCount, 1.0);
}

}  // namespace
