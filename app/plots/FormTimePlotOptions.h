#pragma once
// TFTimePlotOptions: the chart options of the time plot, with the unit of the
// time axis on the page "Ось X". Each item of CBxstyle carries its time-unit
// code as its data; the model replaces the items by the units it offers.

#include "plots/FormSimplePlotOptions.h"

#include <utility>
#include <vector>

#include <QString>

class QComboBox;

class TFTimePlotOptions : public TFSimplePlotOptions {
  Q_OBJECT

public:
  explicit TFTimePlotOptions(QWidget* parent = nullptr);

  QComboBox* CBxstyle = nullptr;
  // Replaces the items by these texts and time-unit codes.
  void SetTimeUnits(const std::vector<std::pair<QString, int>>& units);
};

// The dialog of every window of this kind, made on first use and kept for the run.
TFTimePlotOptions* FTimePlotOptions();
