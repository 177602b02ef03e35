#include "plots/series/FormDateTime.h"

#include "plots/series/DialogDays.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QTimeEdit>
#include <QToolButton>

TFDateTime* FDateTime = nullptr;

TFDateTime::TFDateTime(QWidget* owner) : TDropDownDialog(owner)
{
  setObjectName("FDateTime");
  setFixedSize(152, 46);
  Shape = new QFrame(this);
  Shape->setFrameShape(QFrame::Box);
  Shape->setGeometry(0, 0, 152, 46);
  Ldate = new QLabel("дата", this);
  Ldate->setGeometry(4, 2, 40, 12);
  Ltime = new QLabel("время", this);
  Ltime->setGeometry(82, 2, 40, 12);
  date = new QDateEdit(this);
  date->setObjectName("date");
  date->setDisplayFormat("dd.MM.yyyy");
  date->setCalendarPopup(true);
  date->setGeometry(4, 16, 76, 24);
  time = new QTimeEdit(this);
  time->setObjectName("time");
  time->setDisplayFormat("HH:mm:ss");
  time->setGeometry(82, 16, 50, 24);
  SBOk->setGeometry(134, 4, 14, 18);
  SBCancel->setGeometry(134, 24, 14, 18);
  WatchKeys(date);
  WatchKeys(time);
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
