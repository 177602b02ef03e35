#include "model/dialogs/ModelAreaMath.h"

#include <cmath>

#include <utility>

namespace {

void Order(double& a, double& b)
{
  if (a > b)
    std::swap(a, b);
}

// The part of a margin that goes before the first coordinate and after the
// second, for the anchor's position 0 (start), 1 (middle) or 2 (end).
void SplitMargin(double margin, int position, double& before, double& after)
{
  switch (position) {
  case 0:
    before = 0;
    after = margin;
    break;
  case 1:
    before = margin / 2;
    after = margin / 2;
    break;
  default:
    before = margin;
    after = 0;
    break;
  }
}

}  // namespace

void NormaliseRect(double& x1, double& y1, double& x2, double& y2)
{
  Order(x1, x2);
  Order(y1, y2);
}

bool RectNotInside(double ax1, double ay1, double ax2, double ay2, double bx1, double by1, double bx2, double by2)
{
  NormaliseRect(ax1, ay1, ax2, ay2);
  NormaliseRect(bx1, by1, bx2, by2);
  return ax1 > bx1 || ay1 > by1 || ax2 < bx2 || ay2 < by2;
}

void ApplyAreaMargins(double& x1, double& y1, double& x2, double& y2, double gx, double gy, int unit, int anchor)
{
  if (unit == MarginPercent) {
    gx = gx * 0.01 * (x2 - x1);
    gy = gy * 0.01 * (y2 - y1);
  } else {
    if (x1 > x2)
      gx = -gx;
    if (y1 > y2)
      gy = -gy;
  }
  double left = 0, right = 0, first = 0, second = 0;
  SplitMargin(gx, anchor % 3, left, right);
  SplitMargin(gy, anchor / 3, first, second);
  x1 -= left;
  x2 += right;
  y1 -= first;
  y2 += second;
}

bool SpanKept(double b1, double b2, double a1, double a2)
{
  const double before = b2 - b1;
  const double after = a2 - a1;
  if (!std::isfinite(a1) || !std::isfinite(a2) || !std::isfinite(after))
    return false;
  if (before == 0)
    return true;
  return before > 0 ? after > 0 : after < 0;
}
