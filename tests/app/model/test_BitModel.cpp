#include "BitModelTestSupport.h"

#include "data/TextConversion.h"
#include "data/TimeSerie.h"
#include "data/TimeSeries.h"
#include "gis/GArray3D.h"
#include "gis/GReper.h"
#include "gis/ObjectTypeCode.h"
#include "model/VolumeLayer.h"
#include "model/breakdown/EngineArrays.h"
#include "model/breakdown/RunCheck.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <set>

using namespace modeltest;

namespace {

TGArray3D *VolumeOf(TGIS &gis, int code) {
  TGObj *o = gis.FindArrayByCode(code);
  return o && o->GetTypeCode() == ObjectTypeArray3D ? static_cast<TGArray3D *>(o) : nullptr;
}

int CellOf(const THeap &h, int i1, int i2, int i3) { return i1 + h.N1 * (i3 + h.N3 * i2); }

TEST(BitModel, ANewModelAndItsLayers) {
  TBitModelRig rig;
  TFBitModel &m = *rig.model;
  THeap &h = rig.Engine();
  EXPECT_EQ(m.GetState(), TFModel::StateSetup);
  EXPECT_EQ(m.StatusText(), "расчет не запущен");
  EXPECT_EQ(m.GetOutputInterval(), 1e-9);
  EXPECT_EQ(m.GetRefreshInterval(), 1e-9);
  EXPECT_EQ(m.GetStopMode(), TFModel::StopAtTime);
  EXPECT_EQ(m.GetStopTime(), 6e-6);
  EXPECT_EQ(m.GetSaveTimeInterval(), 2e-7);
  EXPECT_EQ(m.GetSaveStageCount(), 10);
  EXPECT_EQ(m.GetRepeatLimit(), 10);
  EXPECT_EQ(m.GetNx(), h.N1);
  EXPECT_EQ(m.GetNy(), h.N3);
  EXPECT_EQ(m.GetNz(), h.N2);
  // 21 volume layers right after the model area, in the order of the arrays.
  ASSERT_EQ(rig.gis.GetObjectCount(), 22);
  for (int i = 0; i < 21; ++i) {
    TGObj *o = rig.gis.GetObject(i + 1);
    ASSERT_EQ(o->GetTypeCode(), ObjectTypeArray3D) << i;
    auto *layer = static_cast<TGArray3D *>(o);
    EXPECT_EQ(layer->GetCode(), m.GetArrayId(i));
    EXPECT_EQ(layer->GetNX(), h.N1);
    EXPECT_EQ(layer->GetNY(), h.N3);
    EXPECT_EQ(layer->GetNZ(), h.N2);
    EXPECT_EQ(layer->GetUnitText(), m.GetAxes().Find(m.GetArrays().Item(i).quantityCode).unit);
  }
  EXPECT_EQ(static_cast<TGArray *>(rig.gis.GetObject(8))->GetUnitText(), "В");
  // The needle went into the electrode layer.
  double code = 0;
  ASSERT_TRUE(VolumeOf(rig.gis, ArrayElectrodes)->GetCellValue(3, 3, 2, code));
  EXPECT_EQ(code, -3.0);
}

TEST(BitModel, OutputSeriesNamesUnitsAndCaptions) {
  TBitModelRig rig;
  TFBitModel &m = *rig.model;
  ASSERT_EQ(m.ResetRun(), 0);
  m.SampleOutputs(0.0);
  ASSERT_EQ(m.GetSeriesCount(), 35);
  for (int i = 0; i < 35; ++i) {
    const TTimeSerie *s = m.GetSeries(i);
    EXPECT_EQ(s->quantityId, m.GetOutputQuantities().Item(i).id);
    EXPECT_EQ(s->objectId, -1);
    EXPECT_EQ(s->groupTag, 1);
    EXPECT_EQ(s->GetCount(), 1);
  }
  // Without a growth time from the engine, ts is the first positive element count.
  ASSERT_EQ(m.GetSnapshot().Statistics().timeFirstGrowth, 0.0);
  EXPECT_EQ(m.GetTimeTs(), 0.0);
  m.GetSeriesList()->AddPoint(103, &m.GetSeriesOwner(), 1e-9, 0.0);
  m.GetSeriesList()->AddPoint(103, &m.GetSeriesOwner(), 2e-9, 3.0);
  EXPECT_EQ(m.GetTimeTs(), 2e-9);
  EXPECT_EQ(m.GetFirstSeriesTime(104, m.GetSeriesOwner()), 0.0);
  EXPECT_EQ(m.GetFirstSeriesTime(103, TSeriesObject{5, 101, "нет"}), 0.0);
  EXPECT_EQ(m.GetQuantityName(2002), "Напряженность");
  EXPECT_EQ(m.GetQuantityUnitCode(2002), 30);
  EXPECT_EQ(m.GetQuantityName(115), "данные");
  EXPECT_EQ(m.GetQuantityUnitCode(115), -1);
  EXPECT_EQ(m.GetQuantityUnit(115), "");
  EXPECT_EQ(m.GetQuantityUnit(213), "Ом");
  EXPECT_EQ(m.GetQuantityName(5), "Средний ток");

  const TTimeSerie *current = m.FindSeries(105, -1);
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(m.GetSeriesMenuDepth(current), 3);
  EXPECT_EQ(m.GetSeriesMenuCaption(current, 0), "графики");
  EXPECT_EQ(m.GetSeriesMenuCaption(current, 1), "Распределения по р.с.");
  EXPECT_EQ(m.GetSeriesMenuCaption(current, 2), "Макс. ток в каналах");
  EXPECT_EQ(m.GetSeriesMenuDepth(nullptr), 0);
  EXPECT_EQ(m.GetSeriesMenuCaption(nullptr, 1), "нет данных");

  TTimeSerie marker;
  marker.quantityId = 7;
  marker.objectType = 104;
  marker.name = "метка";
  EXPECT_EQ(m.GetSeriesMenuDepth(&marker), 3);
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 0), "по меткам");
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 1), "метка");
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 2), "данные 7");
  marker.objectType = 101;
  EXPECT_EQ(m.GetSeriesMenuDepth(&marker), 2);
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 0), "прочие данные");
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 1), "данные 7");
  EXPECT_EQ(m.GetSeriesMenuCaption(&marker, 3), "данные 7");
}

