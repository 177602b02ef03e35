// The pool's parts on the workers it was given: a worker left out never runs a
// part, and every part still runs once, on a thread of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "WorkerPool.h"

namespace {

using korvane::WorkerPool;
using korvane::WorkerSet;

struct PartRun {
  int worker;
  std::thread::id thread;
};

// Runs one job on the pool and returns, part by part, the worker the pool
// names for it and the thread it ran on.
std::vector<PartRun> RunParts(const WorkerPool& pool) {
  std::vector<PartRun> runs(pool.Threads());
  std::vector<int> counts(pool.Threads(), 0);
  std::mutex m;
  pool.Run([&](int t) {
    const std::lock_guard<std::mutex> lock(m);
    runs[t] = {pool.WorkerOf(t), std::this_thread::get_id()};
    ++counts[t];
  });
  for (int c : counts) EXPECT_EQ(c, 1) << "every part runs once";
  return runs;
}

TEST(WorkerPool, PassesOverTheWorkersLeftOut) {
  std::map<int, std::thread::id> threadOf;
  {
    const WorkerPool all(6, WorkerSet());
    ASSERT_EQ(all.Threads(), 6) << "the system gave fewer threads";
    for (const PartRun& r : RunParts(all)) threadOf[r.worker] = r.thread;
  }
  ASSERT_EQ(threadOf.size(), 6u);
  EXPECT_EQ(threadOf[0], std::this_thread::get_id()) << "part 0 runs on the caller's thread";

  WorkerSet leftOut;
  leftOut.set(2).set(4);
  const WorkerPool some(6, leftOut);
  ASSERT_EQ(some.Threads(), 6);
  std::set<std::thread::id> threads;
  std::vector<int> workers;
  for (const PartRun& r : RunParts(some)) {
    workers.push_back(r.worker);
    threads.insert(r.thread);
    EXPECT_NE(r.thread, threadOf[2]);
    EXPECT_NE(r.thread, threadOf[4]);
  }
  EXPECT_EQ(workers, (std::vector<int>{0, 1, 3, 5, 6, 7})) << "the next workers take their places";
  EXPECT_EQ(threads.size(), 6u) << "each part on a thread of its own";
}

}  // namespace
