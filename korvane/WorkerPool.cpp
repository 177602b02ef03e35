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

#include "Engine.h"

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
  // Held by the lease: waits for its next job on the spot.
  std::atomic<bool> held{false};
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

  // Chooses the workers for parts 1, 2, ... of the lease's jobs, passing over
  // those left out, and holds them on the spot. Returns the threads that can
  // run parts at once, the caller's included (at most wanted).
  int Hold(int wanted, const WorkerSet& leftOut) {
    order_.clear();
    for (int index = 1; static_cast<int>(order_.size()) + 1 < wanted && index < kMostThreads; ++index) {
      if (leftOut.test(index)) continue;
      if (!Grow(index)) break;
      order_.push_back(index);
    }
    for (std::size_t i = 0; i < order_.size(); ++i) {
      partOf_[order_[i]] = static_cast<int>(i) + 1;
      slots_[order_[i] - 1]->held.store(true, std::memory_order_relaxed);
    }
    return static_cast<int>(order_.size()) + 1;
  }

  // The lease has ended: its workers go back to sleep after a short wait.
  void Release() {
    for (int index : order_) slots_[index - 1]->held.store(false, std::memory_order_relaxed);
    order_.clear();
  }

  // Starts workers up to the given one. False when the system refuses a thread.
  bool Grow(int index) {
    while (static_cast<int>(threads_.size()) < index) {
      try {
        const std::size_t next = threads_.size();
        slots_[next] = std::make_unique<Slot>();
        threads_.emplace_back(&Team::Serve, this, slots_[next].get(), static_cast<int>(next) + 1);
      } catch (const std::system_error&) {
        return false;
      }
    }
    return true;
  }

  // The worker that runs part `part` of the lease's jobs (0: the caller).
  int WorkerOf(int part) const { return part == 0 ? 0 : order_[part - 1]; }

  void Run(int parts, const std::function<void(int)>& part) {
    part_ = &part;
    remaining_.store(static_cast<unsigned>(parts - 1), std::memory_order_relaxed);
    for (int i = 0; i + 1 < parts; ++i) Signal(static_cast<std::size_t>(order_[i] - 1));
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
      seen = slot->held.load(std::memory_order_relaxed)
                 ? AwaitChange(slot->generation, slot->sleeping, seen, kHeldSpin)
                 : AwaitChange(slot->generation, slot->sleeping, seen, kIdleSpin);
      if (stop_.load(std::memory_order_relaxed)) return;
      (*part_)(partOf_[index]);
      if (remaining_.fetch_sub(1, std::memory_order_seq_cst) == 1) Wake(remaining_, callerSleeping_);
    }
  }

  std::mutex lease_;
  std::vector<std::thread> threads_;
  std::unique_ptr<Slot> slots_[kMostThreads];
  std::atomic<unsigned> remaining_{0};
  std::atomic<int> callerSleeping_{0};
  // The workers of the lease's parts 1, 2, ..., and each worker's part.
  std::vector<int> order_;
  int partOf_[kMostThreads] = {};
  // Written before a worker's generation moves on and read after it sees it move.
  const std::function<void(int)>* part_ = nullptr;
  std::atomic<bool> stop_{false};
};

std::atomic<int> gOverride{0};
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

WorkerPool::WorkerPool(int wanted) : version_(gTuner.Version()) {
  const bool forced = gOverride.load(std::memory_order_relaxed) > 0;
  Take(wanted, forced || wanted <= 1 ? WorkerSet() : gTuner.LeftOut());
}

WorkerPool::WorkerPool(int wanted, const WorkerSet& leftOut) : version_(gTuner.Version()) { Take(wanted, leftOut); }

void WorkerPool::Take(int wanted, const WorkerSet& leftOut) {
  if (wanted <= 1) return;
  Team& team = Team::Instance();
  if (!team.Lease().try_lock()) return;
  held_ = true;
  threads_ = team.Hold(std::min(wanted, kMostThreads), leftOut);
}

WorkerPool::~WorkerPool() {
  if (!held_) return;
  Team::Instance().Release();
  Team::Instance().Lease().unlock();
}

bool WorkerPool::OnCurrentWorkers() const { return version_ == gTuner.Version(); }

int WorkerPool::WorkerOf(int part) const { return threads_ <= 1 ? 0 : Team::Instance().WorkerOf(part); }

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

WorkerPool LatticePool(const THeap& h) { return WorkerPool(WorkerThreadsFor(h.N2, CellCount(h))); }

int ThreadsForWork(int most, int planes, int cells) {
  return std::max(1, std::min({most, planes / 2, cells / kLeastCellsPerThread}));
}

void NoteSweepPaces(const WorkerPool& pool, const double* secondsPerCell) {
  if (gOverride.load(std::memory_order_relaxed) > 0 || pool.Threads() < 2) return;
  int workers[kMostThreads];
  for (int part = 0; part < pool.Threads(); ++part) workers[part] = pool.WorkerOf(part);
  gTuner.NotePaces(pool.Threads(), workers, secondsPerCell);
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
