#include "model/worker/TickClock.h"

#include <chrono>

std::uint32_t TSteadyTickClock::Ticks() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  // Differences of wrapped values are taken unsigned, so the wrap is harmless.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}
