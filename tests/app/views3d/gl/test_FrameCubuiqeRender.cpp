#include "GLTestSupport.h"
#include "../SphereField.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A vertical red tree segment through the centre, a blue box body in the upper
// right of the front plane and a green needle in the upper left.
void ShowScene(TFmCubuiqe& frame)
{
  CubeViewSegment segment;
  segment.width = 3;
  segment.colour = 0x0000FF; // red
  segment.z1 = -0.5, segment.z2 = 0.5;
  frame.SetSegments(&segment, 1);
  CubeViewBody bodies[3];
  bodies[0].kind = CubeBodyBox;
  bodies[0].colour = 0xFF0000; // blue
  bodies[0].x1 = 0.4, bodies[0].y1 = -0.2, bodies[0].z1 = 0.4;
  bodies[0].x2 = 0.8, bodies[0].y2 = 0.2, bodies[0].z2 = 0.8;
  bodies[1].kind = CubeBodyCone;
  bodies[1].colour = 0x00FF00; // green
  bodies[1].radius1 = 0.15, bodies[1].radius2 = 0.05;
  bodies[1].x1 = -0.6, bodies[1].z1 = 0.8;
  bodies[1].x2 = -0.6, bodies[1].z2 = 0.2;
  // A small sphere inside the big one: only the big sphere shows.
  bodies[2].kind = CubeBodyCone;
  bodies[2].colour = 0x00FF00;
  bodies[2].radius1 = 0.2, bodies[2].radius2 = 0.05;
  bodies[2].x1 = -0.6, bodies[2].z1 = -0.6;
  bodies[2].x2 = -0.55, bodies[2].z2 = -0.6;
  frame.SetBodies(bodies, 3);
  frame.Redraw();
}

TEST_F(CubeFrameTest, DrawsTheBoxTreeAndBodiesIntoItsBitmap)
{
  REQUIRE_GL(frame);
  ShowScene(frame);
  ASSERT_EQ(frame.Picture().bottomUp, 1);
  const QImage picture = frame.PictureImage();
  ASSERT_EQ(picture.size(), QSize(200, 200));
  EXPECT_TRUE(IsWhite(picture.pixel(2, 2)));
  EXPECT_TRUE(IsWhite(picture.pixel(197, 197)));

  const QRgb tree = picture.pixel(PixelOf(0, 0, 0.3));
  EXPECT_EQ(tree, qRgb(255, 0, 0));

  const QRgb box = picture.pixel(PixelOf(0.6, -0.2, 0.6));
  EXPECT_GT(qBlue(box), 2 * qRed(box));
  EXPECT_GT(qBlue(box), 2 * qGreen(box));
  EXPECT_LT(PixelOf(0.6, -0.2, 0.6).y(), 100); // the bitmap's bottom-up rows come out upright

  const QRgb needle = picture.pixel(PixelOf(-0.6, 0, 0.5));
  EXPECT_GT(qGreen(needle), 2 * qRed(needle));
  EXPECT_TRUE(IsWhite(picture.pixel(PixelOf(-0.6 + 0.12, 0, 0.3))));  // narrower than the base sphere there
  const QRgb sphere = picture.pixel(PixelOf(-0.6, 0, -0.6));
  EXPECT_GT(qGreen(sphere), 2 * qRed(sphere));

  // The front edges of the box are drawn solid in grey.
  bool edge = false;
  const QPoint topFront = PixelOf(0, -1, 1);
  for (int y = topFront.y() - 3; y <= topFront.y() + 3; ++y)
    edge |= picture.pixel(topFront.x(), y) == qRgb(128, 128, 128);
  EXPECT_TRUE(edge);
}

TEST_F(CubeFrameTest, SectionsShowTheirOutlines)
{
  REQUIRE_GL(frame);
  frame.SetSectionAngles(0, M_PI / 2, 0); // the plane y = 0, facing the viewer
  frame.Redraw();
  const QImage picture = frame.PictureImage();
  bool outline = false;
  const QPoint corner = PixelOf(1, 0, 0);
  for (int x = corner.x() - 3; x <= corner.x() + 3; ++x)
    outline |= picture.pixel(x, corner.y()) == qRgb(192, 192, 192);
  EXPECT_TRUE(outline);
  ASSERT_EQ(frame.Renderer().Pieces().size(), 1u);
  EXPECT_EQ(frame.Renderer().Pieces()[0].vertices.size(), 4u);
  EXPECT_FALSE(frame.SectionStale[0]);
}

