#include "data/TextConversion.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "data/Cp1251.h"

namespace {

// Decimal digits of |value|, as 0.d1d2d3... x 10^exponent, exact to 40 places.
struct TDecimal {
  std::string digits; // no leading zeros; empty for zero
  int exponent = 0;
  bool negative = false;
};

TDecimal ToDecimal(double value)
{
  TDecimal d;
  d.negative = std::signbit(value);
  value = std::fabs(value);
  if (value == 0.0)
    return d;
  char buffer[128];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 40);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i)
    if (text[i] != '.')
      d.digits += text[i];
  int sciExponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), sciExponent);
  d.exponent = sciExponent + 1;
  return d;
}

// Keeps count significant digits, rounding half away from zero. A count of 0
// keeps nothing but may round up to one unit at the first place; below 0 gives zero.
void RoundDigits(TDecimal& d, int count)
{
  if (d.digits.empty())
    return;
  if (count < 0) {
    d.digits.clear();
    return;
  }
  if (static_cast<size_t>(count) >= d.digits.size())
    return;
  const bool up = d.digits[static_cast<size_t>(count)] >= '5';
  d.digits.resize(static_cast<size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
      d.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      d.digits[static_cast<size_t>(i)]++;
    } else {
      d.digits.insert(d.digits.begin(), '1');
      d.digits.resize(static_cast<size_t>(std::max(count, 1)));
      d.exponent++;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0')
    d.digits.pop_back();
}

std::string ExponentText(int exponent, int minDigits, bool plusSign)
{
  std::string text = exponent < 0 ? "-" : (plusSign ? "+" : "");
  std::string number = std::to_string(std::abs(exponent));
  while (static_cast<int>(number.size()) < minDigits)
    number.insert(number.begin(), '0');
  return text + number;
}

// d1[.d2...]E[sign]exp, the mantissa padded to padTo digits.
std::string ScientificText(const TDecimal& d, int padTo, int expDigits, bool plusSign)
{
  std::string mantissa = d.digits.empty() ? "0" : d.digits;
  while (static_cast<int>(mantissa.size()) < padTo)
    mantissa += '0';
  std::string text = mantissa.substr(0, 1);
  if (mantissa.size() > 1)
    text += "." + mantissa.substr(1);
  const int exponent = d.digits.empty() ? 0 : d.exponent - 1;
  return text + "E" + ExponentText(exponent, expDigits, plusSign);
}

// Integer and fraction parts of a rounded decimal, the fraction padded to decimals.
std::string PositionalText(const TDecimal& d, int decimals, bool trimFraction, const char* thousands)
{
  std::string whole;
  std::string fraction;
  if (d.exponent <= 0) {
    whole = "0";
    fraction = std::string(static_cast<size_t>(std::min(-d.exponent, 400)), '0') + d.digits;
  } else {
    whole = d.digits.substr(0, std::min<size_t>(d.digits.size(), static_cast<size_t>(d.exponent)));
    while (static_cast<int>(whole.size()) < d.exponent)
      whole += '0';
    if (static_cast<int>(d.digits.size()) > d.exponent)
      fraction = d.digits.substr(static_cast<size_t>(d.exponent));
  }
  if (d.digits.empty())
    whole = "0", fraction.clear();
  if (thousands) {
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
      whole.insert(static_cast<size_t>(i), thousands);
  }
  if (!trimFraction) {
    while (static_cast<int>(fraction.size()) < decimals)
      fraction += '0';
    fraction.resize(static_cast<size_t>(decimals));
  }
  return fraction.empty() ? whole : whole + "." + fraction;
}

std::string FormatGeneral(TDecimal d, int precision, int expDigits)
{
  RoundDigits(d, precision);
  if (d.digits.empty())
    return "0";
  std::string text = (d.exponent > precision || d.exponent < -3) ? ScientificText(d, 0, expDigits, false)
                                                                  : PositionalText(d, 0, true, nullptr);
  return d.negative ? "-" + text : text;
}

std::string FormatExponent(TDecimal d, int precision, int expDigits)
{
  RoundDigits(d, precision);
  const std::string text = ScientificText(d, precision, expDigits, true);
  return d.negative && !d.digits.empty() ? "-" + text : text;
}

std::string FormatFixed(TDecimal d, int precision, int decimals, const char* thousands)
{
  if (d.exponent > precision)
    return FormatExponent(d, precision, 0);
  RoundDigits(d, std::min(precision, d.exponent + decimals));
  const std::string text = PositionalText(d, decimals, false, thousands);
  return d.negative && !d.digits.empty() ? "-" + text : text;
}

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

char GetDecimalSeparator()
{
  return '.';
}

void CommaToPoint(std::string& text)
{
  std::replace(text.begin(), text.end(), ',', '.');
}

void FixDecimalSeparator(std::string& text)
{
  std::replace(text.begin(), text.end(), ',', GetDecimalSeparator());
}

double StrToFloatAny(const std::string& text)
{
  std::string s = text;
  CommaToPoint(s);
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-')
      number += '-';
    ++i;
  }
  size_t mantissaDigits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
    number += s[i++], ++mantissaDigits;
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
      number += s[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0)
    return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
      exponent += s[j++];
    const size_t digitsStart = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
      exponent += s[j++];
    if (j > digitsStart)
      number += exponent;
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large gives the largest magnitude, too small gives zero.
    const bool tiny = number.find("e-") != std::string::npos;
    const double magnitude = tiny ? 0.0 : HUGE_VAL;
    return number[0] == '-' ? -magnitude : magnitude;
  }
  return value;
}

