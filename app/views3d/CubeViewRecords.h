#pragma once
// The records that the 3D view windows hand to the cube frame, and the small
// records the frame keeps per segment, body, section position and isosurface
// level. Points are cube coordinates: the array's box is [-1, 1]^3.
#include "MeliscoTypes.h"

#include <cstdint>

// One line of the discharge tree.
struct CubeViewSegment {
  double width = 1;      // drawn with the line width width * width
  int32_t opacity = 0x10000; // 16.16, 0x10000 opaque
  COLORREF colour = 0;
  double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
};

enum CubeBodyKind : int32_t {
  CubeBodyBox = 0,       // the points are opposite corners
  CubeBodyEllipsoid = 1, // the points are opposite corners of its bounding box
  CubeBodyNone = 2,      // drawn as nothing
  CubeBodyCone = 3,      // two spheres (radius1 at the first point, radius2 at the
                         // second; radii in world units) joined by the cone touching both
};

// An electrode plate, a needle electrode or an inhomogeneity.
struct CubeViewBody {
  int32_t kind = CubeBodyBox;
  double radius1 = 0;
  double radius2 = 0;
  int32_t opacity = 0x10000;
  COLORREF colour = 0;
  double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
};

// A predefined section the user can move the current section to.
struct CubeSectionPosition {
  double matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}; // row-major section matrix
  double shift = 0;
  char name[256] = {};                            // zero-terminated UTF-8
};

// An isosurface level: 16 bytes in the settings image.
struct CubeIsoLevel {
  double level = 0;
  COLORREF frontColour = 0;
  COLORREF backColour = 0;
};
static_assert(sizeof(CubeIsoLevel) == 16);

// Per tree segment as drawn: the squared width, the colour and the opacity.
struct CubeSegmentStyle {
  double width2 = 1;
  COLORREF colour = 0;
  int32_t opacity = 0x10000;
};

struct CubeBodyStyle {
  int32_t kind = CubeBodyBox;
  double radius1 = 0;
  double radius2 = 0;
  int32_t opacity = 0x10000;
  COLORREF colour = 0;
};

// The mesh that an irregular array stands on, with the colour and the line
// width of its grid. The view window keeps it alive while the frame shows it.
class TCubeMeshSource {
public:
  virtual ~TCubeMeshSource() = default;
  // Null when the source holds no mesh.
  virtual TIrregularMesh* Mesh() const = 0;
  virtual COLORREF GridColour() const = 0;
  virtual double GridLineWidth() const = 0;
};

// The alpha byte of a 16.16 opacity, as segments and bodies are drawn.
inline int OpacityAlpha(int32_t opacity)
{
  int a = opacity >> 8;
  return a < 0 ? 0 : (a > 255 ? 255 : a);
}
