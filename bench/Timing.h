// Wall and processor time for the benchmarks that time their own interleaved
// repeats, and the median of those repeats.
#ifndef KESTOVAR_BENCH_TIMING_H
#define KESTOVAR_BENCH_TIMING_H

#include <algorithm>
#include <ctime>
#include <vector>

namespace bench_timing {

// Seconds of wall time and of processor time (every thread of the process).
struct Clocks {
  double wall = 0, cpu = 0;
};

inline Clocks Now() {
  timespec w{}, c{};
  clock_gettime(CLOCK_MONOTONIC, &w);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c);
  return {w.tv_sec + 1e-9 * w.tv_nsec, c.tv_sec + 1e-9 * c.tv_nsec};
}

inline Clocks Since(const Clocks& start) {
  const Clocks now = Now();
  return {now.wall - start.wall, now.cpu - start.cpu};
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : 0.5 * (v[m - 1] + v[m]);
}

}  // namespace bench_timing

#endif  // KESTOVAR_BENCH_TIMING_H
