#include "model/FormBitModel.h"

#include "data/TextConversion.h"
#include "data/TimeSerie.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "model/ModelHost.h"
#include "model/VolumeLayer.h"
#include "model/breakdown/ChannelData.h"
#include "model/breakdown/EngineArrays.h"
#include "model/breakdown/OutputQuantities.h"
#include "model/worker/CalcError.h"
#include "model/breakdown/ProjectBase.h"
#include "model/breakdown/RunCheck.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MarkerObjectType = 104;
constexpr int ChannelIdFirst = 2000, ChannelIdLast = 2999;
constexpr int OutputIdLast = 999;

void *CopyOut(const std::vector<double> &v) {
  auto *p = static_cast<double *>(std::malloc(v.size() * sizeof(double)));
  if (p)
    std::memcpy(p, v.data(), v.size() * sizeof(double));
  return p;
}

} // namespace

TFBitModel::TFBitModel() {
  engine = THeapNew();
  if (!engine)
    throw EModelCreateError("Непредвиденная ошибка - недостаточно памяти для расчетной модели");
  engine->OwnerWindow = 0;
  nx = engine->N1;
  ny = engine->N3;
  nz = engine->N2;
  axes.Fill();
  BuildOutputQuantities(*engine, outputs, channel, seriesLevels);
  CreateArrays();
  snapshot.Publish(*engine, outputs);
  SetOutputInterval(1e-9);
  SetRefreshInterval(1e-9);
  SetSaveFlags(SaveOnGrowth | SaveOnTime);
  SetSaveTimeInterval(2e-7);
  SetSaveStageCount(10);
  SetStopMode(StopAtTime);
  SetStopTime(6e-6);
  StartWorker();
}

TFBitModel::~TFBitModel() {
  // The worker may be inside an engine step: it ends before the engine goes.
  Abort(false);
  arrays.Clear();
  THeapDelete(engine);
  engine = nullptr;
}

// ---- cycle (worker thread) ----

void TFBitModel::InitCalculation() {
  THeapInitCalc(engine);
  TFModel3D::InitCalculation();
}

void TFBitModel::CalculateStep() {
  timeStep = THeapGoTimeStep(engine);
  // A step that is not a number would never reach a stop time: the run ends
  // with an error instead of running on without end.
  if (!std::isfinite(timeStep) || !std::isfinite(engine->Time))
    throw ECalcError("шаг по времени или время модели не является конечным числом");
  stageCount = engine->Nodes.count;
  TFModel3D::CalculateStep();
}

// The engine never lets a channel's conductance fall below LimbMinCond, so a
// structure whose channels have all died out sits exactly at that bound.
bool TFBitModel::Extinct() const {
  const double gmax = engine->MaxLinearConductance;
  return gmax != 0 && gmax <= engine->LimbMinCond;
}

void TFBitModel::RepeatDischarge() {
  repeatCount = repeatCount + 1;
  THeapEcDecay(engine);
  FlushOutputs();
  SendToSelf(WM_CALC_SAVESTEP, 0);
  THeapResetEx(engine, 0);
  stageCount = engine->Nodes.count;
  stageCountAtLastSave = stageCount.load();
}

bool TFBitModel::IsCalculationFinished() {
  bool finished = false;
  switch (stopMode) {
  case StopOnEvent:
    finished = engine->Flags != 0 || Extinct();
    break;
  case StopRepeated: {
    if (engine->Flags && !THeapIsBreakdownIn(engine, 1) && repeatCount < repeatLimit)
      RepeatDischarge();
    const bool breakdown = engine->Flags != 0;
    finished = breakdown && (THeapIsBreakdownIn(engine, 1) || repeatCount >= repeatLimit) ? true : Extinct();
    break;
  }
  default:
    return TFModel3D::IsCalculationFinished();
  }
  stopReached = finished;
  return finished;
}

// ---- control and data ----

