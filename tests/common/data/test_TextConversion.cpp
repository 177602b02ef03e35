#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "data/Cp1251.h"
#include "data/TextConversion.h"
#include "data/TimeConversion.h"

TEST(NumberText, ReadsEitherSeparator)
{
  struct TCase {
    const char* text;
    double value;
  };
  const TCase cases[] = {
      {"3,5", 3.5},   {"3.5", 3.5},     {"1,234.5", 1.234}, {"abc", 0.0},   {"", 0.0},
      {"  -2.5e3x", -2500.0}, {"+7", 7.0}, {"1e", 1.0},    {".5", 0.5},    {"5.", 5.0},
      {"-", 0.0},     {"1E-2", 0.01},   {"1e999", HUGE_VAL}, {"12abc", 12.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StrToFloatAny(c.text), c.value) << c.text;
}

TEST(NumberText, StrictIntegers)
{
  EXPECT_EQ(StrToIntStrict(" 42 "), 42);
  EXPECT_EQ(StrToIntStrict("-7"), -7);
  for (const char* bad : {"", "4x", "1.5", "99999999999", " "})
    EXPECT_THROW(StrToIntStrict(bad), EConvertError) << bad;
}

TEST(NumberText, FormatsLikeTheClassLibrary)
{
  struct TCase {
    double value;
    int format, precision, digits;
    const char* text;
  };
  const TCase cases[] = {
      {0.1, ffGeneral, 15, 0, "0.1"},
      {1.0 / 3.0, ffGeneral, 15, 0, "0.333333333333333"},
      {1e20, ffGeneral, 15, 0, "1E20"},
      {1e15, ffGeneral, 15, 0, "1E15"},
      {123456789012345.0, ffGeneral, 15, 0, "123456789012345"},
      {0.0001, ffGeneral, 15, 0, "0.0001"},
      {0.00001, ffGeneral, 15, 0, "1E-5"},
      {-1.5e-7, ffGeneral, 15, 0, "-1.5E-7"},
      {0.0, ffGeneral, 15, 0, "0"},
      {36.0, ffGeneral, 15, 0, "36"},
      {1.5, ffGeneral, 3, 1, "1.5"},
      {1.23456, ffGeneral, 3, 0, "1.23"},
      {999.96, ffGeneral, 4, 0, "1000"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {-0.00012, ffExponent, 3, 0, "-1.20E-4"},
      {1.5, ffFixed, 4, 0, "2"},
      {2.5, ffFixed, 4, 0, "3"},
      {1.005, ffFixed, 15, 2, "1.00"}, // 1.005 is stored just below
      {1.23456, ffFixed, 4, 2, "1.23"},
      {12.3456, ffFixed, 2, 2, "12.00"},
      {9.996, ffFixed, 15, 2, "10.00"},
      {0.004, ffFixed, 15, 2, "0.00"},
      {-0.004, ffFixed, 15, 2, "0.00"},
      {0.006, ffFixed, 15, 2, "0.01"},
      {1234567.891, ffNumber, 15, 2, "1 234 567.89"},
      {12.0, ffCurrency, 15, 2, "12.00 р."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrSep(c.value, c.format, c.precision, c.digits), c.text) << c.value;
}

TEST(NumberText, IgnoresTheLocale)
{
  // Whatever the process locale says, the separator is ".".
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"); // may be missing: then nothing changes
  EXPECT_EQ(FloatToStrGeneral(0.1), "0.1");
  EXPECT_EQ(StrToFloatAny("2.25"), 2.25);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(StringText, FirstLineCapitalsAndPadding)
{
  std::string text = "a\nb\nc";
  EXPECT_EQ(FirstLine(text), "a");
  EXPECT_EQ(text, "b\nc");
  text = "x\r\ny";
  EXPECT_EQ(FirstLine(text), "x\r");
  text = "abc";
  EXPECT_EQ(FirstLine(text), "abc");
  EXPECT_EQ(text, "");

  EXPECT_EQ(CapitalizeFirst("яблоко"), "Яблоко");
  EXPECT_EQ(CapitalizeFirst("ёж"), "ёж");
  EXPECT_EQ(CapitalizeFirst("1a"), "1a");
  EXPECT_EQ(CapitalizeFirst("abc"), "Abc");
  EXPECT_EQ(CapitalizeFirst(""), "");
  char bytes[] = "\xE0\xE1"; // "аб" in code page 1251
  CapitalizeFirstInPlace(bytes);
  EXPECT_EQ(Cp1251ToUtf8(bytes), "Аб");
  char yo[] = "\xB8";
  CapitalizeFirstInPlace(yo);
  EXPECT_EQ(static_cast<unsigned char>(yo[0]), 0xB8);

  EXPECT_EQ(PadLeftZeros("7", 2), "07");
  EXPECT_EQ(PadLeftZeros("123", 2), "123");
}

TEST(Cp1251Text, RoundTripsEveryByteAndMapsKnownLetters)
{
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9\x88"), "АяЁё№€");
  EXPECT_EQ(Utf8ToCp1251("Диэлектрический пробой"), "\xC4\xE8\xFD\xEB\xE5\xEA\xF2\xF0\xE8\xF7\xE5\xF1\xEA\xE8\xE9 "
                                                    "\xEF\xF0\xEE\xE1\xEE\xE9");
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x82"), "a??") << "a cut-off sequence";
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
}

// ---------------------------------------------------------------------------

TEST(TimeText, CalendarCodesWriteAndReadBack)
{
  const double t = EncodeDate(2005, 3, 7) + (13 * 3600 + 5 * 60 + 9) / 86400.0;
  struct TCase {
    int code;
    const char* text;
  };
  const TCase cases[] = {
      {TimeCodeDateTime, "07.03.2005 13:05:09"}, {TimeCodeDate, "07.03.2005"},
      {TimeCodeDateMinutes, "07.03.2005 13:05"}, {TimeCodeMonth, "03.2005"},
      {TimeCodeYear, "2005"},                    {999, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DateToText(t, c.code, 1.0 / 3, 15), c.text) << c.code;

  EXPECT_NEAR(TextToDate("07.03.2005 13:05:09", TimeCodeDateTime, 0), t, 1e-9);
  EXPECT_EQ(TextToDate("07.03.2005", TimeCodeDateTime, 0), EncodeDate(2005, 3, 7));
  EXPECT_EQ(TextToDate("07.03.2005", TimeCodeDate, 0), EncodeDate(2005, 3, 7));
  EXPECT_EQ(TextToDate("2005", TimeCodeYear, 0), EncodeDate(2005, 1, 1));
  EXPECT_EQ(TextToDate("03.2005", TimeCodeMonth, 0), EncodeDate(2005, 3, 1));
  EXPECT_EQ(TextToDate("rubbish", TimeCodeDateTime, 0), 0.0);
  EXPECT_EQ(TextToDate("31.02.2005 10:00", TimeCodeDateMinutes, 0), 0.0);
  for (int code : {TimeCodeDate, TimeCodeMonth, TimeCodeYear, TimeCodeShift})
    EXPECT_THROW(TextToDate("x.y", code, 1.0 / 3), EConvertError) << code;
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);
}

TEST(TimeText, NumberCodes)
{
  EXPECT_EQ(DateToText(1.5, TimeCodeHours, 0, 15), "36");
  EXPECT_EQ(TextToDate("36", TimeCodeHours, 0), 1.5);
  EXPECT_EQ(TimeToText(90.0, TimeCodeSeconds, 28800, 15), "90");
  EXPECT_EQ(TextToTime("1,5", TimeCodeMinutes, 28800), 90.0);
  EXPECT_EQ(TextToDate("2", TimeCodeYears, 0), 730.5);
  EXPECT_EQ(TextToDate("2", TimeCodeMonths, 0), 60.875);
  EXPECT_EQ(TimeToText(1e-9, TimeCodeNanoseconds, 28800, 6), "1");
  EXPECT_EQ(TextToDate("12", 777, 0), 12.0) << "an unknown code reads days";
}

TEST(TimeText, ShiftNumbers)
{
  const double day = EncodeDate(2005, 3, 7);
  // Eight-hour shifts given in seconds, as the time series keep them.
  EXPECT_EQ(TimeToText((day + 0.1) * 86400, TimeCodeShift, 28800.0, 15), "07.03.2005 1");
  EXPECT_EQ(TimeToText((day + 0.5) * 86400, TimeCodeShift, 28800.0, 15), "07.03.2005 2");
  EXPECT_EQ(TimeToText((day + 0.9) * 86400, TimeCodeShift, 28800.0, 15), "07.03.2005 3");
  EXPECT_EQ(DateToText(day + 2.0 / 3, TimeCodeShift, 1.0 / 3, 15), "07.03.2005 3");
  EXPECT_NEAR(TextToTime("07.03.2005 2", TimeCodeShift, 28800.0), (day + 1.0 / 3) * 86400, 1e-6);
  EXPECT_EQ(TextToDate("07.03.2005", TimeCodeShift, 1.0 / 3), day) << "no shift number: first shift";
}

TEST(TimeText, Durations)
{
  struct TCase {
    double seconds;
    int form, style;
    const char* text;
  };
  const TCase cases[] = {
      {90061.5, 100, 0, "1 сут, 01:01:1.5"}, {90061.5, 100, 2, "1 сут, 01:01"},
      {90061.5, 1, 1, "2, 01:01:2"},         {90061.5, 200, 2, "25:01"},
      {3600.0, 100, 0, "01:00:0"},           {90061.5, 1, 0, "2, 01:01:1.50"},
      {59.25, 200, 1, "00:00:59"},           {3661.0, 120, 0, "01:01:01"},
      {86400.0, 120, 0, "31.12.1899"},       {90000.0, 120, 0, "31.12.1899 01:00:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DurationToText(c.seconds, c.form, c.style), c.text) << c.seconds << " " << c.form;
  // Durations no count of minutes can hold still give a text.
  for (double huge : {1e300, -1e300, 6e20})
    EXPECT_FALSE(DurationToText(huge, 100, 2).empty()) << huge;
}

TEST(TimeText, FormatterLetterCodes)
{
  const double t = EncodeDate(2026, 1, 2) + (3 * 3600 + 4 * 60 + 5.006) / 86400.0;
  EXPECT_EQ(FormatDateTime("d.m.yy h:n:s.zzz", t), "2.1.26 3:4:5.006");
  EXPECT_EQ(FormatDateTime("hh:mm", t), "03:04") << "m after an hour is the minute";
  EXPECT_EQ(FormatDateTime("'day' dd", t), "day 02");
  double parsed = 0;
  EXPECT_TRUE(TryStrToDateTime("2.1.2026 3:04:05.006", parsed));
  EXPECT_NEAR(parsed, t, 1e-9);
  EXPECT_TRUE(TryStrToDateTime("1:30 PM", parsed));
  EXPECT_NEAR(parsed, 13.5 / 24, 1e-12);
  EXPECT_FALSE(TryStrToDateTime("29.02.2005", parsed));
  EXPECT_FALSE(TryStrToDateTime("24:00", parsed));
}
