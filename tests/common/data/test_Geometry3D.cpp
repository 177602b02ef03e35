#include "data/Geometry3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

void RotationAboutAxes(double ax, double az, double m[9])
{
  const double a[9] = {1, 0, 0, 0, std::cos(ax), -std::sin(ax), 0, std::sin(ax), std::cos(ax)};
  const double b[9] = {std::cos(az), -std::sin(az), 0, std::sin(az), std::cos(az), 0, 0, 0, 1};
  Matrix3Multiply(m, a, b);
}

TEST(Geometry3D, PlaneSegmentIntersect)
{
  const double plane[4] = {0, 0, 1, 0};
  const double p1[3] = {0, 0, 1}, p2[3] = {0, 0, -1};
  double out[3] = {9, 9, 9};
  EXPECT_DOUBLE_EQ(PlaneSegmentIntersect(plane, p1, p2, out), 0.5);
  EXPECT_DOUBLE_EQ(out[0], 0);
  EXPECT_DOUBLE_EQ(out[1], 0);
  EXPECT_DOUBLE_EQ(out[2], 0);

  const double q1[3] = {0, 0, 2}, q2[3] = {1, 1, 2};
  double untouched[3] = {7, 7, 7};
  EXPECT_EQ(PlaneSegmentIntersect(plane, q1, q2, untouched), 1e300);
  EXPECT_EQ(untouched[0], 7);

  // Beyond the segment the parameter leaves 0..1.
  const double plane3[4] = {0, 0, 1, 3};
  const double r1[3] = {1, 2, 0}, r2[3] = {1, 2, 1};
  EXPECT_DOUBLE_EQ(PlaneSegmentIntersect(plane3, r1, r2, out), 3);
  EXPECT_DOUBLE_EQ(out[2], 3);
}

TEST(Geometry3D, InverseOfRotationIsItsTranspose)
{
  double m[9], inv[9];
  RotationAboutAxes(0.7, -1.3, m);
  Matrix3Invert(m, inv);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(inv[3 * r + c], m[3 * c + r], 1e-15);

  const double general[9] = {2, 0, 1, 1, 3, 0, 0, 1, 4};
  Matrix3Invert(general, inv);
  double product[9];
  Matrix3Multiply(product, general, inv);
  for (int i = 0; i < 9; ++i)
    EXPECT_NEAR(product[i], i % 4 == 0 ? 1 : 0, 1e-15);
}

