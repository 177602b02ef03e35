// The model window's block of a project image.
#include "model/FormModel.h"

#include "data/TagStream.h"
#include "data/TimeSeries.h"
#include "model/store/ModelPersistence.h"
#include "model/worker/ModelThread.h"

void TFModel::SaveToStream(TStream *stream) {
  {
    TTagStream image(stream, TagStreamWrite);
    Save(image);
    // A stream that refuses the image must not pass for a saved model.
    if (!image.Commit())
      throw EStreamError("the model image could not be written");
  }
  modified = false;
}

void TFModel::LoadFromStream(TStream *stream) {
  {
    TTagStream image(stream, TagStreamRead);
    Load(image);
  }
  modified = false;
}

TModelWindowState TFModel::WindowState() const {
  TModelWindowState s;
  s.time = time;
  s.timeStep = timeStep;
  s.stepCount = stepCount;
  s.outputInterval = outputInterval;
  s.lastOutputTime = lastOutputTime;
  s.state = state;
  s.calculationTime = GetCalculationTime();
  s.startTime = startTime;
  s.seriesCapacity = seriesCapacity;
  s.refreshInterval = refreshInterval;
  s.lastRefreshTime = lastRefreshTime;
  s.stopMode = stopMode;
  s.stopTime = stopTime;
  s.runDuration = runDuration;
  s.runStartTime = runStartTime;
  s.saveFlags = saveFlags;
  s.saveTimeInterval = saveTimeInterval;
  s.lastSaveTime = lastSaveTime;
  s.stageCount = stageCount;
  s.saveStageCount = saveStageCount;
  s.stageCountAtLastSave = stageCountAtLastSave;
  return s;
}

void TFModel::Save(TTagStream &stream) {
  WriteModelWindowBlock(stream, WindowState(), seriesList.get());
}

void TFModel::Load(TTagStream &stream) {
  // What the block leaves out keeps its present value.
  TModelWindowState s = WindowState();
  ReadModelWindowBlock(stream, s, seriesList.get());

  time = s.time;
  timeStep = s.timeStep;
  stepCount = s.stepCount;
  outputInterval = s.outputInterval;
  lastOutputTime = s.lastOutputTime;
  // A state this program never writes is damaged data: the run is over.
  state = s.state >= StateSetup && s.state <= StateAborted ? s.state : static_cast<int>(StateStopped);
  SetCalculationTime(s.calculationTime);
  startTime = s.startTime;
  refreshInterval = s.refreshInterval;
  lastRefreshTime = s.lastRefreshTime;
  stopMode = s.stopMode;
  stopTime = s.stopTime;
  runDuration = s.runDuration;
  runStartTime = s.runStartTime;
  saveFlags = s.saveFlags;
  saveTimeInterval = s.saveTimeInterval;
  lastSaveTime = s.lastSaveTime;
  stageCount = s.stageCount;
  saveStageCount = s.saveStageCount;
  stageCountAtLastSave = s.stageCountAtLastSave;
  SetTimeUnit(s.seriesCapacity);
  // A continued run steps on without initialising the engine again.
  if (worker)
    worker->SetFirstCycle(!CalcStateKeepsLattice(s.state));
  stopReached = false;
}
