#pragma once
// A model on the real worker with the fewest quantities, whose times, step
// count and state the tests set directly.
#include "gis/GIS.h"
#include "model/FormModel.h"
#include "model/ModelHost.h"

class TStatusTestModel : public TFModel {
public:
  TStatusTestModel() { StartWorker(); }
  ~TStatusTestModel() override { Abort(false); }

  std::string GetQuantityName(int) const override { return "величина"; }
  std::string GetQuantityUnit(int) const override { return "В"; }
  int GetQuantityUnitCode(int) const override { return 0; }

  void SetTimes(double start, double now, int steps)
  {
    startTime = start;
    time = now;
    stepCount = steps;
  }
  void SetStateDirectly(int s) { state = s; }
};

// A main window that only counts what the model tells it.
class TStatusTestHost : public TModelHost {
public:
  void OnCalcPaused(TFModel*) override { ++paused; }
  void OnCalcStopped(TFModel*) override { ++stopped; }
  void OnCalcError(TFModel*, const std::string&) override { ++errors; }
  void OnCalcStep(TFModel*) override {}
  void PostRefreshViews() override {}
  std::string MakeTempFileName() override { return {}; }
  int paused = 0;
  int stopped = 0;
  int errors = 0;
};
