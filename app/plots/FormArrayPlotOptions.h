#pragma once
// TFArrayPlotOptions: the chart options of the array profile plots, with the
// smoothing of the profile on the page "Общие".

#include "plots/FormSimplePlotOptions.h"

#include <QString>

class QComboBox;

class TFArrayPlotOptions : public TFSimplePlotOptions {
  Q_OBJECT

public:
  explicit TFArrayPlotOptions(QWidget* parent = nullptr);

  QComboBox* CBsmooth = nullptr;
};

// The dialog of every window of this kind, made on first use and kept for the run.
TFArrayPlotOptions* FArrayPlotOptions();
