#include "model/store/ModelPersistence.h"

#include <exception>

#include "data/FiniteValue.h"
#include "data/ByteOrder.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TimeSeries.h"
#include "model/store/EngineStateStore.h"

namespace {

void WriteEmptyParams(TStream& block)
{
  uint8_t count[4];
  PutInt32LE(count, 0);
  block.WriteExact(count, sizeof count);
}

// A child container read by a reader that may raise: the child is closed
// either way.
template <class Read>
void ReadChild(TTagStream& stream, int32_t id, Read&& read)
{
  TTagStream* child = stream.OpenChild(id);
  try {
    read(*child);
  } catch (...) {
    stream.CloseChild();
    throw;
  }
  stream.CloseChild();
}

} // namespace

void WriteModelWindowBlock(TTagStream& stream, const TModelWindowState& s, const TTimeSeries* series,
                           const TParamsWriter& writeParams)
{
  stream.SetGroup(ModelBlock::WindowGroup);
  TMemoryStream* params = stream.BeginBlock();
  if (writeParams)
    writeParams(*params);
  else
    WriteEmptyParams(*params);
  stream.EndBlock(0);
  stream.WriteDouble(s.time, 1);
  stream.WriteDouble(s.timeStep, 2);
  stream.WriteLong(s.stepCount, 3);
  stream.WriteDouble(s.outputInterval, 4);
  stream.WriteDouble(s.lastOutputTime, 5);
  stream.WriteInt(s.state, 6);
  stream.WriteDouble(s.calculationTime, 7);
  TMemoryStream* seriesBlock = stream.BeginBlock();
  if (series)
    series->Save(seriesBlock);
  stream.EndBlock(8);
  stream.WriteDouble(s.startTime, 9);
  stream.WriteInt(s.seriesCapacity, 10);
  stream.WriteDouble(s.refreshInterval, 11);
  stream.WriteDouble(s.lastRefreshTime, 12);
  stream.WriteInt(s.stopMode, 13);
  stream.WriteDouble(s.stopTime, 14);
  stream.WriteDouble(s.runDuration, 15);
  stream.WriteDouble(s.runStartTime, 16);
  stream.WriteInt(s.saveFlags, 17);
  stream.WriteDouble(s.saveTimeInterval, 18);
  stream.WriteDouble(s.lastSaveTime, 19);
  stream.WriteInt(s.stageCount, 20);
  stream.WriteInt(s.saveStageCount, 21);
  stream.WriteInt(s.stageCountAtLastSave, 22);
}

void ReadModelWindowBlock(TTagStream& stream, TModelWindowState& s, TTimeSeries* series,
                          const TParamsReader& readParams)
{
  stream.SetGroup(ModelBlock::WindowGroup);
  TMemoryStream* params = stream.OpenBlock(0);
  if (readParams)
    readParams(params);
  stream.CloseBlock();
  stream.Read(s.time, 1);
  stream.Read(s.timeStep, 2);
  stream.Read(s.stepCount, 3);
  stream.Read(s.outputInterval, 4);
  stream.Read(s.lastOutputTime, 5);
  stream.Read(s.state, 6);
  s.calculationTime = 0;
  stream.Read(s.calculationTime, 7);
  if (series) {
    TMemoryStream* block = stream.OpenBlock(8);
    try {
      series->Load(block);
    } catch (...) {
      stream.CloseBlock();
      throw;
    }
    stream.CloseBlock();
  }
  stream.Read(s.startTime, 9);
  int32_t capacity = s.seriesCapacity;
  if (stream.Read(capacity, 10) && capacity <= kMaxSeriesCapacity)
    s.seriesCapacity = capacity;
  stream.Read(s.refreshInterval, 11);
  stream.Read(s.lastRefreshTime, 12);
  stream.Read(s.stopMode, 13);
  stream.Read(s.stopTime, 14);
  stream.Read(s.runDuration, 15);
  stream.Read(s.runStartTime, 16);
  stream.Read(s.saveFlags, 17);
  stream.Read(s.saveTimeInterval, 18);
  stream.Read(s.lastSaveTime, 19);
  stream.Read(s.stageCount, 20);
  stream.Read(s.saveStageCount, 21);
  stream.Read(s.stageCountAtLastSave, 22);
  const std::pair<double, const char*> times[] = {
    {s.time, "время модели"},         {s.timeStep, "шаг по времени"},     {s.outputInterval, "интервал вывода"},
    {s.lastOutputTime, "время вывода"}, {s.calculationTime, "время счета"}, {s.startTime, "начальное время"},
    {s.refreshInterval, "интервал обновления"}, {s.lastRefreshTime, "время обновления"},
    {s.stopTime, "время остановки"},   {s.runDuration, "длительность расчета"},
    {s.runStartTime, "время запуска"}, {s.saveTimeInterval, "интервал сохранения"},
    {s.lastSaveTime, "время сохранения"}};
  for (const auto& [value, field] : times)
    RequireFinite(value, field);
}

namespace {

// The model builds its input arrays from these corners, sizes and charges.
void RequireFiniteElectrodes(const std::vector<TElectrodeRecord>& electrodes)
{
  for (size_t i = 0; i < electrodes.size(); ++i) {
    const TElectrodeRecord& e = electrodes[i];
    const std::string field = "электрод " + std::to_string(i + 1);
    for (double value : {e.start[0], e.start[1], e.start[2], e.end[0], e.end[1], e.end[2], e.startDiameter,
                         e.endDiameter})
      RequireFinite(value, field);
  }
}

void RequireFiniteInhomogeneities(const std::vector<TInhomogeneityRecord>& inhomogeneities)
{
  for (size_t i = 0; i < inhomogeneities.size(); ++i) {
    const TInhomogeneityRecord& r = inhomogeneities[i];
    const std::string field = "неоднородность " + std::to_string(i + 1);
    for (double value : {r.lower[0], r.lower[1], r.lower[2], r.upper[0], r.upper[1], r.upper[2], r.charge})
      RequireFinite(value, field);
  }
}

} // namespace

