#pragma once
// How the position editor writes and reads its numbers: fixed point with one
// decimal (exponent form once the integer part outgrows the precision), and
// degrees split into minutes and seconds. Qt-free.
#include <string>

std::string CoordNumberText(double value, int precision);

struct TSexagesimal {
  double Degrees = 0;
  double Minutes = 0;
  double Seconds = 0;
  bool Negative = false;
};

// |value| as whole degrees, whole minutes and the seconds left; the sign apart.
TSexagesimal SplitDegrees(double value);
// Degrees + minutes / 60 + seconds / 3600, negated for the negative hemisphere.
double JoinDegrees(double degrees, double minutes, double seconds, bool negative);
