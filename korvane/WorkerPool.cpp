// Worker threads that wait between jobs on the spot while a lease holds them,
// since the next sweep of a solution follows within microseconds, and asleep
// otherwise so that an idle engine costs nothing.
#include "WorkerPool.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {
namespace {

// Far more threads than processors only queue behind each other.
constexpr int kMostThreads = kMostWorkerThreads;
// The longest pause between two checks of a wait on the spot: about a
// microsecond, short beside a row of the largest lattice.
constexpr int kMostPauses = 64;
// How long a worker checks for its next job on the spot before it sleeps: while
// a lease holds it, longer than the hand-over between two sweeps of a solution
// takes; otherwise long enough for the passes that follow a solution. A machine
// with more threads than free processors needs the sleep, or a waiting thread
// would keep the one it waits for from running.
constexpr auto kHeldSpin = std::chrono::microseconds(1000);
constexpr auto kIdleSpin = std::chrono::microseconds(200);

inline void Relax() {
#if defined(__SSE2__)
  _mm_pause();
#endif
}

// A worker's own signal, on a cache line of its own: a job wakes only the
// workers it has parts for. A worker about to sleep says so on the same line,
// and only then does the signal pay for a call into the kernel.
struct alignas(64) Slot {
  std::atomic<unsigned> generation{0};
  std::atomic<int> sleeping{0};
};

// Waits until value differs from seen: on the spot for the given time, then
// asleep. The writer wakes a sleeper only when sleeping says there is one.
template <class Duration>
unsigned AwaitChange(std::atomic<unsigned>& value, std::atomic<int>& sleeping, unsigned seen, Duration spin) {
  Backoff backoff;
  const auto start = std::chrono::steady_clock::now();
  for (unsigned checks = 1;; ++checks) {
    const unsigned now = value.load(std::memory_order_acquire);
    if (now != seen) return now;
    if (checks % 16 == 0 && std::chrono::steady_clock::now() - start > spin) break;
    backoff.Pause();
  }
  for (;;) {
    sleeping.store(1, std::memory_order_seq_cst);
    if (value.load(std::memory_order_seq_cst) == seen) value.wait(seen, std::memory_order_acquire);
    sleeping.store(0, std::memory_order_relaxed);
    const unsigned now = value.load(std::memory_order_acquire);
    if (now != seen) return now;
  }
}

void Wake(std::atomic<unsigned>& value, std::atomic<int>& sleeping) {
  if (sleeping.load(std::memory_order_seq_cst) != 0) value.notify_all();
}

class Team {
 public:
  static Team& Instance() {
    // A function-local object: made on first use, ended (threads joined) when
    // the library is unloaded or the process exits.
    static Team team;
    return team;
  }

  ~Team() {
    stop_.store(true, std::memory_order_relaxed);
    for (std::size_t i = 0; i < threads_.size(); ++i) Signal(i);
    for (std::thread& t : threads_) t.join();
  }

  std::mutex& Lease() { return lease_; }

  // Threads that can run parts at once, the caller's included (at most wanted).
  int Grow(int wanted) {
    while (static_cast<int>(threads_.size()) + 1 < wanted) {
      try {
        const std::size_t index = threads_.size();
        slots_[index] = std::make_unique<Slot>();
        threads_.emplace_back(&Team::Serve, this, slots_[index].get(), static_cast<int>(index) + 1);
      } catch (const std::system_error&) {
        break;
      }
    }
    return std::min(wanted, static_cast<int>(threads_.size()) + 1);
  }

  // Workers 1 .. workers wait on the spot until the lease lets them go (0).
  void Hold(int workers) { held_.store(workers, std::memory_order_relaxed); }

  void Run(int parts, const std::function<void(int)>& part) {
    part_ = &part;
    remaining_.store(static_cast<unsigned>(parts - 1), std::memory_order_relaxed);
    for (int i = 0; i + 1 < parts; ++i) Signal(static_cast<std::size_t>(i));
    part(0);
    unsigned left = remaining_.load(std::memory_order_acquire);
    while (left != 0) left = AwaitChange(remaining_, callerSleeping_, left, kHeldSpin);
  }

 private:
  void Signal(std::size_t worker) {
    Slot& slot = *slots_[worker];
    slot.generation.fetch_add(1, std::memory_order_seq_cst);
    Wake(slot.generation, slot.sleeping);
  }

  void Serve(Slot* slot, int index) {
    unsigned seen = 0;
    for (;;) {
      seen = index <= held_.load(std::memory_order_relaxed)
                 ? AwaitChange(slot->generation, slot->sleeping, seen, kHeldSpin)
                 : AwaitChange(slot->generation, slot->sleeping, seen, kIdleSpin);
      if (stop_.load(std::memory_order_relaxed)) return;
      (*part_)(index);
      if (remaining_.fetch_sub(1, std::memory_order_seq_cst) == 1) Wake(remaining_, callerSleeping_);
    }
  }

