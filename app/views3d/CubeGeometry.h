#pragma once
// The geometry of the cube view without GL or Qt: rotations, the box and its
// visible edges, section outlines and their texture layout, the camera, the
// placement of cone bodies and the picking of segments and section points.
//
// Matrices are double[9] row-major and act on column vectors; points double[3].
#include "views3d/CubeViewRecords.h"

#include <array>
#include <vector>

void CubeRotationX(double a, double m[9]);
void CubeRotationZ(double a, double m[9]);
void CubeIdentity(double m[9]);

// The box corners in cube coordinates, and the twelve edges as corner pairs.
extern const double CubeBoxCorners[8][3];
extern const int CubeBoxEdgeCorners[12][2];

struct TCubeBoxEdge {
  double a[3];
  double b[3];
  bool visible;
};

// The twelve edges between the corners in view coordinates; an edge that ends
// in the deepest corner (largest view y) is hidden.
void CubeBoxEdges(const double cornersView[8][3], TCubeBoxEdge edges[12]);

// The outline of a plane n . p = shift cut through the scaled box: at most 12
// points, ordered so that each neighbours the last on a common box face.
int CubeSectionOutline(const double plane[4], const double cornersScaled[8][3], const double scales[3],
                       double outline[12][3]);

// How a section outline maps onto its texture.
struct TCubeSectionTexture {
  double uMin = 0, uMax = 0, vMin = 0, vMax = 0; // outline bounds in the section frame
  int width = 2, height = 2;                     // powers of two, 2 .. 1024
  double k = 0;                                  // texture pixels per unit
  int ox = 0, oy = 0;                            // texture pixel of the section origin
  double st[12][2] = {};                         // texture coordinates of each outline vertex
};

// The layout for an outline of count (> 2) vertices; viewScale is screen pixels
// per unit, so the texture stays near the section's size on screen.
TCubeSectionTexture CubeSectionTextureLayout(const double outline[12][3], int count, const double matrix[9],
                                             double viewScale);

// The perspective of the OpenGL picture at a camera distance and zoom.
struct TCubeCamera {
  double distance = 5;
  double fovY = 0;
  double nearPlane = 0;
  double farPlane = 0;
};
inline constexpr double CubeMinCameraDistance = 1.9;
inline constexpr double CubeMaxFovY = 170;
TCubeCamera CubeCamera(double distance, double zoom);

// A cone body in world units (cube coordinates times the half extents): its
// base at the end with the larger radius, turned so that +z runs to the other end.
struct TCubeConeBody {
  enum Shape { Nothing, Sphere, Cylinder, Cone } shape = Nothing;
  double base[3] = {};
  double theta = 0, phi = 0; // radians: the turn is Rz(phi) * Rx(theta)
  double length = 0;         // between the two centres
  double bigRadius = 0;
  double smallRadius = 0;    // the radius of the far sphere
  double coneShift = 0;      // the cone starts this far from the base along z
  double coneRadius = 0;
  double coneHeight = 0;
  double clipAt = 0;         // the cone is cut off beyond this z
};
TCubeConeBody CubeConeBody(const CubeBodyStyle& style, const double p1[3], const double p2[3],
                           const double halfExtents[3]);
// The turn Rz(phi) * Rx(theta) as a matrix; it takes +z to the direction the angles name.
void CubeConeRotation(double theta, double phi, double m[9]);

// The index of the segment whose second end lies nearest the line (the first on
// ties), or -1 without segments. Segments are 6 doubles each in view coordinates.
int CubePickSegment(const double origin[3], const double direction[3], const std::vector<double>& segmentsView);

// Where the line meets each section plane inside the scaled box, nearest the
// viewer (smallest view y) first, as cube coordinates in [-1, 1].
std::vector<std::array<double, 3>> CubePickSectionPoints(const double origin[3], const double direction[3],
                                                         const double (*planesView)[4], int sectionCount,
                                                         const double rotation[9], const double scales[3]);