TEST(BitModel, SeriesOfGoneObjectsAndUnknownQuantitiesAreDropped) {
  TBitModelRig rig;
  TFBitModel &m = *rig.model;
  const int reper = rig.gis.AddObject(nullptr, std::make_unique<TGReper>(&rig.gis), true);
  const TSeriesObject reperObject{reper, 101, "репер"};
  m.GetSeriesList()->AddPoint(104, &reperObject, 0.0, 1.0);
  const TSeriesObject own{-1, -1, ""};
  m.GetSeriesList()->AddPoint(999, &own, 0.0, 1.0);
  m.SyncSeries();
  EXPECT_EQ(m.GetSeriesCount(), 36);
  EXPECT_NE(m.FindSeries(104, reper), nullptr);
  EXPECT_EQ(m.FindSeries(999, -1), nullptr);
  rig.gis.DeleteObjectById(nullptr, reper, true);
  m.SyncSeries();
  EXPECT_EQ(m.GetSeriesCount(), 35);
  EXPECT_EQ(m.FindSeries(104, reper), nullptr);
}

TEST(BitModel, PotentialLayerRelativeToTheReferenceElectrode) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  struct Case {
    double p0, p1, shift;
  } cases[] = {{0, 1e5, 0}, {-5e4, 1e5, 5e4}, {1e5, 2e5, -1e5}, {2e5, -3e5, -2e5}};
  std::fill(h.Potential, h.Potential + h.N1 * h.N2 * h.N3, 7.0);
  for (const auto &c : cases) {
    ASSERT_EQ(h.ElectrodeCount, 2);
    h.CodePotentialBase[-2] = h.CodePotentialBase[-3] = c.p0;
    h.CodePotentialBase[-4] = h.CodePotentialBase[-5] = c.p1;
    rig.model->UpdateArrayLayers();
    TGArray3D *layer = VolumeOf(rig.gis, ArrayPotential);
    ASSERT_NE(layer, nullptr);
    const double *v = layer->GetVolumeData();
    for (int cell = 0; cell < h.N1 * h.N2 * h.N3; ++cell)
      ASSERT_EQ(v[cell], 7.0 + c.shift) << c.p0 << " " << c.p1;
    EXPECT_EQ(layer->GetDataMax(), 7.0 + c.shift);
    EXPECT_EQ(h.Potential[0], 7.0); // the engine keeps its own values
  }
}

