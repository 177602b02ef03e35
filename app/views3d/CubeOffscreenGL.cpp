#include "views3d/CubeOffscreenGL.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>

namespace {

QSurfaceFormat CompatibilityFormat()
{
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setVersion(2, 1);
  format.setDepthBufferSize(24);
  return format;
}

} // namespace

TCubeOffscreenGL::TCubeOffscreenGL() = default;

TCubeOffscreenGL::~TCubeOffscreenGL()
{
  if (context_ && surface_ && context_->makeCurrent(surface_.get())) {
    framebuffer_.reset();
    context_->doneCurrent();
  }
}

bool TCubeOffscreenGL::Create(QString* reason)
{
  auto context = std::make_unique<QOpenGLContext>();
  context->setFormat(CompatibilityFormat());
  if (!context->create()) {
    *reason = QStringLiteral("No OpenGL context could be created on this display.");
    return false;
  }
  auto surface = std::make_unique<QOffscreenSurface>();
  surface->setFormat(context->format());
  surface->create();
  if (!surface->isValid() || !context->makeCurrent(surface.get())) {
    *reason = QStringLiteral("The OpenGL context could not be made current.");
    return false;
  }
  if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects()) {
    context->doneCurrent();
    *reason = QStringLiteral("The OpenGL implementation draws into no framebuffer objects.");
    return false;
  }
  context->doneCurrent();
  context_ = std::move(context);
  surface_ = std::move(surface);
  return true;
}

bool TCubeOffscreenGL::MakeCurrent(int width, int height)
{
  if (!context_ || !context_->makeCurrent(surface_.get()))
    return false;
  if (!framebuffer_ || framebuffer_->size() != QSize(width, height)) {
    framebuffer_.reset();
    framebuffer_ = std::make_unique<QOpenGLFramebufferObject>(QSize(width, height),
                                                               QOpenGLFramebufferObject::Depth);
  }
  if (!framebuffer_->isValid() || !framebuffer_->bind())
    return false;
  glViewport(0, 0, width, height);
  return true;
}

void TCubeOffscreenGL::ReadPixels(TMemBitmap& bitmap)
{
  if (!framebuffer_ || !bitmap.bits || bitmap.width != framebuffer_->width() ||
      bitmap.height != framebuffer_->height() || bitmap.info.bmiHeader.biBitCount != 24 || !bitmap.bottomUp)
    return;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, bitmap.width, bitmap.height, GL_BGR, GL_UNSIGNED_BYTE, bitmap.bits);
}

void TCubeOffscreenGL::DoneCurrent()
{
  if (framebuffer_)
    framebuffer_->release();
  if (context_)
    context_->doneCurrent();
}
