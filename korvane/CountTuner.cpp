#include "CountTuner.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace korvane {

WorkerSet CountTuner::LeftOut() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return leftOut_;
}

void CountTuner::Note(int threads, double secondsPerCell) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (threads != counted_) {
    // The first sweeps of a trial, or another lattice or count: a window
    // measures one count only. A count that changes within a trial ends it.
    counted_ = threads;
    StartWindow();
    if (trial_ && trialCounted_) EndTrial(false);
    trialCounted_ = trial_;
    return;
  }
  sum_ += secondsPerCell;
  if (++sweeps_ < kTunerWindowSweeps) return;
  const double mean = sum_ / sweeps_;
  const int slowest = SlowestWorker();
  StartWindow();
  if (trial_) {
    EndTrial(mean < kTunerGain * kept_);
    return;
  }
  kept_ = mean;
  ++sinceFewer_;
  ++sinceMore_;
  if (limit_.load(std::memory_order_relaxed) < kMostWorkerThreads && sinceMore_ >= moreEvery_) {
    sinceMore_ = 0;
    StartTrial(std::min(kMostWorkerThreads, 2 * threads), &moreEvery_, WorkerSet());
  } else if (threads > 1 && sinceFewer_ >= fewerEvery_) {
    sinceFewer_ = 0;
    if (slowest > 0)
      StartTrial(threads - 1, &fewerEvery_, WorkerSet(leftOut_).set(slowest));
    else
      StartTrial(threads / 2, &fewerEvery_, leftOut_);
  }
}

void CountTuner::NotePaces(int parts, const int* workers, const double* secondsPerCell) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (parts != counted_) return;
  for (int part = 0; part < parts; ++part) {
    if (secondsPerCell[part] <= 0) continue;  // no cells of its own this sweep
    paceSum_[workers[part]] += secondsPerCell[part];
    ++paceCount_[workers[part]];
  }
}

void CountTuner::StartWindow() {
  sum_ = 0;
  sweeps_ = 0;
  std::fill(std::begin(paceSum_), std::end(paceSum_), 0.0);
  std::fill(std::begin(paceCount_), std::end(paceCount_), 0);
}

// The worker (never the caller's thread) that swept its cells slowest over the
// window, when it took more than kSlowWorker times the median thread; else 0.
// Where two processors share a core unseen (a virtual machine's, or a core's
// two hardware threads) both sweep slower, and each holds up every thread
// after it in the wavefront: one left out lets the other run at full speed.
int CountTuner::SlowestWorker() const {
  std::vector<double> paces;
  int slowest = 0;
  double slowestPace = 0;
  for (int w = 0; w < kMostWorkerThreads; ++w) {
    if (paceCount_[w] == 0) continue;
    const double pace = paceSum_[w] / paceCount_[w];
    paces.push_back(pace);
    if (w > 0 && pace > slowestPace) slowest = w, slowestPace = pace;
  }
  if (paces.size() < 3) return 0;  // two threads: leaving one out is halving
  std::nth_element(paces.begin(), paces.begin() + paces.size() / 2, paces.end());
  return slowestPace > kSlowWorker * paces[paces.size() / 2] ? slowest : 0;
}

// interval: the windows between trials of this kind.
void CountTuner::StartTrial(int threads, int* interval, const WorkerSet& leftOut) {
  trial_ = true;
  trialCounted_ = false;
  trialInterval_ = interval;
  keptLimit_ = limit_.load(std::memory_order_relaxed);
  keptLeftOut_ = leftOut_;
  limit_.store(threads, std::memory_order_relaxed);
  SetLeftOut(leftOut);
}

// The trial's threads stay when they swept faster; otherwise the limit and the
// workers before it come back, and the next trial of the kind waits twice as
// long (a trial at a worse count costs a window of slow sweeps).
void CountTuner::EndTrial(bool faster) {
  trial_ = false;
  trialCounted_ = false;
  if (faster) {
    fewerEvery_ = kTunerFewerEvery;
    moreEvery_ = kTunerMoreEvery;
    return;
  }
  limit_.store(keptLimit_, std::memory_order_relaxed);
  SetLeftOut(keptLeftOut_);
  *trialInterval_ = std::min(2 * *trialInterval_, kTunerLongestInterval);
}

void CountTuner::SetLeftOut(const WorkerSet& leftOut) {
  if (leftOut == leftOut_) return;
  leftOut_ = leftOut;
  version_.fetch_add(1, std::memory_order_release);
}

}  // namespace korvane