TEST(BitModel, AStartWithInputsTheEngineCannotTakeIsRefused) {
  struct Case {
    const char *what;
    int code;
    double value;
    const char *reason;
  } cases[] = {{"code of a third electrode", ArrayElectrodes, -7.0, "код электрода -7"},
               {"fractional code", ArrayElectrodes, -2.5, "код электрода -2.5"},
               {"deleted material", ArrayMaterial, 1.0, "Материал 1"}};
  for (const auto &c : cases) {
    TBitModelRig rig;
    TGArray3D *layer = VolumeOf(rig.gis, c.code);
    ASSERT_NE(layer, nullptr);
    std::vector<double> values(layer->GetVolumeData(), layer->GetVolumeData() + layer->GetCellCount());
    values[CellOf(rig.Engine(), 1, 6, 2)] = c.value;
    layer->SetData(values.data());
    rig.Engine().Time = 1.5; // a reset would clear it
    rig.model->Start();
    ASSERT_TRUE(ServeUntil([&] { return rig.host.stopped == 1; }, std::chrono::milliseconds(5000))) << c.what;
    EXPECT_EQ(rig.model->GetState(), TFModel::StateStopped) << c.what;
    ASSERT_EQ(rig.host.errors.size(), 1u) << c.what;
    EXPECT_NE(rig.host.errors[0].find(c.reason), std::string::npos) << rig.host.errors[0];
    EXPECT_EQ(rig.model->GetRunRefusal(), rig.host.errors[0]);
    EXPECT_EQ(rig.Engine().Time, 1.5) << c.what;
    EXPECT_EQ(rig.host.paused, 0);
  }
}

TEST(BitModel, InputsReachTheEngineOnlyOutsideARun) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  const int n = h.N1 * h.N2 * h.N3;
  std::vector<double> charges(static_cast<size_t>(n), 1e-6);
  rig.model->SetArrayData(ArrayChargeInit, charges.data());
  EXPECT_EQ(h.ChargeInit[0], 1e-6);
  rig.model->SetStopMode(TFModel::StopAtTime);
  rig.model->SetStopTime(5e-9);
  // A fresh run loads the layers, which still hold no charge.
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_EQ(h.ChargeInit[0], 0.0);
  std::vector<double> codes(h.ElectrodeCodes, h.ElectrodeCodes + n);
  codes[CellOf(h, 0, 3, 0)] = -2.0;
  rig.model->SetArrayData(ArrayElectrodes, codes.data());
  rig.model->SetArrayData(ArrayChargeInit, charges.data());
  rig.model->LoadInputArrays(true);
  EXPECT_EQ(h.ElectrodeCodes[CellOf(h, 0, 3, 0)], -1.0);
  EXPECT_EQ(h.ChargeInit[0], 0.0);
}

// A model time that is no longer a number would never reach the stop time:
// the next step ends the run with the worker's error.
TEST(BitModel, ANonFiniteTimeEndsTheRunWithAnError) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopAtTime);
  rig.model->SetStopTime(5e-9);
  ASSERT_TRUE(rig.RunToPause());
  ASSERT_TRUE(rig.host.errors.empty());
  rig.Engine().Time = std::nan("");
  rig.model->SetStopTime(1.0);
  rig.model->Start();
  ASSERT_TRUE(ServeUntil([&] { return !rig.host.errors.empty(); }, std::chrono::milliseconds(20000)));
  EXPECT_NE(rig.host.errors[0].find("неустранимая ошибка при расчете временного шага модели: шаг по времени или "
                                    "время модели не является конечным числом"),
            std::string::npos)
      << rig.host.errors[0];
  EXPECT_EQ(rig.model->GetState(), TFModel::StateAborted);
}

TEST(BitModel, ALatticeChangeKeepsElectrodeCodesWholeAndTheModelRuns) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  ASSERT_TRUE(THeapSetLatticeSize(&h, 9, 13, 9));
  h.GrowthType = 1;
  rig.gis.SetModified(false);
  rig.model->UpdateLatticeSize();
  EXPECT_TRUE(rig.gis.IsModified());
  for (int i = 0; i < rig.model->GetArrayCount(); ++i) {
    auto *layer = VolumeOf(rig.gis, rig.model->GetArrayId(i));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetNX(), 9);
    EXPECT_EQ(layer->GetNY(), 9);
    EXPECT_EQ(layer->GetNZ(), 13);
  }
  // Codes were carried cell by cell: plates, needle and dielectric only.
  const int n = h.N1 * h.N2 * h.N3;
  const std::set<double> codes(h.ElectrodeCodes, h.ElectrodeCodes + n);
  EXPECT_EQ(codes, (std::set<double>{-4.0, -3.0, -2.0, -1.0}));
  EXPECT_EQ(CheckEngineInputs(h), "");
  rig.model->SetStopMode(TFModel::StopOnEvent);
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_EQ(h.Flags, 1);
}

