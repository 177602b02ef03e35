// The breakdown model in a project image: saved and read back it saves again
// byte for byte; a paused model keeps its lattice in the side file and steps on
// from it; without the side file it comes back stopped and says why.
#include "BitModelTestSupport.h"
#include "store/StoreTestSupport.h"

#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/TagStream.h"

#include <cstring>
#include <filesystem>

using namespace modeltest;

namespace {

struct Folder : storetest::TempFolder {
  std::string Project() const { return File("lab.vzt"); }
  std::string SideFile() const { return File("lab.hex"); }
};

std::vector<uint8_t> Saved(TFBitModel &model) {
  TMemoryStream stream;
  model.SaveToStream(&stream);
  return stream.Bytes();
}

void Load(TFBitModel &model, const std::vector<uint8_t> &image) {
  TMemoryStream stream(image);
  model.LoadFromStream(&stream);
}

// The model's image with its calculation state replaced.
std::vector<uint8_t> WithState(const std::vector<uint8_t> &image, int state) {
  std::vector<TTagRecord> records = storetest::RecordsOf(image);
  for (TTagRecord &r : records)
    if (r.group == 1300 && r.id == 6)
      PutInt32LE(r.data.data(), state);
  return storetest::ImageOf(records);
}

TElectrodeRecord Needle() {
  TElectrodeRecord r;
  r.end[1] = 0.003;
  r.startDiameter = r.endDiameter = 0.0005;
  r.code = -3;
  r.colour = 0xff;
  return r;
}

// A rig whose run continues exactly after a reload: sweeps that write their
// results aside, growth without chance, a pause at a set model time.
void PrepareForResume(TBitModelRig &rig, const Folder &folder) {
  rig.Engine().BSep = 1;
  rig.model->SetProjectName(folder.Project());
  rig.model->SetStopMode(TFModel::StopAtTime);
  rig.model->Electrodes() = {Needle()};
  TInhomogeneityRecord box;
  box.upper[0] = box.upper[1] = box.upper[2] = 0.002;
  box.material = 1;
  rig.model->Inhomogeneities() = {box};
}

TEST(BitModelPersistence, ReadBackSavesAgainByteForByteWithoutASideFile) {
  Folder folder;
  TBitModelRig rig;
  PrepareForResume(rig, folder);
  rig.model->SetRepeatLimit(4);
  const std::vector<uint8_t> image = Saved(*rig.model);
  EXPECT_FALSE(std::filesystem::exists(folder.SideFile())) << "state 0 keeps no lattice";
  EXPECT_FALSE(rig.model->IsModified());

  TBitModelRig other;
  other.model->SetProjectName(folder.Project());
  Load(*other.model, image);
  EXPECT_EQ(other.model->GetState(), TFModel::StateSetup);
  EXPECT_FALSE(other.model->IsSideFileLoaded());
  EXPECT_EQ(other.model->GetRepeatLimit(), 4);
  ASSERT_EQ(other.model->Electrodes().size(), 1u);
  EXPECT_EQ(other.model->Electrodes()[0], Needle());
  EXPECT_EQ(other.model->Inhomogeneities().size(), 1u);
  EXPECT_EQ(other.Engine().BSep, 1);
  EXPECT_EQ(Saved(*other.model), image);
}

TEST(BitModelPersistence, UnknownStateLoadsAsStopped) {
  TBitModelRig rig;
  TBitModelRig other;
  Load(*other.model, WithState(Saved(*rig.model), 77));
  EXPECT_EQ(other.model->GetState(), TFModel::StateStopped);
}

TEST(BitModelPersistence, AProjectWithoutElectrodesTakesThemFromTheTable) {
  TBitModelRig rig;
  const std::vector<uint8_t> image = Saved(*rig.model); // no electrode records: an empty block
  TBitModelRig other;
  other.model->SetElectrodeSource([] { return std::vector<TElectrodeRecord>{Needle(), Needle()}; });
  other.model->SetTakeStoredElectrodes(false);
  Load(*other.model, image);
  EXPECT_EQ(other.model->Electrodes().size(), 2u);
}

TEST(BitModelPersistence, PausedModelContinuesFromItsSideFile) {
  Folder folder;
  TBitModelRig rig;
  PrepareForResume(rig, folder);
  rig.model->SetStopMode(TFModel::StopOnEvent); // pause at the breakdown
  ASSERT_TRUE(rig.RunToPause());
  ASSERT_EQ(rig.model->GetState(), TFModel::StatePaused);
  ASSERT_EQ(rig.Engine().Flags, 1);
  const std::vector<uint8_t> image = Saved(*rig.model);
  EXPECT_EQ(rig.model->GetSideFileError(), "");
  ASSERT_TRUE(std::filesystem::exists(folder.SideFile()));

  TBitModelRig other;
  other.model->SetProjectName(folder.Project());
  Load(*other.model, image);
  EXPECT_EQ(other.model->GetState(), TFModel::StatePaused);
  EXPECT_TRUE(other.model->IsSideFileLoaded());
  EXPECT_EQ(other.model->GetTime(), rig.model->GetTime());
  EXPECT_EQ(other.Engine().StepCount, rig.Engine().StepCount);
  EXPECT_EQ(Saved(*other.model), image);

  // Both step on to the same later pause, a few spark steps on.
  const int savedSteps = rig.Engine().StepCount;
  const double later = rig.model->GetTime() + 5 * rig.Engine().DtSpark;
  for (TBitModelRig *r : {&rig, &other}) {
    r->model->SetStopMode(TFModel::StopAtTime);
    r->model->SetStopTime(later);
    ASSERT_TRUE(r->RunToPause());
  }
  EXPECT_GT(rig.Engine().StepCount, savedSteps);
  EXPECT_EQ(other.Engine().StepCount, rig.Engine().StepCount);
  const int cells = rig.Engine().N1 * rig.Engine().N2 * rig.Engine().N3;
  EXPECT_EQ(other.model->GetTime(), rig.model->GetTime());
  EXPECT_EQ(other.Engine().Nodes.count, rig.Engine().Nodes.count);
  EXPECT_EQ(std::memcmp(other.Engine().Potential, rig.Engine().Potential, sizeof(double) * cells), 0);
}

TEST(BitModelPersistence, RunningModelComesBackPausedOrStopped) {
  Folder folder;
  TBitModelRig rig;
  PrepareForResume(rig, folder);
  rig.model->SetStopTime(10e-9);
  ASSERT_TRUE(rig.RunToPause());
  const std::vector<uint8_t> running = WithState(Saved(*rig.model), TFModel::StateRunning);

  // Saved while running: it comes back paused, ready to continue.
  TBitModelRig paused;
  paused.model->SetProjectName(folder.Project());
  Load(*paused.model, running);
  ASSERT_TRUE(PumpUntil([&] { return paused.host.paused > 0; }));
  EXPECT_EQ(paused.model->GetState(), TFModel::StatePaused);
  EXPECT_TRUE(paused.model->IsSideFileLoaded());

  // Without its side file it comes back stopped, and says why.
  std::filesystem::remove(folder.SideFile());
  TBitModelRig stopped;
  stopped.model->SetProjectName(folder.Project());
  Load(*stopped.model, running);
  ASSERT_TRUE(PumpUntil([&] { return stopped.host.stopped > 0; }));
  EXPECT_EQ(stopped.model->GetState(), TFModel::StateStopped);
  EXPECT_FALSE(stopped.model->IsSideFileLoaded());
  EXPECT_NE(stopped.model->GetSideFileError().find("lab.hex"), std::string::npos);
}

TEST(BitModelPersistence, SideFileThatCannotBeWrittenIsReportedAndTheProjectStillSaved) {
  Folder folder;
  TBitModelRig rig;
  PrepareForResume(rig, folder);
  rig.model->SetStopTime(5e-9);
  ASSERT_TRUE(rig.RunToPause());
  rig.model->SetProjectName((folder.Path() / "missing" / "lab.vzt").string());
  const std::vector<uint8_t> image = Saved(*rig.model);
  EXPECT_FALSE(image.empty());
  EXPECT_EQ(rig.model->GetSideFileError().rfind("Ошибка записи в файл.\n", 0), 0u);
}

} // namespace
