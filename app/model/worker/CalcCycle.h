#pragma once

// What the worker thread asks of its model, on the worker thread, in each
// cycle. The model's user-interface half is reached only through messages.
class TCalcCycle {
public:
  virtual ~TCalcCycle() = default;
  virtual void InitCalculation() = 0;
  virtual void CalculateStep() = 0;
  virtual bool IsCalculationFinished() = 0;
  virtual bool IsOutputDue() = 0;
  virtual void PrepareOutput() = 0;
  virtual bool IsRefreshDue() = 0;
  virtual void PrepareRefresh() = 0;
  virtual bool IsSaveStepDue() = 0;
  virtual void FlushOutputs() = 0;
  virtual void Pause() = 0;
};
