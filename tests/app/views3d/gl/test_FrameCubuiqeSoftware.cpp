// The cube frame with OpenGL off: its picture drawn by the software renderer,
// and the fill dialog reached from its popup menu. A 4 x 4 x 4 array whose
// values rise with the first index (0 .. 3) is coloured black .. white, so a
// point's grey tells which cell it shows. On a 200 x 200 picture the box
// [-1, 1] covers pixels 44 .. 156 (56 pixels per unit around (100, 100)).
#include "GLTestSupport.h"

#include "views3d/FormCubuiqeFillOptions.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <set>
#include <vector>

namespace {

// A tree segment 3 wide along z through the box's centre, from -half to half.
CubeViewSegment VerticalSegment(COLORREF colour, double half)
{
  CubeViewSegment segment;
  segment.width = 3;
  segment.colour = colour;
  segment.z1 = -half, segment.z2 = half;
  return segment;
}

class CubeFrameSoftware : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.UseGL = false;
    frame.resize(200, 200);
    for (int i = 0; i < 64; ++i)
      values[i] = i % 4;
    double min = 0, max = 0;
    frame.SetData(values.data(), 0, 4, 4, 4, 1, 1, 1, true, &min, &max, nullptr, nullptr);
    frame.ColourMin = 0x000000;
    frame.ColourMax = 0xFFFFFF;
    frame.ColourScale = 0;
    frame.FillOpacity = 0x10000;
  }

  std::set<int> GreysAlongTheMiddleRow(const QImage& picture) const
  {
    std::set<int> greys;
    for (int x = 50; x <= 150; ++x)
      greys.insert(qRed(picture.pixel(x, 100)));
    return greys;
  }

  // A black pixel within one of the point (box edges land on either side of a
  // whole pixel coordinate by rounding).
  static bool BlackNear(const QImage& picture, int x, int y)
  {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (picture.pixel(x + dx, y + dy) == qRgb(0, 0, 0))
          return true;
    return false;
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFmCubuiqe frame;
  std::vector<double> values = std::vector<double>(64);
};

TEST_F(CubeFrameSoftware, DrawsTheFrontalSectionByCellOrSmoothly)
{
  frame.OrientFrontal();
  frame.SetInterpolation(1);
  QImage picture = frame.PictureImage();
  ASSERT_EQ(picture.size(), QSize(200, 200));
  EXPECT_EQ(picture.pixel(49, 100), qRgb(0, 0, 0));
  EXPECT_EQ(picture.pixel(151, 100), qRgb(254, 254, 254));
  EXPECT_TRUE(IsWhite(picture.pixel(20, 100)));
  EXPECT_TRUE(IsWhite(picture.pixel(100, 20)));
  EXPECT_EQ(GreysAlongTheMiddleRow(picture), (std::set<int>{0, 84, 169, 254}));

  frame.SetInterpolation(0);
  picture = frame.PictureImage();
  EXPECT_GT(GreysAlongTheMiddleRow(picture).size(), 20u);
}

// Turned box and section: where the picked point (the same orthographic line of
// sight) lies near either end of the first axis, the picture shows that end's colour.
TEST_F(CubeFrameSoftware, TurnedSectionAgreesWithThePickedPoints)
{
  frame.OrientFrontal();
  frame.RotateSectionsX(0, 0.5, 0);
  frame.RotateZ(0.6);
  frame.RotateX(-0.4);
  frame.SetInterpolation(1);
  const QImage picture = frame.PictureImage();
  int low = 0, high = 0;
  for (int y = 30; y < 170; y += 5)
    for (int x = 30; x < 170; x += 5) {
      frame.FrameMouseDown(x, y);
      frame.FrameMouseUp();
      const auto points = frame.PickSectionPoints();
      if (points.size() != 1)
        continue;
      const double q = points[0][0];
      if (q < -0.8) {
        EXPECT_EQ(picture.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        ++low;
      } else if (q > 0.8) {
        EXPECT_EQ(picture.pixel(x, y), qRgb(254, 254, 254)) << x << "," << y;
        ++high;
      }
    }
  EXPECT_GT(low, 3);
  EXPECT_GT(high, 3);
}

TEST_F(CubeFrameSoftware, DrawsTheBoxAroundTheSectionsDottedBehind)
{
  frame.Redraw();  // the first section lies flat: seen edge-on, it shows nothing
  QImage picture = frame.PictureImage();
  EXPECT_TRUE(IsWhite(picture.pixel(100, 100)));
  EXPECT_TRUE(BlackNear(picture, 44, 100));   // left front edge
  EXPECT_TRUE(BlackNear(picture, 100, 156));  // bottom front edge

  frame.OrientFrontal();
  frame.RotateZ(0.4);
  frame.RotateX(0.3);
  frame.Redraw();
  picture = frame.PictureImage();
  int grey = 0, black = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      grey += picture.pixel(x, y) == qRgb(128, 128, 128);
      black += picture.pixel(x, y) == qRgb(0, 0, 0);
    }
  EXPECT_GT(grey, 20);
  EXPECT_GT(black, 100);
}