int32_t StrToIntStrict(const std::string& text)
{
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  if (first < last && *first == '+')
    ++first;
  int32_t value = 0;
  const auto result = std::from_chars(first, last, value);
  if (first == last || result.ec != std::errc() || result.ptr != last)
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

bool TryStrToFloatStrict(const std::string& text, double& value)
{
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  std::string number = text.substr(begin, end - begin);
  CommaToPoint(number);
  const char* first = number.data();
  const char* last = first + number.size();
  if (first < last && *first == '+')
    ++first;
  double parsed = 0;
  const auto result = std::from_chars(first, last, parsed);
  if (first == last || result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed))
    return false;
  value = parsed;
  return true;
}

std::string FloatToStrGeneral(double value)
{
  return FloatToStrSep(value, ffGeneral, 15, 0);
}

std::string FloatToStrSep(double value, int format, int precision, int digits)
{
  if (std::isnan(value))
    return "NAN";
  if (std::isinf(value))
    return value < 0 ? "-INF" : "INF";
  precision = std::clamp(precision, 1, 18);
  const TDecimal d = ToDecimal(value);
  switch (format) {
  case ffExponent:
    return FormatExponent(d, precision, std::clamp(digits, 0, 4));
  case ffFixed:
    return FormatFixed(d, precision, std::clamp(digits, 0, 18), nullptr);
  case ffNumber:
    return FormatFixed(d, precision, std::clamp(digits, 0, 18), " ");
  case ffCurrency:
    return FormatFixed(d, precision, std::clamp(digits, 0, 18), " ") + " р.";
  default:
    return FormatGeneral(d, precision, std::clamp(digits, 0, 4));
  }
}

std::string FirstLine(std::string& text)
{
  const size_t feed = text.find('\n');
  std::string line;
  if (feed == std::string::npos) {
    line.swap(text);
    return line;
  }
  line = text.substr(0, feed);
  text.erase(0, feed + 1);
  return line;
}

std::string CapitalizeFirst(const std::string& text)
{
  if (text.empty())
    return text;
  size_t end = 0;
  const char32_t first = DecodeUtf8(text, end);
  char32_t upper = first;
  if (first >= U'a' && first <= U'z')
    upper = first - U'a' + U'A';
  else if (first >= 0x0430 && first <= 0x044F) // а..я
    upper = first - 0x20;
  if (upper == first)
    return text;
  std::string result;
  AppendUtf8(result, upper);
  return result + text.substr(end);
}

void CapitalizeFirstInPlace(char* cp1251)
{
  if (!cp1251)
    return;
  auto& c = reinterpret_cast<unsigned char&>(cp1251[0]);
  if (c >= 'a' && c <= 'z')
    c = static_cast<unsigned char>(c - 'a' + 'A');
  else if (c >= 0xE0)
    c = static_cast<unsigned char>(c - 0x20);
}

std::string PadLeftZeros(const std::string& text, int width)
{
  if (static_cast<int>(text.size()) >= width)
    return text;
  return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}
