// Lattice size and defaults, link permittivities, electrode cells and roots,
// applied potentials, and cell inputs the program may have written wrongly.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "Allocator.h"
#include "ElectrodeCodes.h"
#include "Engine.h"
#include "SmallRecord.h"
#include "korvane.h"

namespace {

using korvane::CellCount;
using korvane::CellIndex;

using korvane_test::HeapPtr;

class SmallLattice : public korvane_test::SmallRecord {
 protected:
  // Constant voltage: the set potentials apply from the start.
  void UseConstantVoltage() {
    h().GenU = 0;
    h().Tau = 0;
  }
  void AddMaterial(double eps) {
    TMaterial* table = TMaterialNew(h().MaterialCount + 1);
    ASSERT_NE(table, nullptr);
    for (int m = 0; m < h().MaterialCount; ++m) table[m] = h().Materials[m];
    table[h().MaterialCount] = table[0];
    table[h().MaterialCount].Eps = eps;
    TMaterialDelete(h().Materials);
    h().Materials = table;
    h().MaterialCount += 1;
  }
};

TEST(LatticeSize, AcceptedAndRejectedSizes) {
  HeapPtr heap(THeapNew());
  ASSERT_TRUE(heap);
  constexpr int kMax = std::numeric_limits<int>::max();
  struct Case {
    int s1, s2, s3;
    bool accepted;
  };
  const Case cases[] = {
      {101, 101, 101, true},  {102, 101, 101, false}, {101, 102, 101, false}, {101, 101, 102, false},
      {0, 5, 5, false},       {5, -1, 5, false},      {5, 5, 0, false},       {1030301, 1, 1, true},
      {1030302, 1, 1, false}, {1, 1, 1, true},        {65536, 65536, 1, false},  // 2^32: wraps to 0 in 32 bits
      {kMax, kMax, kMax, false}, {kMax, 2, 1, false}, {1, 1030301, 1, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 4, 5, 3));
    const bool result = THeapSetLatticeSize(heap.get(), c.s1, c.s2, c.s3);
    EXPECT_EQ(result, c.accepted) << c.s1 << "x" << c.s2 << "x" << c.s3;
    const int n1 = c.accepted ? c.s1 : 4, n2 = c.accepted ? c.s2 : 5, n3 = c.accepted ? c.s3 : 3;
    EXPECT_EQ(heap->N1, n1);
    EXPECT_EQ(heap->N2, n2);
    EXPECT_EQ(heap->N3, n3);
    EXPECT_EQ(heap->N1Last, n1 - 1);
    EXPECT_EQ(heap->N2Last, n2 - 1);
    EXPECT_EQ(heap->N3Last, n3 - 1);
    EXPECT_EQ(heap->ElectrodeCodes[CellIndex(*heap, 0, n2 - 1, 0)], -4.0);
  }
}

TEST_F(SmallLattice, SameSizeKeepsEveryInput) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  h().MaterialOfCell[Cell(1, 3, 1)] = 0;
  h().ChargeInit[Cell(3, 3, 3)] = 7;
  EXPECT_TRUE(THeapSetLatticeSize(heap.get(), 6, 7, 5));
  EXPECT_EQ(h().ElectrodeCodes[Cell(2, 1, 2)], -3.0);
  EXPECT_EQ(h().ChargeInit[Cell(3, 3, 3)], 7.0);
}

TEST_F(SmallLattice, DefaultsGiveTwoElectrodePlanesAndNoRoots) {
  h().ElectrodeCodes[Cell(2, 1, 2)] = -3;
  h().ChargeInit[Cell(3, 3, 3)] = 7;
  h().MaterialOfCell[Cell(0, 2, 0)] = 3;
  EXPECT_EQ(THeapSetDefaults(heap.get()), 0);
  int wrong = 0;
  for (int i2 = 0; i2 < 7; ++i2)
    for (int i3 = 0; i3 < 5; ++i3)
      for (int i1 = 0; i1 < 6; ++i1) {
        const int c = Cell(i1, i2, i3);
        const double code = i2 == 0 ? -2.0 : (i2 == 6 ? -4.0 : -1.0);
        wrong += h().ElectrodeCodes[c] != code || h().ChargeInit[c] != 0 || h().MaterialOfCell[c] != 0;
      }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(h().Nodes.count, 0);
  EXPECT_EQ(h().ElectrodeCellCount, 2 * 6 * 5);
}

