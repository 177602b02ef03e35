#pragma once

#include "model/FormModel.h"
#include "model/ModelHost.h"
#include "model/TempFileName.h"
#include "model/worker/TickClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class TGIS;

namespace modeltest {

// The model only asks whether a GIS is attached; it never looks inside.
inline TGIS *GisStandIn() {
  alignas(16) static char standIn[16];
  return reinterpret_cast<TGIS *>(standIn);
}

class TFakeTickClock : public TTickClock {
public:
  std::uint32_t Ticks() override { return now; }
  void Advance(std::uint32_t ms) { now += ms; }
  std::atomic<std::uint32_t> now{1000};
};

class TLatch {
public:
  void Close() {
    std::lock_guard<std::mutex> lock(mutex);
    open = false;
    entered = 0;
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex);
    open = true;
    changed.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex);
    ++entered;
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
  }
  bool Entered() {
    std::lock_guard<std::mutex> lock(mutex);
    return entered > 0;
  }

private:
  std::mutex mutex;
  std::condition_variable changed;
  bool open = true;
  int entered = 0;
};

enum class TFailAt { Nothing, Init, Step, OutputDue, PrepareRefresh, StopTest };

// A concrete model without an engine: counts what the worker and the
// handlers ask, and fails or blocks where the test says.
class TFakeModel : public TFModel {
public:
  explicit TFakeModel(std::shared_ptr<TTickClock> clock) {
    SetClock(std::move(clock));
    StartWorker();
  }
  ~TFakeModel() override { Abort(false); }

  void InitCalculation() override {
    ++inits;
    initLatch.Pass();
    Fail(TFailAt::Init);
    TFModel::InitCalculation();
  }
  void CalculateStep() override {
    stepLatch.Pass();
    Fail(TFailAt::Step);
    TFModel::CalculateStep();
    ++steps;
  }
  bool IsCalculationFinished() override {
    Fail(TFailAt::StopTest);
    return TFModel::IsCalculationFinished();
  }
  void FlushOutputs() override {
    ++flushes;
    flushLatch.Pass();
    TFModel::FlushOutputs();
  }
  bool IsOutputDue() override {
    Fail(TFailAt::OutputDue);
    return TFModel::IsOutputDue();
  }
  void PrepareRefresh() override {
    Fail(TFailAt::PrepareRefresh);
    TFModel::PrepareRefresh();
  }
  void SampleOutputs(double t) override {
    std::lock_guard<std::mutex> lock(samplesMutex);
    samples.push_back(t);
  }
  void RefreshData() override { ++refreshes; }
  void LoadInputArrays(bool alsoOnRequest) override {
    ++inputLoads;
    EXPECT_TRUE(alsoOnRequest);
  }
  int ResetRun() override {
    ++resets;
    return TFModel::ResetRun();
  }
  std::string GetQuantityName(int) const override { return "величина"; }
  std::string GetQuantityUnit(int) const override { return "ед"; }
  int GetQuantityUnitCode(int) const override { return -1; }

  std::vector<double> Samples() {
    std::lock_guard<std::mutex> lock(samplesMutex);
    return samples;
  }
  // Drives the handlers directly, as the user-interface thread would.
  void SendForTest(int message, int wParam) { SendToSelf(message, wParam); }
  void SetTimeForTest(double t) { time = t; }
  void SetLastOutputTimeForTest(double t) { lastOutputTime = t; }
  void SetStageCountForTest(int n) { stageCount = n; }
  void SetRunStartTimeForTest(double t) { runStartTime = t; }
  void SetRefreshStateForTest(int s) { refreshState = s; }
  void SetTimeStepForTest(double dt) { timeStep = dt; }
  bool GateOpen() const { return events.runGate.Peek(); }

  std::atomic<TFailAt> failAt{TFailAt::Nothing};
  TLatch initLatch, stepLatch, flushLatch;
  std::atomic<int> inits{0}, steps{0}, flushes{0}, refreshes{0}, inputLoads{0}, resets{0};

private:
  void Fail(TFailAt where) const {
    if (failAt == where)
      throw std::runtime_error("fake failure");
  }

  std::mutex samplesMutex;
  std::vector<double> samples;
};

// The main window as the model sees it: records the callbacks and lets a
// test act inside them.
class TTestHost : public TModelHost {
public:
  void OnCalcPaused(TFModel *) override {
    ++paused;
    if (onPaused)
      onPaused();
  }
  void OnCalcStopped(TFModel *) override { ++stopped; }
  void OnCalcError(TFModel *, const std::string &text) override {
    errors.push_back(text);
    if (onError)
      onError();
  }
  void OnCalcStep(TFModel *) override {
    ++steps;
    if (onStep)
      onStep();
  }
  void PostRefreshViews() override { ++refreshViews; }
  std::string MakeTempFileName() override { return ::MakeTempFileName(); }

  int paused = 0, stopped = 0, steps = 0, refreshViews = 0;
  std::vector<std::string> errors;
  std::function<void()> onPaused, onError, onStep;
};

// Runs the event loop until the condition holds; false when it did not in time.
inline bool PumpUntil(const std::function<bool()> &done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    QCoreApplication::processEvents();
    if (done())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  QCoreApplication::processEvents();
  return done();
}

// Runs the event loop until the worker waits in the latch.
inline bool PumpUntilEntered(TLatch &latch) {
  return PumpUntil([&] { return latch.Entered(); });
}

inline void PumpFor(std::chrono::milliseconds span) {
  PumpUntil([] { return false; }, span);
}

// Frees what was left for later deletion (pumps of destroyed models).
inline void FlushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace modeltest
