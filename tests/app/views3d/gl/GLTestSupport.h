#pragma once
// A cube frame on screen size 200 x 200 that draws with OpenGL into its bitmap,
// with scripted modal calls; the cases skip when the platform has no OpenGL
// (and fail in CI, which always has it).
#include "views3d/FrameCubuiqe.h"

#include "../EditingModalCalls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#define REQUIRE_GL(frame)                                                                         \
  do {                                                                                            \
    if (!(frame).HasGLContext()) {                                                                \
      if (std::getenv("CI"))                                                                      \
        FAIL() << "OpenGL is not available";                                                      \
      GTEST_SKIP() << "OpenGL is not available on this display: the picture cannot be checked"; \
    }                                                                                             \
  } while (0)

class CubeFrameTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.resize(200, 200);
    frame.Redraw();
  }

  // The pixel of a point in view coordinates, by the frame's perspective
  // (square picture: both axes share the view angle).
  QPoint PixelOf(double x, double y, double z) const
  {
    const double depth = frame.CameraDistance + y;
    const double half = depth * std::tan(frame.FovY * M_PI / 360);
    return QPoint(static_cast<int>(std::lround(100 + x / half * 100 - 0.5)),
                  static_cast<int>(std::lround(100 - z / half * 100 - 0.5)));
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFmCubuiqe frame;
};

inline bool IsWhite(QRgb c)
{
  return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255;
}

