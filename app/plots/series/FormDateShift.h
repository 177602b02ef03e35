#pragma once
// TFDateShift: the drop-down editor of a date and a work shift of it.
#include "plots/series/DropDownDialog.h"

class QLabel;
class QSpinBox;

class TFDateShift : public TDropDownDialog {
  Q_OBJECT

public:
  explicit TFDateShift(QWidget* owner = nullptr);

  // days: the value; shiftLength: the length of one shift in days.
  void SetDateShift(double days, double shiftLength);
  // The date plus the shift's start: date + (shift - 1) * shift length.
  double GetDateShift() const;

  QLabel* Lshift = nullptr;
  QSpinBox* Eshift = nullptr;

protected:
  void RestoreKept() override;

private:
  double keptDate = 0.0;
  int keptShift = 1;
  double shiftLength = 1.0 / 3.0;
};

extern TFDateShift* FDateShift;
