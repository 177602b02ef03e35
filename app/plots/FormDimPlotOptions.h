#pragma once
// TFDimPlotOptions: the chart options of the dimension plot, with a dependence
// a, b of the user's own on the page "Общие"; its edits are enabled only while
// the box is checked.

#include "plots/FormSimplePlotOptions.h"

#include <QString>

class QCheckBox;
class QLineEdit;

class TFDimPlotOptions : public TFSimplePlotOptions {
  Q_OBJECT

public:
  explicit TFDimPlotOptions(QWidget* parent = nullptr);

  QCheckBox* CBcustom = nullptr;
  QLineEdit* Ea = nullptr;
  QLineEdit* Eb = nullptr;
  void CBcustomClick();
};

// The dialog of every window of this kind, made on first use and kept for the run.
TFDimPlotOptions* FDimPlotOptions();
