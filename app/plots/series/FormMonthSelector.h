#pragma once
// TFMonthSelector: the drop-down choice of a month and a year; it accepts when
// the mouse leaves it.
#include "plots/series/HoverDropDown.h"

#include <array>

class QButtonGroup;
class QFrame;
class QListWidget;
class QToolButton;

class TFMonthSelector : public THoverDropDown {
  Q_OBJECT

public:
  static constexpr int FirstYear = 1970;
  static constexpr int LastYear = 2050;

  explicit TFMonthSelector(QWidget* owner = nullptr);

  // Presses the month's button and selects the year; years outside the list
  // select its nearest end.
  void SetMonth(double days);
  // The 1st of the chosen month (January when no button is down).
  double GetMonth() const;

  QFrame* Shape = nullptr;
  // Bjan ... Bdec.
  std::array<QToolButton*, 12> Months{};
  QListWidget* LByears = nullptr;

private:
  QButtonGroup* monthGroup = nullptr;
};

extern TFMonthSelector* FMonthSelector;