TEST(LatticeDefaults, SinglePlaneLatticeBelongsToTheSecondElectrode) {
  HeapPtr heap(THeapNew());
  ASSERT_TRUE(heap);
  ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 4, 1, 3));
  for (int c = 0; c < 12; ++c) EXPECT_EQ(heap->ElectrodeCodes[c], -4.0) << c;
  EXPECT_EQ(heap->ElectrodeCellCount, 12);
  EXPECT_EQ(heap->ElectrodeCells[0].electrode, 1);
}

TEST_F(SmallLattice, OddCodedCellBecomesRootWithItsElectrodePotential) {
  UseConstantVoltage();
  const int root = Cell(2, 1, 3);
  h().ElectrodeCodes[root] = -3;
  ASSERT_EQ(THeapReset(heap.get()), 0);
  ASSERT_EQ(h().Nodes.count, 1);
  const TNode& n = h().Nodes.nodes[0];
  EXPECT_EQ(n.x, 2);
  EXPECT_EQ(n.y, 1);
  EXPECT_EQ(n.z, 3);
  EXPECT_EQ(n.cell, root);
  EXPECT_EQ(n.parent, -1);
  EXPECT_EQ(h().NodeOfCell[root], 0.0);
  EXPECT_EQ(h().Potential[root], 2.0);
  EXPECT_EQ(h().Potential[Cell(2, 6, 3)], 1.0);
  EXPECT_EQ(THeapGetUmax(heap.get()), 1.0);
}

TEST_F(SmallLattice, RootsComeInMemoryOrderOfTheirCells) {
  const int cells[] = {Cell(4, 5, 1), Cell(1, 1, 0), Cell(0, 1, 4)};
  h().ElectrodeCodes[cells[0]] = -5;
  h().ElectrodeCodes[cells[1]] = -3;
  h().ElectrodeCodes[cells[2]] = -3;
  THeapReset(heap.get());
  ASSERT_EQ(h().Nodes.count, 3);
  EXPECT_EQ(h().Nodes.nodes[0].cell, cells[1]);
  EXPECT_EQ(h().Nodes.nodes[1].cell, cells[2]);
  EXPECT_EQ(h().Nodes.nodes[2].cell, cells[0]);
}

TEST_F(SmallLattice, ElectrodeCellEntries) {
  h().ElectrodeCodes[Cell(3, 2, 1)] = -5;
  h().ElectrodeCodes[Cell(1, 1, 1)] = -3;
  THeapReset(heap.get());
  ASSERT_EQ(h().ElectrodeCellCount, 2 * 30 + 2);
  const TElectrodeCell* list = h().ElectrodeCells;
  for (int i = 1; i < h().ElectrodeCellCount; ++i) EXPECT_LT(list[i - 1].cell, list[i].cell);
  const TElectrodeCell& odd0 = list[30];
  EXPECT_EQ(odd0.cell, Cell(1, 1, 1));
  EXPECT_EQ(odd0.code, -3);
  EXPECT_EQ(odd0.electrode, 0);
  const TElectrodeCell& odd1 = list[31];
  EXPECT_EQ(odd1.i1, 3);
  EXPECT_EQ(odd1.i2, 2);
  EXPECT_EQ(odd1.i3, 1);
  EXPECT_EQ(odd1.code, -5);
  EXPECT_EQ(odd1.electrode, 1);
}

