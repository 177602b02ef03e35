#include "plots/series/FormDate.h"

#include "plots/series/DialogDays.h"

#include <QCalendarWidget>
#include <QVBoxLayout>

TFDate* FDate = nullptr;

TFDate::TFDate(QWidget* owner) : THoverDropDown(owner)
{
  setObjectName("FDate");
  setFixedSize(190, 153);
  MonthCalendar = new QCalendarWidget(this);
  MonthCalendar->setObjectName("MonthCalendar");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(MonthCalendar);
}

void TFDate::SetDate(double days) { MonthCalendar->setSelectedDate(DaysToDate(days)); }

double TFDate::GetDate() const { return DateToDays(MonthCalendar->selectedDate()); }
