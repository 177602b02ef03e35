// The engine's own threads for the passes over the lattice. They start when a
// pass first asks for them and end when the library is unloaded; the caller's
// thread takes part in every job and still owns the run.
#ifndef KORVANE_WORKERPOOL_H
#define KORVANE_WORKERPOOL_H

#include <functional>

#include "CountTuner.h"

namespace korvane {

// The threads of one piece of work (a whole potential solution, or one pass),
// held for as long as the lease lives. While it lives they wait for the next
// job on the spot, so that the many short jobs of a solution (a sweep, then the
// totals on the caller's thread, then the next sweep) do not pay for waking
// them; once it ends they go back to sleep. Parts of a job may wait for each
// other, so every part runs on a thread of its own at the same time; a lease
// that cannot have the threads (another record's solution holds them, or the
// system refuses more) grants the caller's thread alone.
class WorkerPool {
 public:
  explicit WorkerPool(int wanted);
  // The workers left out are passed over: part 1 runs on the first worker not
  // left out, and so on.
  WorkerPool(int wanted, const WorkerSet& leftOut);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Threads granted, the caller's included: between 1 and the number wanted.
  // The default count passes over the workers it has left out (see
  // NoteSweepPaces); a set count takes the first ones.
  int Threads() const { return threads_; }
  // False once the default count has left a worker out or taken one back
  // since the pool was made.
  bool OnCurrentWorkers() const;
  // The worker that runs part t of the pool's jobs (0: the caller's thread).
  int WorkerOf(int part) const;
  // Runs part(0) .. part(Threads() - 1) at the same time, part 0 on the
  // caller's thread, and returns when all of them have returned.
  void Run(const std::function<void(int)>& part) const;
  // The same with the parts' own count: part(t, parts) for t < parts.
  template <class Part>
  void Split(Part&& part) const {
    const int parts = threads_;
    Run([&](int t) { part(t, parts); });
  }

 private:
  void Take(int wanted, const WorkerSet& leftOut);

  unsigned version_;
  int threads_ = 1;
  bool held_ = false;
};

// Part t of `parts` of the indices [0, count): contiguous, in order, so that
// the parts of a pass cover what one thread would in the same order.
struct PartRange {
  int begin, end;
};
inline PartRange PartOf(int count, int t, int parts) {
  return {static_cast<int>(static_cast<long long>(count) * t / parts),
          static_cast<int>(static_cast<long long>(count) * (t + 1) / parts)};
}

// Threads for passes over a lattice of the given planes and cells. A count set
// by SetWorkerThreads is taken as it is (at most one per plane): the tests and
// benchmarks compare every count. Otherwise the count is the processors this
// process may use, or KORVANE_THREADS when it is set (a most, not a must),
// and in either case no more than keep each thread busy with a whole plane pair
// and at least the cells below per pass: on fewer the hand-over between
// threads costs more than the threads gain. While the machine is too busy to
// run the threads at once, fewer (see NoteSweepTime).
int WorkerThreadsFor(int planes, int cells);
// Cells per thread and pass below which more threads do not pay (measured with
// bench_sweep_peers and the default project; see bench/README.md).
constexpr int kLeastCellsPerThread = 16384;
// At most `most` threads, and no more than the work keeps busy.
int ThreadsForWork(int most, int planes, int cells);
// Forces a count for the benchmarks and tests; 0 goes back to the default.
void SetWorkerThreads(int count);

// How long a sweep of the given cells took on the given threads, for the
// default count (see CountTuner). A forced count stays as it is.
void NoteSweepTime(int threads, int cells, double seconds);
// How fast each part of a threaded sweep swept its cells, waits for the other
// parts left out: the default count leaves out a worker much slower than the
// others when the sweeps go faster without it.
void NoteSweepPaces(const WorkerPool& pool, const double* secondsPerCell);

// Waits on the spot with a growing pause between checks: a short wait sees
// its change at once, a longer one stops drawing on the memory bus and on the
// sibling of a shared core.
class Backoff {
 public:
  void Pause();

 private:
  int pauses_ = 1;
};

}  // namespace korvane

#endif  // KORVANE_WORKERPOOL_H
