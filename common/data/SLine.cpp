#include "data/SLine.h"

#include "data/ByteOrder.h"
#include "data/PlaneGeometry.h"
#include "data/Stream.h"

#include <algorithm>

namespace {

constexpr size_t PointBytes = 24;

} // namespace

TSPoint *TSLine::Item(int i)
{
  return const_cast<TSPoint *>(static_cast<const TSLine *>(this)->Item(i));
}

const TSPoint *TSLine::Item(int i) const
{
  if (points.empty())
    return nullptr;
  if (i == -2 || i >= Count())
    return &points.back();
  if (i < 0)
    return &points.front();
  return &points[static_cast<size_t>(i)];
}

void TSLine::SetCount(int n)
{
  if (n < 0)
    n = 0;
  if (n == Count())
    return;
  points.resize(static_cast<size_t>(n), TSPoint{0, 0, 0});
  if (n == 0)
    points.shrink_to_fit();
}

void TSLine::Delete(int index, int n)
{
  if (points.empty())
    return;
  if (index < 0)
    index = Count() - 1;
  if (index >= Count())
    return;
  int available = Count() - index;
  if (n < 0 || n > available)
    n = available;
  points.erase(points.begin() + index, points.begin() + index + n);
}

void TSLine::Assign(const TSLine &other)
{
  points = other.points;
  closed = other.closed;
}

void TSLine::Save(TStream &stream) const
{
  TByteWriter w;
  w.Int32(Count());
  for (const auto &p : points) {
    w.Double(p.x);
    w.Double(p.y);
    w.Double(p.z);
  }
  w.Byte(closed);
  stream.WriteExact(w.Result().data(), w.Result().size());
}

void TSLine::Load(TStream &stream)
{
  std::uint8_t head[4];
  stream.ReadExact(head, 4);
  std::int32_t n = GetInt32LE(head);
  if (n < 0)
    n = 0;
  // Check the length before allocating, so a damaged count cannot ask for
  // gigabytes.
  size_t bytes = static_cast<size_t>(n) * PointBytes + 1;
  if (static_cast<std::uint64_t>(stream.Remaining()) < bytes)
    throw EStreamError("Stream read error");
  std::vector<std::uint8_t> data(bytes);
  stream.ReadExact(data.data(), bytes);
  std::vector<TSPoint> loaded(static_cast<size_t>(n));
  for (size_t i = 0; i < loaded.size(); ++i) {
    const std::uint8_t *at = data.data() + i * PointBytes;
    loaded[i] = {GetDoubleLE(at), GetDoubleLE(at + 8), GetDoubleLE(at + 16)};
  }
  points = std::move(loaded);
  closed = data.back();
}

void TSLine::Transform(double x0, double sx, double y0, double sy)
{
  for (auto &p : points) {
    p.x = (p.x - x0) * sx;
    p.y = (p.y - y0) * sy;
  }
}

void TSLine::ClipHalfPlane(double x1, double y1, double x2, double y2)
{
  if (points.empty())
    return;
  const size_t n = points.size();
  std::vector<TSPoint> out;
  out.reserve(2 * n);
  auto inside = [&](const TSPoint &p) { return (x2 - p.x) * (y2 - y1) - (x2 - x1) * (y2 - p.y) >= 0; };
  bool previousInside = false;
  for (size_t i = 0; i <= n; ++i) {
    const TSPoint &p = points[i == n ? 0 : i];
    bool pInside = inside(p);
    if (i >= 1 && pInside != previousInside) {
      TSPoint crossing;
      if (SegmentLineIntersection(points[i - 1], p, x1, y1, x2, y2, crossing))
        out.push_back(crossing);
    }
    if (pInside && i < n)
      out.push_back(p);
    previousInside = pInside;
  }
  points = std::move(out);
}

std::unique_ptr<TSLine> TSLine::ClipToRect(double x1, double y1, double x2, double y2) const
{
  auto result = std::make_unique<TSLine>();
  result->Assign(*this);
  result->ClipHalfPlane(x1, y1, x2, y1);
  result->ClipHalfPlane(x2, y1, x2, y2);
  result->ClipHalfPlane(x2, y2, x1, y2);
  result->ClipHalfPlane(x1, y2, x1, y1);
  return result;
}
