#pragma once

#include "data/QuantityLevels.h"
#include "data/TimeSeries.h"
#include "model/FormModel3D.h"
#include "model/breakdown/ModelSnapshot.h"
#include "model/breakdown/ValuesIntegral.h"
#include "model/store/ElectrodeRecord.h"
#include "model/store/InhomogeneityRecord.h"
#include "model/store/LatticeSideFile.h"

#include <korvane.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The model could not be built (no memory for the engine record).
class EModelCreateError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The breakdown model: owns one engine record and runs it inside the cycle
// operations on the worker thread, decides when a run ends (breakdown,
// extinction, repeated discharges), mirrors the engine's lattice arrays as
// volume layers and records the engine's outputs as time series. Windows read
// a snapshot of the tree and of the engine statistics, taken while the engine
// is idle, never the engine record itself.
class TFBitModel : public TFModel3D {
public:
  static constexpr int DefaultRepeatLimit = 10;

  // Raises EModelCreateError when the engine record cannot be allocated.
  TFBitModel();
  ~TFBitModel() override;

  // --- cycle (worker thread) ---
  void InitCalculation() override;
  void CalculateStep() override;
  bool IsCalculationFinished() override;

  // --- control and data (user-interface thread) ---
  int ResetRun() override;
  int PrepareResume() override;
  // Refuses a run whose inputs the engine cannot take; the reason goes to
  // the host as an error and stays in GetRunRefusal.
  int CheckBeforeRun() override;
  const std::string &GetRunRefusal() const { return runRefusal; }
  void RefreshData() override;
  void BeforeOutput() override;
  void SetDefaults() override;
  void UpdateArrayLayers() override;
  std::string StatusText() override;
  void CreateArrays() override;
  void FreeArrays() override;
  // Writes reach the engine only while no run is in progress or paused: the
  // engine takes its inputs at a fresh run, which loads them itself.
  void SetArrayData(int id, const double *data) override;
  virtual void BuildAllInputArrays();
  void SetProjectName(const std::string &fileName);
  const std::string &GetProjectBase() const { return projectBase; }
  // Takes the engine's lattice size after the parameter dialogs and makes
  // the layers follow.
  void UpdateLatticeSize();

  // --- output quantities ---
  void SampleOutputs(double time) override;
  void SyncSeries() override;
  int GetSeriesMenuDepth(const TTimeSerie *series) const override;
  std::string GetSeriesMenuCaption(const TTimeSerie *series, int level) const override;
  std::string GetQuantityName(int id) const override;
  std::string GetQuantityUnit(int id) const override;
  int GetQuantityUnitCode(int id) const override;
  const TValues_integral &GetOutputQuantities() const { return outputs; }
  const TValues_integral &GetChannelQuantities() const { return channel; }
  const TSeriesObject &GetSeriesOwner() const { return seriesOwner; }

  // --- channel data and report values ---
  int GetChannelDataCount() const { return channel.Count(); }
  int GetChannelDataId(int i) const;
  bool HasChannelData(int id) const { return channel.Find(id) != nullptr; }
  int GetChannelDataLevels() const { return 2; }
  std::string GetChannelDataCaption(int id, int level) const;
  // Both arrays are allocated with malloc; the caller frees them with free.
  void GetChannelData(int id, int end, int *count, double **positions, double **values) const;
  void GetTreeLimbInfo(double *area, double *horizontal, double *maxHeight, double *lengthAbove, double *ratio);
  double GetTreeLimbsLength();
  void FindSurfaceHeight();
  double GetSurfaceHeight() const { return surfaceHeight; }
  double GetFirstSeriesTime(int quantityId, const TSeriesObject &owner) const;
  double GetTimeTi() const;
  double GetTimeTs() const;
  double GetTimeTb() const;
  bool StructureTouchesElectrode() const;

  // --- persistence (FormBitModelPersistence.cpp) ---
  // Block 1321 after the base's block, and the lattice side file of a running
  // or paused model beside the project (SetProjectName first).
  void Save(TTagStream &stream) override;
  void Load(TTagStream &stream) override;
  // The electrode and inhomogeneity records the dialogs edit and views draw.
  std::vector<TElectrodeRecord> &Electrodes() { return electrodes; }
  const std::vector<TElectrodeRecord> &Electrodes() const { return electrodes; }
  std::vector<TInhomogeneityRecord> &Inhomogeneities() { return inhomogeneities; }
  const std::vector<TInhomogeneityRecord> &Inhomogeneities() const { return inhomogeneities; }
  // Cleared for result data loaded into an open project: the records the
  // electrode source gives win over the stored ones.
  void SetTakeStoredElectrodes(bool take) { takeStoredElectrodes = take; }
  bool GetTakeStoredElectrodes() const { return takeStoredElectrodes; }
  // Where a loaded project without electrode records takes them from (the
  // electrode table's current records); none when unset.
  void SetElectrodeSource(std::function<std::vector<TElectrodeRecord>()> source) { electrodeSource = std::move(source); }
  bool IsSideFileLoaded() const { return sideFileLoaded; }
  // Why the last save could not write the side file ("" when it could), or why
  // the last load could not continue the run from it: for the host to show.
  const std::string &GetSideFileError() const { return sideFileError; }
  // A project writer defers the side file: saves then only write it beside its
  // place, and the writer commits it once the project file is in place, or
  // discards it when the project could not be written, so that the project
  // and its side file always belong together.
  void DeferSideFile(bool defer);
  void CommitSideFile();
  void DiscardSideFile();
  // Leaves the written side file beside its place, uncommitted.
  void AbandonSideFile();

  // --- the engine and what windows read of it ---
  // The record itself: for the dialogs, in states 0 and 3 only.
  THeap *GetEngine() const { return engine; }
  const TModelSnapshot &GetSnapshot() const { return snapshot; }
  TModelSnapshot &GetSnapshot() { return snapshot; }
  int GetRepeatLimit() const { return repeatLimit; }
  void SetRepeatLimit(int limit) { repeatLimit = limit; }
  int GetRepeatCount() const { return repeatCount; }

protected:
  std::optional<TLevelMap> CodeLevels(int id) const override;

private:
  void ShiftPotentialLayer();
  bool Extinct() const;
  void RepeatDischarge();
  bool LayerSizes(int code, int &lx, int &ly, int &lz) const;

  TSeriesObject seriesOwner{-1, -1, ""};
  std::string projectBase;
  TValues_integral outputs;
  TValues_integral channel;
  TQuantityLevels seriesLevels{10};
  TQuantityLevels markerLevels{10};
  THeap *engine = nullptr;
  TModelSnapshot snapshot;
  double surfaceHeight = 0.019;
  int repeatLimit = DefaultRepeatLimit;
  std::atomic<int> repeatCount{0};
  std::string runRefusal;
  bool acceptingRunInputs = false;
  std::vector<TElectrodeRecord> electrodes;
  std::vector<TInhomogeneityRecord> inhomogeneities;
  bool takeStoredElectrodes = true;
  bool sideFileLoaded = false;
  std::function<std::vector<TElectrodeRecord>()> electrodeSource;
  std::string sideFileError;
  bool deferSideFile = false;
  std::unique_ptr<TPendingSideFile> pendingSideFile;
};
