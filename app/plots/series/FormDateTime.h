#pragma once
// TFDateTime: the drop-down editor of a date and a time of day.
#include "plots/series/DropDownDialog.h"

class QLabel;
class QTimeEdit;

class TFDateTime : public TDropDownDialog {
  Q_OBJECT

public:
  explicit TFDateTime(QWidget* owner = nullptr);

  // Days: both pickers and the kept value take it.
  void SetDialogDateTime(double days);
  // Whole days of the date picker plus the fraction of a day of the time picker.
  double GetDialogDateTime() const;

  QLabel* Ltime = nullptr;
  QTimeEdit* time = nullptr;

protected:
  void RestoreKept() override;

private:
  double kept = 0.0;
};

extern TFDateTime* FDateTime;
