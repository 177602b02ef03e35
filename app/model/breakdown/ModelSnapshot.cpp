#include "model/breakdown/ModelSnapshot.h"

TModelSnapshot::TModelSnapshot() { TTreeNew(&tree); }

TModelSnapshot::~TModelSnapshot() { TTreeDelete(&tree); }

bool TModelSnapshot::Publish(const THeap &engine, const TValues_integral &outputs) {
  TEngineStatistics s = TEngineStatistics::Capture(engine, outputs);
  std::lock_guard<std::mutex> lock(mutex);
  statistics = std::move(s);
  return SetTreeLocked(engine.Nodes);
}

void TModelSnapshot::PublishStatistics(const THeap &engine, const TValues_integral &outputs) {
  TEngineStatistics s = TEngineStatistics::Capture(engine, outputs);
  std::lock_guard<std::mutex> lock(mutex);
  statistics = std::move(s);
}

bool TModelSnapshot::SetTree(const TTree &source) {
  std::lock_guard<std::mutex> lock(mutex);
  return SetTreeLocked(source);
}

bool TModelSnapshot::SetTreeLocked(const TTree &source) {
  // A copy that cannot allocate leaves the old list whole.
  return TTreeCopy(&tree, &source) == source.count;
}

TEngineStatistics TModelSnapshot::Statistics() const {
  std::lock_guard<std::mutex> lock(mutex);
  return statistics;
}

int TModelSnapshot::NodeCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  return tree.count;
}
