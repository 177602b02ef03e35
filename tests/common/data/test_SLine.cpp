#include "data/PlaneGeometry.h"
#include "data/SLine.h"
#include "data/Stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TSLine Line(const std::vector<TSPoint> &pts, bool closed = false)
{
  TSLine l;
  l.Points() = pts;
  l.SetClosed(closed);
  return l;
}

void ExpectPoints(const TSLine &l, const std::vector<TSPoint> &expected)
{
  ASSERT_EQ(l.Count(), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(l.Points()[i].x, expected[i].x, 1e-12) << i;
    EXPECT_NEAR(l.Points()[i].y, expected[i].y, 1e-12) << i;
    EXPECT_NEAR(l.Points()[i].z, expected[i].z, 1e-12) << i;
  }
}

TEST(SLine, ItemIndexRules)
{
  TSLine l = Line({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
  EXPECT_EQ(l.Item(-2)->x, 3);
  EXPECT_EQ(l.Item(3)->x, 3);
  EXPECT_EQ(l.Item(100)->x, 3);
  EXPECT_EQ(l.Item(-5)->x, 1);
  EXPECT_EQ(l.Item(-1)->x, 1);
  EXPECT_EQ(l.Item(1)->x, 2);
  TSLine empty;
  EXPECT_EQ(empty.Item(0), nullptr);
}

struct DeleteCase {
  int index;
  int n;
  std::vector<double> remaining;
};

class SLineDelete : public testing::TestWithParam<DeleteCase> {};

TEST_P(SLineDelete, RemovesTheRange)
{
  const DeleteCase &c = GetParam();
  TSLine l = Line({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}});
  l.Delete(c.index, c.n);
  ASSERT_EQ(l.Count(), static_cast<int>(c.remaining.size()));
  for (size_t i = 0; i < c.remaining.size(); ++i)
    EXPECT_EQ(l.Points()[i].x, c.remaining[i]);
}

INSTANTIATE_TEST_SUITE_P(Cases, SLineDelete,
                         testing::Values(DeleteCase{-1, 1, {0, 1, 2, 3}}, DeleteCase{0, -1, {}},
                                         DeleteCase{2, 10, {0, 1}}, DeleteCase{1, 2, {0, 3, 4}},
                                         DeleteCase{5, 1, {0, 1, 2, 3, 4}},
                                         DeleteCase{0, 0, {0, 1, 2, 3, 4}}));

TEST(SLine, CountGrowAssignTransform)
{
  TSLine l = Line({{1, 2, 3}});
  l.Grow(2);
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l.Points()[0].z, 3);
  l.SetCount(-4);
  EXPECT_EQ(l.Count(), 0);

  TSLine a = Line({{1, 2, 5}, {3, 4, 6}}, true);
  TSLine b;
  b.Assign(a);
  EXPECT_TRUE(b.Closed());
  b.Transform(1, 2, 2, -1);
  ExpectPoints(b, {{0, 0, 5}, {4, -2, 6}});
}

