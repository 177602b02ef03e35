#pragma once

#include <string>
#include <vector>

// One choice of the time plot's time-axis unit: its text and time-unit code.
struct TTimeUnitItem {
  std::string text;
  int code = 0;
};

// The time-unit choices that the time plot's option dialog offers; a model
// fills them when it is created (the list stays for the whole run).
std::vector<TTimeUnitItem> &TimePlotTimeUnits();
// Clears the list and adds the ten units of model time.
void FillTimePlotTimeUnits();
