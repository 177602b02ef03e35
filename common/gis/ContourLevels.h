#pragma once
// Contour levels of an array: the rules that choose the contour values over the
// drawing range from a level scheme, and the colour and transparency ramps
// that spread two end values over a level table. No drawing happens here, so
// the level dialog, the arrays and the tests share one implementation.
#include <cstdint>
#include <vector>

#include "MeliscoTypes.h"

// How the contour values are chosen.
enum LevelScheme : std::int32_t {
  LevelSchemeCount = 0,   // "число": a number of equal intervals
  LevelSchemeStep = 1,    // "с шагом": bold and thin lines at fixed steps
  LevelSchemeDecimal = 2, // "дес. шаг": steps rounded to 1, 2 or 5 times a power of ten
  LevelSchemeLog = 3,     // "лог. шаг": steps in the logarithm of the values
};

// Line kinds of a level entry.
enum ContourLineKind : std::int32_t {
  ContourLineThin = 1,
  ContourLineBold = MELISCO_LINE_BOLD,
};

// The scheme fields of an array, in the order the array keeps them.
struct TLevelScheme {
  std::int32_t requestedCount = 10;
  std::int32_t kind = LevelSchemeCount;
  double decimalBoldCount = 2.0;
  double decimalThinCount = 4.0;
  bool automaticRange = true;
  double boldStep = 100.0;
  double thinStep = 10.0;
  double logPower = 1.0;
  double logThinCount = 2.0;
};

struct TLevelValue {
  double value;
  std::int32_t lineKind;
};

// More contour values than any picture can show: a step scheme that would
// produce more (a tiny step over a wide range) draws the requested number of
// equal intervals instead.
inline constexpr int MaxContourValues = 10000;

// Rounds a positive step to the nearest of 1, 2 and 5 times a power of ten,
// nearest in logarithmic distance.
double RoundDecimalStep(double step);

// 10^x the way the level rules compute it.
double PowerOfTen(double x);

// The contour values for the range [rangeMin, rangeMax], ascending. The scheme
// fields are first brought into their allowed ranges, and the decimal scheme
// writes the steps it derives into the bold and thin steps, so the caller
// passes the array's own fields.
std::vector<TLevelValue> ComputeContourValues(TLevelScheme& scheme, double rangeMin, double rangeMax);

// Ramps over a level table of count entries. Line colours go over the entries
// 0..count-2 that carry lines; fill colours and transparencies over all.
void SpreadLineColors(TContourLevel* levels, int count, COLORREF first, COLORREF second, int mixMode);
void SpreadFillColors(TContourLevel* levels, int count, COLORREF first, COLORREF second, int mixMode);
void SpreadTransparencies(TContourLevel* levels, int count, int first, int second);
