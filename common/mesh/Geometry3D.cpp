#include "mesh/Geometry3D.h"

#include <cmath>

namespace {

// Sums are formed in extended precision and stored as doubles, which keeps
// the cone test stable for points right on the surface.
using Wide = long double;

Wide Dot(const double a[3], const double b[3])
{
  return static_cast<Wide>(a[0]) * b[0] + static_cast<Wide>(a[1]) * b[1] + static_cast<Wide>(a[2]) * b[2];
}

} // namespace

double PlaneSegmentIntersect(const double plane[4], const double p1[3], const double p2[3], double out[3])
{
  const double diff[3] = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
  double den = static_cast<double>(Dot(plane, diff));
  if (den == 0)
    return GeometryNoValue;
  double t = static_cast<double>((Dot(plane, p1) - plane[3]) / den);
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<double>(p1[i] + static_cast<Wide>(p2[i] - p1[i]) * t);
  return t;
}

void Matrix3Invert(const double m[9], double out[9])
{
  Wide det = (static_cast<Wide>(m[4]) * m[8] - static_cast<Wide>(m[7]) * m[5]) * m[0] -
             (static_cast<Wide>(m[3]) * m[8] - static_cast<Wide>(m[6]) * m[5]) * m[1] +
             (static_cast<Wide>(m[3]) * m[7] - static_cast<Wide>(m[6]) * m[4]) * m[2];
  double k = static_cast<double>(1 / det);
  auto minor = [m](int a, int b, int c, int d) {
    return static_cast<Wide>(m[a]) * m[b] - static_cast<Wide>(m[c]) * m[d];
  };
  out[0] = static_cast<double>(minor(4, 8, 5, 7) * k);
  out[1] = static_cast<double>(-minor(1, 8, 2, 7) * k);
  out[2] = static_cast<double>(minor(1, 5, 2, 4) * k);
  out[3] = static_cast<double>(-minor(3, 8, 5, 6) * k);
  out[4] = static_cast<double>(minor(0, 8, 2, 6) * k);
  out[5] = static_cast<double>(-minor(0, 5, 2, 3) * k);
  out[6] = static_cast<double>(minor(3, 7, 4, 6) * k);
  out[7] = static_cast<double>(-minor(0, 7, 1, 6) * k);
  out[8] = static_cast<double>(minor(0, 4, 1, 3) * k);
}

void Matrix3Multiply(double out[9], const double a[9], const double b[9])
{
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      out[3 * i + j] = static_cast<double>(static_cast<Wide>(a[3 * i]) * b[j] +
                                           static_cast<Wide>(a[3 * i + 1]) * b[3 + j] +
                                           static_cast<Wide>(a[3 * i + 2]) * b[6 + j]);
}

void Matrix3Apply(double out[3], const double m[9], const double v[3])
{
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<double>(Dot(m + 3 * i, v));
}

void MatrixToAnglesA(const double m[9], double &first, double &second)
{
  first = std::atan2(-m[5], m[8]);
  second = std::atan2(-m[1], m[0]);
}

void MatrixToAnglesB(const double m[9], double &first, double &second)
{
  first = std::atan2(m[7], m[8]);
  second = std::atan2(m[3], m[0]);
}

void DirectionToAngles(const double v[3], double &polar, double &azimuth)
{
  polar = std::atan2(std::sqrt(v[0] * v[0] + v[1] * v[1]), v[2]);
  azimuth = (v[0] != 0 || v[1] != 0) ? std::atan2(v[0], -v[1]) : 0.0;
}

void RotationMatrixA(double v[3], double angle)
{
  double c = std::cos(angle), s = std::sin(angle);
  const double m[9] = {1, 0, 0, 0, c, -s, 0, s, c};
  double t[3];
  Matrix3Apply(t, m, v);
  v[0] = t[0], v[1] = t[1], v[2] = t[2];
}

void RotationMatrixB(double v[3], double angle)
{
  double c = std::cos(angle), s = std::sin(angle);
  const double m[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
  double t[3];
  Matrix3Apply(t, m, v);
  v[0] = t[0], v[1] = t[1], v[2] = t[2];
}

double PointLineDistance2(const double p[3], const double line[6])
{
  const double *o = line;
  const double *d = line + 3;
  const double w[3] = {p[0] - o[0], p[1] - o[1], p[2] - o[2]};
  double t = static_cast<double>(Dot(d, w) / Dot(d, d));
  const double q[3] = {w[0] - t * d[0], w[1] - t * d[1], w[2] - t * d[2]};
  return static_cast<double>(Dot(q, q));
}

bool PointInConeSegment(const double p[3], const double segment[6], double r1, double r2, double tolerance)
{
  const double *o = segment;
  const double *d = segment + 3;
  const double w[3] = {p[0] - o[0], p[1] - o[1], p[2] - o[2]};
  double t = static_cast<double>(Dot(d, w) / Dot(d, d));
  if (t < 0)
    return Dot(w, w) <= static_cast<Wide>(r1) * r1;
  if (t > 1) {
    const double e[3] = {p[0] - (o[0] + d[0]), p[1] - (o[1] + d[1]), p[2] - (o[2] + d[2])};
    return Dot(e, e) <= static_cast<Wide>(r2) * r2;
  }
  const double q[3] = {w[0] - t * d[0], w[1] - t * d[1], w[2] - t * d[2]};
  double dist2 = static_cast<double>(Dot(q, q));
  double r = r1 + (r2 - r1) * t;
  double rr = r * r;
  if (tolerance == 0)
    return dist2 <= rr;
  return dist2 < rr || CompareDoubles(dist2, rr, tolerance) == 0;
}

bool PointInCone(const double p[3], const double segment[6], double r1, double r2)
{
  return PointInConeSegment(p, segment, r1, r2, 0.0);
}

int CompareDoubles(double a, double b, double tolerance)
{
  int ea = 0, eb = 0;
  double ma = std::frexp(a, &ea);
  double mb = std::frexp(b, &eb);
  if (ea - eb == 1) {
    mb *= 0.5;
    ++eb;
  } else if (eb - ea == 1) {
    ma *= 0.5;
    ++ea;
  }
  if (ea == eb) {
    if (std::fabs(ma - mb) < tolerance)
      return 0;
    return ma >= mb ? 1 : -1;
  }
  return a >= b ? 1 : -1;
}
