#include "views3d/CubeGLRenderer.h"

#include "views3d/CubeSectionPainter.h"
#include "views3d/CubeSolids.h"
#include "views3d/CubeView.h"

#include "mesh/Geometry3D.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double RadToDeg = 180 / M_PI;

// Colours of the mesh faces, used in turn. The entries between the first ten
// and the last three continue their style: web-safe colours (components in
// steps of 51), five shades per hue from light to dark.
const uint8_t MeshPalette[73][3] = {
    {0, 51, 153},    {0, 0, 102},     {51, 102, 153},  {0, 204, 255},   {153, 255, 255}, {153, 204, 204},
    {102, 153, 153}, {51, 102, 102},  {0, 51, 51},     {0, 102, 51},
    {0, 153, 102},   {51, 204, 153},  {102, 255, 153}, {51, 153, 51},   {0, 102, 0},
    {153, 204, 51},  {204, 255, 102}, {153, 204, 0},   {102, 153, 0},   {51, 102, 0},
    {255, 255, 102}, {255, 255, 0},   {204, 204, 51},  {153, 153, 0},   {102, 102, 0},
    {255, 204, 102}, {255, 153, 0},   {204, 153, 51},  {153, 102, 0},   {102, 51, 0},
    {255, 153, 153}, {255, 102, 102}, {255, 0, 0},     {204, 0, 0},     {153, 0, 0},
    {204, 102, 102}, {153, 51, 51},   {102, 0, 0},     {153, 102, 102}, {102, 51, 51},
    {255, 204, 204}, {255, 153, 204}, {255, 102, 153}, {204, 51, 102},  {153, 0, 51},
    {255, 102, 255}, {255, 0, 255},   {204, 51, 204},  {153, 0, 153},   {102, 0, 102},
    {204, 153, 255}, {204, 102, 255}, {153, 51, 204},  {102, 0, 153},   {51, 0, 102},
    {204, 204, 255}, {153, 153, 204}, {102, 102, 153}, {51, 51, 102},   {0, 0, 51},
    {102, 204, 255}, {51, 153, 255},  {0, 102, 204},   {0, 51, 102},    {51, 102, 204},
    {153, 153, 255}, {102, 102, 255}, {51, 51, 255},   {0, 0, 204},     {51, 51, 204},
    {102, 51, 255},  {51, 0, 153},    {51, 0, 204}};

const double ClipPlanes[6][4] = {{-1, 0, 0, 1.01}, {1, 0, 0, 1.01}, {0, -1, 0, 1.01},
                                 {0, 1, 0, 1.01},  {0, 0, -1, 1.01}, {0, 0, 1, 1.01}};

void ColourWithOpacity(COLORREF colour, int32_t opacity)
{
  glColor4ub(static_cast<GLubyte>(colour & 0xFF), static_cast<GLubyte>((colour >> 8) & 0xFF),
             static_cast<GLubyte>((colour >> 16) & 0xFF), static_cast<GLubyte>(OpacityAlpha(opacity)));
}

// Walks the palette across all the faces of one grid drawing.
class TPaletteWalk {
public:
  void Next()
  {
    glColor3ubv(MeshPalette[index_]);
    index_ = (index_ + 1) % 73;
  }

private:
  int index_ = 0;
};

