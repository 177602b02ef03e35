#pragma once
// Calendar values of the date dialogs: days since 30.12.1899, the fraction
// being the time of day, as the pickers show them.
#include <QDate>
#include <QTime>

QDate DaysToDate(double days);
QTime DaysToTimeOfDay(double days);
// Whole days of the date.
double DateToDays(const QDate& date);
// The fraction of a day of the time.
double TimeOfDayToDays(const QTime& time);
