#include "views3d/FrameCubuiqe.h"

#include "views3d/CubeGLWindow.h"

#include "base/ModalCalls.h"

#include "melisco.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QWheelEvent>

#include <cmath>
#include <cstring>

namespace {

TCubeKey CubeKeyOf(int key)
{
  switch (key) {
  case Qt::Key_Left: return TCubeKey::Left;
  case Qt::Key_Right: return TCubeKey::Right;
  case Qt::Key_Up: return TCubeKey::Up;
  case Qt::Key_Down: return TCubeKey::Down;
  case Qt::Key_A: return TCubeKey::A;
  case Qt::Key_Q: return TCubeKey::Q;
  case Qt::Key_S: return TCubeKey::S;
  case Qt::Key_W: return TCubeKey::W;
  case Qt::Key_X: return TCubeKey::X;
  case Qt::Key_Z: return TCubeKey::Z;
  default:
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
      return static_cast<TCubeKey>(static_cast<int>(TCubeKey::Digit0) + (key - Qt::Key_0));
    return TCubeKey::Other;
  }
}

} // namespace

TFmCubuiqe::TFmCubuiqe(QWidget* parent) : QWidget(parent)
{
  setObjectName(QStringLiteral("Viewer"));
  renderer_.SetSectionPainter(&sectionPainter_);
  resize(342, 286);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  InitBitmap(&Bitmap);
  Timer1.setInterval(50);
  connect(&Timer1, &QTimer::timeout, this, [this] { MotionTimerStep(); });
  BuildMenu();
}

TFmCubuiqe::~TFmCubuiqe()
{
  Timer1.stop();
  DoneGL();
  DeleteBitmap(&Bitmap);
}

// ---- Drawing ----

bool TFmCubuiqe::HasGLContext() const
{
  return (offscreen_ && offscreen_->Valid()) || glWindow_ != nullptr;
}

void TFmCubuiqe::Redraw()
{
  CheckPicture();
  if (Bitmap.dib)
    Render();
  if (!DrawsOnWindow())
    update();
}

void TFmCubuiqe::CheckPicture()
{
  const int w = width() < 1 ? 10 : width();
  const int h = height() < 1 ? 10 : height();
  CheckBitmap(&surface_, w, h, UseGL && GLIntoBitmap, &Bitmap);
  if (UseGL && !HasGLContext())
    InitGL();
}

void TFmCubuiqe::Render()
{
  UpdateViewScale(Bitmap.width, Bitmap.height);
  if (UseGL)
    RenderGL();
  else
    DrawSoftware();
}

void TFmCubuiqe::InitGL()
{
  if (GLIntoBitmap) {
    auto offscreen = std::make_unique<TCubeOffscreenGL>();
    QString reason;
    if (!offscreen->Create(&reason)) {
      ReportGLError(reason);
      return;
    }
    offscreen_ = std::move(offscreen);
    if (offscreen_->MakeCurrent(std::max(Bitmap.width, 1), std::max(Bitmap.height, 1))) {
      renderer_.Init(*this);
      offscreen_->DoneCurrent();
    }
    return;
  }
  glWindow_ = new TCubeGLWindow(
      this, [this] { renderer_.Init(*this); },
      [this](int w, int h) {
        if (!renderer_.Ready())
          renderer_.Init(*this);
        glViewport(0, 0, w, h);
        renderer_.Render(*this, w, h);
      });
  glWindow_->setGeometry(rect());
  glWindow_->show();
}

void TFmCubuiqe::RenderGL()
{
  if (glWindow_) {
    glWindow_->update();
    return;
  }
  if (!offscreen_ || !offscreen_->MakeCurrent(Bitmap.width, Bitmap.height))
    return;
  if (!renderer_.Ready())
    renderer_.Init(*this);
  renderer_.Render(*this, Bitmap.width, Bitmap.height);
  offscreen_->ReadPixels(Bitmap);
  offscreen_->DoneCurrent();
}

void TFmCubuiqe::ReportGLError(const QString& reason)
{
  UseGL = false;
  ModalCalls().Message(nullptr, QMessageBox::Information, QStringLiteral("GetLastError"), reason, QMessageBox::Ok);
}

void TFmCubuiqe::DoneGL()
{
  if (offscreen_) {
    if (offscreen_->MakeCurrent(std::max(Bitmap.width, 1), std::max(Bitmap.height, 1))) {
      renderer_.Done();
      offscreen_->DoneCurrent();
    }
    offscreen_.reset();
  }
  if (glWindow_) {
    glWindow_->makeCurrent();
    renderer_.Done();
    glWindow_->doneCurrent();
    delete glWindow_;
    glWindow_ = nullptr;
  }
}

