// The engine's own threads for the sweeps over the lattice. They start when a
// sweep first asks for them and end when the library is unloaded; the caller's
// thread takes part in every job and still owns the run.
#ifndef KORVANE_WORKERPOOL_H
#define KORVANE_WORKERPOOL_H

#include <functional>

namespace korvane {

// The threads of one job, held for as long as the lease lives. Parts of a job
// may wait for each other, so every part runs on a thread of its own at the
// same time; a lease that cannot have the threads (another record's sweep
// holds them, or the system refuses more) grants the caller's thread alone.
class WorkerPool {
 public:
  explicit WorkerPool(int wanted);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Threads granted, the caller's included: between 1 and the number wanted.
  int Threads() const { return threads_; }
  // Runs part(0) .. part(Threads() - 1) at the same time, part 0 on the
  // caller's thread, and returns when all of them have returned.
  void Run(const std::function<void(int)>& part) const;

 private:
  int threads_ = 1;
  bool held_ = false;
};

// Threads that a sweep over a lattice of the given planes and cells uses: the
// count set by KORVANE_THREADS or by SetWorkerThreads when there is one (at
// most one per plane), otherwise the processors this process may use, at most
// one per two planes and one per 16,384 cells, and fewer while the machine is
// busy (see NoteSweepWaits). 1 keeps every sweep on the caller's thread.
int WorkerThreadsFor(int planes, int cells);
// Overrides KORVANE_THREADS for the benchmarks and tests; 0 goes back to it.
void SetWorkerThreads(int count);

// What a sweep on the given threads met: waits for the thread before that
// lasted far longer than a row takes. On a machine too busy for the threads to
// run at once every preempted thread stops the ones after it, so the default
// count halves after three sweeps in a row with more than four such waits per
// thread and doubles again after 16 calm sweeps; a count that is set stays as
// it is.
void NoteSweepWaits(int threads, int longWaits);

}  // namespace korvane

#endif  // KORVANE_WORKERPOOL_H
