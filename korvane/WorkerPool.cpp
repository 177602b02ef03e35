// Worker threads that wait between jobs: briefly on the spot, since the next
// sweep usually follows at once, then asleep so that an idle engine costs
// nothing.
#include "WorkerPool.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
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
constexpr int kMostThreads = 256;
// Handing a sweep to the threads and waiting for the last of them costs about
// as much as sweeping this many cells: smaller lattices gain nothing from more.
constexpr int kLeastCellsPerThread = 16384;
// Checks of a changing value before the waiter steps aside, and turns it gives
// away before it goes to sleep on it.
constexpr int kSpins = 4000;
constexpr int kYields = 200;

inline void Relax() {
#if defined(__SSE2__)
  _mm_pause();
#endif
}

// Returns once value differs from seen; the value it then holds.
unsigned WaitForChange(const std::atomic<unsigned>& value, unsigned seen) {
  for (int i = 0; i < kSpins; ++i) {
    const unsigned now = value.load(std::memory_order_acquire);
    if (now != seen) return now;
    Relax();
  }
  for (int i = 0; i < kYields; ++i) {
    std::this_thread::yield();
    const unsigned now = value.load(std::memory_order_acquire);
    if (now != seen) return now;
  }
  for (;;) {
    value.wait(seen, std::memory_order_acquire);
    const unsigned now = value.load(std::memory_order_acquire);
    if (now != seen) return now;
  }
}

// A worker's own signal, on a cache line of its own: a job wakes only the
// workers it has parts for, and the others go on sleeping instead of spinning.
struct alignas(64) Slot {
  std::atomic<unsigned> generation{0};
};

class Team {
 public:
  static Team& Instance() {
    // A function-local object: made on first use, ended (threads joined) when
    // the library is unloaded or the process exits.
    static Team team;
    return team;
  }

  ~Team() {
    stop_ = true;
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

  void Run(int parts, const std::function<void(int)>& part) {
    part_ = &part;
    remaining_.store(static_cast<unsigned>(parts - 1), std::memory_order_relaxed);
    for (int i = 0; i + 1 < parts; ++i) Signal(static_cast<std::size_t>(i));
    part(0);
    unsigned left = remaining_.load(std::memory_order_acquire);
    while (left != 0) left = WaitForChange(remaining_, left);
  }

 private:
  void Signal(std::size_t worker) {
    Slot& slot = *slots_[worker];
    slot.generation.fetch_add(1, std::memory_order_release);
    slot.generation.notify_one();
  }

  void Serve(Slot* slot, int index) {
    unsigned seen = 0;
    for (;;) {
      seen = WaitForChange(slot->generation, seen);
      if (stop_) return;
      (*part_)(index);
      if (remaining_.fetch_sub(1, std::memory_order_acq_rel) == 1) remaining_.notify_all();
    }
  }

  std::mutex lease_;
  std::vector<std::thread> threads_;
  std::unique_ptr<Slot> slots_[kMostThreads];
  std::atomic<unsigned> remaining_{0};
  // Written before a worker's generation moves on and read after it sees it move.
  const std::function<void(int)>* part_ = nullptr;
  bool stop_ = false;
};

std::atomic<int> gOverride{0};
// The most threads that the default count uses while the machine is busy, and
// the sweeps since it last had to be lowered.
std::atomic<int> gBusyLimit{kMostThreads};
std::atomic<int> gCalmSweeps{0};
std::atomic<int> gBusySweeps{0};
// Long waits per thread that make a sweep a busy one, busy sweeps in a row
// after which the default count halves, and calm sweeps after which it tries
// twice the threads again.
constexpr int kLongWaitsPerThread = 4;
constexpr int kBusySweepsToShrink = 3;
constexpr int kCalmSweepsToGrow = 16;

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
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof(set), &set) == 0) return std::max(1, CPU_COUNT(&set));
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

WorkerPool::WorkerPool(int wanted) {
  if (wanted <= 1) return;
  Team& team = Team::Instance();
  if (!team.Lease().try_lock()) return;
  held_ = true;
  threads_ = team.Grow(std::min(wanted, kMostThreads));
}

WorkerPool::~WorkerPool() {
  if (held_) Team::Instance().Lease().unlock();
}

void WorkerPool::Run(const std::function<void(int)>& part) const {
  if (threads_ <= 1) {
    part(0);
    return;
  }
  Team::Instance().Run(threads_, part);
}

int AskedThreads() {
  const int asked = gOverride.load(std::memory_order_relaxed);
  return asked > 0 ? asked : FromEnvironment();
}

int WorkerThreadsFor(int planes, int cells) {
  const int asked = AskedThreads();
  if (asked > 0) return std::max(1, std::min(asked, planes));
  return std::max(1, std::min({UsableProcessors(), planes / 2, cells / kLeastCellsPerThread,
                               gBusyLimit.load(std::memory_order_relaxed)}));
}

void NoteSweepWaits(int threads, int longWaits) {
  if (AskedThreads() > 0) return;
  // A processor that the machine takes away now and then shows as a single
  // sweep with many long waits; only a busy machine makes them last.
  if (threads > 1 && longWaits > kLongWaitsPerThread * threads) {
    gCalmSweeps.store(0, std::memory_order_relaxed);
    if (gBusySweeps.fetch_add(1, std::memory_order_relaxed) + 1 < kBusySweepsToShrink) return;
    gBusySweeps.store(0, std::memory_order_relaxed);
    gBusyLimit.store(std::max(1, threads / 2), std::memory_order_relaxed);
    return;
  }
  gBusySweeps.store(0, std::memory_order_relaxed);
  if (gCalmSweeps.fetch_add(1, std::memory_order_relaxed) + 1 < kCalmSweepsToGrow) return;
  gCalmSweeps.store(0, std::memory_order_relaxed);
  const int limit = gBusyLimit.load(std::memory_order_relaxed);
  if (limit < kMostThreads) gBusyLimit.store(std::min(kMostThreads, std::max(2, 2 * threads)), std::memory_order_relaxed);
}

void SetWorkerThreads(int count) { gOverride.store(std::clamp(count, 0, kMostThreads), std::memory_order_relaxed); }

}  // namespace korvane
