#pragma once
// Number and string conversion that never depends on the locale: numbers are read
// with "," or "." as the decimal separator and always written with ".". The float
// formats follow the class library's general, exponent, fixed, number and currency
// formats (precision = significant digits, digits = decimals or exponent digits).
// Text is UTF-8 unless a function says it works on code-page-1251 bytes.
#include <cstdint>
#include <stdexcept>
#include <string>

// A text that does not convert (the class library's conversion error).
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum TFloatFormat : int {
  ffGeneral = 0,
  ffExponent = 1,
  ffFixed = 2,
  ffNumber = 3,
  ffCurrency = 4,
};

// The program's decimal separator, '.'.
char GetDecimalSeparator();

// Replaces every "," by ".".
void CommaToPoint(std::string& text);
// Replaces every "," by the program's separator.
void FixDecimalSeparator(std::string& text);

// The number at the start of the text: blanks skipped, optional sign, digits with
// an optional fraction after "." or "," and an optional exponent. 0.0 when the text
// does not start with a number; never raises.
double StrToFloatAny(const std::string& text);

// A whole text as an int32 (blanks around it allowed); raises EConvertError otherwise.
int32_t StrToIntStrict(const std::string& text);
// A whole text as a finite number, "," or "." as the separator, blanks around it
// allowed; false (value unchanged) for anything else, an empty text among them.
bool TryStrToFloatStrict(const std::string& text, double& value);

// General format with 15 significant digits: "0.1", "1E20", "1.5E-7".
std::string FloatToStrGeneral(double value);
// The class library's formatted conversion with "." as the separator.
std::string FloatToStrSep(double value, int format, int precision, int digits);

// Returns the text before the first line feed and removes it and the line feed
// from text; without a line feed returns the whole text and empties it.
std::string FirstLine(std::string& text);

// A copy whose first letter is upper-cased: a-z and the Cyrillic а-я (not ё).
std::string CapitalizeFirst(const std::string& text);
// The same on a NUL-terminated code-page-1251 buffer: 'a'..'z' and E0..FF.
void CapitalizeFirstInPlace(char* cp1251);

// Puts "0" in front until the text has at least width characters.
std::string PadLeftZeros(const std::string& text, int width);