TEST_F(SmallLattice, LinkPermittivityIsTheSeriesValueOfBothCells) {
  AddMaterial(20);
  const int c = Cell(5, 3, 4);
  h().MaterialOfCell[c] = 1;
  THeapReset(heap.get());
  const double mixed = 1.0 / (0.2 + 0.05);
  EXPECT_DOUBLE_EQ(h().LinkEps1[c], mixed);                // to i1 = 0, wrapped
  EXPECT_DOUBLE_EQ(h().LinkEps1[Cell(4, 3, 4)], mixed);    // from below
  EXPECT_DOUBLE_EQ(h().LinkEps3[c], mixed);                // to i3 = 0, wrapped
  EXPECT_DOUBLE_EQ(h().LinkEps2[Cell(5, 2, 4)], mixed);
  EXPECT_DOUBLE_EQ(h().LinkEps2[c], mixed);
  EXPECT_DOUBLE_EQ(h().LinkEps2[Cell(0, 0, 0)], 2.5);
  // The top plane links to itself: Eps/2.
  h().MaterialOfCell[Cell(1, 6, 1)] = 1;
  THeapReset(heap.get());
  EXPECT_DOUBLE_EQ(h().LinkEps2[Cell(1, 6, 1)], 10.0);
}

TEST_F(SmallLattice, FillBoxClampsStartsAndEnds) {
  struct Case {
    int s1, s2, s3, e1, e2, e3;
    int expectedCells;
  };
  const Case cases[] = {
      {0, 0, 0, 6, 7, 5, 210},   {-3, 0, 0, 2, 1, 1, 2},  {10, 6, 4, 5, 5, 5, 1},
      {4, 5, 3, 100, 100, 100, 2 * 2 * 2}, {1, 1, 1, 0, 3, 3, 0}, {1, 1, 1, -2, 3, 3, 0},
      {2, 2, 2, 2147483647, 1, 1, 4},
  };
  std::vector<double> field(KORVANE_MAX_CELLS);
  std::vector<int32_t> ints(KORVANE_MAX_CELLS);
  for (const Case& c : cases) {
    std::fill(field.begin(), field.end(), 0.0);
    std::fill(ints.begin(), ints.end(), 0);
    korvane::FillBox(h(), c.s1, c.s2, c.s3, c.e1, c.e2, c.e3, 1.5, field.data());
    korvane::FillBoxInt(h(), c.s1, c.s2, c.s3, c.e1, c.e2, c.e3, 3, ints.data());
    int filled = 0, filledInts = 0;
    for (double v : field) filled += v == 1.5;
    for (int32_t v : ints) filledInts += v == 3;
    EXPECT_EQ(filled, c.expectedCells) << c.s1 << "," << c.s2 << "," << c.s3;
    EXPECT_EQ(filledInts, c.expectedCells);
  }
}

TEST_F(SmallLattice, UnchangedElectrodePotentialsChangeNothing) {
  const double pots[2] = {2, 1};
  h().Converged = 1;
  double* before = h().ElectrodePots;
  THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
  EXPECT_EQ(h().Converged, 1);
  EXPECT_EQ(h().ElectrodePots, before);
}

TEST_F(SmallLattice, NewPotentialsApplyAtOnce) {
  UseConstantVoltage();
  THeapReset(heap.get());
  const double pots[2] = {10, -4};
  h().Converged = 1;
  THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
  EXPECT_EQ(h().Converged, 0);
  EXPECT_EQ(h().Potential[Cell(3, 0, 3)], 10.0);
  EXPECT_EQ(h().Potential[Cell(3, 6, 3)], -4.0);
  EXPECT_EQ(THeapGetU0max(heap.get()), 14.0);
  EXPECT_EQ(THeapGetUmax(heap.get()), 14.0);
}

TEST_F(SmallLattice, ThreeElectrodesReallocateEveryArray) {
  UseConstantVoltage();
  THeapReset(heap.get());
  h().ElectrodeCharges[0] = 5;
  const double pots[3] = {3, 1, 7};
  THeapSetElectrodesPot(heap.get(), pots, 3, 0.0);
  EXPECT_EQ(h().ElectrodeCount, 3);
  EXPECT_EQ(h().CodeCount, 6);
  EXPECT_EQ(h().CodePotentialBase, h().CodePotentials + 7);
  for (double* a : {h().ElectrodePots, h().ElectrodeCurrents, h().ElectrodeDispCurrents, h().ElectrodeCharges,
                    h().ElectrodeFluxCharges, h().ElectrodeWork1, h().ElectrodeWork2})
    EXPECT_GE(korvane::EngineBlockSize(a), 3 * sizeof(double));
  for (int e = 0; e < 3; ++e) EXPECT_EQ(h().ElectrodeCharges[e], 0.0);
  double out[3];
  EXPECT_EQ(THeapGetElectrodesPot(heap.get(), out), 3);
  EXPECT_EQ(out[2], 7.0);
  EXPECT_EQ(korvane::CodePotential(h(), -6), 7.0);
  EXPECT_EQ(korvane::CodePotential(h(), -7), 7.0);
  // Cells of electrode 2 are fixed but get no potential from the list.
  const int c = Cell(2, 3, 2);
  h().ElectrodeCodes[c] = -6;
  h().PotentialInit[c] = 0.5;
  THeapReset(heap.get());
  EXPECT_EQ(h().Potential[c], 0.5);
  EXPECT_EQ(THeapGetUmax(heap.get()), 6.0);
}

