#include "plots/series/FormDateShift.h"

#include "plots/series/DialogDays.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>

TFDateShift* FDateShift = nullptr;

TFDateShift::TFDateShift(QWidget* owner) : TDropDownDialog(owner)
{
  setObjectName("FDateShift");
  setFixedSize(152, 46);
  Shape = new QFrame(this);
  Shape->setFrameShape(QFrame::Box);
  Shape->setGeometry(0, 0, 152, 46);
  Ldate = new QLabel("дата", this);
  Ldate->setGeometry(4, 2, 40, 12);
  Lshift = new QLabel("смена", this);
  Lshift->setGeometry(90, 2, 40, 12);
  date = new QDateEdit(this);
  date->setObjectName("date");
  date->setDisplayFormat("dd.MM.yyyy");
  date->setCalendarPopup(true);
  date->setGeometry(4, 16, 84, 24);
  Eshift = new QSpinBox(this);
  Eshift->setObjectName("Eshift");
  Eshift->setRange(1, 3);
  Eshift->setGeometry(90, 16, 42, 24);
  SBOk->setGeometry(134, 4, 14, 18);
  SBCancel->setGeometry(134, 24, 14, 18);
  WatchKeys(date);
  WatchKeys(Eshift);
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
