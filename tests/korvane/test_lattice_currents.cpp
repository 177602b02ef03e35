// Currents in the lattice and at the electrodes, charge relaxation in a
// conducting dielectric, charge bookkeeping over time steps, and the electrode
// charges by Gauss's law.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Engine.h"
#include "PotentialTestHeap.h"
#include "korvane.h"

namespace {

using korvane::CellCount;
using korvane::WrapOnce;
using potential_test::EngineRecord;
using potential_test::MaterialWith;

class LatticeCurrents : public EngineRecord {
 protected:
  double Volume() { return h().CellSize1 * h().CellSize2 * h().CellSize3; }

  // Space charge of the whole lattice (C).
  double TotalCharge() {
    double sum = 0;
    for (int c = 0; c < CellCount(h()); ++c) sum += h().Charge[c];
    return sum * Volume();
  }

  void SetLinearProfile(double top, double bottom) {
    THeap& r = h();
    for (int c = 0; c < CellCount(r); ++c) {
      const int i2 = c / (r.N1 * r.N3);
      r.Potential[c] = bottom + (top - bottom) * i2 / (r.N2 - 1);
    }
  }
};

// ---- displacement currents ------------------------------------------------------

TEST_F(LatticeCurrents, UnchangedPotentialHasNoDisplacementCurrent) {
  Prepare(4, 6, 5);
  THeap& r = h();
  for (int c = 0; c < CellCount(r); ++c) r.Potential[c] = std::cos(0.7 * c);
  korvane::ComputeFieldComponents(r);
  korvane::ComputeDisplacementCurrents(r);
  for (int c = 0; c < CellCount(r); ++c) {
    ASSERT_EQ(r.DispCurrentX[c], 0.0) << c;
    ASSERT_EQ(r.DispCurrentY[c], 0.0) << c;
    ASSERT_EQ(r.DispCurrentZ[c], 0.0) << c;
    ASSERT_EQ(r.DispCurrentAbs[c], 0.0) << c;
  }
}

TEST_F(LatticeCurrents, ChangingUniformFieldGivesEps0EpsDeltaEOverDt) {
  Prepare(3, 6, 4);
  THeap& r = h();
  r.Dt = 2e-9;
  SetLinearProfile(1.0, 2.0);  // 1 V over 5 mm, falling along axis 2
  korvane::ComputeFieldComponents(r);
  SetLinearProfile(1.0, 3.5);
  korvane::ComputeDisplacementCurrents(r);
  const double e0 = (2.0 - 1.0) / 5 / 0.001, e1 = (3.5 - 1.0) / 5 / 0.001;
  // The field on a lower link is positive from the lower cell to the cell.
  const double expected = r.Eps0 * 5 * (e1 - e0) / r.Dt;
  for (int c = 0; c < CellCount(r); ++c) {
    ASSERT_NEAR(r.DispCurrentY[c], expected, 1e-12 * std::fabs(expected)) << c;
    ASSERT_NEAR(r.FieldY[c], e1, 1e-9) << c;
    ASSERT_NEAR(r.DispCurrentAbs[c], std::fabs(expected), 1e-12 * std::fabs(expected)) << c;
    ASSERT_NEAR(r.FieldAbs[c], e1, 1e-9) << c;
    ASSERT_EQ(r.DispCurrentX[c], 0.0);
    ASSERT_EQ(r.DispCurrentZ[c], 0.0);
  }
}

TEST_F(LatticeCurrents, CellValuesAverageBothLinksOfAnAxis) {
  Prepare(4, 3, 1);
  THeap& r = h();
  // A field that changes along axis 1 only on the link into cell i1 = 2.
  for (int c = 0; c < CellCount(r); ++c) r.Potential[c] = 0;
  korvane::ComputeFieldComponents(r);
  for (int i2 = 0; i2 < 3; ++i2) Phi(2, i2, 0) = -0.004;
  korvane::ComputeDisplacementCurrents(r);
  // Link fields: into cell 2 from cell 1: (0 - -0.004)/0.001 = 4; into cell 3: -4.
  EXPECT_DOUBLE_EQ(r.FieldX[Cell(2, 1, 0)], 4.0);
  EXPECT_DOUBLE_EQ(r.FieldX[Cell(3, 1, 0)], -4.0);
  EXPECT_DOUBLE_EQ(r.FieldAbs[Cell(1, 1, 0)], 2.0);  // (0 + 4)/2
  EXPECT_DOUBLE_EQ(r.FieldAbs[Cell(2, 1, 0)], 0.0);  // (4 - 4)/2
  EXPECT_DOUBLE_EQ(r.FieldAbs[Cell(3, 1, 0)], 2.0);
}

// ---- conduction in the lattice ---------------------------------------------------

TEST_F(LatticeCurrents, InsulatorsCarryNoBulkCurrent) {
  Prepare(4, 5, 3);
  THeap& r = h();
  for (int c = 0; c < CellCount(r); ++c) {
    r.FieldX[c] = r.FieldY[c] = r.FieldZ[c] = 1e5 * std::sin(c);
    r.CurrentX[c] = r.CurrentY[c] = r.CurrentZ[c] = 7.0;
    r.Charge[c] = 1e-6 * c;
  }
  korvane::ComputeBulkCurrents(r);
  for (int c = 0; c < CellCount(r); ++c) {
    ASSERT_EQ(r.CurrentX[c], 7.0);
    ASSERT_EQ(r.CurrentY[c], 7.0);
    ASSERT_EQ(r.CurrentZ[c], 7.0);
    ASSERT_EQ(r.Charge[c], 1e-6 * c);
  }
}

TEST_F(LatticeCurrents, LinkCurrentUsesTheSeriesConductivity) {
  struct Case {
    const char* name;
    double sigmaLower, sigmaCell;
    double expectedFactor;  // current / field
  };
  const Case cases[] = {
      {"equal", 2.0, 2.0, 2.0},
      {"different", 1.0, 3.0, 2 * 1.0 * 3.0 / 4.0},
      {"insulating neighbour", 0.0, 3.0, 0.0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Prepare(4, 5, 3, {MaterialWith(5, k.sigmaLower), MaterialWith(5, k.sigmaCell), MaterialWith(5, 0)});
    THeap& r = h();
    // Material 2 (insulating) everywhere but the pair of cells on axis 1.
    for (int c = 0; c < CellCount(r); ++c) r.MaterialOfCell[c] = 2;
    const int lower = Cell(1, 2, 1), cell = Cell(2, 2, 1);
    r.MaterialOfCell[lower] = 0;
    r.MaterialOfCell[cell] = 1;
    THeapReset(&r);
    r.Dt = 1e-9;
    const double field = 3e4;
    for (int c = 0; c < CellCount(r); ++c) r.FieldX[c] = r.FieldY[c] = r.FieldZ[c] = field;
    const double before = TotalCharge();
    korvane::ComputeBulkCurrents(r);
    const double current = field * k.expectedFactor;
    EXPECT_DOUBLE_EQ(r.CurrentX[cell], current);
    EXPECT_EQ(r.CurrentY[cell], 0.0);  // insulating below
    EXPECT_EQ(r.CurrentZ[cell], 0.0);
    // The charge moves from the lower neighbour into the cell.
    EXPECT_DOUBLE_EQ(r.Charge[cell], r.Dt * current / r.CellSize1);
    EXPECT_DOUBLE_EQ(r.Charge[lower], -r.Dt * current / r.CellSize1);
    EXPECT_NEAR(TotalCharge(), before, 1e-25);
  }
}

TEST_F(LatticeCurrents, CellAboveTheBottomPlaneGivesItsCurrentToThePlane) {
  Prepare(3, 4, 3, {MaterialWith(5, 1e-3)});
  THeap& r = h();
  for (int c = 0; c < CellCount(r); ++c) r.FieldY[c] = 100.0 + c;
  korvane::ComputeBulkCurrents(r);
  for (int i3 = 0; i3 < 3; ++i3)
    for (int i1 = 0; i1 < 3; ++i1) EXPECT_EQ(r.CurrentY[Cell(i1, 0, i3)], r.CurrentY[Cell(i1, 1, i3)]);
  EXPECT_DOUBLE_EQ(r.CurrentY[Cell(1, 1, 1)], r.FieldY[Cell(1, 1, 1)] * 1e-3);
}

// ---- electrode currents -----------------------------------------------------------

TEST_F(LatticeCurrents, ElectrodesCollectTheirCellsCharge) {
  Prepare(3, 5, 3);
  THeap& r = h();
  r.Dt = 1e-9;
  r.Charge[Cell(0, 0, 0)] = 2e-3;
  r.Charge[Cell(2, 0, 1)] = 1e-3;
  r.Charge[Cell(1, 4, 1)] = -4e-3;
  r.Charge[Cell(1, 2, 1)] = 5e-3;  // a free cell keeps its charge
  r.ElectrodeCharges[0] = 1e-15;
  r.ElectrodeCharges[1] = 0;
  korvane::ComputeElectrodeCurrents(r);
  for (int c = 0; c < CellCount(r); ++c) {
    if (r.ElectrodeCodes[c] != -1.0) {
      ASSERT_EQ(r.Charge[c], 0.0) << c;
    }
  }
  EXPECT_EQ(r.Charge[Cell(1, 2, 1)], 5e-3);
  const double v = Volume();
  EXPECT_DOUBLE_EQ(r.ElectrodeCurrents[0], -v * 3e-3 / r.Dt);
  EXPECT_DOUBLE_EQ(r.ElectrodeCurrents[1], v * 4e-3 / r.Dt);
  EXPECT_DOUBLE_EQ(r.ElectrodeCharges[0], 1e-15 + v * 3e-3);
  EXPECT_DOUBLE_EQ(r.ElectrodeCharges[1], -v * 4e-3);
}

TEST_F(LatticeCurrents, OneElectrodeEmittingWhatTheOtherCollects) {
  Prepare(3, 5, 4);
  THeap& r = h();
  const double d = 2.5e-2;
  for (int c = 0; c < CellCount(r); ++c) r.DispCurrentY[c] = d;
  korvane::ComputeElectrodeCurrents(r);
  const double a2 = r.CellSize1 * r.CellSize3;
  EXPECT_DOUBLE_EQ(r.ElectrodeDispCurrents[0], a2 * d * 12);
  EXPECT_DOUBLE_EQ(r.ElectrodeDispCurrents[1], -a2 * d * 12);
  EXPECT_EQ(r.BoundaryDispCurrent, 0.0);
  EXPECT_EQ(r.PositiveCurrent, r.NegativeCurrent);
  EXPECT_EQ(r.MeanCurrent, r.PositiveCurrent);
  EXPECT_GT(r.MeanCurrent, 0.0);
  // In the generator mode the sign follows electrode 0.
  r.VoltageMode = 2;
  for (int c = 0; c < CellCount(r); ++c) r.DispCurrentY[c] = -d;
  korvane::ComputeElectrodeCurrents(r);
  EXPECT_DOUBLE_EQ(r.MeanCurrent, -a2 * d * 12);
  EXPECT_EQ(r.PositiveCurrent, r.MeanCurrent);
  EXPECT_EQ(r.NegativeCurrent, r.MeanCurrent);
}

TEST_F(LatticeCurrents, FreeCellsOfTheOuterPlanesCarryTheBoundaryCurrent) {
  Prepare(2, 4, 2);
  THeap& r = h();
  // Free outer planes; electrodes only inside.
  for (int c = 0; c < CellCount(r); ++c) r.ElectrodeCodes[c] = -1;
  for (int i3 = 0; i3 < 2; ++i3)
    for (int i1 = 0; i1 < 2; ++i1) {
      r.ElectrodeCodes[Cell(i1, 1, i3)] = -2;
      r.ElectrodeCodes[Cell(i1, 2, i3)] = -4;
    }
  for (int c = 0; c < CellCount(r); ++c) r.DispCurrentY[c] = 0;
  for (int i3 = 0; i3 < 2; ++i3)
    for (int i1 = 0; i1 < 2; ++i1) {
      r.DispCurrentY[Cell(i1, 1, i3)] = 3.0;  // read by the bottom plane's cells
      r.DispCurrentY[Cell(i1, 3, i3)] = -1.0;  // the top plane's own
    }
  korvane::ComputeElectrodeCurrents(r);
  const double a2 = r.CellSize1 * r.CellSize3;
  EXPECT_DOUBLE_EQ(r.BoundaryDispCurrent, 4 * a2 * 3.0 + 4 * a2 * -1.0);
}

TEST_F(LatticeCurrents, CodesOfMissingElectrodesGetNoCurrent) {
  Prepare(3, 5, 3);
  THeap& r = h();
  const int stray = Cell(1, 2, 1), fractional = Cell(0, 2, 0), positive = Cell(2, 2, 2);
  r.ElectrodeCodes[stray] = -9;  // electrode 3 of 2
  r.ElectrodeCodes[fractional] = -2.5;
  r.ElectrodeCodes[positive] = 4;
  for (int c : {stray, fractional, positive}) {
    r.Charge[c] = 1e-3;
    r.DispCurrentY[c] = 1.0;
  }
  korvane::ComputeElectrodeCurrents(r);
  for (int c : {stray, fractional, positive}) EXPECT_EQ(r.Charge[c], 1e-3);
  EXPECT_EQ(r.ElectrodeCurrents[0], 0.0);
  EXPECT_EQ(r.ElectrodeCurrents[1], 0.0);
  EXPECT_EQ(korvane::ElectrodeCharge(r, 3), 0.0);
  EXPECT_EQ(korvane::ElectrodeCharge(r, -1), 0.0);
}

// ---- electrode charge by Gauss's law -----------------------------------------------

TEST_F(LatticeCurrents, ParallelPlatesCarryEps0EpsAUOverD) {
  Prepare(3, 9, 4);
  THeap& r = h();
  Solve(false);
  const double area = 3 * 4 * r.CellSize1 * r.CellSize3;
  const double gap = 8 * r.CellSize2;
  const double q = r.Eps0 * 5 * area * 1.0 / gap;
  EXPECT_NEAR(korvane::ElectrodeCharge(r, 0), q, 1e-9 * q);
  EXPECT_NEAR(korvane::ElectrodeCharge(r, 1), -q, 1e-9 * q);
}

TEST_F(LatticeCurrents, LayeredPlatesCarryTheSeriesCharge) {
  Prepare(2, 11, 3, {MaterialWith(2, 0), MaterialWith(8, 0)});
  THeap& r = h();
  for (int c = 0; c < CellCount(r); ++c) r.MaterialOfCell[c] = c / (2 * 3) >= 5 ? 1 : 0;
  THeapReset(&r);
  Solve(false);
  double resistance = 0;  // sum of gap / permittivity over the links
  for (int i2 = 0; i2 + 1 < 11; ++i2) {
    const double e1 = i2 >= 5 ? 8 : 2, e2 = i2 + 1 >= 5 ? 8 : 2;
    resistance += r.CellSize2 / (2 * e1 * e2 / (e1 + e2));
  }
  const double q = r.Eps0 * (2 * 3 * r.CellSize1 * r.CellSize3) * 1.0 / resistance;
  EXPECT_NEAR(korvane::ElectrodeCharge(r, 0), q, 1e-9 * q);
  EXPECT_NEAR(korvane::ElectrodeCharge(r, 1), -q, 1e-9 * q);
}

TEST_F(LatticeCurrents, ElectrodeEnclosedByElectrodeCellsHasNoCharge) {
  Prepare(5, 7, 5);
  THeap& r = h();
  const double pots[3] = {2, 1, 5};
  THeapSetElectrodesPot(&r, pots, 3, 0);
  // Electrode 2 at the centre, wrapped in electrode 1's cells.
  for (int i2 = 2; i2 <= 4; ++i2)
    for (int i3 = 1; i3 <= 3; ++i3)
      for (int i1 = 1; i1 <= 3; ++i1) r.ElectrodeCodes[Cell(i1, i2, i3)] = -4;
  r.ElectrodeCodes[Cell(2, 3, 2)] = -6;
  THeapReset(&r);
  Phi(2, 3, 2) = 5;
  Solve(false);
  EXPECT_EQ(korvane::ElectrodeCharge(r, 2), 0.0);
  EXPECT_NE(korvane::ElectrodeCharge(r, 1), 0.0);
}

// ---- charge in a conducting dielectric over time steps ------------------------------

class ChargeRelaxation : public LatticeCurrents {
 protected:
  // A uniformly conducting slab with a space charge in one cell; tau = eps0 eps / sigma
  // is ten time steps.
  void SetUpSlab(int scheme) {
    const double eps = 5, eps0 = 8.8542e-12, dt = 1e-9;
    const double sigma = eps0 * eps / (10 * dt);
    Prepare(5, 7, 5, {MaterialWith(eps, sigma)});
    THeap& r = h();
    r.ItrType = scheme;
    r.DtInit = dt;
    r.ChargeInit[Cell(2, 3, 2)] = 1e-5;
    THeapReset(&r);
    THeapInitCalc(&r);
    ASSERT_EQ(r.VoltageMode, 0);
    ASSERT_EQ(r.Dt, dt);
  }
};

TEST_F(ChargeRelaxation, FollowsTheSchemeDecayFactor) {
  struct Case {
    const char* name;
    int itrType;
    double factor;  // per step, Dt / tau = 0.1
  };
  const Case cases[] = {{"implicit", 1, 1 / 1.1}, {"explicit", 0, 0.9}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SetUpSlab(k.itrType);
    THeap& r = h();
    const int centre = Cell(2, 3, 2);
    double expected = 1e-5;
    for (int step = 1; step <= 10; ++step) {
      THeapGoTimeStep(&r);
      expected *= k.factor;
      ASSERT_NEAR(r.Charge[centre], expected, 1e-9 * 1e-5) << "step " << step;
    }
    // Elsewhere in the bulk no charge appears.
    EXPECT_NEAR(r.Charge[Cell(0, 3, 0)], 0.0, 1e-14);
  }
}

TEST_F(ChargeRelaxation, LatticeChargeChangesByTheElectrodeCurrents) {
  SetUpSlab(1);
  THeap& r = h();
  for (int step = 1; step <= 5; ++step) {
    const double before = TotalCharge();
    THeapGoTimeStep(&r);
    double conduction = 0;
    for (int e = 0; e < r.ElectrodeCount; ++e) conduction += r.ElectrodeCurrents[e];
    EXPECT_NEAR(TotalCharge() - before, r.Dt * conduction, 1e-9 * std::fabs(before)) << "step " << step;
    for (int c = 0; c < CellCount(r); ++c) {
      if (r.ElectrodeCodes[c] != -1.0) {
      ASSERT_EQ(r.Charge[c], 0.0) << c;
    }
    }
  }
  // The charge leaves through the electrodes.
  EXPECT_LT(TotalCharge(), 1e-5 * Volume() * 0.7);
}

}  // namespace
