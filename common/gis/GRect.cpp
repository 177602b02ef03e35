#include "gis/GRect.h"

#include <algorithm>
#include <cmath>

#include "data/PlaneGeometry.h"
#include "data/SLine.h"

namespace {
constexpr double kFarAway = 1e300;
constexpr int kHandleCount = 4;
// Handles are tried in this order; on a tie the earlier one wins.
constexpr int kHandleOrder[kHandleCount] = {0, 3, 1, 2};
} // namespace

TGRect::TGRect(TGIS* owner) : TGObj(owner)
{
  SetTypeCode(ObjectTypeRect);
  SetShapeKind(ShapeRect);
  SetKindNames("Прямоугольник", "Прямоугольники");
}

void TGRect::Draw(double, double, double, double, TMemBitmap*) {}

std::string TGRect::GetKindName() const
{
  return "Прямоугольник";
}

void TGRect::GetHandle(int handle, double& u, double& v) const
{
  u = handle >= 2 ? x + dx : x;
  v = handle == 1 || handle == 2 ? y + dy : y;
}

bool TGRect::ContainsPoint(double u, double v) const
{
  return std::min(x, x + dx) <= u && u <= std::max(x, x + dx) && std::min(y, y + dy) <= v &&
         v <= std::max(y, y + dy);
}

double TGRect::RelativeDistanceTo(double u, double v, double& nearestU, double& nearestV) const
{
  if (ContainsPoint(u, v)) {
    nearestU = u;
    nearestV = v;
    return 0.0;
  }
  struct Side {
    double sx, sy, sdx, sdy;
  };
  const Side sides[] = {
      {x, y, 0, dy},      // left side
      {x, y, dx, 0},      // through the origin along x
      {x + dx, y, 0, dy}, // right side
      {x, y + dy, dx, 0}, // through the far corner along x
  };
  double best = kFarAway;
  for (const Side& side : sides) {
    double nu, nv;
    const double d = PointSegmentDistance(side.sx, side.sy, side.sdx, side.sdy, u, v, nu, nv);
    if (d < best) {
      best = d;
      nearestU = nu;
      nearestV = nv;
    }
  }
  return best;
}

double TGRect::RelativeHandleDistanceTo(double u, double v, double& nearestU, double& nearestV, int& handle) const
{
  double best = kFarAway;
  for (int candidate : kHandleOrder) {
    double hu, hv;
    GetHandle(candidate, hu, hv);
    const double d = std::hypot(u - hu, v - hv);
    if (d < best) {
      best = d;
      handle = candidate;
      nearestU = hu;
      nearestV = hv;
    }
  }
  return best;
}

void TGRect::GetOutline(TSLine& outline) const
{
  outline.SetCount(kHandleCount);
  for (int handle = 0; handle < kHandleCount; ++handle) {
    TSPoint& point = *outline.Item(handle);
    GetHandle(handle, point.x, point.y);
    point.z = 0;
  }
  outline.SetClosed(true);
}
