#include "model/breakdown/EngineStatistics.h"

#include "model/breakdown/ValuesIntegral.h"

TEngineStatistics TEngineStatistics::Capture(const THeap &engine, const TValues_integral &outputs) {
  TEngineStatistics s;
  s.time = engine.Time;
  s.breakdown = engine.Flags != 0;
  s.timeFirstCandidate = engine.TimeFirstCandidate;
  s.timeFirstGrowth = engine.TimeFirstGrowth;
  s.timeBreakdown = engine.TimeBreakdown;
  s.dimension = engine.Dimension;
  s.dimensionIntercept = engine.DimensionIntercept;
  s.cellSize1 = engine.CellSize1;
  s.cellSize2 = engine.CellSize2;
  s.cellSize3 = engine.CellSize3;
  s.n1 = engine.N1;
  s.n2 = engine.N2;
  s.n3 = engine.N3;
  s.nodeCount = engine.Nodes.count;
  s.stepIterations = engine.StepIterations;
  s.lastIterationError = engine.LastIterationError;
  s.maxLinearConductance = engine.MaxLinearConductance;
  s.limbMinCond = engine.LimbMinCond;
  s.outputIds.reserve(static_cast<size_t>(outputs.Count()));
  s.outputValues.reserve(static_cast<size_t>(outputs.Count()));
  for (int i = 0; i < outputs.Count(); ++i) {
    const auto &record = outputs.Item(i);
    s.outputIds.push_back(record.id);
    s.outputValues.push_back(record.value ? *record.value : 0.0);
  }
  return s;
}

double TEngineStatistics::Output(int id) const {
  for (size_t i = 0; i < outputIds.size(); ++i)
    if (outputIds[i] == id)
      return outputValues[i];
  return 0.0;
}
