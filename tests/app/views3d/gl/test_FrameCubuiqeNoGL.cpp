#include "GLTestSupport.h"

namespace {

// Run on a platform without OpenGL (Qt's offscreen platform): the frame says
// why once and draws with the software path from then on.
TEST(CubeFrameWithoutGL, ReportsOnceAndDrawsWithoutOpenGL)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  TFmCubuiqe frame;
  frame.resize(120, 100);
  frame.Redraw();
  if (frame.UseGL)
    GTEST_SKIP() << "this platform has OpenGL: the failure cannot be provoked";
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString("GetLastError"));
  EXPECT_EQ(calls.messages[0].icon, QMessageBox::Information);
  EXPECT_FALSE(frame.HasGLContext());
  frame.Redraw();
  EXPECT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(frame.Picture().bottomUp, 0);
  const QImage picture = frame.PictureImage();
  ASSERT_EQ(picture.size(), QSize(120, 100));
  EXPECT_TRUE(IsWhite(picture.pixel(60, 50)));
}

} // namespace