int TFBitModel::ResetRun() {
  startTime = 0.0;
  repeatCount = 1;
  runRefusal.clear();
  acceptingRunInputs = true;
  const int r = TFModel3D::ResetRun();
  acceptingRunInputs = false;
  // Inputs the engine cannot take must never reach its reset.
  if (CheckEngineInputs(*engine).empty())
    THeapReset(engine);
  stageCount = engine->Nodes.count;
  snapshot.Publish(*engine, outputs);
  return r != 0 ? 1 : 0;
}

int TFBitModel::PrepareResume() { return TFModel3D::PrepareResume() != 0 ? 1 : 0; }

int TFBitModel::CheckBeforeRun() {
  runRefusal = CheckEngineInputs(*engine);
  if (runRefusal.empty())
    return 0;
  if (GetHost())
    GetHost()->OnCalcError(this, runRefusal);
  return 1;
}

void TFBitModel::RefreshData() { snapshot.Publish(*engine, outputs); }

void TFBitModel::BeforeOutput() { snapshot.PublishStatistics(*engine, outputs); }

void TFBitModel::SetDefaults() {
  THeapSetDefaults(engine);
  UpdateArrayLayers();
}

void TFBitModel::UpdateArrayLayers() {
  TFModel3D::UpdateArrayLayers();
  ShiftPotentialLayer();
}

// The potential layer shows potentials relative to the electrode whose
// potential is the smaller in magnitude of the two extremes.
void TFBitModel::ShiftPotentialLayer() {
  TGObj *layer = FindLayer(ArrayPotential);
  if (!layer || engine->ElectrodeCount <= 0 || !engine->CodePotentialBase)
    return;
  double lo = 1e300, hi = -1e300;
  for (int e = 0; e < engine->ElectrodeCount; ++e) {
    const double p = engine->CodePotentialBase[-2 * (e + 1)];
    lo = std::min(lo, p);
    hi = std::max(hi, p);
  }
  const double reference = std::fabs(hi) >= std::fabs(lo) ? lo : hi;
  if (reference != 0)
    VolumeLayer::AddOffset(layer, -reference);
}

std::string TFBitModel::StatusText() {
  const double t = GetTime();
  if (t > 0)
    return FloatToStrSep(t, ffGeneral, 6, 2);
  const std::string base = TFModel3D::StatusText();
  if (!base.empty())
    return base;
  const TEngineStatistics s = snapshot.Statistics();
  return "intr=" + std::to_string(s.stepIterations) + " (err=" +
         FloatToStrSep(s.lastIterationError, ffExponent, 2, 1) + ")";
}

void TFBitModel::CreateArrays() {
  RegisterEngineArrays(*engine, arrays, arrayLevels);
}

void TFBitModel::FreeArrays() { arrays.Clear(); }

void TFBitModel::SetArrayData(int id, const double *data) {
  const int s = state;
  if ((s == StateRunning || s == StatePaused) && !acceptingRunInputs)
    return;
  TFModel3D::SetArrayData(id, data);
}

// The levels of the engine's lattice are its node planes from plate to plate;
// the electrode layer's first and last planes are the plates themselves.
std::optional<TLevelMap> TFBitModel::CodeLevels(int id) const {
  if (id == ArrayElectrodes)
    return TLevelMap{TLevelMatch::NodesBetweenPlates, -1.0};
  if (IsCodeArray(id))
    return TLevelMap{TLevelMatch::Nodes, 0.0};
  return std::nullopt;
}

void TFBitModel::BuildAllInputArrays() { BuildInputArrays(0); }

void TFBitModel::SetProjectName(const std::string &fileName) { projectBase = ProjectFileBase(fileName); }

void TFBitModel::UpdateLatticeSize() {
  if (nx == engine->N1 && ny == engine->N3 && nz == engine->N2)
    return;
  nx = engine->N1;
  ny = engine->N3;
  nz = engine->N2;
  SyncArrayLayers();
}