void WriteBreakdownModelBlock(TTagStream& stream, const THeap& engine, const TTree& snapshot,
                              const TBreakdownModelState& state)
{
  stream.SetGroup(ModelBlock::BreakdownGroup);
  WriteHeapParams(*stream.BeginChild(), engine);
  stream.EndChild(0);
  WriteTreeLimbs(*stream.BeginChild(), snapshot);
  stream.EndChild(1);
  stream.WriteInt(state.repeatLimit, 2);
  stream.WriteInt(state.repeatCount, 3);
  const std::vector<uint8_t> electrodes = EncodeElectrodeRecords(state.electrodes);
  stream.WriteBlock(electrodes.data(), static_cast<int32_t>(electrodes.size()), 4);
  stream.WriteInt(TElectrodeRecord::Size, 5);
  const std::vector<uint8_t> inhomogeneities = EncodeInhomogeneityRecords(state.inhomogeneities);
  stream.WriteBlock(inhomogeneities.data(), static_cast<int32_t>(inhomogeneities.size()), 6);
  stream.WriteInt(TInhomogeneityRecord::Size, 7);
}

TBreakdownBlockRead ReadBreakdownModelBlock(TTagStream& stream, THeap& engine, TTree& snapshot,
                                            TBreakdownModelState& state, bool takeStoredElectrodes)
{
  TBreakdownBlockRead found;
  stream.SetGroup(ModelBlock::BreakdownGroup);
  ReadChild(stream, 0, [&](TTagStream& child) { ReadHeapParams(child, engine); });
  ReadChild(stream, 1, [&](TTagStream& child) { ReadTreeLimbs(child, snapshot, TreeLatticeOf(engine)); });
  stream.Read(state.repeatLimit, 2);
  stream.Read(state.repeatCount, 3);

  std::vector<uint8_t> block;
  const bool hasElectrodes =
      stream.ReadBlock(block, 4, int64_t{EngineImage::kMaxElectrodes} * TElectrodeRecord::Size);
  int32_t size = 0;
  stream.Read(size, 5);
  if (takeStoredElectrodes && hasElectrodes && size > 0) {
    state.electrodes = DecodeElectrodeRecords(block, size);
    RequireFiniteElectrodes(state.electrodes);
    found.storedElectrodes = true;
  }

  block.clear();
  const bool hasInhomogeneities = stream.ReadBlock(block, 6);
  size = 0;
  stream.Read(size, 7);
  if (hasInhomogeneities && size > 0) {
    state.inhomogeneities = DecodeInhomogeneityRecords(block, size);
    RequireFiniteInhomogeneities(state.inhomogeneities);
  } else
    state.inhomogeneities.clear();
  return found;
}

void RecomputeStructureStatistics(THeap& engine, TTree& snapshot)
{
  const double d1 = engine.CellSize1, d2 = engine.CellSize2, d3 = engine.CellSize3;
  engine.ChannelLength = TTreeLength(&snapshot);
  engine.StructureSize = TTreeRadius(&snapshot, d1, d2, d3);
  engine.JouleHeat = TTreeOmEnergy(&snapshot, d1, d2, d3);
  engine.JoulePower = TTreeOmPower(&snapshot, d1, d2, d3);
  engine.ElementCount = TTreeLimbs(&snapshot);
  TTreeSegments(&snapshot, &engine.SegmentCount, &engine.ChannelCount);
  TTreeDimension(&snapshot, engine.LimbDimMinCount, engine.LimbDimMinLength, &engine.Dimension,
                 &engine.DimensionIntercept);
  engine.AppliedVoltage = THeapGetUmax(&engine);
}

bool SaveSideFileForState(int calcState, const std::string& projectBase, const THeap& engine, std::string* why,
                          const TTempFileMaker& tempFile, TPendingSideFile* pending)
{
  if (!CalcStateKeepsLattice(calcState))
    return true;
  // Without a project name the file would land as a bare ".hex" wherever the
  // program happens to run.
  if (projectBase.empty()) {
    if (why)
      *why = "нет имени проекта";
    return false;
  }
  if (pending)
    return pending->Write(LatticeSideFileName(projectBase), engine, why, tempFile);
  return SaveLatticeSideFile(LatticeSideFileName(projectBase), engine, why, tempFile);
}

TSideFileLoad LoadSideFileForState(int calcState, const std::string& projectBase, THeap& engine, double modelTime)
{
  TSideFileLoad load;
  if (!CalcStateKeepsLattice(calcState))
    return load;
  const std::string path = LatticeSideFileName(projectBase);
  std::string why;
  const TLatticeStateCheck check{engine.StepCount, modelTime};
  if (!projectBase.empty() &&
      (LoadLatticeSideFile(path, engine, check, &why) || RecoverLatticeSideFile(path, engine, check))) {
    load.outcome = TSideFileOutcome::Restored;
    return load;
  }
  if (projectBase.empty())
    why = "нет имени проекта";
  load.outcome = TSideFileOutcome::Failed;
  load.message = "Расчет не может быть продолжен: состояние решетки не прочитано из файла \"" + path + "\" (" +
                 why + "). Расчет остановлен.";
  return load;
}
