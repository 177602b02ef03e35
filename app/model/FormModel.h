#pragma once

#include "data/Axes.h"
#include "model/worker/CalcCycle.h"
#include "model/worker/CalcEvents.h"
#include "model/worker/CalcMessages.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class TGIS;
class TModelHost;
class TModelMessagePump;
struct TModelWindowState;
class TModelThread;
class TSyncChannel;
class TTickClock;
class TTimeSerie;
class TTimeSeries;
class TStream;
class TTagStream;

// The model of a project: model time and its sampling, the calculation state,
// start, pause, stop and abort of the worker thread, autosave and stop
// settings, and the output time series. The worker runs the cycle operations;
// everything else, including the handlers of the worker's messages, runs on
// the user-interface thread.
//
// A concrete model calls StartWorker() at the end of its constructor and
// Abort(false) first in its destructor: the worker calls virtual operations,
// which must not reach a half-built or half-destroyed object.
class TFModel : public TCalcCycle {
public:
  enum TCalcState { StateSetup = 0, StateRunning = 1, StatePaused = 2, StateStopped = 3, StateAborted = 4 };
  enum TStopMode { StopNever = 0, StopOnEvent = 1, StopAtTime = 2, StopAfterDuration = 3, StopRepeated = 4 };
  enum TSaveFlag { SaveOnGrowth = 1, SaveOnTime = 2 };
  enum TProgressState { NothingPending = 0, NewStep = 1, Prepared = 2, Shown = 3 };
  static constexpr double IntervalFactor = 0.9999999999;
  static constexpr std::uint32_t RefreshThrottleMs = 100;
  static constexpr int SecondsUnit = 220;

  TFModel();
  ~TFModel() override;
  TFModel(const TFModel &) = delete;
  TFModel &operator=(const TFModel &) = delete;

  // The main window: its callbacks and the target of WM_REFRESH_VIEWS.
  void SetHost(TModelHost *host);
  TModelHost *GetHost() const { return host; }
  // The tick source of the refresh throttle and the calculation time; takes
  // effect for workers made afterwards.
  void SetClock(std::shared_ptr<TTickClock> clock);

  // Cycle operations (worker thread).
  void InitCalculation() override;
  void CalculateStep() override;
  bool IsCalculationFinished() override;
  bool IsOutputDue() override;
  void PrepareOutput() override;
  bool IsRefreshDue() override;
  void PrepareRefresh() override;
  bool IsSaveStepDue() override;
  void FlushOutputs() override;

  // Layers of the model arrays in the GIS; the plane and three-dimensional
  // versions come with the model arrays.
  virtual void SyncArrayLayers() {}
  virtual void LoadInputArrays(bool /*alsoOnRequest*/) {}
  virtual void UpdateArrayLayers() {}

  virtual void SampleOutputs(double /*time*/) {}
  virtual void BeforeOutput() {}
  virtual void RefreshData() {}
  virtual int ResetRun();
  virtual int PrepareResume();

  // Control (user-interface thread; Pause also from the worker).
  virtual void Start();
  virtual void Stop();
  void Pause() override;
  virtual void Abort(bool recreate);
  virtual void SuspendThread();
  virtual void ResumeThread();
  virtual int CheckBeforeRun() { return 0; }

  virtual double GetOutputInterval() const { return outputInterval; }
  virtual void SetOutputInterval(double interval) { outputInterval = interval; }
  virtual double GetRefreshInterval() const { return refreshInterval; }
  virtual void SetRefreshInterval(double interval) { refreshInterval = interval; }
  virtual void SetDefaults() {}

  virtual double GetTime() const { return time; }
  virtual double GetStartTime() const { return startTime; }
  virtual void SetStartTime(double t) { startTime = t; }
  virtual double GetTimeStep() const { return timeStep; }
  virtual std::string StatusText();
  virtual void SetGIS(TGIS *gis);
  TGIS *GetGIS() const { return gis; }
  virtual int GetState() const { return state; }
  virtual void SetState(int s);
  virtual std::string StateName() const;
  static std::string StateName(int state);

  // Output series.
  virtual int GetSeriesMenuDepth(const TTimeSerie * /*series*/) const { return 0; }
  virtual std::string GetSeriesMenuCaption(const TTimeSerie * /*series*/, int /*level*/) const { return "нет данных"; }
  virtual int GetSeriesCount() const;
  virtual TTimeSerie *GetSeries(int index) const;
  virtual TTimeSerie *FindSeries(int quantityId, int objectId) const;
  virtual TTimeSerie *FindSeriesByName(int quantityId, int objectType, const std::string &objectName) const;
  virtual void AddSeries(std::unique_ptr<TTimeSerie> series);
  virtual void SyncSeries() {}
  virtual bool IsTimeDate() const { return false; }
  virtual int GetNativeTimeUnit() const { return SecondsUnit; }
  virtual std::string GetQuantityName(int id) const = 0;
  virtual std::string GetQuantityUnit(int id) const = 0;
  virtual int GetQuantityUnitCode(int id) const = 0;
  virtual std::string GetAxisName(int unitCode) const;
  virtual std::string GetAxisUnit(int unitCode) const;

