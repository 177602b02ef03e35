// A small engine record for the growth and tree tests: zeroed pages mapped for
// the whole record, a lattice of a few cells per side, one material, no
// electrodes, potentials as the test sets them.
#ifndef KESTOVAR_TESTS_GROWTH_TEST_HEAP_H
#define KESTOVAR_TESTS_GROWTH_TEST_HEAP_H

#include <sys/mman.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "Engine.h"
#include "Lattice.h"
#include "korvane.h"

namespace growth_test {

// The default material of a new record (its values are checked on a new record
// in the record tests).
inline TMaterial DefaultMaterial() {
  TMaterial m;
  korvane::SetDefaultMaterial(m);
  return m;
}

class TestHeap {
 public:
  TestHeap(int n1, int n2, int n3, int materialCount = 1) : materials_(materialCount, DefaultMaterial()) {
    void* p = mmap(nullptr, sizeof(THeap), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::runtime_error("cannot map a test record");
    h_ = static_cast<THeap*>(p);
    THeap& h = *h_;
    h.N1 = n1;
    h.N2 = n2;
    h.N3 = n3;
    h.N1Last = n1 - 1;
    h.N2Last = n2 - 1;
    h.N3Last = n3 - 1;
    h.CellSize1 = h.CellSize2 = h.CellSize3 = 1e-3;
    h.Dt = 1e-9;
    h.LimbEn = 2;
    h.LimbMinCond = 1e-15;
    h.LimbMaxCond = 1e10;
    h.LimbDimMinLength = 2;
    h.LimbDimMinCount = 5;
    h.ElectrodeCount = 2;
    h.Materials = materials_.data();
    h.MaterialCount = materialCount;
    for (int c = 0; c < korvane::CellCount(h); ++c) {
      h.NodeOfCell[c] = -1;
      h.ElectrodeCodes[c] = -1;
      h.Ec[c] = materials_[0].Ec;
    }
  }
  ~TestHeap() {
    TTreeDelete(&h_->Nodes);
    munmap(h_, sizeof(THeap));
  }
  TestHeap(const TestHeap&) = delete;
  TestHeap& operator=(const TestHeap&) = delete;

  THeap& operator*() { return *h_; }
  THeap* operator->() { return h_; }
  THeap* get() { return h_; }
  TMaterial& material(int m) { return materials_[m]; }

  int Cell(int i1, int i2, int i3) const { return korvane::CellIndex(*h_, i1, i2, i3); }
  int CellCount() const { return korvane::CellCount(*h_); }

  void FillAll(double* array, double value) {
    for (int c = 0; c < CellCount(); ++c) array[c] = value;
  }
  // Potential falling linearly along axis 2 from top at i2 = 0 to 0 at the last plane.
  void LinearPotentialAlongAxis2(double top) {
    for (int i2 = 0; i2 < h_->N2; ++i2)
      for (int i3 = 0; i3 < h_->N3; ++i3)
        for (int i1 = 0; i1 < h_->N1; ++i1)
          h_->Potential[Cell(i1, i2, i3)] = top * (h_->N2 - 1 - i2) / (h_->N2 - 1);
  }

  int AddRoot(int i1, int i2, int i3) { return korvane::AddNode(*h_, i1, i2, i3, Cell(i1, i2, i3), -1); }

  const TNode& Node(int i) const { return h_->Nodes.nodes[i]; }
  int NodeCount() const { return h_->Nodes.count; }

 private:
  THeap* h_ = nullptr;
  std::vector<TMaterial> materials_;
};

}  // namespace growth_test

#endif  // KESTOVAR_TESTS_GROWTH_TEST_HEAP_H
