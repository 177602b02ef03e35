#include "plots/series/DialogDays.h"

#include <cmath>

namespace {
const QDate DayZero(1899, 12, 30);
constexpr double MillisecondsPerDay = 86400000.0;
} // namespace

QDate DaysToDate(double days)
{
  return DayZero.addDays(static_cast<qint64>(std::floor(days)));
}

QTime DaysToTimeOfDay(double days)
{
  auto milliseconds = static_cast<int>(std::llround((days - std::floor(days)) * MillisecondsPerDay));
  // A fraction that rounds up to a whole day is the last millisecond of it.
  if (milliseconds >= 86400000)
    milliseconds = 86400000 - 1;
  return QTime::fromMSecsSinceStartOfDay(milliseconds);
}

double DateToDays(const QDate& date)
{
  return static_cast<double>(DayZero.daysTo(date));
}

double TimeOfDayToDays(const QTime& time)
{
  return time.msecsSinceStartOfDay() / MillisecondsPerDay;
}