// The mesh's nodes in cube coordinates.
class TMeshNodes {
public:
  explicit TMeshNodes(const TIrregularMesh& mesh) : mesh_(mesh)
  {
    const int32_t nodes3d = mesh.nodeColumns ? mesh.nodeColumns[mesh.nodeCount] : 0;
    plane_.assign(static_cast<size_t>(std::max(nodes3d, 0)), 0);
    for (int32_t n = 0; n < mesh.nodeCount; ++n)
      for (int32_t k = mesh.nodeColumns[n]; k < mesh.nodeColumns[n + 1] && k < nodes3d; ++k)
        plane_[static_cast<size_t>(k)] = n;
    auto scale = [](double lo, double hi) { return hi > lo ? 2 / (hi - lo) : 1.0; };
    centre_[0] = (mesh.minX + mesh.maxX) / 2, scale_[0] = scale(mesh.minX, mesh.maxX);
    centre_[1] = (mesh.minY + mesh.maxY) / 2, scale_[1] = -scale(mesh.minY, mesh.maxY);
    centre_[2] = (mesh.minZ + mesh.maxZ) / 2, scale_[2] = -scale(mesh.minZ, mesh.maxZ);
  }
  bool Valid(int32_t node) const { return node >= 0 && static_cast<size_t>(node) < plane_.size(); }
  void Point(int32_t node, double p[3]) const
  {
    const int32_t n = plane_[static_cast<size_t>(node)];
    const double raw[3] = {mesh_.nodeXY[2 * n], mesh_.nodeXY[2 * n + 1], mesh_.nodeZ[node]};
    for (int i = 0; i < 3; ++i)
      p[i] = (raw[i] - centre_[i]) * scale_[i];
  }

private:
  const TIrregularMesh& mesh_;
  std::vector<int32_t> plane_;
  double centre_[3] = {}, scale_[3] = {};
};

void DrawFace(const TMeshNodes& nodes, const int32_t* face, bool surfaces, bool withNormal)
{
  double p[3][3];
  for (int i = 0; i < 3; ++i) {
    if (!nodes.Valid(face[i]))
      return;
    nodes.Point(face[i], p[i]);
  }
  if (withNormal) {
    const double a[3] = {p[0][0] - p[1][0], p[0][1] - p[1][1], p[0][2] - p[1][2]};
    const double b[3] = {p[2][0] - p[1][0], p[2][1] - p[1][1], p[2][2] - p[1][2]};
    double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0)
      for (double& v : n)
        v /= length;
    glNormal3dv(n);
  }
  glBegin(surfaces ? GL_TRIANGLES : GL_LINE_LOOP);
  for (const double* q : p)
    glVertex3dv(q);
  glEnd();
}

} // namespace

