#pragma once
// The breakdown model on its small needle lattice, run once per suite to the
// stop given, for the plots that show its results.

#include "BitModelTestSupport.h"

#include "plots/FormSimplePlot.h"

#include "data/Stream.h"
#include "data/TagStream.h"

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

// A chart window's project record, and loading one into a window.
inline std::vector<uint8_t> SavedRecord(TFSimplePlot& plot)
{
  TMemoryStream memory;
  {
    TTagStream stream(&memory, TagStreamWrite);
    plot.SaveToStream(&stream);
    stream.Commit();
  }
  return memory.Bytes();
}

inline void LoadRecord(TFSimplePlot& plot, std::vector<uint8_t> bytes)
{
  TMemoryStream memory(std::move(bytes));
  TTagStream stream(&memory, TagStreamRead);
  plot.LoadFromStream(&stream);
}
