#pragma once
// An OpenGL context without a window: a compatibility-profile context on an
// off-screen surface that draws into a framebuffer object, whose pixels are
// read back into a bottom-up 24-bit bitmap.
#include "MeliscoTypes.h"

#include <QString>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

class TCubeOffscreenGL {
public:
  TCubeOffscreenGL();
  ~TCubeOffscreenGL();
  TCubeOffscreenGL(const TCubeOffscreenGL&) = delete;
  TCubeOffscreenGL& operator=(const TCubeOffscreenGL&) = delete;

  // Makes the context; false with a reason when the platform has no OpenGL.
  bool Create(QString* reason);
  bool Valid() const { return context_ != nullptr; }
  // Makes the context current with a framebuffer of the size bound for drawing.
  bool MakeCurrent(int width, int height);
  // The framebuffer's pixels into the bitmap's 24-bit bottom-up rows (rows
  // padded to 4 bytes, as a DIB has them); the bitmap must be of the same size.
  void ReadPixels(TMemBitmap& bitmap);
  void DoneCurrent();

private:
  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<QOpenGLContext> context_;
  std::unique_ptr<QOpenGLFramebufferObject> framebuffer_;
};