// ---- output quantities ----

void TFBitModel::SampleOutputs(double t) {
  for (int i = 0; i < outputs.Count(); ++i) {
    const auto &record = outputs.Item(i);
    seriesList->AddPoint(record.id, &seriesOwner, t, *record.value);
  }
}

void TFBitModel::SyncSeries() {
  for (int i = 0; i < outputs.Count(); ++i)
    seriesList->Get(outputs.Item(i).id, &seriesOwner, true);
  for (int i = 0; i < seriesList->Count();) {
    TTimeSerie *s = seriesList->Item(i);
    const bool stays = s->objectId != seriesOwner.id ? gis && gis->FindObjectById(s->objectId)
                                                     : outputs.Find(s->quantityId) != nullptr;
    if (stays)
      ++i;
    else
      seriesList->Remove(s);
  }
}

int TFBitModel::GetSeriesMenuDepth(const TTimeSerie *series) const {
  if (!series)
    return 0;
  if (series->objectType == seriesOwner.type)
    return 1 + seriesLevels.Count(series->quantityId);
  if (series->objectType == MarkerObjectType)
    return 2 + markerLevels.Count(series->quantityId);
  return 2;
}

std::string TFBitModel::GetSeriesMenuCaption(const TTimeSerie *series, int level) const {
  if (!series)
    return "нет данных";
  const int id = series->quantityId;
  if (series->objectType == seriesOwner.type) {
    if (level <= 0)
      return "графики";
    return level == 1 ? seriesLevels.Name(id, 0) : seriesLevels.Name(id, level - 1);
  }
  if (series->objectType == MarkerObjectType) {
    if (level <= 0)
      return "по меткам";
    return level == 1 ? series->name : markerLevels.Name(id, level - 2);
  }
  return level <= 0 ? "прочие данные" : "данные " + std::to_string(id);
}

namespace {

const TValueIntegralRecord *FindQuantity(const TValues_integral &outputs, const TValues_integral &channel, int id) {
  if (id >= ChannelIdFirst && id <= ChannelIdLast)
    return channel.Find(id);
  if (id >= 0 && id <= OutputIdLast)
    return outputs.Find(id);
  return nullptr;
}

} // namespace

std::string TFBitModel::GetQuantityName(int id) const {
  const auto *record = FindQuantity(outputs, channel, id);
  return record ? record->name : "данные";
}

std::string TFBitModel::GetQuantityUnit(int id) const {
  const auto *record = FindQuantity(outputs, channel, id);
  return record ? axes.Find(record->unitCode).unit : "";
}

int TFBitModel::GetQuantityUnitCode(int id) const {
  const auto *record = FindQuantity(outputs, channel, id);
  return record ? record->unitCode : -1;
}

// ---- channel data and report values ----

int TFBitModel::GetChannelDataId(int i) const {
  return i >= 0 && i < channel.Count() ? channel.Item(i).id : 0;
}

std::string TFBitModel::GetChannelDataCaption(int id, int level) const {
  if (level == 0)
    return "Графики";
  if (level == 1) {
    const auto *record = channel.Find(id);
    return record ? record->name : "данные";
  }
  return "";
}

void TFBitModel::GetChannelData(int id, int end, int *count, double **positions, double **values) const {
  if (count)
    *count = 0;
  if (positions)
    *positions = nullptr;
  if (values)
    *values = nullptr;
  if (!count || !positions || !values)
    return;
  const TChannelProfile profile =
      snapshot.Read([&](const TTree &tree, const TEngineStatistics &) { return ChannelProfile(tree, id, end); });
  if (profile.values.empty())
    return;
  auto *p = static_cast<double *>(CopyOut(profile.positions));
  auto *v = static_cast<double *>(CopyOut(profile.values));
  if (!p || !v) {
    std::free(p);
    std::free(v);
    return;
  }
  *count = static_cast<int>(profile.values.size());
  *positions = p;
  *values = v;
}

