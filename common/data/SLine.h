#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TStream;

struct TSPoint {
  double x;
  double y;
  double z;
};

// A growable list of 3D points: outlines of map objects, clip areas of array
// drawing and polygons walked by array building.
class TSLine {
public:
  TSLine() = default;
  virtual ~TSLine() = default;

  int Count() const { return static_cast<int>(points.size()); }
  // Point i; a negative i other than -2 gives the first point, -2 or i >=
  // count the last. Null for an empty polyline.
  TSPoint *Item(int i);
  const TSPoint *Item(int i) const;
  // A negative n counts as 0; new points are zero.
  void SetCount(int n);
  void Grow(int n) { SetCount(Count() + n); }
  // A negative index means the last point, a negative n all points from the
  // index on; n is limited to the points that follow the index.
  void Delete(int index, int n);
  void Assign(const TSLine &other);

  bool Closed() const { return closed != 0; }
  void SetClosed(bool value) { closed = value ? 1 : 0; }

  // int32 count, count x (x, y, z) as f64, the closed flag as one byte.
  virtual void Save(TStream &stream) const;
  // Raises EStreamError on a short stream; the polyline is then unchanged.
  virtual void Load(TStream &stream);

  // x := (x - x0) * sx and y := (y - y0) * sy; z stays.
  void Transform(double x0, double sx, double y0, double sy);
  // Keeps the part of the closed polygon on the left of the directed line
  // from (x1, y1) to (x2, y2) or on it.
  void ClipHalfPlane(double x1, double y1, double x2, double y2);
  // A copy clipped to the rectangle (inside for x1 < x2 and y1 < y2).
  std::unique_ptr<TSLine> ClipToRect(double x1, double y1, double x2, double y2) const;

  std::vector<TSPoint> &Points() { return points; }
  const std::vector<TSPoint> &Points() const { return points; }

private:
  std::vector<TSPoint> points;
  std::uint8_t closed = 0;
};
