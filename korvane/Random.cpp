// Linear congruential generator of the engine: state := state*22695477 + 1
// (mod 2^32), value = bits 16..30 of the new state. The state is shared by every
// record; two records stepping on two threads advance it through a
// compare-and-swap, so no draw is lost or torn.
#include <atomic>
#include <ctime>

#include "Engine.h"
#include "Random.h"

namespace korvane {
namespace {

std::atomic<std::uint32_t> state{1};
std::atomic<bool> pinned{false};
std::atomic<std::uint32_t> pinnedSeed{1};

constexpr std::uint32_t Advance(std::uint32_t s) { return s * 22695477u + 1u; }

}  // namespace

void SeedRandom() {
  const std::uint32_t seed = pinned.load(std::memory_order_acquire)
                                 ? pinnedSeed.load(std::memory_order_relaxed)
                                 : static_cast<std::uint32_t>(std::time(nullptr));
  state.store(seed, std::memory_order_relaxed);
}

int NextRandom() {
  std::uint32_t old = state.load(std::memory_order_relaxed);
  std::uint32_t next = Advance(old);
  while (!state.compare_exchange_weak(old, next, std::memory_order_relaxed)) next = Advance(old);
  return static_cast<int>((next >> 16) & 0x7fffu);
}

void PinRandomSeed(bool pin, std::uint32_t seed) {
  pinnedSeed.store(seed, std::memory_order_relaxed);
  pinned.store(pin, std::memory_order_release);
  if (pin) state.store(seed, std::memory_order_relaxed);
}

std::uint32_t RandomState() { return state.load(std::memory_order_relaxed); }

}  // namespace korvane