TEST_F(SmallLattice, FewerThanTwoElectrodesAreRefused) {
  const double one = 5;
  THeapSetElectrodesPot(heap.get(), &one, 1, 0.0);
  THeapSetElectrodesPot(heap.get(), nullptr, 2, 0.0);
  EXPECT_EQ(h().ElectrodeCount, 2);
  EXPECT_EQ(h().ElectrodePots[0], 2.0);
}

TEST_F(SmallLattice, AppliedVoltageAndSpan) {
  // Generator mode at time 0 applies factor 0.
  EXPECT_EQ(THeapGetUmax(heap.get()), 0.0);
  EXPECT_EQ(THeapGetU0max(heap.get()), 1.0);
  UseConstantVoltage();
  THeapReset(heap.get());
  EXPECT_EQ(THeapGetUmax(heap.get()), 1.0);
  EXPECT_EQ(h().AppliedVoltage, 1.0);
  // A negative gap voltage in generator mode reverses the sign.
  h().GenU = 1;
  h().GapU = -3;
  EXPECT_EQ(THeapGetUmax(heap.get()), -1.0);
  // Over an empty table both give the difference of the starting values.
  const int count = h().ElectrodeCount;
  h().ElectrodeCount = 0;
  h().CodeCount = 0;
  EXPECT_EQ(THeapGetU0max(heap.get()), -2e300);
  EXPECT_EQ(THeapGetUmax(heap.get()), 2e300);  // negated by the gap voltage
  h().GapU = 0;
  EXPECT_EQ(THeapGetUmax(heap.get()), -2e300);
  h().ElectrodeCount = count;
  h().CodeCount = 2 * count;
}

TEST_F(SmallLattice, FreeCellsFollowTheChangeOfTheFactor) {
  UseConstantVoltage();
  THeapReset(heap.get());
  const int free = Cell(2, 3, 2);
  h().PotentialQ0[free] = 1.5;
  h().Potential[free] = 0.25;
  // Codes at factor 0.5, then the factor goes to 0.8: the change is 0.3.
  korvane::ApplyElectrodePotentials(h(), 0.5);
  korvane::ApplyElectrodePotentialsQ0(h(), 0.8, 1);
  EXPECT_DOUBLE_EQ(h().ElectrodeWork1[0], 0.3 * 2);
  EXPECT_DOUBLE_EQ(h().ElectrodeWork1[1], 0.3 * 1);
  EXPECT_DOUBLE_EQ(h().VoltageRatio, 0.3);
  EXPECT_EQ(h().VoltageRatioError, 0.0);
  EXPECT_DOUBLE_EQ(h().Potential[free], 0.25 + 0.3 * 1.5);
  EXPECT_DOUBLE_EQ(h().Potential[Cell(0, 0, 0)], 1.6);
}