// A tree window without a chosen array hands the frame no values: the box and
// the tree are drawn, the section shows nothing.
TEST_F(CubeFrameSoftware, WithoutDataTheBoxAndTheTreeAreDrawn)
{
  frame.SetData(nullptr, 0, 0, 0, 0, 1, 1, 1, true, nullptr, nullptr, nullptr, nullptr);
  frame.OrientFrontal();
  QImage picture = frame.PictureImage();
  EXPECT_TRUE(IsWhite(picture.pixel(100, 100)));
  EXPECT_TRUE(BlackNear(picture, 44, 100));

  const CubeViewSegment segment = VerticalSegment(0x0000FF, 0.8); // red
  frame.SetSegments(&segment, 1);
  frame.Redraw();
  picture = frame.PictureImage();
  EXPECT_EQ(picture.pixel(100, 100), qRgb(255, 0, 0));
  EXPECT_TRUE(IsWhite(picture.pixel(70, 100)));
}

TEST_F(CubeFrameSoftware, TransparentFillShowsTheTreeBehindLowValues)
{
  CubeViewSegment segment;
  segment.width = 3;
  segment.colour = 0x0000FF;  // red, behind the section
  segment.y1 = segment.y2 = 0.5;
  segment.z1 = -0.8, segment.z2 = 0.8;
  segment.x1 = segment.x2 = -0.9;
  frame.SetSegments(&segment, 1);
  frame.OrientFrontal();
  frame.SetInterpolation(1);
  frame.SetFillMode(1);
  EXPECT_EQ(frame.PictureImage().pixel(50, 100), qRgb(0, 0, 0));
  frame.SetFillMode(2);
  EXPECT_EQ(frame.PictureImage().pixel(50, 100), qRgb(255, 0, 0));
}

TEST_F(CubeFrameSoftware, FillDialogIsOfferedOnlyWithoutOpenGL)
{
  QAction* item = frame.MenuItem(QStringLiteral("PMIfillingDlg"));
  ASSERT_NE(item, nullptr);
  frame.UpdatePopupState();
  EXPECT_TRUE(item->isEnabled());
  frame.UseGL = true;
  frame.UpdatePopupState();
  EXPECT_FALSE(item->isEnabled());
}

