#include "plots/series/FormDateTime.h"

#include "plots/series/DialogDays.h"

#include <QDateEdit>
#include <QLabel>
#include <QTimeEdit>

TFDateTime* FDateTime = nullptr;

TFDateTime::TFDateTime(QWidget* owner) : TDropDownDialog(owner)
{
  setObjectName("FDateTime");
  Ltime = new QLabel("время", this);
  time = new QTimeEdit(this);
  time->setObjectName("time");
  time->setDisplayFormat("HH:mm:ss");
  BuildDesign(time, Ltime, 82);
}

void TFDateTime::SetDialogDateTime(double days)
{
  kept = days;
  RestoreKept();
}

double TFDateTime::GetDialogDateTime() const
{
  return DateToDays(date->date()) + TimeOfDayToDays(time->time());
}

void TFDateTime::RestoreKept()
{
  date->setDate(DaysToDate(kept));
  time->setTime(DaysToTimeOfDay(kept));
}
