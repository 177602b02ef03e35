#pragma once

#include "data/ArrayBuildProgress.h"

// Progress that shows nothing and is never cancelled, for builds run without
// a window (batch work and tests that do not look at the progress).
class TNullArrayBuildProgress : public TArrayBuildProgress {
protected:
  void ShowName(const std::string &) override {}
  void ShowPercents(int, int) override {}
  void ProcessEvents() override {}
  bool Confirm(const std::string &, const std::string &) override { return false; }
  void ShowError(const std::string &) override {}
};
