#pragma once
// TFTreePlotOptions: the chart options of the tree plot, with the length unit
// of the X axis on the page "Ось X".

#include "plots/FormSimplePlotOptions.h"

#include <QString>

class QComboBox;

class TFTreePlotOptions : public TFSimplePlotOptions {
  Q_OBJECT

public:
  explicit TFTreePlotOptions(QWidget* parent = nullptr);

  QComboBox* CBxstyle = nullptr;
};

// The dialog of every window of this kind, made on first use and kept for the run.
TFTreePlotOptions* FTreePlotOptions();
