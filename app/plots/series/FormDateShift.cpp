#include "plots/series/FormDateShift.h"

#include "plots/series/DialogDays.h"

#include <QDateEdit>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

TFDateShift* FDateShift = nullptr;

TFDateShift::TFDateShift(QWidget* owner) : TDropDownDialog(owner)
{
  setObjectName("FDateShift");
  Lshift = new QLabel("смена", this);
  Eshift = new QSpinBox(this);
  Eshift->setObjectName("Eshift");
  Eshift->setRange(1, 3);
  BuildDesign(Eshift, Lshift, 90);
}

void TFDateShift::SetDateShift(double days, double length)
{
  // A length of zero or less would divide by zero: one shift per day then.
  shiftLength = length > 0 ? length : 1.0;
  keptDate = std::floor(days);
  // The shift that holds the time, as the table's text shows it: a time late
  // in a shift stays in that shift.
  keptShift = static_cast<int>(std::floor((days - keptDate) / shiftLength + 0.000001)) + 1;
  Eshift->setMaximum(std::max(1, static_cast<int>(std::lround(1.0 / shiftLength + 0.000001))));
  RestoreKept();
}

double TFDateShift::GetDateShift() const
{
  return DateToDays(date->date()) + (Eshift->value() - 1) * shiftLength;
}

void TFDateShift::RestoreKept()
{
  date->setDate(DaysToDate(keptDate));
  Eshift->setValue(keptShift);
}
