#include "plots/series/FormDate.h"
#include "plots/series/FormDateShift.h"
#include "plots/series/FormDateTime.h"
#include "plots/series/FormMonthSelector.h"

#include "data/TimeConversion.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

double At(int year, int month, int day, int hour = 0, int minute = 0)
{
  return EncodeDate(year, month, day) + (hour * 60 + minute) / 1440.0;
}

TEST(DateTimeDialog, EscapeGivesBackTheValueAndEnterTakesTheChange)
{
  TFDateTime dialog;
  const double start = At(2005, 3, 12, 18, 30);
  dialog.SetDialogDateTime(start);
  EXPECT_EQ(dialog.date->date(), QDate(2005, 3, 12));
  EXPECT_EQ(dialog.time->time(), QTime(18, 30));

  dialog.date->setDate(QDate(2005, 3, 13));
  dialog.time->setTime(QTime(6, 0));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_DOUBLE_EQ(dialog.GetDialogDateTime(), start);

  dialog.date->setDate(QDate(2005, 3, 13));
  dialog.time->setTime(QTime(6, 0));
  QTest::keyClick(dialog.time, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(dialog.GetDialogDateTime(), At(2005, 3, 13, 6, 0));
  EXPECT_EQ(dialog.result(), 1);
}

TEST(DateTimeDialog, CancelButtonPutsTheKeptValueBack)
{
  TFDateTime dialog;
  dialog.SetDialogDateTime(At(2001, 1, 2, 3, 4));
  dialog.time->setTime(QTime(23, 0));
  dialog.SBCancel->click();
  EXPECT_DOUBLE_EQ(dialog.GetDialogDateTime(), At(2001, 1, 2, 3, 4));
}

TEST(DateDialog, WholeDaysOfTheCalendar)
{
  TFDate dialog;
  dialog.SetDate(At(2010, 5, 20, 15, 0));
  EXPECT_EQ(dialog.MonthCalendar->selectedDate(), QDate(2010, 5, 20));
  dialog.MonthCalendar->setSelectedDate(QDate(2010, 6, 1));
  EXPECT_EQ(dialog.GetDate(), At(2010, 6, 1));
}

struct TMonthCase {
  double value;
  int month;     // the button down, 1-based
  int yearRow;   // the selected list row
  double result; // what the dialog gives back
};

class MonthSelectorTest : public ::testing::TestWithParam<TMonthCase> {};

TEST_P(MonthSelectorTest, ShowsAndGivesTheFirstOfTheMonth)
{
  const TMonthCase& c = GetParam();
  TFMonthSelector dialog;
  dialog.SetMonth(c.value);
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(dialog.Months[static_cast<size_t>(m - 1)]->isChecked(), m == c.month) << m;
  EXPECT_EQ(dialog.LByears->currentRow(), c.yearRow);
  EXPECT_EQ(dialog.GetMonth(), c.result);
}

INSTANTIATE_TEST_SUITE_P(Values, MonthSelectorTest,
                         ::testing::Values(TMonthCase{At(1999, 7, 15), 7, 29, At(1999, 7, 1)},
                                           TMonthCase{At(1970, 1, 1), 1, 0, At(1970, 1, 1)},
                                           // Years outside the list show its nearest end.
                                           TMonthCase{At(1960, 3, 5), 3, 0, At(1970, 3, 1)},
                                           TMonthCase{At(2080, 12, 31), 12, 80, At(2050, 12, 1)}));

TEST(MonthSelector, MonthNamesAndAChosenMonth)
{
  TFMonthSelector dialog;
  EXPECT_EQ(dialog.Months[0]->text(), "январь");
  EXPECT_EQ(dialog.Months[11]->text(), "декабрь");
  EXPECT_EQ(dialog.LByears->count(), 81);
  dialog.SetMonth(At(2000, 2, 10));
  dialog.Months[9]->click();
  dialog.LByears->setCurrentRow(5);
  EXPECT_EQ(dialog.GetMonth(), At(1975, 10, 1));
}

struct TShiftCase {
  int hour;
  int shift;
};

class DateShiftTest : public ::testing::TestWithParam<TShiftCase> {};

// Three shifts of 8 hours: the dialog shows the shift that holds the time, as
// the table's text does, and gives back the start of the chosen shift.
TEST_P(DateShiftTest, ShiftOfTheTime)
{
  const TShiftCase& c = GetParam();
  TFDateShift dialog;
  dialog.SetDateShift(At(2003, 4, 5, c.hour), 1.0 / 3.0);
  EXPECT_EQ(dialog.Eshift->maximum(), 3);
  EXPECT_EQ(dialog.Eshift->value(), c.shift);
  EXPECT_EQ(dialog.date->date(), QDate(2003, 4, 5));
  EXPECT_NEAR(dialog.GetDateShift(), At(2003, 4, 5) + (c.shift - 1) / 3.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Hours, DateShiftTest,
                         ::testing::Values(TShiftCase{0, 1}, TShiftCase{8, 2}, TShiftCase{13, 2},
                                           TShiftCase{17, 3}, TShiftCase{23, 3}));

TEST(DateShift, EscapeRestoresAndEnterTakesTheChosenShift)
{
  TFDateShift dialog;
  dialog.SetDateShift(At(2003, 4, 5, 15), 0.5);
  EXPECT_EQ(dialog.Eshift->maximum(), 2);
  EXPECT_EQ(dialog.Eshift->value(), 2);
  dialog.Eshift->setValue(1);
  dialog.date->setDate(QDate(2003, 4, 6));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_DOUBLE_EQ(dialog.GetDateShift(), At(2003, 4, 5, 12));
  dialog.Eshift->setValue(1);
  QTest::keyClick(dialog.Eshift, Qt::Key_Enter);
  EXPECT_DOUBLE_EQ(dialog.GetDateShift(), At(2003, 4, 5));
}

} // namespace
