#pragma once

#include <string>

// Progress of array building as the builders see it. The program implements
// the hooks with its "Генерация массивов" window; tests implement them with a
// recorder, so array building runs headless. The arithmetic of the two bars
// and the cancel rules live here, once.
class TArrayBuildProgress {
public:
  static constexpr const char *CancelQuestion = "Прервать процесс ?";
  static constexpr const char *CancelCaption = "Генерация массива";

  virtual ~TArrayBuildProgress() = default;

  // The window is shown for a run of builds and hidden after it.
  void Show() { ShowWindow(true); }
  void Hide() { ShowWindow(false); }
  // Shows the name of the array being built and lets pending events through.
  void SetName(const std::string &name);
  // Starts a build of n steps; also clears a cancel left from the last build.
  void SetStepCount(int n);
  void SetStep(int k);
  void SetSubStepCount(int n);
  void SetSubStep(int k);
  // percent (0..100) within the current sub-step; updates both bars.
  void SetProgress(int percent);
  // Builders call this after each row, batch or sweep.
  void LetEventsThrough() { ProcessEvents(); }
  bool Cancelled() const { return cancelRequested; }
  void ReportError(const std::string &text) { ShowError(text); }

  // The window's cancel button: asks, and a Yes stops the build.
  void CancelClicked();
  // The window's close button; returns whether the window may close, which
  // it may only after a cancel. The question is asked in every case.
  bool CloseRequested();

  int StepCount() const { return stepCount; }
  int Step() const { return step; }
  int SubStepCount() const { return subStepCount; }
  int SubStep() const { return subStep; }

  // The bars in integer arithmetic, each quotient truncated. A count below 1
  // counts as 1.
  static int ArrayPercent(int subStep, int subStepCount, int percent);
  static int WholePercent(int step, int stepCount, int percent);

protected:
  // Progress without a window has nothing to show.
  virtual void ShowWindow(bool /*visible*/) {}
  virtual void ShowName(const std::string &name) = 0;
  virtual void ShowPercents(int arrayPercent, int wholePercent) = 0;
  virtual void ProcessEvents() = 0;
  // Yes/No question; true for Yes.
  virtual bool Confirm(const std::string &question, const std::string &caption) = 0;
  virtual void ShowError(const std::string &text) = 0;

private:
  int stepCount = 1;
  int step = 0;
  int subStepCount = 1;
  int subStep = 0;
  bool cancelRequested = false;
};
