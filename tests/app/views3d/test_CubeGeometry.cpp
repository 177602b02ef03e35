#include "views3d/CubeGeometry.h"

#include "mesh/Geometry3D.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double Eps = 1e-12;

TEST(CubeBoxEdges, HidesTheEdgesOfTheDeepestCorner)
{
  double corners[8][3];
  double rotation[9], rz[9], rx[9];
  CubeRotationZ(0.3, rz);
  CubeRotationX(0.2, rx);
  Matrix3Multiply(rotation, rx, rz);
  for (int c = 0; c < 8; ++c)
    Matrix3Apply(corners[c], rotation, CubeBoxCorners[c]);
  int deepest = 0;
  for (int c = 1; c < 8; ++c)
    if (corners[c][1] > corners[deepest][1])
      deepest = c;
  TCubeBoxEdge edges[12];
  CubeBoxEdges(corners, edges);
  int hidden = 0;
  for (int e = 0; e < 12; ++e) {
    const bool touches = CubeBoxEdgeCorners[e][0] == deepest || CubeBoxEdgeCorners[e][1] == deepest;
    EXPECT_EQ(edges[e].visible, !touches) << "edge " << e;
    hidden += touches;
  }
  EXPECT_EQ(hidden, 3);
}

struct OutlineCase {
  const char* name;
  double plane[4];
  int vertices;
};

TEST(CubeSectionOutline, CutsThePlaneThroughTheScaledBox)
{
  const double scales[3] = {0.5, 1, 1};
  double corners[8][3];
  for (int c = 0; c < 8; ++c)
    for (int i = 0; i < 3; ++i)
      corners[c][i] = CubeBoxCorners[c][i] * scales[i];
  const OutlineCase cases[] = {
      {"horizontal through the centre", {0, 0, 1, 0}, 4},
      {"vertical, off centre", {1, 0, 0, 0.25}, 4},
      {"across a corner", {1, 1, 1, 2.2}, 3},
      {"through the middle of the diagonal", {1, 1, 1, 0}, 6},
      {"touching one corner", {1, 1, 1, 2.5}, 1},
      {"along an edge", {0, 1, 1, 2}, 2},
      {"outside", {0, 0, 1, 1.5}, 0},
  };
  for (const OutlineCase& c : cases) {
    double outline[12][3];
    const int n = CubeSectionOutline(c.plane, corners, scales, outline);
    EXPECT_EQ(n, c.vertices) << c.name;
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(c.plane[0] * outline[i][0] + c.plane[1] * outline[i][1] + c.plane[2] * outline[i][2],
                  c.plane[3], 1e-9)
          << c.name;
      // Neighbours share a box face, so the outline is a convex loop.
      const double* a = outline[i];
      const double* b = outline[(i + 1) % n];
      bool shared = false;
      for (int k = 0; k < 3; ++k)
        shared |= a[k] == b[k] && std::fabs(a[k]) >= scales[k];
      EXPECT_TRUE(shared || n < 3) << c.name << " vertex " << i;
    }
  }
}

TEST(CubeSectionTextureLayout, MapsTheOutlineIntoTheTexture)
{
  const double outline[4][3] = {{-1, -0.5, 0}, {1, -0.5, 0}, {1, 0.5, 0}, {-1, 0.5, 0}};
  double fixed[12][3] = {};
  for (int i = 0; i < 4; ++i)
    std::copy(outline[i], outline[i] + 3, fixed[i]);
  double id[9];
  CubeIdentity(id);
  const TCubeSectionTexture t = CubeSectionTextureLayout(fixed, 4, id, 100);
  EXPECT_EQ(t.width, 128);  // 200 pixels wide on screen
  EXPECT_EQ(t.height, 64);  // 100 pixels high
  EXPECT_DOUBLE_EQ(t.k, 64);
  for (int i = 0; i < 4; ++i) {
    EXPECT_GE(t.st[i][0], 0);
    EXPECT_LE(t.st[i][0], 1);
    EXPECT_GE(t.st[i][1], 0);
    EXPECT_LE(t.st[i][1], 1);
  }
  // Degenerate and huge outlines stay within 2 .. 1024 pixels.
  EXPECT_EQ(CubeSectionTextureLayout(fixed, 4, id, 1e-9).width, 2);
  EXPECT_EQ(CubeSectionTextureLayout(fixed, 4, id, 1e300).width, 1024);
}

TEST(CubeCamera, KeepsTheDistanceAndTheViewAngleInRange)
{
  const TCubeCamera near = CubeCamera(1, 1);
  EXPECT_DOUBLE_EQ(near.distance, 1.9);
  EXPECT_NEAR(near.nearPlane, 0.1, Eps);
  EXPECT_NEAR(near.farPlane, 3.7, Eps);
  const TCubeCamera normal = CubeCamera(5, 1);
  EXPECT_NEAR(normal.fovY, std::atan(4 / (std::sqrt(3.0) * 5)) * 1.8 * 180 / M_PI, 1e-9);
  // Zoom 0.248 would open the view to 180 degrees; the smallest zoom allowed is 0.2.
  for (double zoom : {0.248, 0.2})
    EXPECT_EQ(CubeCamera(5, zoom).fovY, CubeMaxFovY) << zoom;
  EXPECT_NEAR(CubeCamera(5, 2).fovY, normal.fovY / 2, 1e-9);
}

