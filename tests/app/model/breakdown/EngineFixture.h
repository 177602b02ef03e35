#pragma once

#include <korvane.h>

#include <gtest/gtest.h>

// One engine record for a whole suite: it is large, and these tests only
// read its layout or write a few small lattices.
class TEngineSuite : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    engine = THeapNew();
    ASSERT_NE(engine, nullptr);
  }
  static void TearDownTestSuite() {
    THeapDelete(engine);
    engine = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(engine, nullptr);
    ASSERT_TRUE(THeapSetLatticeSize(engine, 5, 6, 4));
    THeapSetDefaults(engine);
  }
  static inline THeap *engine = nullptr;
};