TEST_F(CubeFrameTest, SectionsShowTheArrayInItsColours)
{
  REQUIRE_GL(frame);
  std::vector<double> values = {0, 10}; // two cells along x
  TArrayDrawSettings settings{};
  settings.fillType = 3;
  settings.fillColor1 = 0x0000FF; // red
  settings.fillColor2 = 0xFF0000; // blue
  settings.transparency1 = 0x10000;
  settings.rangeMin = 0;
  settings.rangeMax = 10;
  double min = 0, max = 10;
  frame.SetData(values.data(), 0, 2, 1, 1, 2, 2, 2, false, &min, &max, &settings, nullptr);
  frame.SetSectionAngles(0, M_PI / 2, 0); // the plane y = 0, facing the viewer
  frame.Redraw();
  const QImage picture = frame.PictureImage();
  const QRgb left = picture.pixel(PixelOf(-0.6, 0, 0.3));
  EXPECT_GT(qRed(left), 2 * qBlue(left));
  EXPECT_GT(qRed(left), 2 * qGreen(left));
  const QRgb right = picture.pixel(PixelOf(0.6, 0, -0.3));
  EXPECT_GT(qBlue(right), 2 * qRed(right));
  EXPECT_GT(qBlue(right), 2 * qGreen(right));
}

TEST_F(CubeFrameTest, CrossingSectionsAreDrawnInFourPieces)
{
  REQUIRE_GL(frame);
  frame.SetSectionCount(2);
  frame.SetSectionAngles(0, M_PI / 2, 0);
  frame.SetSectionAngles(1, M_PI / 2, M_PI / 2);
  frame.Redraw();
  const auto& pieces = frame.Renderer().Pieces();
  ASSERT_EQ(pieces.size(), 4u);
  int ofFirst = 0;
  for (const auto& piece : pieces)
    ofFirst += piece.section == 0;
  EXPECT_EQ(ofFirst, 2);
}

TEST_F(CubeFrameTest, IsosurfaceBehindAHalfTransparentSection)
{
  REQUIRE_GL(frame);
  // Squared distance from the centre: the level 0.25 is the sphere of radius 0.5.
  const int n = 16;
  std::vector<double> values = SphereField(n);
  TArrayDrawSettings settings{};
  settings.fillType = 3;
  settings.fillColor1 = settings.fillColor2 = 0x0000FF; // red
  settings.transparency1 = 0x8000;
  settings.rangeMin = 0;
  settings.rangeMax = 3;
  double min = 0, max = 3;
  frame.SetData(values.data(), 0, n, n, n, 2, 2, 2, false, &min, &max, &settings, nullptr);
  frame.IsoLevels = {{0.25, 0x00FF00, 0xFF0000}}; // green outside, blue inside
  QAction* show = frame.MenuItem(QStringLiteral("PMIisosurfshow"));
  ASSERT_TRUE(show->isEnabled());
  show->trigger();
  ASSERT_TRUE(frame.ShowIsosurfaces);
  frame.SetSectionAngles(0, M_PI / 2, 0); // the plane y = 0, facing the viewer
  frame.SetSectionOrientation(0, M_PI / 2, 0, 0.8);
  frame.Redraw();
  ASSERT_EQ(frame.Renderer().Isosurfaces().Buffers().size(), 1u);
  const QImage picture = frame.PictureImage();
  // The sphere's outside seen through the section: green under a red veil.
  const QRgb sphere = picture.pixel(PixelOf(0, -0.5, 0));
  EXPECT_GT(qGreen(sphere), qBlue(sphere) + 40);
  EXPECT_GT(qRed(sphere), qBlue(sphere) + 40);
  // Beside the sphere the section lies over the white background: pink.
  const QRgb veil = picture.pixel(PixelOf(0.8, -0.8, 0.8));
  EXPECT_GT(qRed(veil), qGreen(veil) + 40);
  EXPECT_EQ(qGreen(veil), qBlue(veil));
  EXPECT_GT(qGreen(veil), 60);
}

TEST_F(CubeFrameTest, DrawsOnItsWindowAndExportsThatPicture)
{
  frame.GLIntoBitmap = false;
  frame.DoneGL();
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  ShowScene(frame);
  REQUIRE_GL(frame);
  QTest::qWait(50);
  EXPECT_EQ(frame.Picture().bottomUp, 0);
  const QImage picture = frame.PictureImage();
  EXPECT_EQ(picture.pixel(PixelOf(0, 0, 0.3)), qRgb(255, 0, 0));
  EXPECT_TRUE(IsWhite(picture.pixel(2, 2)));
}

TEST_F(CubeFrameTest, CopiesAndSavesItsPicture)
{
  REQUIRE_GL(frame);
  ShowScene(frame);
  const QImage picture = frame.PictureImage();
  frame.CopyToClipboard();
  ASSERT_EQ(calls.clipboardImages.size(), 1u);
  EXPECT_EQ(calls.clipboardImages[0].convertToFormat(QImage::Format_RGB32), picture);

  QTemporaryDir folder;
  const QString name = folder.filePath(QStringLiteral("f001_0000.bmp"));
  ASSERT_TRUE(frame.SaveBitmap(name));
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray header = file.read(30);
  EXPECT_EQ(header.left(2), QByteArray("BM"));
  EXPECT_EQ(static_cast<uint8_t>(header[28]), 24); // bits per pixel
  QImage saved(name);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), picture);

  EXPECT_FALSE(frame.SaveBitmap(folder.filePath(QStringLiteral("missing/f.bmp"))));
}

} // namespace
