// The breakdown model's block of a project image and its lattice side file.
#include "model/FormBitModel.h"

#include "data/TagStream.h"
#include "model/ModelHost.h"
#include "model/store/ModelPersistence.h"

namespace {

// A tree of korvane's for the length of one load.
struct TLoadedTree {
  TLoadedTree() { TTreeNew(&tree); }
  ~TLoadedTree() { TTreeDelete(&tree); }
  TTree tree;
};

} // namespace

void TFBitModel::Save(TTagStream &stream) {
  TFModel3D::Save(stream);
  TBreakdownModelState s;
  s.repeatLimit = repeatLimit;
  s.repeatCount = repeatCount;
  s.electrodes = electrodes;
  s.inhomogeneities = inhomogeneities;
  snapshot.Read([&](const TTree &tree, const TEngineStatistics &) {
    WriteBreakdownModelBlock(stream, *engine, tree, s);
    return 0;
  });

  sideFileError.clear();
  TTempFileMaker temp;
  if (GetHost())
    temp = [host = GetHost()] { return host->MakeTempFileName(); };
  std::string why;
  pendingSideFile.reset();
  if (deferSideFile)
    pendingSideFile = std::make_unique<TPendingSideFile>();
  if (!SaveSideFileForState(state, projectBase, *engine, &why, temp, pendingSideFile.get()))
    sideFileError = std::string(kSideFileWriteError) + why;
}

void TFBitModel::DeferSideFile(bool defer) {
  deferSideFile = defer;
}

void TFBitModel::CommitSideFile() {
  std::string why;
  if (pendingSideFile && pendingSideFile->IsPending() && !pendingSideFile->Commit(&why))
    sideFileError = std::string(kSideFileWriteError) + why;
  pendingSideFile.reset();
}

void TFBitModel::DiscardSideFile() {
  pendingSideFile.reset();
}

void TFBitModel::AbandonSideFile() {
  if (pendingSideFile)
    pendingSideFile->Abandon();
  pendingSideFile.reset();
}

void TFBitModel::Load(TTagStream &stream) {
  TFModel3D::Load(stream);
  TBreakdownModelState s;
  s.repeatLimit = repeatLimit;
  s.repeatCount = repeatCount;
  TLoadedTree loaded;
  const TBreakdownBlockRead found = ReadBreakdownModelBlock(stream, *engine, loaded.tree, s, takeStoredElectrodes);
  repeatLimit = s.repeatLimit;
  repeatCount = s.repeatCount;
  if (found.storedElectrodes)
    electrodes = std::move(s.electrodes);
  else
    electrodes = electrodeSource ? electrodeSource() : std::vector<TElectrodeRecord>{};
  inhomogeneities = std::move(s.inhomogeneities);
  nx = engine->N1;
  ny = engine->N3;
  nz = engine->N2;

  RecomputeStructureStatistics(*engine, loaded.tree);
  snapshot.SetTree(loaded.tree);
  snapshot.PublishStatistics(*engine, outputs);

  sideFileLoaded = false;
  sideFileError.clear();
  const TSideFileLoad side = LoadSideFileForState(state, projectBase, *engine, time);
  if (side.outcome == TSideFileOutcome::Restored) {
    sideFileLoaded = true;
    if (state == StateRunning)
      Pause();
  } else if (side.outcome == TSideFileOutcome::Failed) {
    sideFileError = side.message;
    Stop();
  }
}
