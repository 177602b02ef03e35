#include "BitModelTestSupport.h"

#include "data/TimeSerie.h"
#include "data/TimeSeries.h"
#include "gis/GArray.h"
#include "model/VolumeLayer.h"
#include "model/breakdown/EngineArrays.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

using namespace modeltest;

namespace {

double LastValue(const TTimeSerie &s) {
  double t = 0, v = 0;
  s.GetPoint(s.GetCount() - 1, t, v);
  return v;
}

TEST(BitModelRun, RunsToBreakdownOnTheWorkerAndShowsTheEngineStateAtThePause) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopOnEvent);
  ASSERT_TRUE(rig.RunToPause());
  TFBitModel &m = *rig.model;
  THeap &h = rig.Engine();
  EXPECT_EQ(m.GetState(), TFModel::StatePaused);
  EXPECT_TRUE(m.StopConditionReached());
  ASSERT_EQ(h.Flags, 1);
  EXPECT_GT(m.GetStepCount(), 10);
  EXPECT_EQ(m.GetStageCount(), h.Nodes.count);
  EXPECT_NEAR(m.GetTime(), h.Time, 1e-18);

  // Every output series ends on its engine field.
  const auto &outputs = m.GetOutputQuantities();
  ASSERT_EQ(m.GetSeriesCount(), 35);
  for (int i = 0; i < outputs.Count(); ++i) {
    const auto &record = outputs.Item(i);
    const TTimeSerie *s = m.FindSeries(record.id, -1);
    ASSERT_NE(s, nullptr) << record.id;
    EXPECT_EQ(s, m.GetSeries(i)) << "registration order";
    ASSERT_GT(s->GetCount(), 1) << record.id;
    EXPECT_EQ(LastValue(*s), *record.value) << record.id;
  }

  // The tree snapshot is the engine's node list.
  m.GetSnapshot().Read([&](const TTree &tree, const TEngineStatistics &stats) {
    ASSERT_EQ(tree.count, h.Nodes.count);
    EXPECT_EQ(std::memcmp(tree.nodes, h.Nodes.nodes, sizeof(TNode) * static_cast<size_t>(tree.count)), 0);
    EXPECT_TRUE(stats.breakdown);
    EXPECT_EQ(stats.timeBreakdown, h.TimeBreakdown);
  });
  EXPECT_EQ(m.GetTimeTb(), h.TimeBreakdown);
  EXPECT_EQ(m.GetTimeTi(), h.TimeFirstCandidate);
  EXPECT_EQ(m.GetTimeTs(), h.TimeFirstGrowth);
  EXPECT_GT(h.TimeFirstGrowth, 0.0);

  // The channel from the deepest tip back to its root.
  int count = 0;
  double *positions = nullptr, *values = nullptr;
  m.GetChannelData(2003, -2, &count, &positions, &values);
  EXPECT_GT(count, 1);
  std::free(positions);
  std::free(values);

  // The mirrored layers hold the engine's arrays (the potential relative to
  // the reference electrode).
  const int cells = h.N1 * h.N2 * h.N3;
  // The reference: the extreme electrode potential of the smaller magnitude.
  double lo = 1e300, hi = -1e300;
  for (int e = 0; e < h.ElectrodeCount; ++e) {
    lo = std::min(lo, h.CodePotentialBase[-2 * (e + 1)]);
    hi = std::max(hi, h.CodePotentialBase[-2 * (e + 1)]);
  }
  const double reference = std::fabs(hi) >= std::fabs(lo) ? lo : hi;
  for (int i = 0; i < m.GetArrayCount(); ++i) {
    const int id = m.GetArrayId(i);
    TGObj *layer = rig.gis.FindArrayByCode(id);
    ASSERT_NE(layer, nullptr) << id;
    const double *v = VolumeLayer::Volume(layer);
    ASSERT_NE(v, nullptr) << id;
    double *engineValues = nullptr;
    m.GetArrayData(id, &engineValues);
    ASSERT_NE(engineValues, nullptr);
    const double shift = id == ArrayPotential ? -reference : 0.0;
    for (int c = 0; c < cells; ++c)
      ASSERT_EQ(v[c], engineValues[c] + shift) << id << " cell " << c;
    std::free(engineValues);
  }
  EXPECT_TRUE(m.StructureTouchesElectrode());
}

