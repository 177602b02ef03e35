#pragma once
// An engine record of its own for every test, freed by the engine.
#include <korvane.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

class HeapTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    heap = THeapNew();
    ASSERT_NE(heap, nullptr);
  }
  void TearDown() override { THeapDelete(heap); }

  // The parameter and state block, byte for byte, with the materials it points to.
  std::vector<unsigned char> Snapshot() const
  {
    const size_t start = offsetof(THeap, Nodes);
    const auto* bytes = reinterpret_cast<const unsigned char*>(heap);
    std::vector<unsigned char> out(bytes + start, bytes + sizeof(THeap));
    const auto* materials = reinterpret_cast<const unsigned char*>(heap->Materials);
    out.insert(out.end(), materials, materials + heap->MaterialCount * sizeof(TMaterial));
    return out;
  }

  THeap* heap = nullptr;
};
