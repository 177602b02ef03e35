#pragma once

#include "model/worker/SyncChannel.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TCalcCycle;
struct TCalcEvents;
class TTickClock;

// The one worker thread of a model: it waits at the run gate, takes the
// terminate, stop and pause requests in that order, runs one cycle of the
// model and reports through the channel. The thread's own state lives apart
// from this object, so that a worker let go from inside its own send can end
// by itself after its owner has moved on.
class TModelThread {
public:
  TModelThread(TCalcCycle &model, TCalcEvents &events, std::shared_ptr<TSyncChannel> channel,
               std::shared_ptr<TTickClock> clock, bool createSuspended = false);
  // A thread still running is let go from its sends and woken at the gate,
  // then joined: it finishes the step it is in first.
  ~TModelThread();
  TModelThread(const TModelThread &) = delete;
  TModelThread &operator=(const TModelThread &) = delete;

  // Starts a thread created suspended; nothing otherwise.
  void Resume();
  // Sets the thread's own terminate flag (and lifts a hold); the loop ends at
  // its next check, at the latest when the step in progress returns.
  void Terminate();
  bool IsTerminated() const;
  bool IsTerminateRequested() const;

  // A cooperative hold: the worker stops at its next check point (the start
  // of a cycle, after the gate) until the hold is lifted.
  void Hold();
  void LiftHold();
  bool IsHeld() const;

  double GetCalculationTime() const;
  void SetCalculationTime(double seconds);
  bool IsFirstCycle() const;
  void SetFirstCycle(bool first);
  std::string GetErrorText() const;

  std::uint64_t Id() const;
  bool HasEnded() const;

  // Waits until the thread has ended, handling the sends it makes meanwhile;
  // when the worker is released or the channel closed during the wait, it is
  // let go instead.
  void WaitFor(const TSyncChannel::THandler &serve);
  // Releases the worker on the channel and lets its thread end by itself.
  void Detach();

  // The id of the worker running on the calling thread, 0 on any other.
  static std::uint64_t CurrentSender();

private:
  struct TState;
  static void Run(std::shared_ptr<TState> state);
  static void RunCycle(TState &state);
  static void WaitWhileHeld(TState &state);

  std::shared_ptr<TState> state;
  std::thread thread;
  bool started = false;
};
