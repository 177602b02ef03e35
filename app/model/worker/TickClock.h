#pragma once

#include <cstdint>

// A millisecond tick counter that wraps after 2^32 ms, read for throttles and
// the calculation time; tests inject their own.
class TTickClock {
public:
  virtual ~TTickClock() = default;
  virtual std::uint32_t Ticks() = 0;
};

class TSteadyTickClock : public TTickClock {
public:
  std::uint32_t Ticks() override;
};