void TFmCubuiqe::paintEvent(QPaintEvent*)
{
  if (DrawsOnWindow())
    return;
  QPainter painter(this);
  if (!Bitmap.dib) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  painter.drawImage(0, 0, PictureImage());
}

QImage TFmCubuiqe::PictureImage()
{
  if (DrawsOnWindow())
    CopyWindowIntoBitmap();
  if (!Bitmap.dib || Bitmap.width <= 0 || Bitmap.height <= 0)
    return QImage();
  QImage image(Bitmap.width, Bitmap.height, QImage::Format_RGB32);
  TWindowSurface target{image.bits(), Bitmap.width, Bitmap.height, static_cast<int32_t>(image.bytesPerLine()), 32, 0};
  DrawBitmap(&target, &Bitmap);
  return image;
}

// The picture that OpenGL drew on the window, into the bitmap.
void TFmCubuiqe::CopyWindowIntoBitmap()
{
  if (!glWindow_ || !Bitmap.bits)
    return;
  const QImage grabbed = glWindow_->grabFramebuffer().convertToFormat(QImage::Format_RGB888);
  const int w = std::min(Bitmap.width, grabbed.width()), h = std::min(Bitmap.height, grabbed.height());
  const size_t rowBytes = static_cast<size_t>(Bitmap.width) * 3 + static_cast<size_t>(Bitmap.rowPadding);
  auto* bits = static_cast<uint8_t*>(Bitmap.bits);
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = grabbed.constScanLine(y);
    uint8_t* to = bits + rowBytes * static_cast<size_t>(Bitmap.bottomUp ? Bitmap.height - 1 - y : y);
    for (int x = 0; x < w; ++x) {
      to[3 * x] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x];
    }
  }
}

void TFmCubuiqe::resizeEvent(QResizeEvent*)
{
  if (glWindow_)
    glWindow_->setGeometry(rect());
  if (width() >= 10 && height() >= 10 && (width() != Bitmap.width || height() != Bitmap.height)) {
    MarkSectionsStale();
    Redraw();
  }
}

// ---- Export ----

bool TFmCubuiqe::ExportPicture(int mode, const QString& fileName)
{
  const QImage image = PictureImage().convertToFormat(QImage::Format_RGB888);
  if (image.isNull())
    return false;
  if (mode != 1) {
    ModalCalls().SetClipboardImage(image);
    return true;
  }
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP"))
    return false;
  return file.commit();
}

// ---- Mouse and keys ----

void TFmCubuiqe::SetMouseHandlers(TMouseHandler down, TMouseHandler move, TMouseHandler up)
{
  onMouseDown_ = std::move(down);
  onMouseMove_ = std::move(move);
  onMouseUp_ = std::move(up);
}

void TFmCubuiqe::SetMotionTimer(bool running)
{
  if (running)
    Timer1.start();
  else
    Timer1.stop();
}

void TFmCubuiqe::mousePressEvent(QMouseEvent* event)
{
  setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  FrameMouseDown(p.x(), p.y());
  if (onMouseDown_)
    onMouseDown_(event);
}

void TFmCubuiqe::mouseMoveEvent(QMouseEvent* event)
{
  const QPoint p = event->position().toPoint();
  FrameMouseMove(event->buttons().testFlag(Qt::LeftButton), p.x(), p.y());
  if (onMouseMove_)
    onMouseMove_(event);
}

void TFmCubuiqe::mouseReleaseEvent(QMouseEvent* event)
{
  FrameMouseUp();
  if (onMouseUp_)
    onMouseUp_(event);
}

void TFmCubuiqe::wheelEvent(QWheelEvent* event)
{
  FrameMouseWheel(event->angleDelta().y());
  event->accept();
}

void TFmCubuiqe::keyPressEvent(QKeyEvent* event)
{
  // The window's copy keys belong to the window.
  if (event->matches(QKeySequence::Copy) ||
      (event->key() == Qt::Key_Insert && event->modifiers().testFlag(Qt::ControlModifier))) {
    event->ignore();
    return;
  }
  KeyDown(CubeKeyOf(event->key()), event->modifiers().testFlag(Qt::ShiftModifier));
}

void TFmCubuiqe::contextMenuEvent(QContextMenuEvent* event)
{
  PMOptions->popup(event->globalPos()); // the menu updates its state as it opens
}

void TFmCubuiqe::PickRay(double origin[3], double direction[3]) const
{
  if (UseGL && renderer_.UnProjectRay(LastMouseX, LastMouseY, origin, direction))
    return;
  TCubeView::PickRay(origin, direction);
}
