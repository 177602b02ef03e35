#pragma once
// Calendar times (TDateTime: days since 30.12.1899, the fraction being the time
// of day) and model times (seconds) as text, by time display code; elapsed
// calculation times as a day count and a clock.
//
// Date formats use the program's own letter codes: "d"/"dd" day, "m"/"mm" month
// ("m"/"mm" right after an hour code means minutes), "yy"/"yyyy" year, "h"/"hh"
// hour, "n"/"nn" minute, "s"/"ss" second, "z"/"zzz" millisecond; other characters
// and text in quotes are copied. The program's fixed date settings: day, month,
// year separated by "." ("dd.mm.yyyy") and the time as "hh:nn:ss".
#include <string>

#include "data/TextConversion.h"

enum TimeFormatCode : int {
  TimeCodeDateTime = 0,      // "dd.mm.yyyy hh:nn:ss"
  TimeCodeDate = 1,          // "dd.mm.yyyy"
  TimeCodeDateMinutes = 2,   // "dd.mm.yyyy hh:nn"
  TimeCodeMonth = 10,        // "mm.yyyy"
  TimeCodeYear = 11,         // "yyyy"
  TimeCodeShift = 20,        // "dd.mm.yyyy" and the shift number
  TimeCodeDays = 100,
  TimeCodeMonths = 110,      // of 30.4375 days
  TimeCodeYears = 120,       // of 365.25 days
  TimeCodeHours = 200,
  TimeCodeMinutes = 210,
  TimeCodeSeconds = 220,
  TimeCodeMilliseconds = 230,
  TimeCodeMicroseconds = 240,
  TimeCodeNanoseconds = 250,
  TimeCodePicoseconds = 260,
};

double EncodeDate(int year, int month, int day);
void DecodeDate(double dateTime, int& year, int& month, int& day);
// Splits the time of day, rounded to the millisecond.
void DecodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond);

std::string FormatDateTime(const std::string& format, double dateTime);
// Date, time or both: the date is left out below one day, the time at midnight.
std::string DateTimeToStr(double dateTime);

// Date and time in the program's settings ("d.m.y", optional "h:n[:s[.z]]");
// false when the text is not a valid date or time.
bool TryStrToDateTime(const std::string& text, double& dateTime);
// As TryStrToDateTime; raises EConvertError when the text does not convert.
double StrToDateTime(const std::string& text);

// A text without ":" gets " 00:00" first; 0.0 when the text does not convert.
double TextToDateTime(const std::string& text);

// Days as text under a display code; the shift length of code 20 is in days.
std::string DateToText(double days, int code, double shiftLength, int precision);
// Text as days under a display code; raises EConvertError under codes 1, 10, 11
// and 20 when the date does not convert.
double TextToDate(const std::string& text, int code, double shiftLength);

// Seconds as text: DateToText of seconds / 86,400 with the shift length (seconds)
// taken in days.
std::string TimeToText(double seconds, int code, double shiftLengthSeconds, int precision);
double TextToTime(const std::string& text, int code, double shiftLengthSeconds);

// Elapsed time: forms 1 (day number from 1), 100 (days "сут" and clock) and 200
// (hours running past 24); styles 1 (whole seconds), 2 (no seconds), other
// (seconds with a fraction). Any other form gives DateTimeToStr(T / 86,400).
std::string DurationToText(double seconds, int form, int style);
