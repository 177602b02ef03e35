#pragma once

#include "model/worker/CalcCycle.h"
#include "model/worker/CalcEvents.h"
#include "model/worker/SyncChannel.h"
#include "model/worker/TickClock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

// A clock that moves only when the test says so.
class TFakeTickClock : public TTickClock {
public:
  explicit TFakeTickClock(std::uint32_t start = 1000) : now(start) {}
  std::uint32_t Ticks() override {
    ++reads;
    return now;
  }
  void Advance(std::uint32_t ms) { now += ms; }
  void Set(std::uint32_t ms) { now = ms; }
  // How often the clock was read: tells a test where a worker has got to.
  int Reads() const { return reads; }

private:
  std::atomic<std::uint32_t> now;
  std::atomic<int> reads{0};
};

// A gate the test opens by hand, to hold a worker inside a step.
class TLatch {
public:
  void Close() {
    std::lock_guard<std::mutex> lock(mutex);
    open = false;
    entered = false;
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex);
    open = true;
    changed.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex);
    entered = true;
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
  }
  bool WaitEntered(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return entered; });
  }

private:
  std::mutex mutex;
  std::condition_variable changed;
  bool open = true;
  bool entered = false;
};

// What a fake cycle should fail in.
enum class TFailAt { Nothing, Init, Step, Finished, OutputDue, PrepareOutput, RefreshDue, PrepareRefresh, SaveStepDue };

// A model as the worker sees it: counts the calls, answers what the test set
// and throws where asked.
class TFakeCycle : public TCalcCycle {
public:
  explicit TFakeCycle(TCalcEvents &events) : events(events) {}

  void InitCalculation() override {
    ++inits;
    Spend();
    Fail(TFailAt::Init);
  }
  void CalculateStep() override {
    ++steps;
    Spend();
    stepLatch.Pass();
    Fail(TFailAt::Step);
  }
  bool IsCalculationFinished() override {
    Fail(TFailAt::Finished);
    return finished;
  }
  bool IsOutputDue() override {
    Fail(TFailAt::OutputDue);
    return outputDue;
  }
  void PrepareOutput() override {
    ++outputsPrepared;
    Fail(TFailAt::PrepareOutput);
  }
  bool IsRefreshDue() override {
    Fail(TFailAt::RefreshDue);
    return refreshDue;
  }
  void PrepareRefresh() override {
    ++refreshesPrepared;
    Fail(TFailAt::PrepareRefresh);
  }
  bool IsSaveStepDue() override {
    Fail(TFailAt::SaveStepDue);
    return saveDue;
  }
  void FlushOutputs() override { ++flushes; }
  void Pause() override {
    ++pauses;
    events.pauseRequest.Set();
  }

  TCalcEvents &events;
  TLatch stepLatch;
  // Wall-clock time that a step takes, on the fake clock.
  TFakeTickClock *clock = nullptr;
  std::uint32_t stepMs = 0;
  std::atomic<TFailAt> failAt{TFailAt::Nothing};
  std::atomic<bool> finished{false}, outputDue{false}, refreshDue{false}, saveDue{false};
  std::atomic<int> inits{0}, steps{0}, outputsPrepared{0}, refreshesPrepared{0}, flushes{0}, pauses{0};

private:
  void Spend() {
    if (clock)
      clock->Advance(stepMs);
  }
  void Fail(TFailAt where) const {
    if (failAt == where)
      throw std::runtime_error("fake failure");
  }
};

// Serves the channel on the calling thread until the condition holds; false
// when it did not within the time.
inline bool ServeUntil(TSyncChannel &channel, const TSyncChannel::THandler &handler, const std::function<bool()> &done,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    channel.Serve(handler);
    if (done())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  channel.Serve(handler);
  return done();
}