TEST_F(SmallLattice, ModeTwoReadsThePreviousPotentialsFromTheLattice) {
  UseConstantVoltage();
  THeapReset(heap.get());
  // The last cell of each code decides its previous potential.
  for (int c = 0; c < CellCount(h()); ++c)
    if (h().ElectrodeCodes[c] == -2) h().Potential[c] = 1.0;
  h().Potential[Cell(5, 6, 4)] = 0.25;  // last cell of code -4
  korvane::ApplyElectrodePotentialsQ0(h(), 1.0, 2);
  EXPECT_DOUBLE_EQ(h().ElectrodeWork1[0], 1.0);
  EXPECT_DOUBLE_EQ(h().ElectrodeWork1[1], 0.75);
  EXPECT_DOUBLE_EQ(h().VoltageRatio, (0.5 + 0.75) / 2);
  EXPECT_GT(h().VoltageRatioError, 0.0);
  // An electrode without cells has no previous value and is left out.
  for (int c = 0; c < CellCount(h()); ++c)
    if (h().ElectrodeCodes[c] == -4) h().ElectrodeCodes[c] = -1;
  korvane::ApplyElectrodePotentialsQ0(h(), 2.0, 2);
  EXPECT_EQ(h().ElectrodeWork1[1], 1e300);
  EXPECT_DOUBLE_EQ(h().VoltageRatio, (4.0 - 2.0) / 2.0);
}

// The voltage ratio divides by the set potentials: an electrode set to 0 V (the
// program itself uses one) or to no value is left out, and with none left the
// ratio is 0 instead of NaN.
TEST_F(SmallLattice, VoltageRatioLeavesOutElectrodesWithoutAFactor) {
  UseConstantVoltage();
  struct Case {
    double pot0, pot1;
    double expectedRatio;
  };
  const Case cases[] = {{2, 0, 0.3}, {0, 1, 0.3}, {0, 0, 0.0}, {1e300, 4, 0.3}, {1e300, 0, 0.0}};
  const int free = Cell(2, 3, 2);
  for (const Case& c : cases) {
    const double pots[2] = {c.pot0, c.pot1};
    THeapSetElectrodesPot(heap.get(), pots, 2, 0.0);
    THeapReset(heap.get());
    h().PotentialQ0[free] = 1;
    h().Potential[free] = 0;
    korvane::ApplyElectrodePotentials(h(), 0.5);
    korvane::ApplyElectrodePotentialsQ0(h(), 0.8, 1);
    EXPECT_NEAR(h().VoltageRatio, c.expectedRatio, 1e-12) << c.pot0 << ", " << c.pot1;
    EXPECT_TRUE(std::isfinite(h().VoltageRatioError));
    EXPECT_TRUE(AllFinite(h().Potential)) << c.pot0 << ", " << c.pot1;
    EXPECT_TRUE(std::isfinite(h().Potential[free]));
  }
}

// Codes of no existing electrode: beyond the electrode count, non-negative,
// fractional, not a number. Each is a fixed cell that keeps its potential; none
// is used as an index (ASan would catch a write outside the code table).
TEST_F(SmallLattice, InvalidElectrodeCodesAreFixedCellsOfNoElectrode) {
  UseConstantVoltage();
  const double invalid[] = {-9, -7, -6, 0, 3, -2.5, -1.5, std::nan(""), 1e300, -1e300,
                            std::numeric_limits<double>::infinity(), -3e9};
  std::vector<int> cells;
  int i = 0;
  for (double code : invalid) {
    const int c = Cell(i % 6, 2 + i / 6, 2);
    h().ElectrodeCodes[c] = code;
    h().PotentialInit[c] = 0.75;
    cells.push_back(c);
    ++i;
  }
  THeapReset(heap.get());
  EXPECT_EQ(h().ElectrodeCellCount, 60);
  EXPECT_EQ(h().Nodes.count, 0);
  korvane::ApplyElectrodePotentialsQ0(h(), 1.0, 2);
  korvane::ApplyElectrodePotentialsQ0(h(), 1.0, 1);
  korvane::ZeroElectrodeCharge(h());
  for (int c : cells) {
    EXPECT_EQ(korvane::CellElectrodeCode(h(), c), korvane::kInvalidElectrodeCode) << h().ElectrodeCodes[c];
    EXPECT_EQ(korvane::CellElectrode(h(), c), -1);
    EXPECT_EQ(h().Potential[c], 0.75);
  }
  EXPECT_EQ(korvane::CodePotential(h(), -2), 2.0);
  EXPECT_EQ(korvane::CodePotential(h(), -5), 1.0);
  EXPECT_TRUE(AllFinite(h().Potential));
}