  // Settings.
  double GetStopTime() const { return stopTime; }
  void SetStopTime(double t) { stopTime = t; }
  int GetStopMode() const { return stopMode; }
  void SetStopMode(int mode) { stopMode = mode; }
  double GetRunDuration() const { return runDuration; }
  void SetRunDuration(double seconds) { runDuration = seconds; }
  int GetSaveFlags() const { return saveFlags; }
  void SetSaveFlags(int flags) { saveFlags = flags; }
  double GetSaveTimeInterval() const { return saveTimeInterval; }
  void SetSaveTimeInterval(double interval) { saveTimeInterval = interval; }
  int GetSaveStageCount() const { return saveStageCount; }
  void SetSaveStageCount(int count) { saveStageCount = count; }
  // The points kept per output series; applied to every series at once.
  void SetTimeUnit(int capacity);
  int GetTimeUnit() const { return seriesCapacity; }
  void SetSeriesCapacity(int capacity) { SetTimeUnit(capacity); }
  int GetSeriesCapacity() const { return GetTimeUnit(); }
  double GetCalculationTime() const;
  void SetCalculationTime(double seconds);

  // Persistence in a project image (FormModelPersistence.cpp): the model's
  // block 1300; a concrete model adds its own after it. The stream forms wrap
  // the stream in a tag stream and clear the modified flag.
  void SaveToStream(TStream *stream);
  void LoadFromStream(TStream *stream);
  virtual void Save(TTagStream &stream);
  virtual void Load(TTagStream &stream);

  bool StopConditionReached() const { return stopReached; }
  bool IsModified() const { return modified; }
  void SetModified(bool m) { modified = m; }
  int GetStepCount() const { return stepCount; }
  int GetStageCount() const { return stageCount; }
  int GetOutputState() const { return outputState; }
  int GetRefreshState() const { return refreshState; }
  double GetLastOutputTime() const { return lastOutputTime; }
  double GetLastRefreshTime() const { return lastRefreshTime; }
  double GetLastSaveTime() const { return lastSaveTime; }
  int GetPreviousState() const { return previousState; }
  int GetNx() const { return nx; }
  int GetNy() const { return ny; }
  TTimeSeries *GetSeriesList() const { return seriesList.get(); }
  const TAxes &GetAxes() const { return axes; }

  // Handles the messages that have arrived from the worker; the Qt event loop
  // calls it through the model's pump.
  void ServeMessages();
  bool HasWorker() const { return worker != nullptr; }
  // The worker's id (0 without one), for tests and traces.
  std::uint64_t WorkerId() const;
  std::string WorkerErrorText() const;
  bool IsWorkerHeld() const;

protected:
  // Creates the idle worker; the concrete model's constructor calls it last.
  void StartWorker();
  // Synchronous like a sent window message: from the worker through the
  // channel, from the user-interface thread as a direct call.
  void SendToSelf(int message, int wParam);
  void PostToSelf(int notice);
  void Dispatch(const TCalcMessage &message);

  void WMCalcOutput(int wParam);
  void WMCalcRefresh(int wParam);
  void WMCalcPaused();
  void WMCalcStopped();
  void WMCalcError();
  void WMCalcSaveStep();

  // Fields that the worker writes and the user-interface thread shows, or
  // the other way round, are atomic: either side may read them at any time.
  std::atomic<int> state{StateSetup};
  int previousState = StateSetup;
  int blinkToggle = 0;
  TGIS *gis = nullptr;
  std::shared_ptr<TModelThread> worker;
  TCalcEvents events;
  std::atomic<double> time{0.0};
  std::atomic<double> startTime{0.0};
  std::atomic<double> timeStep{0.01};
  std::atomic<double> outputInterval{0.0};
  std::atomic<double> lastOutputTime{0.0};
  std::atomic<double> refreshInterval{0.0};
  std::atomic<double> lastRefreshTime{0.0};
  std::atomic<int> stopMode{StopNever};
  std::atomic<double> stopTime{0.0};
  std::atomic<double> runDuration{0.0};
  std::atomic<double> runStartTime{0.0};
  std::atomic<int> saveFlags{0};
  std::atomic<double> saveTimeInterval{0.0};
  std::atomic<double> lastSaveTime{0.0};
  std::atomic<int> stageCount{0};
  std::atomic<int> saveStageCount{1};
  std::atomic<int> stageCountAtLastSave{0};
  bool autoSyncLayers = true;
  std::unique_ptr<TTimeSeries> seriesList;
  int seriesCapacity = 500;
  std::atomic<int> outputState{NothingPending};
  std::atomic<int> refreshState{NothingPending};
  std::atomic<int> stepCount{0};
  std::atomic<bool> modified{false};
  int nx = 101;
  int ny = 101;
  std::atomic<bool> stopReached{false};
  TAxes axes;

private:
  // The window's values as its block of the project image keeps them.
  TModelWindowState WindowState() const;
  void CreateWorker();
  void FailInHandler(int message);

  TModelHost *host = nullptr;
  std::shared_ptr<TSyncChannel> channel;
  std::shared_ptr<TTickClock> clock;
  TModelMessagePump *pump = nullptr;
  std::uint32_t refreshMark = 0;
};
