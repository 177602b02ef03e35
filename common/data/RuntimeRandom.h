#pragma once

#include <cstdint>

// The program's own 15-bit pseudo-random generator. Formulas, the jitter of
// natural-neighbour filling and the point shuffle of the enclosing ellipse draw
// from one process-wide sequence, so their results repeat from run to run and
// never depend on the C library's rand().
class TRuntimeRandom {
public:
  static constexpr int MaxValue = 32767;

  explicit TRuntimeRandom(std::uint32_t seed = 1) : state(seed) {}

  void Seed(std::uint32_t seed) { state = seed; }
  std::uint32_t State() const { return state; }

  // Next value in 0..32767: bits 16 to 30 of the advanced state.
  int Next()
  {
    state = state * 22695477u + 1u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
  }

private:
  std::uint32_t state;
};

// The shared process-wide generator (seed 1 at load).
TRuntimeRandom &RuntimeRandom();
