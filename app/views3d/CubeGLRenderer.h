#pragma once
// TCubeGLRenderer: draws a TCubeView with OpenGL 1.1 and GLU into the context
// that is current when its operations run (the frame makes it current): the
// box, the mesh grid, the tree segments, the bodies and the sections as
// textured, partly transparent pieces. It owns the section textures and
// remembers the matrices of the last frame for picking.
#include "views3d/CubeGeometry.h"
#include "views3d/CubeIsosurfaces.h"
#include "views3d/RndPgns.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <vector>

class TCubeView;
class TCubeSectionPainter;

class TCubeGLRenderer {
public:
  // The state of a new context and the section texture names.
  void Init(TCubeView& view);
  // Frees the texture names; the context must still be current.
  void Done();
  bool Ready() const { return ready_; }
  // One frame of width x height pixels.
  void Render(TCubeView& view, int width, int height);
  // The line under window pixel (x, y) (y from the top) in view coordinates,
  // by the matrices of the last frame; false before the first frame.
  bool UnProjectRay(int x, int y, double origin[3], double direction[3]) const;
  void SetSectionPainter(TCubeSectionPainter* painter) { painter_ = painter; }

  // A section's outline in scaled cube coordinates with its texture layout.
  struct TSectionOutline {
    int count = 0;
    double points[12][3] = {};
    TCubeSectionTexture layout;
  };
  // A transparent piece of a section in view coordinates, in drawing order.
  struct TPiece {
    int section = 0;
    double normal[3] = {};
    std::vector<std::array<double, 5>> vertices; // x, y, z, s, t
  };
  const TSectionOutline& Outline(int section) const { return outlines_[section]; }
  const std::vector<TPiece>& Pieces() const { return pieces_; }
  const TCubeIsosurfaces& Isosurfaces() const { return isosurfaces_; }

private:
  void SetLight(const TCubeView& view);
  void SetClipPlanes();
  void DrawBox(const TCubeView& view);
  void DrawMeshGrid(const TCubeView& view);
  void DrawSegments(const TCubeView& view);
  void DrawBodies(const TCubeView& view);
  void DrawIsosurfaces(const TCubeView& view);
  void DrawConeBody(const TCubeView& view, const CubeBodyStyle& style, const double* points);
  void BuildSectionTextures(TCubeView& view);
  void BuildPieces(const TCubeView& view);
  void DrawPieceOutlines();
  void DrawPieces();

  bool ready_ = false;
  GLuint textureNames_[10] = {};
  std::vector<uint8_t> texturePixels_[10];
  TSectionOutline outlines_[10];
  std::vector<TPiece> pieces_;
  TRndPgns rndPieces_;
  TCubeIsosurfaces isosurfaces_;
  TCubeSectionPainter* painter_ = nullptr;
  bool framed_ = false;
  double modelView_[16] = {};
  double projection_[16] = {};
  GLint viewport_[4] = {};
};
