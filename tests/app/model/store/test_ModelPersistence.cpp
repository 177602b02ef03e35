// The model's blocks of a project image and its side file: a saved model reads
// back and saves again byte for byte, a paused model continues from its side
// file, and a model without a usable side file comes back stopped with a reason.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "StoreTestSupport.h"
#include "data/TimeSerie.h"
#include "data/TimeSeries.h"
#include "model/store/EngineStateStore.h"
#include "model/store/ModelImageError.h"
#include "model/store/ModelPersistence.h"

using namespace storetest;

namespace {

struct TreeHolder {
  TreeHolder() { TTreeNew(&tree); }
  ~TreeHolder() { TTreeDelete(&tree); }
  TTree tree;
};

// Everything a breakdown model keeps, as the plain records the store works on.
struct ModelParts {
  HeapPtr engine{THeapNew()};
  TreeHolder snapshot;
  TModelWindowState window;
  TBreakdownModelState breakdown;
  TTimeSeries series{500};
};

TModelWindowState SampleWindowState()
{
  TModelWindowState s;
  double v = 0.5;
  for (double* d : {&s.time, &s.timeStep, &s.outputInterval, &s.lastOutputTime, &s.calculationTime, &s.startTime,
                    &s.refreshInterval, &s.lastRefreshTime, &s.stopTime, &s.runDuration, &s.runStartTime,
                    &s.saveTimeInterval, &s.lastSaveTime})
    *d = (v += 1.25);
  int i = 3;
  for (int32_t* n : {&s.stepCount, &s.seriesCapacity, &s.stopMode, &s.saveFlags, &s.stageCount, &s.saveStageCount,
                     &s.stageCountAtLastSave})
    *n = i++;
  s.state = 2;
  return s;
}

void FillSeries(TTimeSeries& list)
{
  auto serie = std::make_unique<TTimeSerie>(100);
  serie->Add(0.0, 1.0);
  serie->Add(1e-9, 2.5);
  list.Add(std::move(serie));
}

std::vector<uint8_t> ModelImage(ModelParts& m)
{
  return WriteImage([&](TTagStream& s) {
    WriteModelWindowBlock(s, m.window, &m.series);
    WriteBreakdownModelBlock(s, *m.engine, m.snapshot.tree, m.breakdown);
  });
}

TBreakdownBlockRead ReadModelImage(const std::vector<uint8_t>& image, ModelParts& m, bool takeElectrodes = true)
{
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  ReadModelWindowBlock(tags, m.window, &m.series);
  return ReadBreakdownModelBlock(tags, *m.engine, m.snapshot.tree, m.breakdown, takeElectrodes);
}

// A needle model stepped a little past breakdown and paused there, with its
// tree snapshot, records and series.
void PausedModel(ModelParts& m)
{
  m.engine = NeedleModel();
  ASSERT_TRUE(m.engine);
  RunToBreakdown(*m.engine);
  ASSERT_EQ(m.engine->Flags, 1);
  TTreeCopy(&m.snapshot.tree, &m.engine->Nodes);
  m.window = SampleWindowState();
  m.window.state = 2;
  m.window.time = m.engine->Time;
  m.window.stepCount = m.engine->StepCount;
  TElectrodeRecord needle;
  needle.end[1] = 0.002;
  needle.code = -3;
  needle.colour = 255;
  m.breakdown.electrodes = {needle, needle};
  TInhomogeneityRecord box;
  box.upper[0] = box.upper[1] = box.upper[2] = 1e-3;
  box.material = 1;
  box.charge = 1e-5;
  m.breakdown.inhomogeneities = {box};
  m.breakdown.repeatLimit = 7;
  m.breakdown.repeatCount = 2;
  FillSeries(m.series);
}

TEST(ModelWindowBlock, RecordsOfGroup1300)
{
  ModelParts m;
  m.window = SampleWindowState();
  FillSeries(m.series);
  const std::vector<uint8_t> image = WriteImage([&](TTagStream& s) { WriteModelWindowBlock(s, m.window, &m.series); });
  const std::vector<TTagRecord> records = RecordsOf(image);
  ASSERT_EQ(records.size(), 23u);
  for (int id = 0; id < 23; ++id) {
    EXPECT_EQ(records[id].id, id);
    EXPECT_EQ(records[id].group, 1300);
  }
  EXPECT_EQ(records[0].data, (std::vector<uint8_t>{0, 0, 0, 0})); // no parameters
  for (int id : {3, 6, 10, 13, 17, 20, 21, 22})
    EXPECT_EQ(records[id].data.size(), 4u) << id;
  for (int id : {1, 2, 4, 5, 7, 9, 11, 12, 14, 15, 16, 18, 19})
    EXPECT_EQ(records[id].data.size(), 8u) << id;
  EXPECT_GT(records[8].data.size(), 0u);

  ModelParts back;
  {
    TMemoryStream stream(image);
    TTagStream tags(&stream, TagStreamRead);
    ReadModelWindowBlock(tags, back.window, &back.series);
  }
  EXPECT_EQ(back.window, m.window);
  ASSERT_EQ(back.series.Count(), 1);
  EXPECT_EQ(back.series.Item(0)->GetCount(), 2);
}

TEST(ModelWindowBlock, MissingRecordsKeepFieldsButTheCalculationTime)
{
  ModelParts m;
  m.window = SampleWindowState();
  const std::vector<uint8_t> image =
    WithoutIds(WriteImage([&](TTagStream& s) { WriteModelWindowBlock(s, m.window, &m.series); }), {1, 7, 13});
  TModelWindowState kept;
  kept.time = 42.0;
  kept.calculationTime = 99.0;
  kept.stopMode = 4;
  ModelParts back;
  FillSeries(back.series);
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  ReadModelWindowBlock(tags, kept, &back.series);
  EXPECT_EQ(kept.time, 42.0);
  EXPECT_EQ(kept.calculationTime, 0.0);
  EXPECT_EQ(kept.stopMode, 4);
  EXPECT_EQ(kept.stepCount, m.window.stepCount);
  EXPECT_EQ(back.series.Count(), 0); // the stored list was empty
}

TEST(ModelWindowBlock, SeriesCapacityBeyondReachIsNotTaken)
{
  for (int32_t stored : {kMaxSeriesCapacity + 1, 0x7fffffff}) {
    ModelParts m;
    m.window.seriesCapacity = stored;
    const std::vector<uint8_t> image =
      WriteImage([&](TTagStream& s) { WriteModelWindowBlock(s, m.window, &m.series); });
    TModelWindowState back;
    back.seriesCapacity = 750;
    TMemoryStream stream(image);
    TTagStream tags(&stream, TagStreamRead);
    ReadModelWindowBlock(tags, back, nullptr);
    EXPECT_EQ(back.seriesCapacity, 750) << stored;
  }
}

TEST(ModelImage, ReadBackSavesAgainByteForByte)
{
  ModelParts m;
  PausedModel(m);
  const std::vector<uint8_t> first = ModelImage(m);

  ModelParts back;
  const TBreakdownBlockRead found = ReadModelImage(first, back);
  EXPECT_TRUE(found.storedElectrodes);
  EXPECT_EQ(back.breakdown.electrodes, m.breakdown.electrodes);
  EXPECT_EQ(back.breakdown.inhomogeneities, m.breakdown.inhomogeneities);
  EXPECT_EQ(back.breakdown.repeatLimit, 7);
  EXPECT_EQ(back.breakdown.repeatCount, 2);
  EXPECT_EQ(back.snapshot.tree.count, m.snapshot.tree.count);
  EXPECT_EQ(back.engine->N2, m.engine->N2);
  EXPECT_EQ(ModelImage(back), first);

  // Group 1321: the two children, the counters and the records with their sizes.
  std::vector<TTagRecord> group;
  for (const TTagRecord& r : RecordsOf(first))
    if (r.group == 1321)
      group.push_back(r);
  ASSERT_EQ(group.size(), 8u);
  EXPECT_EQ(group[4].data.size(), 160u);
  EXPECT_EQ(GetInt32LE(group[5].data.data()), 80);
  EXPECT_EQ(group[6].data.size(), 144u);
  EXPECT_EQ(GetInt32LE(group[7].data.data()), 144);
}

TEST(ModelImage, StatisticsFollowTheSnapshot)
{
  ModelParts m;
  PausedModel(m);
  ModelParts back;
  ReadModelImage(ModelImage(m), back);
  RecomputeStructureStatistics(*back.engine, back.snapshot.tree);
  EXPECT_EQ(back.engine->ChannelLength, m.engine->ChannelLength);
  EXPECT_EQ(back.engine->StructureSize, m.engine->StructureSize);
  EXPECT_EQ(back.engine->ElementCount, m.engine->ElementCount);
  EXPECT_EQ(back.engine->SegmentCount, m.engine->SegmentCount);
  EXPECT_EQ(back.engine->ChannelCount, m.engine->ChannelCount);
  EXPECT_EQ(back.engine->Dimension, m.engine->Dimension);
  EXPECT_EQ(back.engine->AppliedVoltage, THeapGetUmax(back.engine.get()));
}

TEST(ModelImage, ElectrodeRecordsByFlagAndSize)
{
  ModelParts m;
  PausedModel(m);
  std::vector<TTagRecord> records = RecordsOf(ModelImage(m));
  // Shorten the stored electrode records to 72 bytes each.
  for (TTagRecord& r : records)
    if (r.group == 1321 && r.id == 4) {
      std::vector<uint8_t> older(r.data.begin(), r.data.begin() + 72);
      older.insert(older.end(), r.data.begin() + 80, r.data.begin() + 152);
      r.data = older;
    } else if (r.group == 1321 && r.id == 5) {
      PutInt32LE(r.data.data(), 72);
    }
  ModelParts back;
  back.breakdown.inhomogeneities.resize(3);
  ReadModelImage(ImageOf(records), back);
  ASSERT_EQ(back.breakdown.electrodes.size(), 2u);
  EXPECT_EQ(back.breakdown.electrodes[1].code, -3);
  EXPECT_EQ(back.breakdown.electrodes[1].transparency, TElectrodeRecord::Opaque);
  EXPECT_EQ(back.breakdown.electrodes[1].shape, TElectrodeRecord::ShapeCone);

  // A model told not to take them keeps its own; records without a size count
  // as absent, and so do inhomogeneities.
  ModelParts other;
  other.breakdown.electrodes.resize(5);
  EXPECT_FALSE(ReadModelImage(ModelImage(m), other, false).storedElectrodes);
  EXPECT_EQ(other.breakdown.electrodes.size(), 5u);
  ModelParts sizeless;
  sizeless.breakdown.inhomogeneities.resize(3);
  std::vector<TTagRecord> withoutSizes;
  for (const TTagRecord& r : RecordsOf(ModelImage(m)))
    if (!(r.group == 1321 && (r.id == 5 || r.id == 7)))
      withoutSizes.push_back(r);
  EXPECT_FALSE(ReadModelImage(ImageOf(withoutSizes), sizeless).storedElectrodes);
  EXPECT_TRUE(sizeless.breakdown.inhomogeneities.empty());
}

TEST(ModelImage, BadEngineImageIsAProjectLoadError)
{
  ModelParts m;
  PausedModel(m);
  std::vector<TTagRecord> records = RecordsOf(ModelImage(m));
  for (TTagRecord& r : records)
    if (r.group == 1321 && r.id == 0) {
      std::vector<TTagRecord> params = RecordsOf(r.data);
      PutInt32LE(FindRecord(params, 0)->data.data(), 20000); // 20000 x 8 x 7 cells
      r.data = ImageOf(params);
    }
  ModelParts back;
  EXPECT_THROW(ReadModelImage(ImageOf(records), back), EModelImageError);
}

// --- side file ------------------------------------------------------------------

class PausedProject : public ::testing::Test {
protected:
  void SetUp() override
  {
    PausedModel(m);
    base = folder.File("lab.project");
  }
  ModelParts m;
  TempFolder folder;
  std::string base;
};

TEST_F(PausedProject, OnlyRunningOrPausedModelsWriteTheSideFile)
{
  for (int state : {0, 3, 4}) {
    EXPECT_TRUE(SaveSideFileForState(state, base, *m.engine));
    EXPECT_FALSE(std::filesystem::exists(base + ".hex")) << state;
    EXPECT_EQ(LoadSideFileForState(state, base, *m.engine, 0).outcome, TSideFileOutcome::NotNeeded);
  }
  std::string why;
  EXPECT_FALSE(SaveSideFileForState(2, "", *m.engine, &why));
  EXPECT_FALSE(why.empty());
  for (int state : {1, 2}) {
    std::filesystem::remove(base + ".hex");
    EXPECT_TRUE(SaveSideFileForState(state, base, *m.engine, &why)) << why;
    EXPECT_TRUE(std::filesystem::exists(base + ".hex"));
  }
}

TEST_F(PausedProject, ContinuesFromItsSideFileLikeTheUninterruptedRun)
{
  const std::vector<uint8_t> project = ModelImage(m);
  std::string why;
  ASSERT_TRUE(SaveSideFileForState(m.window.state, base, *m.engine, &why)) << why;

  ModelParts back;
  ReadModelImage(project, back);
  const TSideFileLoad load = LoadSideFileForState(back.window.state, base, *back.engine, back.window.time);
  ASSERT_EQ(load.outcome, TSideFileOutcome::Restored) << load.message;

  const int cells = Cells(*m.engine);
  for (int step = 0; step < 3; ++step) {
    THeapGoTimeStep(m.engine.get());
    THeapGoTimeStep(back.engine.get());
  }
  EXPECT_EQ(back.engine->Time, m.engine->Time);
  EXPECT_EQ(back.engine->StepCount, m.engine->StepCount);
  EXPECT_EQ(back.engine->Nodes.count, m.engine->Nodes.count);
  EXPECT_EQ(std::memcmp(back.engine->Potential, m.engine->Potential, cells * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(back.engine->Charge, m.engine->Charge, cells * sizeof(double)), 0);
}

TEST_F(PausedProject, WithoutAUsableSideFileTheRunStopsAndSaysWhy)
{
  const std::vector<uint8_t> project = ModelImage(m);
  {
    ModelParts back;
    ReadModelImage(project, back);
    const uint64_t before = Fingerprint(*back.engine);
    const TSideFileLoad load = LoadSideFileForState(1, base, *back.engine, back.window.time);
    EXPECT_EQ(load.outcome, TSideFileOutcome::Failed);
    EXPECT_NE(load.message.find("lab.project.hex"), std::string::npos) << load.message;
    EXPECT_EQ(Fingerprint(*back.engine), before);
  }
  // A side file of a later save of the same project does not fit this one.
  ASSERT_TRUE(SaveSideFileForState(2, base, *m.engine));
  THeapGoTimeStep(m.engine.get());
  ASSERT_TRUE(SaveSideFileForState(2, base, *m.engine));
  ModelParts back;
  ReadModelImage(project, back);
  const TSideFileLoad load = LoadSideFileForState(2, base, *back.engine, back.window.time);
  EXPECT_EQ(load.outcome, TSideFileOutcome::Failed);
  EXPECT_FALSE(load.message.empty());
}

} // namespace