TEST(BitModel, ChannelDataAndReportTimesOnAHandBuiltTree) {
  TBitModelRig rig;
  TFBitModel &m = *rig.model;
  THeap &h = rig.Engine();
  // A root on the needle's tip (3, 5, 3) and a chain rising to the top plate.
  std::vector<TNode> nodes;
  for (int g = 0; g <= 4; ++g) {
    TNode n{};
    n.x = 3;
    n.y = 5 + g;
    n.z = 3;
    n.parent = g - 1;
    n.generation = g;
    n.invLength = g == 0 ? 1.0 : 1.0 / h.CellSize2;
    n.pathLength = g * h.CellSize2;
    n.potential = 10.0 * g;
    n.current = 0.5 * g;
    nodes.push_back(n);
  }
  const TTree tree{nodes.data(), 4, 5}; // the tip on the plate comes later
  ASSERT_TRUE(m.GetSnapshot().SetTree(tree));
  EXPECT_EQ(m.GetChannelDataCount(), 8);
  EXPECT_EQ(m.GetChannelDataId(3), 2003);
  EXPECT_TRUE(m.HasChannelData(2010));
  EXPECT_FALSE(m.HasChannelData(2004));
  EXPECT_EQ(m.GetChannelDataLevels(), 2);
  EXPECT_EQ(m.GetChannelDataCaption(2001, 0), "Графики");
  EXPECT_EQ(m.GetChannelDataCaption(2001, 1), "Ток");
  EXPECT_EQ(m.GetChannelDataCaption(2004, 1), "данные");
  EXPECT_EQ(m.GetChannelDataCaption(2001, 2), "");
  int count = 0;
  double *positions = nullptr, *values = nullptr;
  m.GetChannelData(2003, -2, &count, &positions, &values);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(values[0], 0.0);
  EXPECT_EQ(values[3], 30.0);
  std::free(positions);
  std::free(values);
  m.GetChannelData(2001, 0, &count, &positions, &values);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(positions, nullptr);
  EXPECT_EQ(values, nullptr);

  // Dielectric cells (-1) are no electrode: no breakdown time yet.
  EXPECT_FALSE(m.StructureTouchesElectrode());
  EXPECT_EQ(m.GetTimeTb(), 0.0);
  ASSERT_TRUE(m.GetSnapshot().SetTree(TTree{nodes.data(), 5, 5}));
  EXPECT_TRUE(m.StructureTouchesElectrode());
  EXPECT_EQ(m.GetTimeTb(), m.GetTime());
  double area = -1, horizontal = -1, maxHeight = -1, lengthAbove = -1, ratio = -1;
  m.GetTreeLimbInfo(&area, &horizontal, &maxHeight, &lengthAbove, &ratio);
  // No material: the surface lies at height 0, and the path from the tip on
  // the plate down to the root climbs four cells straight up.
  ASSERT_EQ(m.GetSurfaceHeight(), 0.0);
  const double d2 = h.CellSize2;
  EXPECT_EQ(area, 0.0);
  EXPECT_EQ(horizontal, 0.0);
  EXPECT_DOUBLE_EQ(maxHeight, 9.5 * d2);
  EXPECT_DOUBLE_EQ(lengthAbove, 4 * d2);
  EXPECT_DOUBLE_EQ(ratio, 1.0);
  EXPECT_DOUBLE_EQ(m.GetTreeLimbsLength(), 4 * d2);
  // Without the electrode layer nothing is measured, and every output says so.
  m.SetGIS(nullptr);
  area = horizontal = maxHeight = lengthAbove = ratio = -1;
  m.GetTreeLimbInfo(&area, &horizontal, &maxHeight, &lengthAbove, &ratio);
  for (double out : {area, horizontal, maxHeight, lengthAbove, ratio})
    EXPECT_EQ(out, 0.0);
}

TEST(BitModel, SurfaceHeightFromTheMaterialLayer) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  ASSERT_TRUE(THeapSetLatticeSize(&h, 5, 25, 5));
  h.CellSize2 = 0.001;
  rig.model->UpdateLatticeSize();
  rig.model->RefreshData();
  TGArray3D *materials = VolumeOf(rig.gis, ArrayMaterial);
  ASSERT_NE(materials, nullptr);
  std::vector<double> values(static_cast<size_t>(materials->GetCellCount()), 0.0);
  for (int k = 19; k < 25; ++k)
    values[static_cast<size_t>((k * 5 + 2) * 5 + 2)] = 1.0;
  materials->SetData(values.data());
  rig.model->FindSurfaceHeight();
  EXPECT_DOUBLE_EQ(rig.model->GetSurfaceHeight(), 0.019);
  materials->Fill(0.0);
  rig.model->FindSurfaceHeight();
  EXPECT_EQ(rig.model->GetSurfaceHeight(), 0.0);
}

