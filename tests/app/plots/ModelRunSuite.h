#pragma once
// The breakdown model on its small needle lattice, run once per suite to the
// stop given, for the plots that show its results.

#include "BitModelTestSupport.h"

#include <gtest/gtest.h>

template <int StopMode, int StopTimeNs = 0>
class TModelRunSuite : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    rig = new modeltest::TBitModelRig;
    rig->model->SetStopMode(StopMode);
    rig->model->SetStopTime(StopTimeNs * 1e-9);
    ASSERT_TRUE(rig->RunToPause());
  }
  static void TearDownTestSuite()
  {
    delete rig;
    rig = nullptr;
  }

  static inline modeltest::TBitModelRig* rig = nullptr;
};