TEST(BitModelRun, StopsAtTheStopTime) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopAtTime);
  rig.model->SetStopTime(2e-8);
  ASSERT_TRUE(rig.RunToPause());
  const double t = rig.model->GetTime();
  EXPECT_GE(t, 2e-8 * TFModel::IntervalFactor);
  EXPECT_LT(t - rig.model->GetTimeStep(), 2e-8 * TFModel::IntervalFactor);
  EXPECT_EQ(rig.Engine().Flags, 0);
  // A resume goes on from there and stops at the next limit.
  rig.model->SetStopTime(4e-8);
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_GE(rig.model->GetTime(), 4e-8 * TFModel::IntervalFactor);
  EXPECT_NEAR(rig.Engine().Time, rig.model->GetTime(), 1e-18);
}

TEST(BitModelRun, RepeatedDischargesOutsideMaterialOneRunTheirLimit) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopRepeated);
  ASSERT_TRUE(rig.RunToPause(std::chrono::milliseconds(60000)));
  EXPECT_EQ(rig.model->GetRepeatCount(), 10);
  EXPECT_EQ(rig.host.steps, 9); // one step file before each restart
  EXPECT_EQ(rig.Engine().Flags, 1);
  EXPECT_TRUE(rig.model->StopConditionReached());
  EXPECT_EQ(rig.model->GetState(), TFModel::StatePaused);
}

TEST(BitModelRun, ABreakdownThroughMaterialOneEndsTheRepeatsAtOnce) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  // A second material with the same properties fills the whole gap.
  TMaterial *materials = TMaterialNew(2);
  ASSERT_NE(materials, nullptr);
  materials[0] = h.Materials[0];
  materials[1] = h.Materials[0];
  TMaterialDelete(h.Materials);
  h.Materials = materials;
  h.MaterialCount = 2;
  for (int c = 0; c < h.N1 * h.N2 * h.N3; ++c)
    h.MaterialOfCell[c] = 1;
  rig.model->UpdateArrayLayers(); // the layers are the inputs of a fresh run
  rig.model->SetStopMode(TFModel::StopRepeated);
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_EQ(rig.model->GetRepeatCount(), 1);
  EXPECT_EQ(rig.host.steps, 0);
  EXPECT_EQ(h.Flags, 1);
}

TEST(BitModelRun, ExtinctionEndsARunOnceEveryChannelSitsAtTheLowerBound) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  h.Materials[0].Beta = 1e12; // every channel decays to LimbMinCond within a step
  rig.model->SetStopMode(TFModel::StopOnEvent);
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_EQ(h.Flags, 0);
  EXPECT_GT(h.Nodes.count, 0);
  EXPECT_EQ(h.MaxLinearConductance, h.LimbMinCond);
  EXPECT_TRUE(rig.model->StopConditionReached());
}

TEST(BitModelRun, WindowsReadTheSnapshotWhileStepsRun) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopOnEvent);
  std::atomic<bool> done{false};
  std::atomic<int> inconsistent{0};
  std::thread reader([&] {
    while (!done) {
      rig.model->GetSnapshot().Read([&](const TTree &tree, const TEngineStatistics &) {
        for (int i = 0; i < tree.count; ++i)
          if (tree.nodes[i].parent >= tree.count)
            ++inconsistent;
      });
      int count = 0;
      double *p = nullptr, *v = nullptr;
      rig.model->GetChannelData(2001, -2, &count, &p, &v);
      std::free(p);
      std::free(v);
    }
  });
  const bool paused = rig.RunToPause();
  done = true;
  reader.join();
  EXPECT_TRUE(paused);
  EXPECT_EQ(inconsistent, 0);
}

} // namespace
