#include "plots/series/FormMonthSelector.h"

#include "data/TimeConversion.h"

#include <QButtonGroup>
#include <QFrame>
#include <QListWidget>
#include <QToolButton>

#include <algorithm>

TFMonthSelector* FMonthSelector = nullptr;

namespace {
const char* const MonthNames[12] = {"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                                    "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
const char* const MonthButtonNames[12] = {"Bjan", "Bfeb", "Bmar", "Bapr", "Bmay", "Bjun",
                                          "Bjul", "Baug", "Bsep", "Boct", "Bnov", "Bdec"};
} // namespace

TFMonthSelector::TFMonthSelector(QWidget* owner) : THoverDropDown(owner)
{
  setObjectName("FMonthSelector");
  setFixedSize(179, 100);
  Shape = new QFrame(this);
  Shape->setFrameShape(QFrame::Box);
  Shape->setGeometry(0, 0, 179, 100);
  monthGroup = new QButtonGroup(this);
  monthGroup->setExclusive(true);
  for (int m = 0; m < 12; ++m) {
    auto* button = new QToolButton(this);
    button->setObjectName(MonthButtonNames[m]);
    button->setText(QString::fromUtf8(MonthNames[m]));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setGeometry(4 + (m / 4) * 39, 4 + (m % 4) * 23, 39, 22);
    monthGroup->addButton(button, m + 1);
    Months[static_cast<size_t>(m)] = button;
  }
  LByears = new QListWidget(this);
  LByears->setObjectName("LByears");
  LByears->setGeometry(123, 4, 52, 92);
  for (int year = FirstYear; year <= LastYear; ++year)
    LByears->addItem(QString::number(year));
}

void TFMonthSelector::SetMonth(double days)
{
  int year = 0, month = 0, day = 0;
  DecodeDate(days, year, month, day);
  month = std::clamp(month, 1, 12);
  Months[static_cast<size_t>(month - 1)]->setChecked(true);
  LByears->setCurrentRow(std::clamp(year, FirstYear, LastYear) - FirstYear);
}

double TFMonthSelector::GetMonth() const
{
  const int checked = monthGroup->checkedId();
  const int month = checked >= 1 ? checked : 1;
  const int year = FirstYear + std::max(LByears->currentRow(), 0);
  return EncodeDate(year, month, 1);
}