// The cone's own +z axis, turned by its angles, must point from the base to the other end.
TEST(CubeConeBody, PointsAlongItsSegmentInEveryDirection)
{
  const double directions[][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0},
                                  {0, 0, 1}, {0, 0, -1}, {0.3, -0.4, 0.5}};
  const double half[3] = {1, 1, 1};
  const CubeBodyStyle style{CubeBodyCone, 0.2, 0.05, 0x10000, 0};
  for (const auto& d : directions) {
    const double p1[3] = {0, 0, 0};
    const double p2[3] = {d[0], d[1], d[2]};
    const TCubeConeBody body = CubeConeBody(style, p1, p2, half);
    ASSERT_EQ(body.shape, TCubeConeBody::Cone);
    double m[9];
    CubeConeRotation(body.theta, body.phi, m);
    const double z[3] = {0, 0, 1};
    double axis[3];
    Matrix3Apply(axis, m, z);
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(axis[i], d[i] / length, 1e-12) << d[0] << " " << d[1] << " " << d[2];
    EXPECT_NEAR(body.length, length, 1e-12);
  }
}

TEST(CubeConeBody, ChoosesItsShapeFromTheRadiiAndTheLength)
{
  const double half[3] = {2, 1, 0.5};
  const double a[3] = {0, 0, 0};
  const double b[3] = {0.5, 0, 0}; // one world unit along x
  struct Case {
    const char* name;
    double r1, r2;
    const double* p2;
    TCubeConeBody::Shape shape;
  } cases[] = {
      {"equal radii", 0.2, 0.2, b, TCubeConeBody::Cylinder},
      {"small sphere inside the big one", 1.5, 0.2, b, TCubeConeBody::Sphere},
      {"both ends at one point", 0.3, 0.1, a, TCubeConeBody::Sphere},
      {"no radius", 0, 0, b, TCubeConeBody::Nothing},
      {"a real cone", 0.3, 0.1, b, TCubeConeBody::Cone},
  };
  for (const Case& c : cases) {
    const CubeBodyStyle style{CubeBodyCone, c.r1, c.r2, 0x10000, 0};
    const TCubeConeBody body = CubeConeBody(style, a, c.p2, half);
    EXPECT_EQ(body.shape, c.shape) << c.name;
    for (double v : {body.coneRadius, body.coneHeight, body.coneShift, body.clipAt, body.theta, body.phi})
      EXPECT_TRUE(std::isfinite(v)) << c.name;
  }
  // The larger radius sits at the base, which is the second point when radius2 is larger.
  const CubeBodyStyle reversed{CubeBodyCone, 0.1, 0.3, 0x10000, 0};
  const TCubeConeBody body = CubeConeBody(reversed, a, b, half);
  EXPECT_DOUBLE_EQ(body.base[0], 1); // world units: 0.5 * half extent 2
  EXPECT_DOUBLE_EQ(body.bigRadius, 0.3);
  // The cone touches both spheres: it ends where its tangent meets the small one.
  EXPECT_NEAR(body.coneShift + body.coneHeight, body.bigRadius * body.length / (0.3 - 0.1), 1e-12);
}

TEST(CubePickSegment, FindsTheSegmentEndNearestTheLine)
{
  const std::vector<double> segments = {0, 0, 0, 0.5, 0, 0.5,   // ends off the line
                                        0, 0, 0, 0.1, 3, 0.0,   // ends near the line
                                        0, 0, 0, 0.1, -3, 0.0}; // as near: the first wins
  const double origin[3] = {0, -5, 0}, direction[3] = {0, 1, 0};
  EXPECT_EQ(CubePickSegment(origin, direction, segments), 1);
  EXPECT_EQ(CubePickSegment(origin, direction, {}), -1);
}

TEST(CubePickSectionPoints, OrdersTheCrossingsInsideTheBoxFromTheViewer)
{
  double rotation[9];
  CubeIdentity(rotation);
  const double scales[3] = {1, 0.5, 1};
  // Planes y = 0.25, y = -0.25 and y = 0.9 (outside the scaled box), x = 0 (parallel to the line).
  const double planes[4][4] = {{0, 1, 0, 0.25}, {0, 1, 0, -0.25}, {0, 1, 0, 0.9}, {1, 0, 0, 0}};
  const double origin[3] = {0.5, -5, 0.2}, direction[3] = {0, 1, 0};
  const auto points = CubePickSectionPoints(origin, direction, planes, 4, rotation, scales);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_DOUBLE_EQ(points[0][1], -0.5); // cube coordinates: divided by the scale
  EXPECT_DOUBLE_EQ(points[1][1], 0.5);
  EXPECT_DOUBLE_EQ(points[0][0], 0.5);
  EXPECT_DOUBLE_EQ(points[0][2], 0.2);
}

} // namespace
