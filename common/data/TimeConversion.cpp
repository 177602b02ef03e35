#include "data/TimeConversion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr int64_t kMsPerDay = 86400000;
// TDateTime 0 is 30.12.1899; days_from_civil counts from 1.1.1970.
constexpr int64_t kEpochOffset = 25569;

// Days since 1.1.1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int m, int d)
{
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsLeap(int y)
{
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Whole day and milliseconds of the day, with the class library's convention for
// negative values: the day is truncated and the time of day is |fraction|.
void SplitDateTime(double value, int64_t& day, int64_t& ms)
{
  if (!std::isfinite(value) || std::fabs(value) > 3e6) {
    day = 0;
    ms = 0;
    return;
  }
  if (value >= 0) {
    const int64_t total = std::llround(value * kMsPerDay);
    day = total / kMsPerDay;
    ms = total % kMsPerDay;
    return;
  }
  day = static_cast<int64_t>(std::trunc(value));
  ms = std::llround(std::fabs(value - std::trunc(value)) * kMsPerDay);
  if (ms >= kMsPerDay)
    ms = kMsPerDay - 1;
}

std::string Two(int v)
{
  return PadLeftZeros(std::to_string(v), 2);
}

int CurrentYear()
{
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return parts.tm_year + 1900;
}

// Two-digit years fall within the 50 years around now.
int ExpandYear(int year, size_t digitCount)
{
  if (digitCount > 2)
    return year;
  int pivot = CurrentYear() - 50;
  int expanded = year + pivot / 100 * 100;
  if (expanded < pivot)
    expanded += 100;
  return expanded;
}

// Splits text into unsigned numbers separated by sep; false on anything else.
bool SplitNumbers(const std::string& text, char sep, std::vector<int>& numbers, std::vector<size_t>& widths)
{
  numbers.clear();
  widths.clear();
  size_t i = 0;
  while (true) {
    const size_t start = i;
    int64_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      value = value * 10 + (text[i] - '0');
      if (value > 99999)
        return false;
      ++i;
    }
    if (i == start)
      return false;
    numbers.push_back(static_cast<int>(value));
    widths.push_back(i - start);
    if (i == text.size())
      return true;
    if (text[i] != sep)
      return false;
    ++i;
  }
}

bool ParseDate(const std::string& text, double& date)
{
  std::vector<int> n;
  std::vector<size_t> w;
  if (!SplitNumbers(text, '.', n, w) || n.size() < 2 || n.size() > 3)
    return false;
  const int day = n[0];
  const int month = n[1];
  const int year = n.size() == 3 ? ExpandYear(n[2], w[2]) : CurrentYear();
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  date = EncodeDate(year, month, day);
  return true;
}

bool ParseTime(std::string text, double& time)
{
  bool pm = false, am = false;
  auto endsWith = [&](const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (text.size() >= n && strcasecmp(text.c_str() + text.size() - n, suffix) == 0) {
      text.resize(text.size() - n);
      while (!text.empty() && text.back() == ' ')
        text.pop_back();
      return true;
    }
    return false;
  };
  pm = endsWith("PM");
  if (!pm)
    am = endsWith("AM");
  int ms = 0;
  const size_t dot = text.find('.');
  if (dot != std::string::npos) {
    const std::string fraction = text.substr(dot + 1);
    text.resize(dot);
    if (fraction.empty() || fraction.size() > 3 ||
        !std::all_of(fraction.begin(), fraction.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      return false;
    ms = std::stoi(fraction);
  }
  std::vector<int> n;
  std::vector<size_t> w;
  if (!SplitNumbers(text, ':', n, w) || n.size() < 2 || n.size() > 3)
    return false;
  int hour = n[0];
  const int minute = n[1];
  const int second = n.size() == 3 ? n[2] : 0;
  if (am || pm) {
    if (hour < 1 || hour > 12)
      return false;
    hour = hour % 12 + (pm ? 12 : 0);
  }
  if (hour > 23 || minute > 59 || second > 59)
    return false;
  time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / kMsPerDay;
  return true;
}

std::string Trim(const std::string& text)
{
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
    ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
    --e;
  return text.substr(b, e - b);
}

// Days per unit of the number codes (the reading column): a number n of the unit
// is n x this many days.
bool DaysPerUnit(int code, double& days, bool& multiply)
{
  multiply = false;
  switch (code) {
  case TimeCodeDays: days = 1.0; multiply = true; return true;
  case TimeCodeMonths: days = 30.4375; multiply = true; return true;
  case TimeCodeYears: days = 365.25; multiply = true; return true;
  case TimeCodeHours: days = 24.0; return true;
  case TimeCodeMinutes: days = 1440.0; return true;
  case TimeCodeSeconds: days = 86400.0; return true;
  case TimeCodeMilliseconds: days = 86400000.0; return true;
  case TimeCodeMicroseconds: days = 8.64e10; return true;
  case TimeCodeNanoseconds: days = 8.64e13; return true;
  case TimeCodePicoseconds: days = 8.64e16; return true;
  default: return false;
  }
}

// Units per day for writing: the reciprocal of the reading column.
double UnitsPerDay(int code)
{
  switch (code) {
  case TimeCodeMonths: return 12.0 / 365.25;
  case TimeCodeYears: return 1.0 / 365.25;
  default: {
    double d = 1.0;
    bool multiply = false;
    DaysPerUnit(code, d, multiply);
    return multiply ? 1.0 / d : d;
  }
  }
}

} // namespace

double EncodeDate(int year, int month, int day)
{
  return static_cast<double>(DaysFromCivil(year, month, day) + kEpochOffset);
}

void DecodeDate(double dateTime, int& year, int& month, int& day)
{
  int64_t d, ms;
  SplitDateTime(dateTime, d, ms);
  CivilFromDays(d - kEpochOffset, year, month, day);
}

void DecodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond)
{
  int64_t d, ms;
  SplitDateTime(dateTime, d, ms);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

std::string FormatDateTime(const std::string& format, double dateTime)
{
  int year, month, day, hour, minute, second, ms;
  DecodeDate(dateTime, year, month, day);
  DecodeTime(dateTime, hour, minute, second, ms);
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t run = 1;
    while (i + run < format.size() && std::tolower(static_cast<unsigned char>(format[i + run])) == lower)
      ++run;
    if (c == '"' || c == '\'') {
      const size_t close = format.find(c, i + 1);
      const size_t end = close == std::string::npos ? format.size() : close;
      out += format.substr(i + 1, end - i - 1);
      i = end == format.size() ? end : end + 1;
      continue;
    }
    switch (lower) {
    case 'd':
      out += run >= 2 ? Two(day) : std::to_string(day);
      break;
    case 'm':
      if (afterHour)
        out += run >= 2 ? Two(minute) : std::to_string(minute);
      else
        out += run >= 2 ? Two(month) : std::to_string(month);
      break;
    case 'y':
      out += run >= 3 ? PadLeftZeros(std::to_string(year), 4) : Two(year % 100);
      break;
    case 'h':
      out += run >= 2 ? Two(hour) : std::to_string(hour);
      break;
    case 'n':
      out += run >= 2 ? Two(minute) : std::to_string(minute);
      break;
    case 's':
      out += run >= 2 ? Two(second) : std::to_string(second);
      break;
    case 'z':
      out += run >= 3 ? PadLeftZeros(std::to_string(ms), 3) : std::to_string(ms);
      break;
    default:
      out.append(format, i, run);
      break;
    }
    if (lower == 'h')
      afterHour = true;
    else if (std::isalpha(static_cast<unsigned char>(lower)))
      afterHour = false;
    i += run;
  }
  return out;
}

std::string DateTimeToStr(double dateTime)
{
  int64_t day, ms;
  SplitDateTime(dateTime, day, ms);
  if (day == 0)
    return FormatDateTime("hh:nn:ss", dateTime);
  if (ms == 0)
    return FormatDateTime("dd.mm.yyyy", dateTime);
  return FormatDateTime("dd.mm.yyyy hh:nn:ss", dateTime);
}

bool TryStrToDateTime(const std::string& text, double& dateTime)
{
  const std::string s = Trim(text);
  if (s.empty())
    return false;
  const size_t blank = s.find(' ');
  double date = 0.0, time = 0.0;
  if (blank == std::string::npos || s.substr(0, blank).find(':') != std::string::npos) {
    if (s.find(':') != std::string::npos) {
      if (!ParseTime(s, time))
        return false;
    } else if (!ParseDate(s, date)) {
      return false;
    }
  } else {
    if (!ParseDate(s.substr(0, blank), date) || !ParseTime(Trim(s.substr(blank + 1)), time))
      return false;
  }
  dateTime = date >= 0 ? date + time : date - time;
  return true;
}

double StrToDateTime(const std::string& text)
{
  double value = 0.0;
  if (!TryStrToDateTime(text, value))
    throw EConvertError("'" + text + "' is not a valid date and time");
  return value;
}

double TextToDateTime(const std::string& text)
{
  std::string s = text;
  if (s.find(':') == std::string::npos)
    s += " 00:00";
  double value = 0.0;
  return TryStrToDateTime(s, value) ? value : 0.0;
}

std::string DateToText(double days, int code, double shiftLength, int precision)
{
  switch (code) {
  case TimeCodeDateTime: return FormatDateTime("dd.mm.yyyy hh:nn:ss", days);
  case TimeCodeDate: return FormatDateTime("dd.mm.yyyy", days);
  case TimeCodeDateMinutes: return FormatDateTime("dd.mm.yyyy hh:nn", days);
  case TimeCodeMonth: return FormatDateTime("mm.yyyy", days);
  case TimeCodeYear: return FormatDateTime("yyyy", days);
  case TimeCodeShift: {
    // A shift length of zero or less would divide by zero: one shift per day then.
    const double length = shiftLength > 0 ? shiftLength : 1.0;
    const double shift = std::floor((days - std::floor(days)) / length + 0.000001) + 1;
    return FormatDateTime("dd.mm.yyyy", days) + " " + FloatToStrGeneral(shift);
  }
  default: {
    double unit;
    bool multiply;
    if (!DaysPerUnit(code, unit, multiply))
      return {};
    return FloatToStrSep(days * UnitsPerDay(code), ffGeneral, precision, 0);
  }
  }
}

double TextToDate(const std::string& text, int code, double shiftLength)
{
  switch (code) {
  case TimeCodeDateTime:
  case TimeCodeDateMinutes:
    return TextToDateTime(text);
  case TimeCodeDate:
    return StrToDateTime(text);
  case TimeCodeMonth:
    return StrToDateTime("01." + text);
  case TimeCodeYear:
    return StrToDateTime("01.01." + text);
  case TimeCodeShift: {
    const std::string s = Trim(text);
    const size_t blank = s.rfind(' ');
    if (blank == std::string::npos)
      return StrToDateTime(s); // no shift number: the first shift of the day
    const double date = StrToDateTime(s.substr(0, blank));
    const double shift = StrToFloatAny(s.substr(blank + 1));
    return date + (shift - 1) * shiftLength;
  }
  default: {
    double unit;
    bool multiply;
    const double number = StrToFloatAny(text);
    if (!DaysPerUnit(code, unit, multiply))
      return number;
    return multiply ? number * unit : number / unit;
  }
  }
}

std::string TimeToText(double seconds, int code, double shiftLengthSeconds, int precision)
{
  return DateToText(seconds / kSecondsPerDay, code, shiftLengthSeconds / kSecondsPerDay, precision);
}

double TextToTime(const std::string& text, int code, double shiftLengthSeconds)
{
  return TextToDate(text, code, shiftLengthSeconds / kSecondsPerDay) * kSecondsPerDay;
}

std::string DurationToText(double seconds, int form, int style)
{
  if (form != 1 && form != 100 && form != 200)
    return DateTimeToStr(seconds / kSecondsPerDay);
  // Beyond what a 64-bit count of minutes holds the text shows that bound.
  constexpr double MinuteBound = 9.2e18;
  const double totalMinutes = std::clamp(std::floor(seconds / 60.0), -MinuteBound, MinuteBound);
  int64_t minutes = std::isfinite(totalMinutes) ? static_cast<int64_t>(totalMinutes) : 0;
  const double secs = std::fmod(seconds, 60.0);
  int64_t hours = minutes / 60;
  minutes %= 60;
  int64_t days = 0;
  if (form != 200) {
    days = hours / 24;
    hours %= 24;
  }
  std::string text;
  if (form == 1)
    text = std::to_string(days + 1) + ", ";
  else if (days > 0)
    text = std::to_string(days) + " сут, ";
  text += PadLeftZeros(std::to_string(hours), 2) + ":" + PadLeftZeros(std::to_string(minutes), 2);
  if (style == 1)
    text += ":" + FloatToStrSep(secs, ffFixed, 4, 0);
  else if (style != 2)
    text += ":" + (form == 1 ? FloatToStrSep(secs, ffFixed, 4, 2) : FloatToStrSep(secs, ffGeneral, 3, 1));
  return text;
}
