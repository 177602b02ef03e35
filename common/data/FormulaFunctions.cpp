#include "data/FormulaFunctions.h"

#include <cmath>

namespace {

constexpr double Threshold = 0.46875;
constexpr double XSmall = 1.11e-16;
constexpr double XBig = 26.543;
constexpr double InvSqrtPi = 5.6418958354775628695e-1;

constexpr double A[5] = {3.16112374387056560e00, 1.13864154151050156e02, 3.77485237685302021e02,
                         3.20937758913846947e03, 1.85777706184603153e-1};
constexpr double B[4] = {2.36012909523441209e01, 2.44024637934444173e02, 1.28261652607737228e03,
                         2.84423683343917062e03};
constexpr double C[9] = {5.64188496988670089e-1, 8.88314979438837594e00, 6.61191906371416295e01,
                         2.98635138197400131e02, 8.81952221241769090e02, 1.71204761263407058e03,
                         2.05107837782607147e03, 1.23033935479799725e03, 2.15311535474403846e-8};
constexpr double D[8] = {1.57449261107098347e01, 1.17693950891312499e02, 5.37181101862009858e02,
                         1.62138957456669019e03, 3.29079923573345963e03, 4.36261909014324716e03,
                         3.43936767414372164e03, 1.23033935480374942e03};
constexpr double P[6] = {3.05326634961232344e-1, 3.60344899949804439e-1, 1.25781726111229246e-1,
                         1.60837851487422766e-2, 6.58749161529837803e-4, 1.63153871373020978e-2};
constexpr double Q[5] = {2.56852019228982242e00, 1.87295284992346725e00, 5.27905102951428412e-1,
                         6.05183413124413191e-2, 2.33520497626869185e-3};

// exp(-y*y) split at a multiple of 1/16 so that the square loses no bits.
double ExpMinusSquare(double y)
{
  double s = std::ceil(y * 16.0) / 16.0;
  double del = (y - s) * (y + s);
  return std::exp(-s * s) * std::exp(-del);
}

double ErfSmall(double x, double y)
{
  double ysq = y > XSmall ? y * y : 0.0;
  double num = A[4] * ysq;
  double den = ysq;
  for (int i = 0; i < 3; ++i) {
    num = (num + A[i]) * ysq;
    den = (den + B[i]) * ysq;
  }
  return x * (num + A[3]) / (den + B[3]);
}

double ErfcMiddle(double y)
{
  double num = C[8] * y;
  double den = y;
  for (int i = 0; i < 7; ++i) {
    num = (num + C[i]) * y;
    den = (den + D[i]) * y;
  }
  return ExpMinusSquare(y) * ((num + C[7]) / (den + D[7]));
}

double ErfcLarge(double y)
{
  if (y >= XBig)
    return 0.0;
  double ysq = 1.0 / (y * y);
  double num = P[5] * ysq;
  double den = ysq;
  for (int i = 0; i < 4; ++i) {
    num = (num + P[i]) * ysq;
    den = (den + Q[i]) * ysq;
  }
  double r = ysq * (num + P[4]) / (den + Q[4]);
  r = (InvSqrtPi - r) / y;
  return ExpMinusSquare(y) * r;
}

} // namespace

double FormulaErf(double x)
{
  double y = std::fabs(x);
  if (y <= Threshold)
    return ErfSmall(x, y);
  double erfc = y <= 4.0 ? ErfcMiddle(y) : ErfcLarge(y);
  double result = (0.5 - erfc) + 0.5;
  return x < 0 ? -result : result;
}
