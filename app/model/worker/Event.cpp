#include "model/worker/Event.h"

TEvent::TEvent(TResetKind kind, bool initiallySignalled) : kind(kind), signalled(initiallySignalled) {}

void TEvent::Set() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    signalled = true;
  }
  // A manual event releases every waiter; an automatic one only needs one.
  if (kind == ManualReset)
    changed.notify_all();
  else
    changed.notify_one();
}

void TEvent::Reset() {
  std::lock_guard<std::mutex> lock(mutex);
  signalled = false;
}

bool TEvent::TakeLocked() {
  if (!signalled)
    return false;
  if (kind == AutoReset)
    signalled = false;
  return true;
}

void TEvent::Wait() {
  std::unique_lock<std::mutex> lock(mutex);
  changed.wait(lock, [this] { return signalled; });
  TakeLocked();
}

bool TEvent::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex);
  if (timeout.count() > 0)
    changed.wait_for(lock, timeout, [this] { return signalled; });
  return TakeLocked();
}

bool TEvent::Peek() const {
  std::lock_guard<std::mutex> lock(mutex);
  return signalled;
}
