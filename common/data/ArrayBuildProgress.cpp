#include "data/ArrayBuildProgress.h"

namespace {

int AtLeastOne(int n)
{
  return n < 1 ? 1 : n;
}

} // namespace

void TArrayBuildProgress::SetName(const std::string &name)
{
  ShowName(name);
  ProcessEvents();
}

void TArrayBuildProgress::SetStepCount(int n)
{
  stepCount = n;
  subStepCount = 1;
  subStep = 0;
  cancelRequested = false;
}

void TArrayBuildProgress::SetStep(int k)
{
  step = k;
  subStepCount = 1;
  subStep = 0;
}

void TArrayBuildProgress::SetSubStepCount(int n)
{
  subStepCount = n;
}

void TArrayBuildProgress::SetSubStep(int k)
{
  subStep = k;
}

void TArrayBuildProgress::SetProgress(int percent)
{
  ShowPercents(ArrayPercent(subStep, subStepCount, percent), WholePercent(step, stepCount, percent));
}

int TArrayBuildProgress::ArrayPercent(int subStep, int subStepCount, int percent)
{
  int n = AtLeastOne(subStepCount);
  return subStep * 100 / n + percent / n;
}

int TArrayBuildProgress::WholePercent(int step, int stepCount, int percent)
{
  return (step * 100 + percent) / AtLeastOne(stepCount);
}

void TArrayBuildProgress::CancelClicked()
{
  if (Confirm(CancelQuestion, CancelCaption))
    cancelRequested = true;
}

bool TArrayBuildProgress::CloseRequested()
{
  bool mayClose = cancelRequested;
  if (Confirm(CancelQuestion, CancelCaption))
    cancelRequested = true;
  return mayClose;
}
