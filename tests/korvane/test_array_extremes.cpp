// The extremes of lattice arrays taken in blocks on several threads must be the
// ones a scan from the first cell finds, NaN and signed zeros included, since
// the program shows them and the next solution's error bound uses them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ArrayExtremes.h"
#include "SmallRecord.h"
#include "WorkerPool.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Scan {
  double low, high;
};

Scan ScanFromFirstCell(const double* a, int cells) {
  Scan s{a[0], a[0]};
  for (int c = 1; c < cells; ++c) {
    if (a[c] < s.low) s.low = a[c];
    if (a[c] > s.high) s.high = a[c];
  }
  return s;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Placed {
  double fraction;  // where in the lattice, 0 = first cell, 1 = past the last
  double value;
};

struct ExtremesCase {
  const char* name;
  double fill;
  std::vector<Placed> values;
  // Every cell from this fraction up to the next placed one is NaN (< 0: none).
  double nanFrom = -1, nanTo = -1;
};

class ArrayExtremes : public korvane_test::SmallRecord {
 protected:
  void TearDown() override { korvane::SetWorkerThreads(0); }
  int At(double fraction) { return static_cast<int>(fraction * korvane::CellCount(h())); }
  void Fill(const ExtremesCase& k) {
    const int cells = korvane::CellCount(h());
    std::vector<double> a(cells, k.fill);
    if (k.nanFrom >= 0)
      for (int c = At(k.nanFrom); c < At(k.nanTo); ++c) a[c] = kNaN;
    for (const Placed& p : k.values) a[At(p.fraction)] = p.value;
    std::copy(a.begin(), a.end(), h().Charge);
  }
};

// Blocks of three threads start at thirds of the lattice (210 cells: 0, 70, 140).
TEST_F(ArrayExtremes, BlocksOnAnyThreadsGiveTheScanFromTheFirstCell) {
  const ExtremesCase cases[] = {
      {"plain values across the blocks", 1.0, {{0.1, -2}, {0.5, 7}, {0.9, -3}, {0.95, 9}}},
      {"NaN in the first cell stays", 1.0, {{0.0, kNaN}, {0.5, -5}, {0.8, 5}}},
      {"NaN opening a later block", 1.0, {{1.0 / 3, kNaN}, {0.34, -4}, {0.4, 6}}},
      {"a block of NaN only", 1.0, {{0.2, -1}, {0.9, 3}}, 1.0 / 3, 2.0 / 3},
      {"NaN to the end", 1.0, {{0.2, -1}, {0.3, 3}}, 0.5, 1.0},
      {"-0 before +0 keeps -0", 1.0, {{0.1, -0.0}, {0.8, 0.0}}},
      {"+0 before -0 keeps +0", 1.0, {{0.1, 0.0}, {0.8, -0.0}}},
      {"highest of zeros: +0 before -0", -1.0, {{0.2, 0.0}, {0.7, -0.0}}},
      {"highest of zeros: -0 before +0", -1.0, {{0.2, -0.0}, {0.7, 0.0}}},
      {"infinities", 0.0, {{0.5, -kInf}, {0.9, kInf}}},
      {"one value everywhere", 2.5, {}},
  };
  for (int threads : {1, 2, 3, 7}) {
    korvane::SetWorkerThreads(threads);
    for (const ExtremesCase& k : cases) {
      SCOPED_TRACE(std::string(k.name) + " on " + std::to_string(threads) + " threads");
      Fill(k);
      const Scan want = ScanFromFirstCell(h().Charge, korvane::CellCount(h()));
      double low = 123, high = 456;
      korvane::ArrayMinMax(h(), h().Charge, low, high);
      EXPECT_TRUE(SameBits(low, want.low)) << low << " against " << want.low;
      EXPECT_TRUE(SameBits(high, want.high)) << high << " against " << want.high;
    }
  }
}

TEST_F(ArrayExtremes, SeveralArraysInOneJobEachKeepTheirOwn) {
  korvane::SetWorkerThreads(3);
  const int cells = korvane::CellCount(h());
  for (int c = 0; c < cells; ++c) {
    h().Potential[c] = c;
    h().Charge[c] = -c;
  }
  h().Charge[0] = kNaN;
  double pLow = 0, pHigh = 0, qLow = 0, qHigh = 0;
  const korvane::ExtremesTarget targets[] = {{h().Potential, &pLow, &pHigh}, {h().Charge, &qLow, &qHigh}};
  korvane::ArraysMinMax(h(), targets, 2);
  EXPECT_EQ(pLow, 0.0);
  EXPECT_EQ(pHigh, cells - 1.0);
  EXPECT_TRUE(std::isnan(qLow));
  EXPECT_TRUE(std::isnan(qHigh));
}

}  // namespace