TEST(SLine, SaveLoadRoundTrip)
{
  TSLine l = Line({{1.5, -2, 3}, {4, 5, 6}, {7, 8, 1e300}}, true);
  TMemoryStream stream;
  l.Save(stream);
  EXPECT_EQ(stream.GetSize(), 4 + 72 + 1);
  stream.SetPosition(0);
  TSLine back;
  back.Load(stream);
  ExpectPoints(back, l.Points());
  EXPECT_TRUE(back.Closed());
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

TEST(SLine, ShortOrDamagedStreamRaisesAndKeepsPoints)
{
  TSLine l = Line({{1, 2, 3}, {4, 5, 6}});
  TMemoryStream stream;
  l.Save(stream);
  std::vector<uint8_t> bytes = stream.Bytes();
  bytes.pop_back();
  TMemoryStream shortStream(bytes);
  TSLine target = Line({{9, 9, 9}});
  EXPECT_THROW(target.Load(shortStream), EStreamError);
  ExpectPoints(target, {{9, 9, 9}});

  std::vector<uint8_t> huge = {0xff, 0xff, 0xff, 0x7f, 0};
  TMemoryStream hugeStream(huge);
  EXPECT_THROW(target.Load(hugeStream), EStreamError);
  ExpectPoints(target, {{9, 9, 9}});
}

TEST(SLine, HalfPlaneKeepsLeftPartInOrder)
{
  TSLine square = Line({{0, 0, 7}, {2, 0, 7}, {2, 2, 7}, {0, 2, 8}}, true);
  square.ClipHalfPlane(1, 0, 1, 2);
  ExpectPoints(square, {{0, 0, 7}, {1, 0, 0}, {1, 2, 0}, {0, 2, 8}});
  EXPECT_TRUE(square.Closed());
}

TEST(SLine, HalfPlaneWhollyRightOrLeft)
{
  TSLine right = Line({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}});
  right.ClipHalfPlane(1, 0, 1, 2);
  EXPECT_EQ(right.Count(), 0);

  TSLine left = Line({{-5, 0, 1}, {-4, 0, 2}, {-4, 1, 3}});
  left.ClipHalfPlane(1, 0, 1, 2);
  ExpectPoints(left, {{-5, 0, 1}, {-4, 0, 2}, {-4, 1, 3}});

  TSLine empty;
  empty.ClipHalfPlane(0, 0, 1, 1);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(SLine, ClipToRect)
{
  TSLine triangle = Line({{-1, -1, 5}, {4, -1, 5}, {-1, 4, 5}});
  auto clipped = triangle.ClipToRect(0, 0, 1, 1);
  ExpectPoints(*clipped, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  EXPECT_EQ(triangle.Count(), 3); // the source is untouched

  TSLine inner = Line({{0.2, 0.2, 1}, {0.8, 0.2, 2}, {0.5, 0.9, 3}});
  ExpectPoints(*inner.ClipToRect(0, 0, 1, 1), inner.Points());

  TSLine outside = Line({{2, 2, 0}, {3, 2, 0}, {3, 3, 0}});
  EXPECT_EQ(outside.ClipToRect(0, 0, 1, 1)->Count(), 0);
}

struct DistanceCase {
  double x, y, dx, dy, px, py;
  double distance, nearX, nearY;
};

class SegmentDistance : public testing::TestWithParam<DistanceCase> {};

TEST_P(SegmentDistance, DistanceAndNearestPoint)
{
  const DistanceCase &c = GetParam();
  double nx = -9, ny = -9;
  EXPECT_DOUBLE_EQ(PointSegmentDistance(c.x, c.y, c.dx, c.dy, c.px, c.py, nx, ny), c.distance);
  EXPECT_DOUBLE_EQ(nx, c.nearX);
  EXPECT_DOUBLE_EQ(ny, c.nearY);
  EXPECT_DOUBLE_EQ(PointSegmentDistance2(c.x, c.y, c.dx, c.dy, c.px, c.py, nx, ny), c.distance * c.distance);
}

INSTANTIATE_TEST_SUITE_P(Cases, SegmentDistance,
                         testing::Values(DistanceCase{0, 0, 2, 0, 1, 1, 1, 1, 0},
                                         DistanceCase{0, 0, 2, 0, 3, 0, 1, 2, 0},
                                         DistanceCase{0, 0, 2, 0, -3, 4, 5, 0, 0},
                                         DistanceCase{1, 1, 0, 0, 4, 5, 5, 1, 1},
                                         DistanceCase{0, 0, 0, 2, 1, 3, std::sqrt(2.0), 0, 2},
                                         DistanceCase{0, 0, 2, 2, 2, 0, std::sqrt(2.0), 1, 1}));

TEST(PlaneGeometry, SegmentLineIntersection)
{
  TSPoint point{9, 9, 9};
  EXPECT_FALSE(SegmentLineIntersection({0, 0, 1}, {2, 0, 1}, 0, 1, 5, 1, point)); // parallel
  EXPECT_TRUE(SegmentLineIntersection({0, 0, 1}, {0, 2, 1}, -1, 2, 3, 2, point)); // ends on the line
  EXPECT_DOUBLE_EQ(point.x, 0);
  EXPECT_DOUBLE_EQ(point.y, 2);
  EXPECT_DOUBLE_EQ(point.z, 0);
  EXPECT_FALSE(SegmentLineIntersection({0, 0, 0}, {0, 1, 0}, -1, 2, 3, 2, point)); // beyond the segment
  EXPECT_TRUE(SegmentLineIntersection({0, 0, 0}, {4, 4, 3}, 0, 2, 1, 2, point));
  EXPECT_DOUBLE_EQ(point.x, 2);
  EXPECT_DOUBLE_EQ(point.y, 2);
}

} // namespace
