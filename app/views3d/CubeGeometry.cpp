#include "views3d/CubeGeometry.h"

#include "mesh/Geometry3D.h"

#include <algorithm>
#include <cmath>
#include <cstring>

const double CubeBoxCorners[8][3] = {{1, 1, 1},  {1, 1, -1},  {-1, 1, -1},  {-1, 1, 1},
                                     {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}, {-1, -1, 1}};
const int CubeBoxEdgeCorners[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 5},
                                       {2, 6}, {3, 7}, {4, 5}, {5, 6}, {6, 7}, {7, 4}};

void CubeIdentity(double m[9])
{
  const double id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::memcpy(m, id, sizeof id);
}

void CubeRotationX(double a, double m[9])
{
  const double c = std::cos(a), s = std::sin(a);
  const double r[9] = {1, 0, 0, 0, c, -s, 0, s, c};
  std::memcpy(m, r, sizeof r);
}

void CubeRotationZ(double a, double m[9])
{
  const double c = std::cos(a), s = std::sin(a);
  const double r[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
  std::memcpy(m, r, sizeof r);
}

void CubeBoxEdges(const double cornersView[8][3], TCubeBoxEdge edges[12])
{
  double deepest = cornersView[0][1];
  for (int i = 1; i < 8; ++i)
    deepest = std::max(deepest, cornersView[i][1]);
  for (int e = 0; e < 12; ++e) {
    const double* a = cornersView[CubeBoxEdgeCorners[e][0]];
    const double* b = cornersView[CubeBoxEdgeCorners[e][1]];
    std::copy(a, a + 3, edges[e].a);
    std::copy(b, b + 3, edges[e].b);
    edges[e].visible = a[1] != deepest && b[1] != deepest;
  }
}

namespace {

bool OnSameBoxFace(const double a[3], const double b[3], const double scales[3])
{
  for (int i = 0; i < 3; ++i)
    if (a[i] == b[i] && (a[i] <= -scales[i] || a[i] >= scales[i]))
      return true;
  return false;
}

int FloorPowerOfTwo(double extent)
{
  // Degenerate and huge outlines end at the clamp instead of in an overflowing conversion.
  if (!(extent >= 2))
    return 2;
  if (extent >= 1024)
    return 1024;
  return 1 << static_cast<int>(std::floor(std::log2(extent)));
}

} // namespace

int CubeSectionOutline(const double plane[4], const double cornersScaled[8][3], const double scales[3],
                       double outline[12][3])
{
  double found[12][3];
  int count = 0;
  for (int e = 0; e < 12; ++e) {
    double p[3];
    const double t = PlaneSegmentIntersect(plane, cornersScaled[CubeBoxEdgeCorners[e][0]],
                                           cornersScaled[CubeBoxEdgeCorners[e][1]], p);
    if (!(t >= 0 && t <= 1))
      continue;
    bool repeated = false;
    for (int i = 0; i < count && !repeated; ++i)
      repeated = found[i][0] == p[0] && found[i][1] == p[1] && found[i][2] == p[2];
    if (!repeated)
      std::copy(p, p + 3, found[count++]);
  }
  if (count == 0)
    return 0;
  bool taken[12] = {};
  int n = 0;
  int last = 0;
  taken[0] = true;
  std::copy(found[0], found[0] + 3, outline[n++]);
  for (;;) {
    int next = -1;
    for (int i = 0; i < count && next < 0; ++i)
      if (!taken[i] && OnSameBoxFace(found[last], found[i], scales))
        next = i;
    if (next < 0)
      break;
    taken[next] = true;
    std::copy(found[next], found[next] + 3, outline[n++]);
    last = next;
  }
  return n;
}

TCubeSectionTexture CubeSectionTextureLayout(const double outline[12][3], int count, const double matrix[9],
                                             double viewScale)
{
  TCubeSectionTexture layout;
  double inverse[9];
  Matrix3Invert(matrix, inverse);
  double uv[12][2];
  for (int i = 0; i < count; ++i) {
    double local[3];
    Matrix3Apply(local, inverse, outline[i]);
    uv[i][0] = local[0];
    uv[i][1] = local[1];
    if (i == 0) {
      layout.uMin = layout.uMax = local[0];
      layout.vMin = layout.vMax = local[1];
    } else {
      layout.uMin = std::min(layout.uMin, local[0]);
      layout.uMax = std::max(layout.uMax, local[0]);
      layout.vMin = std::min(layout.vMin, local[1]);
      layout.vMax = std::max(layout.vMax, local[1]);
    }
  }
  const double du = layout.uMax - layout.uMin, dv = layout.vMax - layout.vMin;
  layout.width = FloorPowerOfTwo(du * viewScale);
  layout.height = FloorPowerOfTwo(dv * viewScale);
  double k = std::min(du > 0 ? layout.width / du : 0.0, dv > 0 ? layout.height / dv : 0.0);
  if (!std::isfinite(k))
    k = 0;
  layout.k = k;
  layout.ox = static_cast<int>(std::clamp(-layout.uMin * k, -1e9, 1e9));
  layout.oy = static_cast<int>(std::clamp(layout.vMax * k, -1e9, 1e9));
  for (int i = 0; i < count; ++i) {
    layout.st[i][0] = (uv[i][0] * k + layout.ox) / layout.width;
    layout.st[i][1] = (layout.oy - uv[i][1] * k) / layout.height;
  }
  return layout;
}

TCubeCamera CubeCamera(double distance, double zoom)
{
  TCubeCamera camera;
  camera.distance = std::isfinite(distance) ? std::max(distance, CubeMinCameraDistance) : 5.0;
  const double r = camera.distance;
  double fov = std::atan(4 / (std::sqrt(3.0) * r)) * (1.8 / zoom) * 180 / M_PI;
  // A wide angle near 180 degrees turns the perspective inside out; small zooms stop here.
  if (!(fov <= CubeMaxFovY))
    fov = CubeMaxFovY;
  camera.fovY = fov;
  camera.nearPlane = r - 1.8;
  camera.farPlane = r + 1.8;
  return camera;
}

void CubeConeRotation(double theta, double phi, double m[9])
{
  double rz[9], rx[9];
  CubeRotationZ(phi, rz);
  CubeRotationX(theta, rx);
  Matrix3Multiply(m, rz, rx);
}

TCubeConeBody CubeConeBody(const CubeBodyStyle& style, const double p1[3], const double p2[3],
                           const double halfExtents[3])
{
  TCubeConeBody body;
  const bool firstIsBase = style.radius2 <= style.radius1;
  const double* from = firstIsBase ? p1 : p2;
  const double* to = firstIsBase ? p2 : p1;
  const double bigR = firstIsBase ? style.radius1 : style.radius2;
  const double smallR = firstIsBase ? style.radius2 : style.radius1;
  double d[3];
  for (int i = 0; i < 3; ++i) {
    body.base[i] = from[i] * halfExtents[i];
    d[i] = (to[i] - from[i]) * halfExtents[i];
  }
  if (!(bigR > 0) || !std::isfinite(bigR))
    return body;
  const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (!std::isfinite(length))
    return body;
  DirectionToAngles(d, body.theta, body.phi);
  body.length = length;
  body.bigRadius = bigR;
  body.smallRadius = std::max(smallR, 0.0);
  if ((bigR - body.smallRadius) / bigR < 0.001) {
    body.shape = TCubeConeBody::Cylinder;
    body.smallRadius = bigR;
    return body;
  }
  // The small sphere inside the big one leaves no cone to draw.
  if (length <= bigR - body.smallRadius) {
    body.shape = TCubeConeBody::Sphere;
    return body;
  }
  const double s = (bigR - body.smallRadius) / length;
  const double c = std::sqrt(1 - s * s);
  body.shape = TCubeConeBody::Cone;
  body.coneShift = bigR * s;
  body.coneRadius = bigR * c;
  body.coneHeight = bigR * c * c / s;
  body.clipAt = body.smallRadius * s + length;
  return body;
}

int CubePickSegment(const double origin[3], const double direction[3], const std::vector<double>& segmentsView)
{
  if (direction[0] == 0 && direction[1] == 0 && direction[2] == 0)
    return -1;
  const double line[6] = {origin[0], origin[1], origin[2], direction[0], direction[1], direction[2]};
  int best = -1;
  double bestDistance = 0;
  const size_t count = segmentsView.size() / 6;
  for (size_t i = 0; i < count; ++i) {
    const double d = PointLineDistance2(&segmentsView[6 * i + 3], line);
    if (best < 0 || d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    }
  }
  return best;
}

std::vector<std::array<double, 3>> CubePickSectionPoints(const double origin[3], const double direction[3],
                                                         const double (*planesView)[4], int sectionCount,
                                                         const double rotation[9], const double scales[3])
{
  double inverse[9];
  Matrix3Invert(rotation, inverse);
  const double far[3] = {origin[0] + direction[0], origin[1] + direction[1], origin[2] + direction[2]};
  std::vector<std::array<double, 3>> view;
  std::vector<std::array<double, 3>> cube;
  for (int s = 0; s < sectionCount; ++s) {
    double p[3];
    if (PlaneSegmentIntersect(planesView[s], origin, far, p) == GeometryNoValue)
      continue;
    double q[3];
    Matrix3Apply(q, inverse, p);
    if (!(std::fabs(q[0]) <= scales[0] && std::fabs(q[1]) <= scales[1] && std::fabs(q[2]) <= scales[2]))
      continue;
    size_t at = 0;
    while (at < view.size() && view[at][1] <= p[1])
      ++at;
    view.insert(view.begin() + static_cast<std::ptrdiff_t>(at), {p[0], p[1], p[2]});
    cube.insert(cube.begin() + static_cast<std::ptrdiff_t>(at), {q[0] / scales[0], q[1] / scales[1], q[2] / scales[2]});
  }
  return cube;
}
