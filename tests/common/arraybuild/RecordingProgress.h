#pragma once
// A build progress that records what the builders report and can press the
// cancel button (answering Yes) at a chosen pause.
#include <string>
#include <vector>

#include "data/ArrayBuildProgress.h"

class TRecordingProgress : public TArrayBuildProgress {
public:
  std::vector<int> percents;
  std::vector<std::string> errors;
  int pauses = 0;
  int cancelAtPause = -1; // 1 = at the first pause

protected:
  void ShowName(const std::string&) override {}
  void ShowPercents(int arrayPercent, int) override { percents.push_back(arrayPercent); }
  void ProcessEvents() override
  {
    if (++pauses == cancelAtPause)
      CancelClicked();
  }
  bool Confirm(const std::string&, const std::string&) override { return true; }
  void ShowError(const std::string& text) override { errors.push_back(text); }
};
