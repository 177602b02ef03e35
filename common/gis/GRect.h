#pragma once
// TGRect: the rectangle of the map and the base of every object that covers
// an area (the model area, the map picture and the arrays): hit tests against
// its sides, its four corner handles and its outline.
//
// Handles: 0 the origin (x, y), 1 (x, y + dy), 2 the far corner, 3 (x + dx, y).
#include "gis/GObj.h"

class TGRect : public TGObj {
public:
  explicit TGRect(TGIS* owner);

  // A plain rectangle has no picture of its own.
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  std::string GetKindName() const override;
  double RelativeDistanceTo(double u, double v, double& nearestU, double& nearestV) const override;
  double RelativeHandleDistanceTo(double u, double v, double& nearestU, double& nearestV,
                                  int& handle) const override;
  void GetOutline(TSLine& outline) const override;
  bool ContainsPoint(double u, double v) const override;

  // Relative position of a handle (0..3).
  void GetHandle(int handle, double& u, double& v) const;
};