void TCubeGLRenderer::Init(TCubeView& view)
{
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glEnable(GL_NORMALIZE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glFrontFace(GL_CCW);
  glEnable(GL_LINE_STIPPLE);
  glShadeModel(GL_SMOOTH);
  glClearColor(1, 1, 1, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glGenTextures(10, textureNames_);
  view.MarkSectionsStale();
  framed_ = false;
  ready_ = true;
}

void TCubeGLRenderer::Done()
{
  if (ready_)
    glDeleteTextures(10, textureNames_);
  ready_ = false;
  framed_ = false;
  pieces_.clear();
}

void TCubeGLRenderer::Render(TCubeView& view, int width, int height)
{
  if (view.Smoothing) {
    for (GLenum what : {GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH})
      glEnable(what);
    for (GLenum hint : {GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT, GL_POLYGON_SMOOTH_HINT})
      glHint(hint, GL_NICEST);
  } else {
    for (GLenum what : {GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH})
      glDisable(what);
  }
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (view.Marker != CubeReadyMarker || width < 10 || height < 10) {
    glFlush();
    return;
  }
  view.SetCameraDistance(view.CameraDistance);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(view.FovY, static_cast<double>(width) / height, view.NearPlane, view.FarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, -view.CameraDistance, 0, 0, 0, 0, view.CameraUp[0], view.CameraUp[1], view.CameraUp[2]);
  glPushMatrix();

  SetLight(view);
  double theta = 0, phi = 0;
  view.GetRotationAngles(&theta, &phi);
  glRotated(theta * RadToDeg, 1, 0, 0);
  glRotated(phi * RadToDeg, 0, 0, 1);
  if (view.LightMovesWithObject) {
    const GLfloat position[4] = {static_cast<GLfloat>(view.LightPosition[0]), static_cast<GLfloat>(view.LightPosition[1]),
                                 static_cast<GLfloat>(view.LightPosition[2]), static_cast<GLfloat>(view.LightPosition[3])};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
  }
  glScaled(view.AxisScaleX, view.AxisScaleY, view.AxisScaleZ);

  SetClipPlanes();
  DrawBox(view);
  if (view.GridMode != 0)
    DrawMeshGrid(view);
  if (view.ShowIsosurfaces)
    DrawIsosurfaces(view);
  DrawSegments(view);
  DrawBodies(view);
  glPopMatrix();

  glGetDoublev(GL_MODELVIEW_MATRIX, modelView_);
  glGetDoublev(GL_PROJECTION_MATRIX, projection_);
  glGetIntegerv(GL_VIEWPORT, viewport_);
  framed_ = true;

  BuildSectionTextures(view);
  BuildPieces(view);
  if (view.OutlinePieces)
    DrawPieceOutlines();
  DrawPieces();
  glFlush();
}

bool TCubeGLRenderer::UnProjectRay(int x, int y, double origin[3], double direction[3]) const
{
  if (!framed_)
    return false;
  const double windowY = viewport_[3] - y - 1;
  double far[3];
  if (!gluUnProject(x, windowY, 0, modelView_, projection_, viewport_, &origin[0], &origin[1], &origin[2]) ||
      !gluUnProject(x, windowY, 1, modelView_, projection_, viewport_, &far[0], &far[1], &far[2]))
    return false;
  for (int i = 0; i < 3; ++i)
    direction[i] = far[i] - origin[i];
  return true;
}

void TCubeGLRenderer::SetLight(const TCubeView& view)
{
  const GLfloat a = static_cast<GLfloat>(view.AmbientLight), d = static_cast<GLfloat>(view.DiffuseLight),
                s = static_cast<GLfloat>(view.SpecularLight);
  const GLfloat ambient[4] = {a, a, a, 1}, diffuse[4] = {d, d, d, 1}, specular[4] = {s, s, s, 1};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  if (view.Lighting)
    glEnable(GL_LIGHTING);
  else
    glDisable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, view.TwoSidedLight);
  const GLfloat white[4] = {1, 1, 1, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<GLfloat>(std::clamp(view.Shininess, 0.0, 128.0)));
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  if (!view.LightMovesWithObject) {
    const GLfloat position[4] = {static_cast<GLfloat>(view.LightPosition[0]), static_cast<GLfloat>(view.LightPosition[1]),
                                 static_cast<GLfloat>(view.LightPosition[2]), static_cast<GLfloat>(view.LightPosition[3])};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
  }
}

void TCubeGLRenderer::SetClipPlanes()
{
  for (int i = 0; i < 6; ++i) {
    glClipPlane(GL_CLIP_PLANE1 + i, ClipPlanes[i]);
    glEnable(GL_CLIP_PLANE1 + i);
  }
}

void TCubeGLRenderer::DrawBox(const TCubeView& view)
{
  TCubeBoxEdge edges[12];
  CubeBoxEdges(view.BoxCornersView, edges);
  glPushAttrib(GL_LIGHTING_BIT | GL_LINE_BIT);
  glDisable(GL_LIGHTING);
  glColor3ub(128, 128, 128);
  for (int e = 0; e < 12; ++e) {
    if (edges[e].visible)
      glLineStipple(1, 0xFFFF);
    else
      glLineStipple(2, 0xAAAA);
    glBegin(GL_LINES);
    glVertex3dv(CubeBoxCorners[CubeBoxEdgeCorners[e][0]]);
    glVertex3dv(CubeBoxCorners[CubeBoxEdgeCorners[e][1]]);
    glEnd();
  }
  glPopAttrib();
}

void TCubeGLRenderer::DrawMeshGrid(const TCubeView& view)
{
  const TIrregularMesh* mesh = view.MeshSource ? view.MeshSource->Mesh() : nullptr;
  if (!mesh || !mesh->prismRanges || !mesh->prismNodes || !mesh->nodeColumns || !mesh->nodeZ || !mesh->nodeXY)
    return;
  const bool surfaces = view.GridMode == 2 || view.GridMode == 4;
  const bool horizons = view.GridMode == 3 || view.GridMode == 4;
  if (horizons && !mesh->surfacePrisms)
    return;
  const TMeshNodes nodes(*mesh);
  const int32_t triangles = mesh->triangleCount;
  TPaletteWalk palette;
  glPushMatrix();
  glPushAttrib(GL_LINE_BIT | GL_POLYGON_BIT);
  ColourWithOpacity(view.MeshSource->GridColour(), 0x10000);
  glLineWidth(static_cast<GLfloat>(std::max(view.MeshSource->GridLineWidth(), 1.0)));
  glLineStipple(1, 0xFFFF);
  glFrontFace(GL_CCW);
  const int32_t firstLayer = view.Horizon >= 0 ? view.Horizon : 0;
  const int32_t lastLayer = view.Horizon >= 0 ? view.Horizon : mesh->layerCount - 1;
  if (!horizons) {
    for (int32_t t = 0; t < triangles; ++t) {
      int32_t from = mesh->prismRanges[t], to = mesh->prismRanges[t + 1] - 1;
      if (view.Horizon >= 0 && mesh->surfacePrisms && view.Horizon < mesh->layerCount) {
        const int32_t* surface = mesh->surfacePrisms + 2 * (static_cast<size_t>(view.Horizon) * triangles + t);
        from = surface[0], to = surface[1];
        if (from < 0 || to < 0)
          continue;
      }
      for (int32_t p = from; p <= to; ++p) {
        palette.Next();
        DrawFace(nodes, mesh->prismNodes + 6 * static_cast<size_t>(p) + 3, surfaces, false);
      }
      if (to >= from) {
        palette.Next();
        DrawFace(nodes, mesh->prismNodes + 6 * static_cast<size_t>(to), surfaces, false);
      }
    }
  } else {
    for (int32_t layer = firstLayer; layer <= lastLayer && layer < mesh->layerCount; ++layer) {
      for (int side = 0; side < 2; ++side) {
        palette.Next();
        for (int32_t t = 0; t < triangles; ++t) {
          const int32_t prism = mesh->surfacePrisms[2 * (static_cast<size_t>(layer) * triangles + t) + side];
          if (prism < 0)
            continue;
          // The bottom surface is the soles of the layer's lowest prisms, the top the roofs of its highest.
          const int32_t* face = mesh->prismNodes + 6 * static_cast<size_t>(prism) + (side == 0 ? 3 : 0);
          DrawFace(nodes, face, surfaces, true);
        }
      }
    }
  }
  glPopAttrib();
  glPopMatrix();
}

void TCubeGLRenderer::DrawSegments(const TCubeView& view)
{
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glLineStipple(1, 0xFFFF);
  for (int32_t i = 0; i < view.SegmentCount; ++i) {
    const CubeSegmentStyle& style = view.SegmentStyles[static_cast<size_t>(i)];
    const double* p = &view.SegmentsCube[6 * static_cast<size_t>(i)];
    ColourWithOpacity(style.colour, style.opacity);
    glLineWidth(static_cast<GLfloat>(std::clamp(style.width2, 0.0, 1e4)));
    glBegin(GL_LINES);
    glVertex3dv(p);
    glVertex3dv(p + 3);
    glEnd();
  }
  glDisable(GL_BLEND);
  glPopAttrib();
}

void TCubeGLRenderer::DrawBodies(const TCubeView& view)
{
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (int32_t i = 0; i < view.BodyCount; ++i) {
    const CubeBodyStyle& style = view.BodyStyles[static_cast<size_t>(i)];
    const double* p = &view.BodyCoords[6 * static_cast<size_t>(i)];
    ColourWithOpacity(style.colour, style.opacity);
    if (style.kind == CubeBodyBox || style.kind == CubeBodyEllipsoid) {
      glPushMatrix();
      glTranslated((p[0] + p[3]) / 2, (p[1] + p[4]) / 2, (p[2] + p[5]) / 2);
      glScaled((p[3] - p[0]) / 2, (p[4] - p[1]) / 2, (p[5] - p[2]) / 2);
      if (style.kind == CubeBodyBox)
        CubeSolidCube(2.0);
      else
        CubeSolidSphere(1.0, 30, 30);
      glPopMatrix();
    } else if (style.kind == CubeBodyCone) {
      DrawConeBody(view, style, p);
    }
  }
  glDisable(GL_BLEND);
}

void TCubeGLRenderer::DrawConeBody(const TCubeView& view, const CubeBodyStyle& style, const double* points)
{
  const double half[3] = {view.HalfExtentX, view.HalfExtentY, view.HalfExtentZ};
  if (half[0] <= 0 || half[1] <= 0 || half[2] <= 0)
    return;
  const TCubeConeBody body = CubeConeBody(style, points, points + 3, half);
  if (body.shape == TCubeConeBody::Nothing)
    return;
  // World units: the spheres stay round whenever the axes keep their real proportions.
  glPushMatrix();
  glScaled(1 / half[0], 1 / half[1], 1 / half[2]);
  glTranslated(body.base[0], body.base[1], body.base[2]);
  glRotated(body.phi * RadToDeg, 0, 0, 1);
  glRotated(body.theta * RadToDeg, 1, 0, 0);
  if (body.shape == TCubeConeBody::Cone) {
    glPushMatrix();
    const double clip[4] = {0, 0, -1, body.clipAt};
    glClipPlane(GL_CLIP_PLANE0, clip);
    glEnable(GL_CLIP_PLANE0);
    glTranslated(0, 0, body.coneShift);
    CubeSolidCone(body.coneRadius, body.coneHeight, 30, 30);
    glDisable(GL_CLIP_PLANE0);
    glPopMatrix();
  } else if (body.shape == TCubeConeBody::Cylinder) {
    CubeSolidCylinder(body.bigRadius, body.length);
  }
  CubeSolidSphere(body.bigRadius, 30, 30);
  if (body.shape != TCubeConeBody::Sphere) {
    glTranslated(0, 0, body.length);
    CubeSolidSphere(body.smallRadius, 30, 30);
  }
  glPopMatrix();
}

// The triangles of every level, lit, in the level's front and back colours;
// they are polygonised again only when the data or the levels changed.
void TCubeGLRenderer::DrawIsosurfaces(const TCubeView& view)
{
  glPushMatrix();
  isosurfaces_.Update(view);
  glDisable(GL_COLOR_MATERIAL);
  const auto& buffers = isosurfaces_.Buffers();
  for (size_t l = 0; l < buffers.size() && l < view.IsoLevels.size(); ++l) {
    const TTriangleBuffer& buffer = buffers[l];
    if (buffer.VertexCount() < 3)
      continue;
    auto material = [](GLenum face, COLORREF colour) {
      const GLfloat rgba[4] = {(colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                               ((colour >> 16) & 0xFF) / 255.0f, 1.0f};
      glMaterialfv(face, GL_AMBIENT_AND_DIFFUSE, rgba);
    };
    material(GL_FRONT, view.IsoLevels[l].frontColour);
    material(GL_BACK, view.IsoLevels[l].backColour);
    for (int32_t k = 0; k + 3 <= buffer.VertexCount(); k += 3) {
      double normal[3];
      buffer.GetNormal(k, normal);
      glBegin(GL_POLYGON);
      glNormal3dv(normal);
      for (int m = 0; m < 3; ++m)
        glVertex3dv(buffer.Point(k + m));
      glEnd();
    }
  }
  glEnable(GL_COLOR_MATERIAL);
  glPopMatrix();
}

void TCubeGLRenderer::BuildSectionTextures(TCubeView& view)
{
  const double scales[3] = {view.AxisScaleX, view.AxisScaleY, view.AxisScaleZ};
  for (int s = 0; s < view.SectionCount; ++s) {
    if (!view.SectionStale[s])
      continue;
    TSectionOutline& outline = outlines_[s];
    outline.count = CubeSectionOutline(view.SectionPlanesLocal[s], view.BoxCornersScaled, scales, outline.points);
    if (outline.count <= 2)
      continue; // no area: no texture, and the section stays stale
    outline.layout = CubeSectionTextureLayout(outline.points, outline.count, view.SectionMatrices[s], view.ViewScale);
    std::vector<uint8_t>& pixels = texturePixels_[s];
    pixels.assign(static_cast<size_t>(outline.layout.width) * outline.layout.height * 4, 0);
    if (painter_ && (view.Values || view.MeshSource))
      painter_->Paint(view, s, outline.layout, pixels.data());
    glBindTexture(GL_TEXTURE_2D, textureNames_[s]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, outline.layout.width, outline.layout.height, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    view.SectionStale[s] = false;
  }
}

// The sections with a texture, cut along one another's planes and ordered from
// the back to the front, by the matrices of the camera alone.
void TCubeGLRenderer::BuildPieces(const TCubeView& view)
{
  pieces_.clear();
  rndPieces_.Reset();
  GLdouble modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int32_t viewport32[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
  rndPieces_.SetMatrices(modelView, projection, viewport32);
  double outlines[10][12][3];
  int32_t counts[10] = {};
  for (int s = 0; s < view.SectionCount; ++s) {
    const TSectionOutline& outline = outlines_[s];
    counts[s] = view.SectionStale[s] ? 0 : outline.count;
    std::copy(&outline.points[0][0], &outline.points[0][0] + 12 * 3, &outlines[s][0][0]);
  }
  rndPieces_.SetPlanes(view.SectionPlanes, outlines, counts, view.SectionCount, view.Rotation);
  for (int s = 0; s < view.SectionCount; ++s) {
    const TSectionOutline& outline = outlines_[s];
    if (counts[s] < 3)
      continue;
    std::vector<TRndPgns::TVertex> vertices;
    for (int i = 0; i < outline.count; ++i) {
      double p[3];
      Matrix3Apply(p, view.Rotation, outline.points[i]);
      vertices.push_back({p[0], p[1], p[2], outline.layout.st[i][0], outline.layout.st[i][1]});
    }
    rndPieces_.AddSectionPolygon(vertices.data(), static_cast<int32_t>(vertices.size()), s);
  }
  for (int32_t i : rndPieces_.DrawingOrder()) {
    const TRndPgns::TRndPiece& source = rndPieces_.Piece(i);
    TPiece piece;
    piece.section = source.Section;
    std::copy(view.SectionPlanes[source.Section], view.SectionPlanes[source.Section] + 3, piece.normal);
    piece.vertices = source.Vertices;
    pieces_.push_back(std::move(piece));
  }
}

void TCubeGLRenderer::DrawPieceOutlines()
{
  glPushAttrib(GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
  glDisable(GL_LIGHTING);
  glLineStipple(1, 0xFFFF);
  glColor4ub(192, 192, 192, 255);
  for (const TPiece& piece : pieces_) {
    glBegin(GL_LINE_LOOP);
    for (const auto& v : piece.vertices)
      glVertex3d(v[0], v[1], v[2]);
    glEnd();
  }
  glPopAttrib();
}

void TCubeGLRenderer::DrawPieces()
{
  GLfloat lineWidth = 1;
  glGetFloatv(GL_LINE_WIDTH, &lineWidth);
  glColor4ub(255, 255, 255, 255);
  glLineWidth(1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  for (const TPiece& piece : pieces_) {
    if (piece.vertices.size() < 3)
      continue;
    glBindTexture(GL_TEXTURE_2D, textureNames_[piece.section]);
    glBegin(GL_POLYGON);
    glNormal3dv(piece.normal);
    for (const auto& v : piece.vertices) {
      glTexCoord2f(static_cast<GLfloat>(v[3]), static_cast<GLfloat>(v[4]));
      glVertex3d(v[0], v[1], v[2]);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glLineWidth(lineWidth);
}
