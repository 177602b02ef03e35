// The default thread count against simulated machines: the tuner sees only
// the clock (seconds per cell of each window of sweeps) and each thread's own
// pace, and must settle on the threads that sweep fastest.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "CountTuner.h"

namespace {

using korvane::CountTuner;
using korvane::WorkerSet;

constexpr int kProcessors = 8;

// One simulated sweep's figures on the given workers (0 is the caller's
// thread): each part's seconds per cell, and the sweep's.
struct Machine {
  std::function<double(int worker)> pace;
  std::function<double(const std::vector<int>& workers)> sweep;
};

// Runs sweeps as the engine does: on min(processors, limit) threads, part 1
// onward on the workers not left out. Returns the workers that most of the
// last 64 sweeps ran on (trials take a few of them).
std::vector<int> Settle(CountTuner& tuner, const Machine& machine, int sweeps) {
  std::map<std::vector<int>, int> last;
  for (int k = 0; k < sweeps; ++k) {
    const int threads = std::min(kProcessors, tuner.Limit());
    const WorkerSet leftOut = tuner.LeftOut();
    std::vector<int> workers = {0};
    for (int w = 1; static_cast<int>(workers.size()) < threads; ++w)
      if (!leftOut.test(w)) workers.push_back(w);
    std::vector<double> paces;
    for (int w : workers) paces.push_back(machine.pace(w));
    tuner.NotePaces(threads, workers.data(), paces.data());
    tuner.Note(threads, machine.sweep(workers));
    if (k >= sweeps - 64) ++last[workers];
  }
  return std::max_element(last.begin(), last.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

bool Has(const std::vector<int>& workers, int w) { return std::find(workers.begin(), workers.end(), w) != workers.end(); }

// Every worker as fast as the others: the sweep shares its cells among them.
const Machine kCalm{[](int) { return 1e-9; },
                    [](const std::vector<int>& w) { return 1e-9 / static_cast<double>(w.size()); }};

// Worker 5 runs at half speed and the wavefront goes at the pace of its slowest
// thread, unless it swept alone.
const Machine kWorkerFiveShared{
    [](int w) { return w == 5 ? 2e-9 : 1e-9; },
    [](const std::vector<int>& w) { return (Has(w, 5) ? 2e-9 : 1e-9) / static_cast<double>(w.size()); }};

// Worker 5 is slower by itself, yet the sweeps go no faster without it.
const Machine kWorkerFiveSlowHarmless{
    [](int w) { return w == 5 ? 2e-9 : 1e-9; }, [](const std::vector<int>&) { return 1e-9 / 8; }};

TEST(CountTuner, LeavesOutASlowWorkerOnlyWhileThatPays) {
  CountTuner tuner;
  std::vector<int> workers = Settle(tuner, kCalm, 512);
  EXPECT_EQ(workers.size(), 8u) << "a calm machine keeps every thread";

  const unsigned before = tuner.Version();
  workers = Settle(tuner, kWorkerFiveShared, 512);
  EXPECT_EQ(workers.size(), 7u) << "the sweeps go faster on the seven others";
  EXPECT_FALSE(Has(workers, 5)) << "the slow worker is the one left out";
  EXPECT_NE(tuner.Version(), before) << "pools made before must see the change";

  workers = Settle(tuner, kCalm, 1024);
  EXPECT_EQ(workers.size(), 8u) << "once the worker keeps up it is taken back";
}

TEST(CountTuner, KeepsASlowWorkerThatHoldsNobodyUp) {
  CountTuner tuner;
  const std::vector<int> workers = Settle(tuner, kWorkerFiveSlowHarmless, 1024);
  EXPECT_EQ(workers.size(), 8u);
  EXPECT_TRUE(Has(workers, 5)) << "a trial without it went no faster";
}

TEST(CountTuner, NeverLeavesOutTheCallersThread) {
  // The caller's thread is the slow one: it cannot be left out, so the tuner
  // tries half the threads instead, which loses here.
  const Machine callerSlow{[](int w) { return w == 0 ? 3e-9 : 1e-9; },
                           [](const std::vector<int>& w) { return 3e-9 / static_cast<double>(w.size()); }};
  CountTuner tuner;
  const std::vector<int> workers = Settle(tuner, callerSlow, 1024);
  EXPECT_EQ(workers.size(), 8u);
}

}  // namespace
