#pragma once
// TFDate: the drop-down month calendar; it accepts when the mouse leaves it.
#include "plots/series/HoverDropDown.h"

class QCalendarWidget;

class TFDate : public THoverDropDown {
  Q_OBJECT

public:
  explicit TFDate(QWidget* owner = nullptr);

  void SetDate(double days);
  // Whole days of the chosen date.
  double GetDate() const;

  QCalendarWidget* MonthCalendar = nullptr;
};

extern TFDate* FDate;
