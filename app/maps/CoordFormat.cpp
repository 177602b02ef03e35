#include "maps/CoordFormat.h"

#include "data/TextConversion.h"

#include <cmath>

std::string CoordNumberText(double value, int precision)
{
  return FloatToStrSep(value, ffFixed, precision, 1);
}

TSexagesimal SplitDegrees(double value)
{
  TSexagesimal parts;
  parts.Negative = value < 0;
  const double v = std::fabs(value);
  parts.Degrees = std::floor(v);
  const double m = (v - parts.Degrees) * 60;
  parts.Minutes = std::floor(m);
  parts.Seconds = (m - parts.Minutes) * 60;
  return parts;
}

double JoinDegrees(double degrees, double minutes, double seconds, bool negative)
{
  const double v = (seconds * (1.0 / 60) + minutes) * (1.0 / 60) + degrees;
  return negative ? -v : v;
}
