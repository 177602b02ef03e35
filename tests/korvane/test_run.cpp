// A small model run from reset to breakdown through the exported interface:
// finite results, the step-size ladder, a reproducible run with a pinned seed,
// and a restored copy that steps on exactly like the original.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "Engine.h"
#include "SmallRecord.h"
#include "korvane.h"

namespace {

using korvane::CellCount;
using korvane::CellIndex;

using korvane_test::HeapPtr;

constexpr std::uint32_t kSeed = 12345;
constexpr int kStepLimit = 3000;

struct RunRecord {
  std::vector<double> steps;
  int breakdownStep = -1;
};

HeapPtr NeedleModel() {
  HeapPtr h(THeapNew());
  if (!h) return h;
  THeapSetLatticeSize(h.get(), 9, 10, 9);
  h->ElectrodeCodes[CellIndex(*h, 4, 1, 4)] = -3;
  return h;
}

RunRecord RunToBreakdown(THeap& h) {
  RunRecord run;
  KorvaneSetRandomSeed(1, kSeed);
  THeapReset(&h);
  THeapInitCalc(&h);
  for (int s = 0; s < kStepLimit && !h.Flags; ++s) run.steps.push_back(THeapGoTimeStep(&h));
  if (h.Flags) run.breakdownStep = static_cast<int>(run.steps.size()) - 1;
  return run;
}

bool AllFinite(const THeap& h, const double* array) {
  for (int c = 0; c < CellCount(h); ++c)
    if (!std::isfinite(array[c])) return false;
  return true;
}

class NeedleRun : public ::testing::Test {
 protected:
  void TearDown() override { KorvaneSetRandomSeed(0, 0); }
};

TEST_F(NeedleRun, ReachesBreakdownWithFiniteResultsAndTheStepLadder) {
  HeapPtr h = NeedleModel();
  ASSERT_TRUE(h);
  const RunRecord run = RunToBreakdown(*h);
  ASSERT_GE(run.breakdownStep, 0) << "no breakdown within " << kStepLimit << " steps";
  EXPECT_EQ(h->StepCount, static_cast<int>(run.steps.size()));
  for (const double* a : {h->Potential, h->Charge, h->FieldAbs, h->Ec, h->DispCurrentAbs})
    EXPECT_TRUE(AllFinite(*h, a));
  for (double v : {h->AppliedVoltage, h->ChannelLength, h->StructureSize, h->MeanCurrent, h->GenUc, h->GapU,
                   h->JouleHeat, h->Dimension})
    EXPECT_TRUE(std::isfinite(v));
  EXPECT_GT(h->Nodes.count, 1);
  EXPECT_EQ(h->Dt, h->DtSpark);

  // Every step is one rung of the ladder, and the rungs never go back.
  int rung = 0;
  const double rungs[3] = {h->DtInit, h->DtGrowth, h->DtSpark};
  for (double step : run.steps) {
    while (rung < 2 && std::fabs(step - rungs[rung]) > rungs[rung] * 1e-6) ++rung;
    ASSERT_NEAR(step, rungs[rung], rungs[rung] * 1e-6);
  }
  EXPECT_GT(h->TimeFirstGrowth, 0.0);
  EXPECT_LE(h->TimeFirstCandidate, h->TimeFirstGrowth);
  EXPECT_LE(h->TimeFirstGrowth, h->TimeBreakdown);
  EXPECT_GT(h->TotalIterations, 0);

  // The newest node carries the logged length and size of the structure.
  const TNode& newest = h->Nodes.nodes[h->Nodes.count - 1];
  EXPECT_DOUBLE_EQ(newest.lnL, std::log(h->ChannelLength));
  EXPECT_DOUBLE_EQ(newest.lnR, std::log(h->StructureSize));

  // Once broken down, the step stays at DtSpark.
  THeapGoTimeStep(h.get());
  EXPECT_EQ(h->Dt, h->DtSpark);
  EXPECT_EQ(h->Flags, 1);
}

TEST_F(NeedleRun, PinnedSeedReproducesTheRun) {
  HeapPtr a = NeedleModel(), b = NeedleModel();
  ASSERT_TRUE(a && b);
  const RunRecord ra = RunToBreakdown(*a);
  const RunRecord rb = RunToBreakdown(*b);
  EXPECT_EQ(ra.steps.size(), rb.steps.size());
  EXPECT_EQ(a->Nodes.count, b->Nodes.count);
  EXPECT_EQ(a->Time, b->Time);
  EXPECT_EQ(std::memcmp(a->Potential, b->Potential, CellCount(*a) * sizeof(double)), 0);
}

double* CopyDoubles(const double* source, int count) {
  double* block = DoubleNew(count);
  std::memcpy(block, source, count * sizeof(double));
  return block;
}

// Restores what the program saves: the parameter and state block, the lattice
// arrays, the per-electrode arrays and the node list, all through the exports.
void RestoreInto(THeap& to, const THeap& from) {
  const TTree keepNodes = to.Nodes;
  double* keep[9] = {to.CodePotentials,   to.ElectrodePots,        to.ElectrodeCharges,
                     to.ElectrodeFluxCharges, to.ElectrodeWork1,   to.ElectrodeWork2,
                     to.ElectrodeCurrents, to.ElectrodeDispCurrents, nullptr};
  TMaterial* keepMaterials = to.Materials;
  std::memcpy(&to.Nodes, &from.Nodes, sizeof(THeap) - offsetof(THeap, Nodes));
  to.Nodes = keepNodes;
  for (double* block : keep) DoubleDelete(block);
  TMaterialDelete(keepMaterials);
  const int n = from.ElectrodeCount;
  to.CodePotentials = CopyDoubles(from.CodePotentials, 2 * n);
  to.CodePotentialBase = to.CodePotentials + 2 * n + 1;
  to.ElectrodePots = CopyDoubles(from.ElectrodePots, n);
  to.ElectrodeCharges = CopyDoubles(from.ElectrodeCharges, n);
  to.ElectrodeFluxCharges = CopyDoubles(from.ElectrodeFluxCharges, n);
  to.ElectrodeCurrents = CopyDoubles(from.ElectrodeCurrents, n);
  to.ElectrodeDispCurrents = CopyDoubles(from.ElectrodeDispCurrents, n);
  to.ElectrodeWork1 = to.ElectrodeWork2 = nullptr;
  to.Materials = TMaterialNew(from.MaterialCount);
  std::memcpy(to.Materials, from.Materials, from.MaterialCount * sizeof(TMaterial));
  const int cells = CellCount(from);
  for (auto array : {&THeap::Potential, &THeap::PotentialInit, &THeap::PotentialQ0, &THeap::Charge,
                     &THeap::ChargeInit, &THeap::NodeOfCell, &THeap::Ec, &THeap::ElectrodeCodes, &THeap::CurrentX,
                     &THeap::CurrentY, &THeap::CurrentZ, &THeap::FieldX, &THeap::FieldY, &THeap::FieldZ,
                     &THeap::FieldAbs, &THeap::CurrentAbs, &THeap::DispCurrentX, &THeap::DispCurrentY,
                     &THeap::DispCurrentZ, &THeap::DispCurrentAbs})
    std::memcpy(to.*array, from.*array, cells * sizeof(double));
  std::memcpy(to.MaterialOfCell, from.MaterialOfCell, cells * sizeof(int32_t));
  TNode* nodes = TTreeSetSize(&to.Nodes, from.Nodes.count);
  std::memcpy(nodes, from.Nodes.nodes, from.Nodes.count * sizeof(TNode));
  to.Nodes.count = from.Nodes.count;
}

TEST_F(NeedleRun, RestoredCopyStepsOnLikeTheOriginal) {
  HeapPtr original = NeedleModel();
  ASSERT_TRUE(original);
  original->BSep = 1;
  const RunRecord run = RunToBreakdown(*original);
  ASSERT_GE(run.breakdownStep, 0);

  HeapPtr copy(THeapNew());
  ASSERT_TRUE(copy);
  RestoreInto(*copy, *original);
  ASSERT_NE(THeapLoadPrepaire(copy.get()), nullptr);
  EXPECT_EQ(copy->Flags, 1);
  EXPECT_EQ(copy->ChannelLength, original->ChannelLength);

  KorvaneSetRandomSeed(1, 777);
  THeapGoTimeStep(original.get());
  KorvaneSetRandomSeed(1, 777);
  THeapGoTimeStep(copy.get());
  const int cells = CellCount(*original);
  EXPECT_EQ(copy->Nodes.count, original->Nodes.count);
  EXPECT_EQ(copy->Time, original->Time);
  EXPECT_EQ(copy->GapU, original->GapU);
  EXPECT_EQ(std::memcmp(copy->Potential, original->Potential, cells * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(copy->Charge, original->Charge, cells * sizeof(double)), 0);
}

// Inputs the program may hand over wrongly: the run still ends with finite
// values everywhere (and, under the sanitizers, without an access outside an
// array).
TEST_F(NeedleRun, InvalidInputsRunFinitely) {
  struct Case {
    const char* name;
    void (*apply)(THeap&);
  };
  const Case cases[] = {
      {"0 V electrode, generator", [](THeap& h) {
         const double pots[2] = {1, 0};
         THeapSetElectrodesPot(&h, pots, 2, 0.0);
       }},
      {"0 V electrode, rising voltage", [](THeap& h) {
         const double pots[2] = {0, 5e5};
         THeapSetElectrodesPot(&h, pots, 2, 1e-8);
       }},
      {"all electrodes at 0 V", [](THeap& h) {
         const double pots[2] = {0, 0};
         THeapSetElectrodesPot(&h, pots, 2, 1e-8);
       }},
      {"codes of no electrode", [](THeap& h) {
         const double codes[] = {-9, -7, 0.5, -2.5, std::nan(""), 7, 1e300, -1e300};
         int i = 0;
         for (double code : codes) {
           h.ElectrodeCodes[CellIndex(h, i, 3 + i % 3, 2)] = code;
           ++i;
         }
         h.ElectrodeCodes[CellIndex(h, 4, 2, 4)] = -7;  // odd: would be a root of electrode 2
       }},
      {"material indices of no material", [](THeap& h) {
         h.MaterialOfCell[CellIndex(h, 4, 2, 4)] = 3;
         h.MaterialOfCell[CellIndex(h, 1, 5, 1)] = -1;
         h.MaterialOfCell[CellIndex(h, 8, 9, 8)] = 1 << 30;
       }},
      {"non-positive permittivity", [](THeap& h) {
         TMaterial* table = TMaterialNew(3);
         table[0] = table[1] = table[2] = h.Materials[0];
         table[1].Eps = 0;
         table[2].Eps = -2;
         TMaterialDelete(h.Materials);
         h.Materials = table;
         h.MaterialCount = 3;
         korvane::FillBoxInt(h, 2, 3, 2, 2, 2, 2, 1, h.MaterialOfCell);
         korvane::FillBoxInt(h, 5, 6, 5, 1, 2, 1, 2, h.MaterialOfCell);
         h.MaterialOfCell[CellIndex(h, 4, 2, 4)] = 1;  // the cell next to the root
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeapPtr h = NeedleModel();
    ASSERT_TRUE(h);
    c.apply(*h);
    KorvaneSetRandomSeed(1, kSeed);
    THeapReset(h.get());
    THeapInitCalc(h.get());
    for (int s = 0; s < 40 && !h->Flags; ++s) THeapGoTimeStep(h.get());
    for (const double* a : {h->Potential, h->PotentialQ0, h->PotentialInit, h->Charge, h->FieldAbs,
                            h->DispCurrentAbs, h->LinkEps1, h->LinkEps2, h->LinkEps3})
      EXPECT_TRUE(AllFinite(*h, a));
    for (double v : {h->AppliedVoltage, h->VoltageRatio, h->VoltageRatioError, h->MeanCurrent, h->GapU,
                     h->ChannelLength, h->ElectrodeCharges[0], h->ElectrodeCharges[1]})
      EXPECT_TRUE(std::isfinite(v));
  }
}

}  // namespace
