// An engine record owned by a test, freed through the engine; and a fixture
// holding a fresh record on a small lattice of 6 x 7 x 5 cells.
#ifndef KORVANE_TESTS_SMALL_RECORD_H
#define KORVANE_TESTS_SMALL_RECORD_H

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Engine.h"
#include "korvane.h"

namespace korvane_test {

struct HeapDeleter {
  void operator()(THeap* h) const { THeapDelete(h); }
};
using HeapPtr = std::unique_ptr<THeap, HeapDeleter>;

class SmallRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    heap.reset(THeapNew());
    ASSERT_TRUE(heap);
    ASSERT_TRUE(THeapSetLatticeSize(heap.get(), 6, 7, 5));
  }
  THeap& h() { return *heap; }
  int Cell(int i1, int i2, int i3) { return korvane::CellIndex(h(), i1, i2, i3); }
  bool AllFinite(const double* array) {
    for (int c = 0; c < korvane::CellCount(h()); ++c)
      if (!std::isfinite(array[c])) return false;
    return true;
  }
  HeapPtr heap;
};

}  // namespace korvane_test

#endif  // KORVANE_TESTS_SMALL_RECORD_H
