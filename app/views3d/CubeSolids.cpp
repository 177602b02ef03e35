#include "views3d/CubeSolids.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// One quadric for every solid: smooth normals pointing outwards.
class TQuadric {
public:
  TQuadric() : quadric_(gluNewQuadric())
  {
    gluQuadricDrawStyle(quadric_, GLU_FILL);
    gluQuadricNormals(quadric_, GLU_SMOOTH);
  }
  ~TQuadric() { gluDeleteQuadric(quadric_); }
  TQuadric(const TQuadric&) = delete;
  TQuadric& operator=(const TQuadric&) = delete;
  GLUquadric* operator*() const { return quadric_; }

private:
  GLUquadric* quadric_;
};

GLUquadric* Quadric()
{
  static TQuadric quadric;
  return *quadric;
}

// The disk at z = 0 faces -z, the way a closed body's bottom faces.
void BottomDisk(double radius, int slices)
{
  glPushMatrix();
  glRotated(180, 1, 0, 0);
  gluDisk(Quadric(), 0, radius, slices, 1);
  glPopMatrix();
}

} // namespace

void CubeSolidSphere(double radius, int slices, int stacks)
{
  gluSphere(Quadric(), radius, slices, stacks);
}

void CubeSolidCube(double size)
{
  static const GLdouble normals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  static const GLint faces[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};
  const double h = size / 2;
  GLdouble v[8][3];
  for (int i = 0; i < 8; ++i) {
    v[i][0] = (i == 0 || i == 1 || i == 2 || i == 3) ? -h : h;
    v[i][1] = (i == 0 || i == 1 || i == 4 || i == 5) ? -h : h;
    v[i][2] = (i == 0 || i == 3 || i == 4 || i == 7) ? -h : h;
  }
  glBegin(GL_QUADS);
  for (int f = 5; f >= 0; --f) {
    glNormal3dv(normals[f]);
    for (int k = 0; k < 4; ++k)
      glVertex3dv(v[faces[f][k]]);
  }
  glEnd();
}

void CubeSolidCone(double base, double height, int slices, int stacks)
{
  BottomDisk(base, slices);
  gluCylinder(Quadric(), base, 0, height, slices, stacks);
}

void CubeSolidCylinder(double radius, double length)
{
  BottomDisk(radius, 30);
  gluCylinder(Quadric(), radius, radius, length, 30, 1);
  glPushMatrix();
  glTranslated(0, 0, length);
  gluDisk(Quadric(), 0, radius, 30, 1);
  glPopMatrix();
}