bool TFBitModel::LayerSizes(int code, int &lx, int &ly, int &lz) const {
  TGObj *layer = FindLayer(code);
  VolumeLayer::Sizes(layer, lx, ly, lz);
  return layer && lx > 0 && ly > 0 && lz > 0;
}

void TFBitModel::FindSurfaceHeight() {
  int lx = 0, ly = 0, lz = 0;
  surfaceHeight = 0.0;
  if (!LayerSizes(ArrayMaterial, lx, ly, lz))
    return;
  const TCellLookup materials = [this](int i, int j, int k, double &v) {
    return LayerCellValue(ArrayMaterial, i, j, k, v);
  };
  surfaceHeight = FindSurfaceLevelHeight(materials, lx, ly, lz, snapshot.Statistics().cellSize2);
}

void TFBitModel::GetTreeLimbInfo(double *area, double *horizontal, double *maxHeight, double *lengthAbove,
                                 double *ratio) {
  // Without an electrode layer or a grown node there is nothing to measure:
  // every output reads 0.
  for (double *out : {area, horizontal, maxHeight, lengthAbove, ratio})
    if (out)
      *out = 0;
  int lx = 0, ly = 0, lz = 0;
  if (!LayerSizes(ArrayElectrodes, lx, ly, lz))
    return;
  FindSurfaceHeight();
  const TCellLookup codes = [this](int i, int j, int k, double &v) {
    return LayerCellValue(ArrayElectrodes, i, j, k, v);
  };
  const double z0 = surfaceHeight;
  snapshot.ReadMutable([&](TTree &tree, const TEngineStatistics &s) {
    const int node = FindNodeOnElectrode(tree, codes, lx, ly, true);
    if (node >= 0)
      TTreeGetLimbInfo(&tree, node, s.cellSize1, s.cellSize2, s.cellSize3, z0, lengthAbove, horizontal, area,
                       maxHeight, ratio);
    return 0;
  });
}

double TFBitModel::GetTreeLimbsLength() {
  FindSurfaceHeight();
  double result = 0;
  const double z0 = surfaceHeight;
  snapshot.ReadMutable([&](TTree &tree, const TEngineStatistics &s) {
    TTreeGetLimbsLength(&tree, s.cellSize1, s.cellSize2, s.cellSize3, z0, &result);
    return 0;
  });
  return result;
}

double TFBitModel::GetFirstSeriesTime(int quantityId, const TSeriesObject &owner) const {
  TTimeSerie *s = seriesList->Get(quantityId, &owner, false);
  if (!s)
    return 0.0;
  for (int i = 0; i < s->GetCount(); ++i) {
    double t = 0, v = 0;
    if (s->GetPoint(i, t, v) && v > 0)
      return t;
  }
  return 0.0;
}

double TFBitModel::GetTimeTi() const { return snapshot.Statistics().timeFirstCandidate; }

double TFBitModel::GetTimeTs() const {
  const double ts = snapshot.Statistics().timeFirstGrowth;
  return ts != 0 ? ts : GetFirstSeriesTime(OutputElementCount, seriesOwner);
}

double TFBitModel::GetTimeTb() const {
  const double tb = snapshot.Statistics().timeBreakdown;
  if (tb != 0)
    return tb;
  return StructureTouchesElectrode() ? GetTime() : 0.0;
}

bool TFBitModel::StructureTouchesElectrode() const {
  int lx = 0, ly = 0, lz = 0;
  if (!LayerSizes(ArrayElectrodes, lx, ly, lz))
    return false;
  const TCellLookup codes = [this](int i, int j, int k, double &v) {
    return LayerCellValue(ArrayElectrodes, i, j, k, v);
  };
  return snapshot.Read([&](const TTree &tree, const TEngineStatistics &) {
    return FindNodeOnElectrode(tree, codes, lx, ly, false) >= 0;
  });
}