TEST(Geometry3D, MultiplyAndApply)
{
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double m[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  double out[9];
  Matrix3Multiply(out, m, identity);
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(out[i], m[i]);
  Matrix3Multiply(out, m, m);
  EXPECT_EQ(out[0], 30);
  EXPECT_EQ(out[1], 36);
  EXPECT_EQ(out[5], 96);
  const double v[3] = {1, 0, -1};
  double w[3];
  Matrix3Apply(w, m, v);
  EXPECT_EQ(w[0], -2);
  EXPECT_EQ(w[1], -2);
  EXPECT_EQ(w[2], -2);
}

struct RotationCase {
  bool aboutFirst;
  double v[3];
  double angle;
  double expected[3];
};

class Rotation : public testing::TestWithParam<RotationCase> {};

TEST_P(Rotation, TurnsVectorInPlace)
{
  RotationCase c = GetParam();
  double v[3] = {c.v[0], c.v[1], c.v[2]};
  if (c.aboutFirst)
    RotationMatrixA(v, c.angle);
  else
    RotationMatrixB(v, c.angle);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(v[i], c.expected[i], 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Anchors, Rotation,
                         testing::Values(RotationCase{true, {0, 1, 0}, Pi / 2, {0, 0, 1}},
                                         RotationCase{true, {1, 0, 0}, Pi / 3, {1, 0, 0}},
                                         RotationCase{true, {0, 0, 1}, Pi, {0, 0, -1}},
                                         RotationCase{false, {1, 0, 0}, Pi / 2, {0, 1, 0}},
                                         RotationCase{false, {0, 0, 2}, 1.0, {0, 0, 2}},
                                         RotationCase{false, {0, 1, 0}, -Pi / 2, {1, 0, 0}}));

struct DirectionCase {
  double v[3];
  double polar;
  double azimuth;
};

class Direction : public testing::TestWithParam<DirectionCase> {};

TEST_P(Direction, GivesPolarAndAzimuth)
{
  const DirectionCase &c = GetParam();
  double polar = -1, azimuth = -1;
  DirectionToAngles(c.v, polar, azimuth);
  EXPECT_DOUBLE_EQ(polar, c.polar);
  EXPECT_DOUBLE_EQ(azimuth, c.azimuth);
}

INSTANTIATE_TEST_SUITE_P(Anchors, Direction,
                         testing::Values(DirectionCase{{0, 0, 1}, 0, 0}, DirectionCase{{0, 0, -1}, Pi, 0},
                                         DirectionCase{{1, 0, 0}, Pi / 2, Pi / 2},
                                         DirectionCase{{0, -1, 0}, Pi / 2, 0},
                                         DirectionCase{{0, 1, 0}, Pi / 2, Pi},
                                         DirectionCase{{-1, 0, 1}, Pi / 4, -Pi / 2}));

TEST(Geometry3D, AnglesOfRotationMatrices)
{
  // A rotation about the first axis alone: A reads the angle back from the
  // third column, B from the second row.
  double m[9];
  RotationAboutAxes(0.4, 0.0, m);
  double first, second;
  MatrixToAnglesA(m, first, second);
  EXPECT_NEAR(first, 0.4, 1e-15);
  EXPECT_NEAR(second, 0.0, 1e-15);
  MatrixToAnglesB(m, first, second);
  EXPECT_NEAR(first, 0.4, 1e-15);
  EXPECT_NEAR(second, 0.0, 1e-15);

  RotationAboutAxes(0.0, 0.9, m);
  MatrixToAnglesA(m, first, second);
  EXPECT_NEAR(first, 0.0, 1e-15);
  EXPECT_NEAR(second, 0.9, 1e-15);
  MatrixToAnglesB(m, first, second);
  EXPECT_NEAR(second, 0.9, 1e-15);
}

TEST(Geometry3D, PointLineDistance)
{
  const double line[6] = {0, 0, 0, 0, 0, 2};
  const double p[3] = {3, 4, 100};
  EXPECT_DOUBLE_EQ(PointLineDistance2(p, line), 25);
  const double diagonal[6] = {1, 1, 0, 1, 1, 0};
  const double q[3] = {0, 2, 5};
  EXPECT_DOUBLE_EQ(PointLineDistance2(q, diagonal), 27);
}

struct ConeCase {
  double p[3];
  double r1;
  double r2;
  double tolerance;
  bool inside;
};

class Cone : public testing::TestWithParam<ConeCase> {};

TEST_P(Cone, TruncatedConeWithEndSpheres)
{
  const ConeCase &c = GetParam();
  const double segment[6] = {0, 0, 0, 0, 0, 10};
  EXPECT_EQ(PointInConeSegment(c.p, segment, c.r1, c.r2, c.tolerance), c.inside)
      << c.p[0] << "," << c.p[1] << "," << c.p[2];
  if (c.tolerance == 0) {
    EXPECT_EQ(PointInCone(c.p, segment, c.r1, c.r2), c.inside);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, Cone,
    testing::Values(ConeCase{{1, 0, 5}, 1, 1, 0, true}, ConeCase{{1.01, 0, 5}, 1, 1, 0, false},
                    ConeCase{{0, 0, -1}, 1, 1, 0, true}, ConeCase{{0, 0, -1.01}, 1, 1, 0, false},
                    ConeCase{{0, 0, 11.5}, 1, 1, 0, false}, ConeCase{{0, 0, 11.5}, 1, 2, 0, true},
                    ConeCase{{1.4, 0, 5}, 1, 2, 0, true}, ConeCase{{1.6, 0, 5}, 1, 2, 0, false},
                    ConeCase{{0.6, 0.8, 0}, 1, 2, 0, true}, ConeCase{{1.0000001, 0, 5}, 1, 1, 0, false},
                    ConeCase{{1.0000001, 0, 5}, 1, 1, 1e-6, true},
                    ConeCase{{1.001, 0, 5}, 1, 1, 1e-6, false}));

struct CompareCase {
  double a;
  double b;
  double tolerance;
  int expected;
};

class Compare : public testing::TestWithParam<CompareCase> {};

TEST_P(Compare, RelativeTolerance)
{
  const CompareCase &c = GetParam();
  EXPECT_EQ(CompareDoubles(c.a, c.b, c.tolerance), c.expected) << c.a << " " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Anchors, Compare,
                         testing::Values(CompareCase{1.0, 1.0 + 1e-9, 1e-6, 0},
                                         CompareCase{1.0, 1.1, 1e-6, -1}, CompareCase{1.1, 1.0, 1e-6, 1},
                                         CompareCase{0.5, 1.0, 0.3, 0}, CompareCase{1.0, 0.5, 0.3, 0},
                                         CompareCase{1.0, 4.0, 1.0, -1}, CompareCase{4.0, 1.0, 1.0, 1},
                                         CompareCase{0.0, 0.0, 1e-9, 0}, CompareCase{-1.0, 1.0, 1e-9, -1},
                                         CompareCase{1e6, 1e6 * (1 + 1e-12), 1e-9, 0}));

} // namespace
