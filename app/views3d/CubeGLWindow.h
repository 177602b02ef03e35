#pragma once
// The OpenGL picture drawn straight onto the cube frame's window (when the
// frame does not draw into its bitmap): a child that covers the frame and lets
// the mouse through to it.
#include <QOpenGLWidget>

#include <functional>

class TCubeGLWindow : public QOpenGLWidget {
  Q_OBJECT
public:
  // initialise runs once the context exists, paint for every frame with the
  // size in pixels; both with the context current.
  TCubeGLWindow(QWidget* parent, std::function<void()> initialise, std::function<void(int, int)> paint);

protected:
  void initializeGL() override;
  void paintGL() override;

private:
  std::function<void()> initialise_;
  std::function<void(int, int)> paint_;
};