TEST(BitModel, StatusTextShowsTheModelTimeOnceItRuns) {
  TBitModelRig rig;
  rig.model->SetStopMode(TFModel::StopAtTime);
  rig.model->SetStopTime(3e-9);
  ASSERT_TRUE(rig.RunToPause());
  EXPECT_EQ(rig.model->StatusText(), FloatToStrSep(rig.model->GetTime(), ffGeneral, 6, 2));
}

TEST(BitModel, InputLayersAreRebuiltFromTheirReperValuesAndLoaded) {
  TBitModelRig rig;
  THeap &h = rig.Engine();
  auto reper = std::make_unique<TGReper>(&rig.gis);
  reper->SetReperValue(2e-6, ArrayChargeInit, 0.0);
  const int id = rig.gis.AddObjectAt(nullptr, std::move(reper), 0.5, 0.5, true);
  ASSERT_NE(rig.gis.FindObjectById(id), nullptr);
  const std::vector<double> codes(h.ElectrodeCodes, h.ElectrodeCodes + h.N1 * h.N2 * h.N3);
  rig.model->SetModified(false);
  rig.model->BuildAllInputArrays();
  EXPECT_TRUE(rig.model->IsModified());
  const TGArray3D *charge = VolumeOf(rig.gis, ArrayChargeInit);
  for (int c = 0; c < h.N1 * h.N2 * h.N3; ++c) {
    ASSERT_NEAR(charge->GetVolumeData()[c], 2e-6, 1e-15) << c;
    ASSERT_EQ(h.ChargeInit[c], charge->GetVolumeData()[c]) << c;
  }
  // Layers without known values keep theirs, and so does the engine.
  EXPECT_TRUE(std::equal(codes.begin(), codes.end(), h.ElectrodeCodes));
}

// Holds the worker inside its first cycle until the test lets it go.
class TBlockedInitModel : public TFBitModel {
public:
  void InitCalculation() override {
    latch.Pass();
    TFBitModel::InitCalculation();
  }
  TLatch latch;
};

TEST(BitModel, StatusTextWhileInitialisingAlternatesWithTheIterationText) {
  TTestHost host;
  TGIS gis;
  auto area = std::make_unique<TGModelRect>(&gis);
  area->SetDX(1);
  area->SetDY(1);
  gis.AddObject(nullptr, std::move(area), false);
  auto model = std::make_unique<TBlockedInitModel>();
  model->SetHost(&host);
  SetUpNeedle(*model->GetEngine());
  model->UpdateLatticeSize();
  model->SetGIS(&gis);
  model->SetSaveFlags(0);
  model->SetStopTime(2e-9);
  model->latch.Close();
  model->Start();
  ASSERT_TRUE(ServeUntil([&] { return model->latch.Entered(); }, std::chrono::milliseconds(5000)));
  const std::string first = model->StatusText();
  const std::string second = model->StatusText();
  EXPECT_EQ(first, "инициализация");
  EXPECT_EQ(second.rfind("intr=", 0), 0u) << second;
  EXPECT_NE(second.find(" (err="), std::string::npos) << second;
  EXPECT_EQ(model->StatusText(), "инициализация");
  model->latch.Open();
  EXPECT_TRUE(ServeUntil([&] { return host.paused == 1; }, std::chrono::milliseconds(10000)));
  model.reset();
  FlushDeferredDeletes();
}

TEST(BitModel, TheSideFileBaseIgnoresDotsInFolders) {
  TBitModelRig rig;
  rig.model->SetProjectName("/home/u/.local/share/probe.kst");
  EXPECT_EQ(rig.model->GetProjectBase(), "/home/u/.local/share/probe");
}

// Without memory for the engine the model is not made at all; run in a child
// whose address space leaves no room for the engine record.
TEST(BitModel, NoMemoryForTheEngineFailsTheCreation) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    // What the process maps now plus far less than the 216 MiB record.
    long pages = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1)
        pages = 0;
      std::fclose(f);
    }
    limit.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (64 << 20);
    setrlimit(RLIMIT_AS, &limit);
    int result = 3;
    try {
      TFBitModel model;
      result = 1;
    } catch (const EModelCreateError &e) {
      result = std::string(e.what()).rfind("Непредвиденная ошибка", 0) == 0 ? 0 : 2;
    } catch (...) {
      result = 4;
    }
    _exit(result);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
