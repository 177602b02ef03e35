// The engine's default thread count on a machine that others share, or whose
// processors share cores unseen. A wavefront stops wherever one of its threads
// loses its processor or runs slower than the rest, so on such a machine fewer
// threads may sweep faster than more, and no count of waits tells that as
// plainly as the clock.
#ifndef KORVANE_COUNTTUNER_H
#define KORVANE_COUNTTUNER_H

#include <atomic>
#include <bitset>
#include <mutex>

namespace korvane {

constexpr int kMostWorkerThreads = 256;
// Workers by number (1, 2, ...; 0 is the caller's thread).
using WorkerSet = std::bitset<kMostWorkerThreads>;

// After kTunerFewerEvery windows of kTunerWindowSweeps sweeps the tuner tries
// fewer threads for a window: without the slowest worker when that one swept
// its cells more than kSlowWorker times slower than the median thread, else
// half the threads. After kTunerMoreEvery windows (once it has lowered the
// count) it tries twice as many with every worker back. It keeps a trial's
// threads when they swept a cell in less than kTunerGain of the time; a trial
// that loses doubles the wait before the next of its kind, up to
// kTunerLongestInterval windows.
constexpr int kTunerWindowSweeps = 8;
constexpr int kTunerFewerEvery = 4;
constexpr int kTunerMoreEvery = 8;
constexpr int kTunerLongestInterval = 32;
constexpr double kTunerGain = 0.9;
constexpr double kSlowWorker = 1.3;

class CountTuner {
 public:
  // The most threads that the default count may use now.
  int Limit() const { return limit_.load(std::memory_order_relaxed); }
  // The workers that the default count passes over now, and a number that
  // changes whenever that set does.
  WorkerSet LeftOut();
  unsigned Version() const { return version_.load(std::memory_order_acquire); }

  // A sweep's seconds per cell on the given number of threads.
  void Note(int threads, double secondsPerCell);
  // The same sweep's seconds per cell of each part, waits for other parts left
  // out; workers[t] runs part t. Noted before the sweep's Note.
  void NotePaces(int parts, const int* workers, const double* secondsPerCell);

 private:
  void StartWindow();
  int SlowestWorker() const;
  void StartTrial(int threads, int* interval, const WorkerSet& leftOut);
  void EndTrial(bool faster);
  void SetLeftOut(const WorkerSet& leftOut);

  std::mutex mutex_;
  std::atomic<int> limit_{kMostWorkerThreads};
  std::atomic<unsigned> version_{0};
  WorkerSet leftOut_, keptLeftOut_;
  bool trial_ = false, trialCounted_ = false;
  int counted_ = 0, keptLimit_ = kMostWorkerThreads, sweeps_ = 0;
  int sinceFewer_ = 0, sinceMore_ = 0, fewerEvery_ = kTunerFewerEvery, moreEvery_ = kTunerMoreEvery;
  int* trialInterval_ = &fewerEvery_;
  double sum_ = 0, kept_ = 0;
  double paceSum_[kMostWorkerThreads] = {};
  int paceCount_[kMostWorkerThreads] = {};
};

}  // namespace korvane

#endif  // KORVANE_COUNTTUNER_H