TEST_F(CubeFrameSoftware, FillDialogShowsAndAppliesTheFrameSettings)
{
  frame.FillMode = 2;
  frame.Interpolation = 1;
  frame.ColourScale = 2;
  frame.FillOpacity = 0x4000;
  frame.MenuItem(QStringLiteral("PMIfillingDlg"))->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  auto* dialog = qobject_cast<TFCubuiqeFillOptions*>(calls.dialogs[0]);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Закраска сечений (без openGL)"));
  EXPECT_EQ(dialog->Frame, &frame);
  dialog->FormActivate();
  EXPECT_EQ(TFCubuiqeFillOptions::ItemIndex(dialog->Efilltype), 1);
  EXPECT_EQ(TFCubuiqeFillOptions::ItemIndex(dialog->Einterpol), 0);
  EXPECT_EQ(TFCubuiqeFillOptions::ItemIndex(dialog->Epalette), 2);
  EXPECT_EQ(dialog->Ealpha->text(), QString("75"));
  EXPECT_EQ(TFCubuiqeFillOptions::ShapeColour(dialog->Ecolormax), 0xFFFFFFu);

  // Solid, RGB, bilinear, opaque: the picture changes with the settings.
  frame.OrientFrontal();
  const QImage before = frame.PictureImage();
  TFCubuiqeFillOptions::SetItemIndex(dialog->Efilltype, 0);
  TFCubuiqeFillOptions::SetItemIndex(dialog->Epalette, 0);
  TFCubuiqeFillOptions::SetItemIndex(dialog->Einterpol, 1);
  dialog->Ealpha->setText("0");
  EXPECT_TRUE(dialog->BapplyClick());
  EXPECT_EQ(frame.FillMode, 1);
  EXPECT_EQ(frame.ColourScale, 0);
  EXPECT_EQ(frame.Interpolation, 0);
  EXPECT_EQ(frame.FillOpacity, 0x10000);
  EXPECT_NE(frame.PictureImage(), before);
  EXPECT_EQ(frame.PictureImage().pixel(151, 100), qRgb(254, 254, 254));

  const struct {
    const char* text;
    int32_t opacity;
  } cases[] = {{"100", 0}, {"150", 0}, {"-50", 0x10000}, {"50", 0x8000}, {"37,5", 0xA000}};
  for (const auto& c : cases) {
    dialog->Ealpha->setText(QString::fromUtf8(c.text));
    EXPECT_TRUE(dialog->BapplyClick()) << c.text;
    EXPECT_EQ(frame.FillOpacity, c.opacity) << c.text;
  }

  // Text that is no number: an error, and nothing applied.
  TFCubuiqeFillOptions::SetItemIndex(dialog->Efilltype, 1);
  TFCubuiqeFillOptions::SetShapeColour(dialog->Ecolormin, 0x00FF00);
  dialog->Ealpha->setText("abc");
  EXPECT_FALSE(dialog->BapplyClick());
  EXPECT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(frame.FillMode, 1);
  EXPECT_EQ(frame.ColourMin, 0u);
}

TEST_F(CubeFrameSoftware, FillDialogKeysEndIt)
{
  frame.MenuItem(QStringLiteral("PMIfillingDlg"))->trigger();
  auto* dialog = FCubuiqeFillOptions();
  dialog->FormActivate();
  dialog->Ealpha->setText("100");
  dialog->setResult(QDialog::Rejected);
  QTest::keyClick(dialog, Qt::Key_Return);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(frame.FillOpacity, 0);
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

} // namespace

namespace {

// The same tree drawn with OpenGL and then without: its points near the centre
// (where perspective and orthographic projection agree) show the same colour.
// The array has no values, so no section covers the tree; the flat section's
// outline crosses the centre row, which is left out.
TEST_F(CubeFrameTest, SoftwarePictureMatchesOpenGLAtTheCentre)
{
  REQUIRE_GL(frame);
  const std::vector<double> missing(8, 1e300);
  double min = 0, max = 1;
  frame.SetData(missing.data(), 0, 2, 2, 2, 1, 1, 1, false, &min, &max, nullptr, nullptr);
  const CubeViewSegment segment = VerticalSegment(0x00C000, 0.3); // green
  frame.SetSegments(&segment, 1);
  frame.Redraw();
  const QImage gl = frame.PictureImage();
  frame.UseGL = false;
  frame.DoneGL();
  frame.Redraw();
  const QImage soft = frame.PictureImage();
  for (const QPoint p : {QPoint(100, 92), QPoint(100, 108), QPoint(195, 5)}) {
    const QRgb a = gl.pixel(p), b = soft.pixel(p);
    EXPECT_LE(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)), 12)
        << p.x() << "," << p.y();
  }
  EXPECT_EQ(soft.pixel(100, 92), qRgb(0, 0xC0, 0));
}

} // namespace
