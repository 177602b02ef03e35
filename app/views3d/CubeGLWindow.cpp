#include "views3d/CubeGLWindow.h"

#include <QSurfaceFormat>

TCubeGLWindow::TCubeGLWindow(QWidget* parent, std::function<void()> initialise, std::function<void(int, int)> paint)
    : QOpenGLWidget(parent), initialise_(std::move(initialise)), paint_(std::move(paint))
{
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setVersion(2, 1);
  format.setDepthBufferSize(24);
  setFormat(format);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TCubeGLWindow::initializeGL()
{
  initialise_();
}

void TCubeGLWindow::paintGL()
{
  const qreal ratio = devicePixelRatioF();
  paint_(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
}
