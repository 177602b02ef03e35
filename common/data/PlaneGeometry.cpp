#include "data/PlaneGeometry.h"

#include <cmath>

double PointSegmentDistance2(double x, double y, double dx, double dy, double px, double py, double &nearestX,
                             double &nearestY)
{
  if (dx != 0 || dy != 0) {
    double t = ((px - x) * dx + (py - y) * dy) / (dx * dx + dy * dy);
    if (t >= 0 && t <= 1) {
      nearestX = x + t * dx;
      nearestY = y + t * dy;
      double ex = nearestX - px, ey = nearestY - py;
      return ex * ex + ey * ey;
    }
  }
  double sx = x - px, sy = y - py;
  double ex = x + dx - px, ey = y + dy - py;
  double toStart = sx * sx + sy * sy;
  double toEnd = ex * ex + ey * ey;
  if (toEnd < toStart) {
    nearestX = x + dx;
    nearestY = y + dy;
    return toEnd;
  }
  nearestX = x;
  nearestY = y;
  return toStart;
}

double PointSegmentDistance(double x, double y, double dx, double dy, double px, double py, double &nearestX,
                            double &nearestY)
{
  return std::sqrt(PointSegmentDistance2(x, y, dx, dy, px, py, nearestX, nearestY));
}

bool SegmentLineIntersection(const TSPoint &p1, const TSPoint &p2, double x1, double y1, double x2, double y2,
                             TSPoint &point)
{
  double d = (p2.x - p1.x) * (y2 - y1) - (x2 - x1) * (p2.y - p1.y);
  if (d == 0)
    return false;
  double t = ((x1 - p1.x) * (y2 - y1) - (x2 - x1) * (y1 - p1.y)) / d;
  if (t < 0 || t > 1)
    return false;
  point = {p1.x + t * (p2.x - p1.x), p1.y + t * (p2.y - p1.y), 0.0};
  return true;
}
