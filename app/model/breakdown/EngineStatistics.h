#pragma once

#include <korvane.h>

#include <cstdint>
#include <vector>

class TValues_integral;

// The engine values that windows and reports show, copied while the engine
// is idle, so that nothing reads the engine record while a step writes it.
struct TEngineStatistics {
  double time = 0;
  bool breakdown = false;
  double timeFirstCandidate = 0;
  double timeFirstGrowth = 0;
  double timeBreakdown = 0;
  double cellSize1 = 0, cellSize2 = 0, cellSize3 = 0;
  int n1 = 0, n2 = 0, n3 = 0;
  int nodeCount = 0;
  int stepIterations = 0;
  double lastIterationError = 0;
  double maxLinearConductance = 0;
  double limbMinCond = 0;
  // The engine's fit ln L = dimension * ln R + intercept (metres).
  double dimension = 0;
  double dimensionIntercept = 0;
  // The current value of every output quantity, in catalogue order.
  std::vector<int> outputIds;
  std::vector<double> outputValues;

  static TEngineStatistics Capture(const THeap &engine, const TValues_integral &outputs);
  // 0 for an id that is not an output quantity.
  double Output(int id) const;
};
