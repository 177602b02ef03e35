#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A signalled/non-signalled flag that threads wait on. A manual-reset event
// stays signalled until Reset; an automatic-reset event lets exactly one wait
// through and is non-signalled again afterwards.
class TEvent {
public:
  enum TResetKind { ManualReset, AutoReset };

  explicit TEvent(TResetKind kind, bool initiallySignalled = false);
  TEvent(const TEvent &) = delete;
  TEvent &operator=(const TEvent &) = delete;

  void Set();
  void Reset();
  // Blocks until signalled; consumes the signal of an automatic-reset event.
  void Wait();
  // False when the time ran out first; a zero timeout only looks (and, for an
  // automatic-reset event, takes the signal when it is there).
  bool Wait(std::chrono::milliseconds timeout);
  // Looks without ever consuming the signal.
  bool Peek() const;

private:
  bool TakeLocked();

  const TResetKind kind;
  mutable std::mutex mutex;
  std::condition_variable changed;
  bool signalled;
};