TEST(ElectrodeCodeClassification, TableOfValues) {
  HeapPtr heap(THeapNew());
  ASSERT_TRUE(heap);
  struct Case {
    double value;
    int code;
    int electrode;
  };
  const int bad = korvane::kInvalidElectrodeCode;
  const Case cases[] = {{-1, -1, -1}, {-2, -2, 0}, {-3, -3, 0}, {-4, -4, 1}, {-5, -5, 1},
                        {-6, bad, -1}, {0, bad, -1}, {-0.5, bad, -1}, {-4.5, bad, -1}, {std::nan(""), bad, -1}};
  for (const Case& c : cases) {
    const int cell = 7;
    heap->ElectrodeCodes[cell] = c.value;
    EXPECT_EQ(korvane::CellElectrodeCode(*heap, cell), c.code) << c.value;
    EXPECT_EQ(korvane::CellElectrode(*heap, cell), c.electrode) << c.value;
  }
  heap->ElectrodeCount = 0x7fffffff;  // a corrupt count must not overflow the bound
  heap->ElectrodeCodes[7] = -3e9;
  EXPECT_EQ(korvane::CellElectrodeCode(*heap, 7), bad);
  heap->ElectrodeCount = 2;
}

// Material indices are written by the program and materials can be deleted
// while cells use them: at reset an index of no material means material 0.
TEST_F(SmallLattice, InvalidMaterialIndicesMapToMaterialZero) {
  const int cells[] = {Cell(1, 2, 3), Cell(5, 6, 4), Cell(0, 0, 0)};
  h().MaterialOfCell[cells[0]] = 1;
  h().MaterialOfCell[cells[1]] = -4;
  h().MaterialOfCell[cells[2]] = 1 << 30;
  THeapReset(heap.get());
  for (int c : cells) {
    EXPECT_EQ(h().MaterialOfCell[c], 0);
    EXPECT_EQ(h().Ec[c], 2.5e7);
    EXPECT_EQ(h().LinkEps1[c], 2.5);
  }
}

// A permittivity that is not positive would give NaN and infinite links: such
// a material takes the permittivity of the dielectric, or of vacuum when the
// dielectric's own is invalid too. Eps stays as the program wrote it.
TEST_F(SmallLattice, InvalidPermittivityFallsBackToTheDielectric) {
  const double bad[] = {0.0, -3.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e-320};
  for (double eps : bad) {
    SCOPED_TRACE(eps);
    heap.reset(THeapNew());
    ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 6, 7, 5));
    AddMaterial(eps);
    const int c = Cell(2, 3, 2);
    h().MaterialOfCell[c] = 1;
    THeapReset(heap.get());
    EXPECT_EQ(h().Materials[1].InvEps, 0.2);
    EXPECT_TRUE(std::isnan(eps) ? std::isnan(h().Materials[1].Eps) : h().Materials[1].Eps == eps);
    EXPECT_EQ(h().LinkEps1[c], 2.5);
    EXPECT_EQ(h().LinkEps2[Cell(2, 2, 2)], 2.5);
    // With the dielectric invalid as well, both count as vacuum.
    h().Materials[0].Eps = -1;
    THeapReset(heap.get());
    EXPECT_EQ(h().Materials[0].InvEps, 1.0);
    EXPECT_EQ(h().Materials[1].InvEps, 1.0);
    EXPECT_EQ(h().LinkEps3[c], 0.5);
    EXPECT_TRUE(AllFinite(h().LinkEps1) && AllFinite(h().LinkEps2) && AllFinite(h().LinkEps3));
  }
}

TEST_F(SmallLattice, MissingMaterialTableIsReplacedByTheDefault) {
  TMaterialDelete(h().Materials);
  h().Materials = nullptr;
  h().MaterialCount = 0;
  THeapReset(heap.get());
  ASSERT_NE(h().Materials, nullptr);
  EXPECT_EQ(h().MaterialCount, 1);
  EXPECT_EQ(h().Materials[0].Eps, 5.0);
  EXPECT_EQ(h().LinkEps2[Cell(3, 3, 3)], 2.5);
}

}  // namespace
