#pragma once

#include "model/breakdown/EngineStatistics.h"

#include <korvane.h>

#include <mutex>

class TValues_integral;

// What the views, information windows and reports read of a running model:
// a copy of the engine's node list and a statistics block, taken while the
// engine is idle (inside the handlers of the worker's sends) and read under
// the lock, so a reader never sees a list half refilled or reallocated.
class TModelSnapshot {
public:
  TModelSnapshot();
  ~TModelSnapshot();
  TModelSnapshot(const TModelSnapshot &) = delete;
  TModelSnapshot &operator=(const TModelSnapshot &) = delete;

  // Copies the node list and the statistics; false when the engine could not
  // allocate the copy (the old copy then stays whole).
  bool Publish(const THeap &engine, const TValues_integral &outputs);
  void PublishStatistics(const THeap &engine, const TValues_integral &outputs);
  // Replaces the node list (a loaded project); false without memory.
  bool SetTree(const TTree &source);

  // Runs f(tree, statistics) under the lock.
  template <class F> auto Read(F &&f) const {
    std::lock_guard<std::mutex> lock(mutex);
    return f(static_cast<const TTree &>(tree), static_cast<const TEngineStatistics &>(statistics));
  }
  // The engine's tree statistics take a non-const tree; they do not change it.
  template <class F> auto ReadMutable(F &&f) {
    std::lock_guard<std::mutex> lock(mutex);
    return f(tree, static_cast<const TEngineStatistics &>(statistics));
  }
  TEngineStatistics Statistics() const;
  int NodeCount() const;

private:
  bool SetTreeLocked(const TTree &source);

  mutable std::mutex mutex;
  TTree tree{};
  TEngineStatistics statistics;
};