  std::mutex lease_;
  std::vector<std::thread> threads_;
  std::unique_ptr<Slot> slots_[kMostThreads];
  std::atomic<unsigned> remaining_{0};
  std::atomic<int> callerSleeping_{0};
  std::atomic<int> held_{0};
  // Written before a worker's generation moves on and read after it sees it move.
  const std::function<void(int)>* part_ = nullptr;
  std::atomic<bool> stop_{false};
};

std::atomic<int> gOverride{0};
// The most threads that the default count uses while the machine is busy, and
// the sweeps since it last had to be lowered.
// The default count on a machine that others share. A wavefront stops wherever
// one of its threads loses its processor, so on a busy machine fewer threads
// sweep faster than more, and no count of waits tells that as plainly as the
// clock. Every few windows of sweeps the tuner tries half the threads (and
// now and then twice as many again) for one window, and keeps whichever swept
// a cell faster.
class CountTuner {
 public:
  // The most threads that the default count may use now.
  int Limit() const { return limit_.load(std::memory_order_relaxed); }

  void Note(int threads, double secondsPerCell) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (threads != counted_) {
      // The first sweeps of a trial, or another lattice or count: a window
      // measures one count only. A count that changes within a trial ends it.
      counted_ = threads;
      sum_ = 0;
      sweeps_ = 0;
      if (trial_ && trialCounted_) EndTrial(false);
      trialCounted_ = trial_;
      return;
    }
    sum_ += secondsPerCell;
    if (++sweeps_ < kTunerWindowSweeps) return;
    const double mean = sum_ / sweeps_;
    sum_ = 0;
    sweeps_ = 0;
    if (trial_) {
      EndTrial(mean < kTunerGain * kept_);
      return;
    }
    kept_ = mean;
    ++sinceFewer_;
    ++sinceMore_;
    if (limit_.load(std::memory_order_relaxed) < kMostThreads && sinceMore_ >= moreEvery_) {
      sinceMore_ = 0;
      StartTrial(std::min(kMostThreads, 2 * threads), &moreEvery_);
    } else if (threads > 1 && sinceFewer_ >= fewerEvery_) {
      sinceFewer_ = 0;
      StartTrial(threads / 2, &fewerEvery_);
    }
  }

 private:
  // interval: the windows between trials of this kind.
  void StartTrial(int threads, int* interval) {
    trial_ = true;
    trialCounted_ = false;
    trialInterval_ = interval;
    keptLimit_ = limit_.load(std::memory_order_relaxed);
    limit_.store(threads, std::memory_order_relaxed);
  }

  // The trial's count stays when it swept faster; otherwise the limit before it
  // comes back, and the next trial of the kind waits twice as long (a trial at
  // a worse count costs a window of slow sweeps).
  void EndTrial(bool faster) {
    trial_ = false;
    trialCounted_ = false;
    if (faster) {
      fewerEvery_ = kTunerFewerEvery;
      moreEvery_ = kTunerMoreEvery;
      return;
    }
    limit_.store(keptLimit_, std::memory_order_relaxed);
    *trialInterval_ = std::min(2 * *trialInterval_, kTunerLongestInterval);
  }

  std::mutex mutex_;
  std::atomic<int> limit_{kMostThreads};
  bool trial_ = false, trialCounted_ = false;
  int counted_ = 0, keptLimit_ = kMostThreads, sweeps_ = 0;
  int sinceFewer_ = 0, sinceMore_ = 0, fewerEvery_ = kTunerFewerEvery, moreEvery_ = kTunerMoreEvery;
  int* trialInterval_ = &fewerEvery_;
  double sum_ = 0, kept_ = 0;
};

CountTuner gTuner;

int FromEnvironment() {
  static const int value = [] {
    const char* text = std::getenv("KORVANE_THREADS");
    if (!text) return 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return (end != text && *end == '\0' && n > 0) ? static_cast<int>(std::min<long>(n, kMostThreads)) : 0;
  }();
  return value;
}

int UsableProcessors() {
  static const int count = [] {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) return std::max(1, CPU_COUNT(&set));
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  }();
  return count;
}

}  // namespace

WorkerPool::WorkerPool(int wanted) {
  if (wanted <= 1) return;
  Team& team = Team::Instance();
  if (!team.Lease().try_lock()) return;
  held_ = true;
  threads_ = team.Grow(std::min(wanted, kMostThreads));
  team.Hold(threads_ - 1);
}

WorkerPool::~WorkerPool() {
  if (!held_) return;
  Team::Instance().Hold(0);
  Team::Instance().Lease().unlock();
}

void WorkerPool::Run(const std::function<void(int)>& part) const {
  if (threads_ <= 1) {
    part(0);
    return;
  }
  Team::Instance().Run(threads_, part);
}

int WorkerThreadsFor(int planes, int cells) {
  const int forced = gOverride.load(std::memory_order_relaxed);
  if (forced > 0) return std::max(1, std::min(forced, planes));
  const int most = FromEnvironment() > 0 ? FromEnvironment() : UsableProcessors();
  return ThreadsForWork(std::min(most, gTuner.Limit()), planes, cells);
}

int ThreadsForWork(int most, int planes, int cells) {
  return std::max(1, std::min({most, planes / 2, cells / kLeastCellsPerThread}));
}

void NoteSweepTime(int threads, int cells, double seconds) {
  if (gOverride.load(std::memory_order_relaxed) > 0 || cells <= 0) return;
  gTuner.Note(threads, seconds / cells);
}

void Backoff::Pause() {
  for (int i = 0; i < pauses_; ++i) Relax();
  if (pauses_ < kMostPauses) pauses_ *= 2;
}

void SetWorkerThreads(int count) { gOverride.store(std::clamp(count, 0, kMostThreads), std::memory_order_relaxed); }

}  // namespace korvane
