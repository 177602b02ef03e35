// A shared engine record for the solver and current tests: created once per
// suite (THeapNew touches the whole 216 MiB record), set up per test on a small
// lattice in the constant-voltage mode.
#ifndef KORVANE_TESTS_POTENTIAL_TEST_HEAP_H
#define KORVANE_TESTS_POTENTIAL_TEST_HEAP_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Engine.h"
#include "Lattice.h"
#include "korvane.h"

namespace potential_test {

// The default material of a new record (its values are checked on a new record
// in the record tests).
inline TMaterial DefaultMaterial() {
  TMaterial m;
  korvane::SetDefaultMaterial(m);
  return m;
}

inline TMaterial MaterialWith(double eps, double sigma) {
  TMaterial m = DefaultMaterial();
  m.Eps = eps;
  m.InvEps = 1 / eps;
  m.Sigma = sigma;
  return m;
}

class EngineRecord : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { shared_ = THeapNew(); }
  static void TearDownTestSuite() {
    THeapDelete(shared_);
    shared_ = nullptr;
  }

  void SetUp() override { ASSERT_NE(shared_, nullptr); }
  void TearDown() override { DropNodes(); }

  THeap& h() { return *shared_; }

  // A fresh n1 x n2 x n3 lattice with the default planes at potentials 2 and 1,
  // one material, constant voltage, and a solver that runs to a tight bound.
  void Prepare(int n1, int n2, int n3, std::vector<TMaterial> materials = {DefaultMaterial()}) {
    THeap& r = h();
    DropNodes();
    const double pots[2] = {2, 1};
    THeapSetElectrodesPot(&r, pots, 2, 0);
    // Nothing of the previous test may leak in through the start values.
    const std::size_t used = static_cast<std::size_t>(std::max(korvane::CellCount(r), n1 * n2 * n3));
    for (double* a : {r.Potential, r.PotentialInit, r.PotentialQ0, r.Charge, r.PotentialNext})
      std::fill(a, a + used, 0.0);
    std::fill(r.NodeOfCell, r.NodeOfCell + used, -1.0);
    ASSERT_TRUE(THeapSetLatticeSize(&r, n1, n2, n3));
    THeapSetDefaults(&r);
    SetMaterials(materials);
    r.Tau = 0;
    r.GenU = 0;
    r.BSep = 0;
    r.DwType = 2;
    r.Dw = 1e-13;
    r.MinNwItr = 1;
    r.MaxNwItr = 200000;
    r.ItrType = 1;
    r.GenIdle = 1;
    r.CellSize1 = r.CellSize2 = r.CellSize3 = 0.001;
    r.DtInit = 1e-9;
    r.Eps0 = 8.8542e-12;
    // The defaults apply the potentials through the previous lattice's electrode
    // list; free cells start from 0 instead.
    for (int c = 0; c < korvane::CellCount(r); ++c)
      if (r.ElectrodeCodes[c] == -1.0) r.PotentialInit[c] = 0;
    THeapReset(&r);
    r.SweepOrder = 0;
  }

  // Replaces the material table (before a reset, which derives the links).
  void SetMaterials(const std::vector<TMaterial>& materials) {
    THeap& r = h();
    TMaterial* table = TMaterialNew(static_cast<int>(materials.size()));
    ASSERT_NE(table, nullptr);
    std::memcpy(table, materials.data(), materials.size() * sizeof(TMaterial));
    TMaterialDelete(r.Materials);
    r.Materials = table;
    r.MaterialCount = static_cast<int>(materials.size());
  }

  // Runs iterations until the solution is finished; returns their number.
  int Solve(bool implicit, bool coupling = false) {
    THeap& r = h();
    r.Converged = 0;
    int iterations = 0;
    while (!r.Converged) {
      korvane::IteratePotential(r, implicit, coupling);
      ++iterations;
      if (iterations > 1000000) break;
    }
    return iterations;
  }

  int Cell(int i1, int i2, int i3) { return korvane::CellIndex(h(), i1, i2, i3); }
  double& Phi(int i1, int i2, int i3) { return h().Potential[Cell(i1, i2, i3)]; }

  // Installs a node list owned by the test; the record's own list (empty after
  // a reset on the default planes) is put back by DropNodes.
  void UseNodes(const std::vector<TNode>& nodes) {
    DropNodes();
    THeap& r = h();
    saved_ = r.Nodes;
    nodes_ = nodes;
    r.Nodes.nodes = nodes_.data();
    r.Nodes.count = static_cast<int>(nodes_.size());
    r.Nodes.capacity = static_cast<int>(nodes_.size());
    for (std::size_t n = 0; n < nodes_.size(); ++n) r.NodeOfCell[nodes_[n].cell] = static_cast<double>(n);
    installed_ = true;
  }

  void DropNodes() {
    if (!installed_ || !shared_) return;
    THeap& r = h();
    for (const TNode& n : nodes_) r.NodeOfCell[n.cell] = -1;
    r.Nodes = saved_;
    installed_ = false;
  }

  static TNode NodeAt(int x, int y, int z, int cell, int parent, double g, double invLength) {
    TNode n;
    std::memset(&n, 0, sizeof n);
    n.x = x;
    n.y = y;
    n.z = z;
    n.cell = cell;
    n.parent = parent;
    n.g = g;
    n.invLength = invLength;
    return n;
  }

  static THeap* shared_;

 private:
  std::vector<TNode> nodes_;
  TTree saved_{};
  bool installed_ = false;
};

inline THeap* EngineRecord::shared_ = nullptr;

}  // namespace potential_test

#endif  // KORVANE_TESTS_POTENTIAL_TEST_HEAP_H
