#pragma once

// Points, lines, planes and 3x3 matrices in double precision for the 3D views
// (rotations, camera angles, plane cuts) and the electrode stamping (cone test).
//
// A point or vector is double[3]; a matrix double[9], row-major (row r, column
// c at 3r + c); a plane double[4] (a, b, c, d) for a*x + b*y + c*z = d; a line
// or segment double[6]: origin o then direction d, the segment running from o
// to o + d. Outputs of Matrix3Multiply and Matrix3Apply must not alias inputs.

inline constexpr double GeometryNoValue = 1e300;

// Cuts the segment p1-p2 with the plane; returns the parameter (0 at p1, 1 at
// p2) and the point, or GeometryNoValue (point untouched) when parallel.
double PlaneSegmentIntersect(const double plane[4], const double p1[3], const double p2[3], double out[3]);
// Inverse by cofactors; callers pass rotation matrices, so there is no test
// for a singular one.
void Matrix3Invert(const double m[9], double out[9]);
void Matrix3Multiply(double out[9], const double a[9], const double b[9]);
void Matrix3Apply(double out[3], const double m[9], const double v[3]);
void MatrixToAnglesA(const double m[9], double &first, double &second);
void MatrixToAnglesB(const double m[9], double &first, double &second);
// Polar angle from the z axis, azimuth atan2(x, -y) (0 on the axis).
void DirectionToAngles(const double v[3], double &polar, double &azimuth);
// Rotates v in place about the first (A) or the third (B) axis.
void RotationMatrixA(double v[3], double angle);
void RotationMatrixB(double v[3], double angle);
// Squared distance from p to the infinite line; its direction must not be 0.
double PointLineDistance2(const double p[3], const double line[6]);
// Inside the truncated cone around the segment (radius r1 at its start, r2 at
// its end) closed by spheres of those radii around both ends.
bool PointInCone(const double p[3], const double segment[6], double r1, double r2);
bool PointInConeSegment(const double p[3], const double segment[6], double r1, double r2, double tolerance);
// -1, 0 or 1; the tolerance is relative: the leading binary digits are compared
// at a common power-of-two scale.
int CompareDoubles(double a, double b, double tolerance);
