#pragma once
// TFCubuiqeRangeValues: "Пределы значений", the value range a 3D view colours
// by: automatic, or the two typed ends. The view fills and reads it; one
// dialog serves the whole run.
#include "views3d/CubeDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFCubuiqeRangeValues : public TCubeDialog {
  Q_OBJECT
public:
  explicit TFCubuiqeRangeValues(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLineEdit* Emax = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Emin = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QCheckBox* CBautoscale = nullptr;

  // The typed ends count only when "авто" is off.
  void CBautoscaleClick();
  void FormActivate() override;
  void BokClick() override;
  void BcancelClick() override;

protected:
};

// The one range dialog of the run, made on first use.
TFCubuiqeRangeValues* FCubuiqeRangeValues();
