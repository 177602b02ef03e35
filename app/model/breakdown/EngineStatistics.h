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
  // The structure's size and shape, the generator and the iteration totals
  // that the information windows list.
  double elementCount = 0, channelCount = 0, segmentCount = 0;
  double dimension = 0, dimensionIntercept = 0;
  double structureSize = 0, channelLength = 0;
  double appliedVoltage = 0;
  int totalIterations = 0, postStepIterations = 0;
  // What the growth chance of a neighbour cell takes: the exponent of the
  // rate a * E^n, the time step and each material's coefficient a.
  double growthExponent = 0, dt = 0;
  std::vector<double> growthCoefficients;
  // The current value of every output quantity, in catalogue order.
  std::vector<int> outputIds;
  std::vector<double> outputValues;

  static TEngineStatistics Capture(const THeap &engine, const TValues_integral &outputs);
  // 0 for an id that is not an output quantity.
  double Output(int id) const;
};
