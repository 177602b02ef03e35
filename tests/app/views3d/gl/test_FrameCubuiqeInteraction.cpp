#include "GLTestSupport.h"

#include "data/Stream.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <cstring>

namespace {

void Drag(QWidget& widget, QPoint from, QPoint to)
{
  QMouseEvent press(QEvent::MouseButtonPress, from, widget.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, to, widget.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

void Press(QWidget& widget, QPoint at)
{
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

void Wheel(QWidget& widget, int delta)
{
  const QPointF at(100, 100);
  QWheelEvent wheel(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&widget, &wheel);
}

void Trigger(TFmCubuiqe& frame, const char* item)
{
  QAction* action = frame.MenuItem(QString::fromLatin1(item));
  ASSERT_NE(action, nullptr) << item;
  action->trigger();
}

TEST_F(CubeFrameTest, MouseDragTurnsTheBoxAndThePicture)
{
  REQUIRE_GL(frame);
  const QImage before = frame.PictureImage();
  const double pixel = frame.PixelSize;
  Drag(frame, QPoint(100, 100), QPoint(120, 110));
  double theta = 0, phi = 0;
  frame.GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(phi, 20 * pixel, 1e-12);
  EXPECT_NEAR(theta, 10 * pixel, 1e-12);
  EXPECT_FALSE(frame.MousePressed);
  EXPECT_NE(frame.PictureImage(), before);
}

TEST_F(CubeFrameTest, KeysAndWheelZoomAndChooseModes)
{
  REQUIRE_GL(frame);
  Wheel(frame, 18); // the wheel zooms whatever the action
  EXPECT_GT(frame.Zoom, 1);
  frame.SetZoom(1);
  QTest::keyClick(&frame, Qt::Key_X);
  EXPECT_EQ(frame.MouseAction, 1);
  EXPECT_EQ(frame.MotionMode, 0);
  QTest::keyClick(&frame, Qt::Key_Up);
  EXPECT_NEAR(frame.Zoom, std::pow(1.05, -0.5), 1e-12);
  QTest::keyClick(&frame, Qt::Key_W);
  QTest::keyClick(&frame, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_NEAR(frame.ShiftX, -10, 1e-9);
  QTest::keyClick(&frame, Qt::Key_0);
  EXPECT_EQ(frame.CurrentSection, -1);

  QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
  QApplication::sendEvent(&frame, &copy);
  EXPECT_FALSE(copy.isAccepted()); // left to the view window
}

TEST_F(CubeFrameTest, PicksTheSegmentUnderTheMouseOnScaledAxes)
{
  REQUIRE_GL(frame);
  std::vector<double> values(8, 1.0);
  double min = 0, max = 0;
  frame.SetData(values.data(), 0, 2, 2, 2, 2, -4, -6, true, &min, &max, nullptr, nullptr);
  frame.SetAxesProportion(1); // scales (1/3, 2/3, 1)
  CubeViewSegment segments[2];
  segments[0].x2 = 0.9;                    // drawn at x = 0.3
  segments[1].x2 = 0.3, segments[1].z2 = 0.3; // drawn at (0.1, 0, 0.3)
  frame.SetSegments(segments, 2);
  frame.Redraw();
  Press(frame, PixelOf(0.3, 0, 0));
  EXPECT_EQ(frame.PickSegment(), 0);
  Press(frame, PixelOf(0.1, 0, 0.3));
  EXPECT_EQ(frame.PickSegment(), 1);
}

TEST_F(CubeFrameTest, PicksSectionPointsUnderTheMouse)
{
  REQUIRE_GL(frame);
  frame.SetAxesScale(1, 1, 0.5);
  frame.SetSectionCount(2);
  frame.SetSectionOrientation(0, M_PI / 2, 0, 0);   // the plane y = 0
  frame.SetSectionOrientation(1, M_PI / 2, 0, 0.5); // normal (0, -1, 0): y = -0.5, nearer the viewer
  frame.UpdateGeometry();
  frame.Redraw();
  Press(frame, PixelOf(0.5, 0, 0.25));
  const auto points = frame.PickSectionPoints();
  ASSERT_EQ(points.size(), 2u);
  EXPECT_NEAR(points[0][1], -0.5, 1e-9);
  EXPECT_NEAR(points[1][1], 0, 1e-9);
  EXPECT_NEAR(points[1][0], 0.5, 0.02);
  EXPECT_NEAR(points[1][2], 0.5, 0.02); // cube coordinates: 0.25 on an axis scaled by 0.5
  Press(frame, QPoint(2, 2));
  EXPECT_TRUE(frame.PickSectionPoints().empty());
}

TEST_F(CubeFrameTest, InspectorPressesReachTheViewWindow)
{
  int presses = 0;
  frame.SetMouseHandlers([&presses](QMouseEvent*) { ++presses; }, nullptr, nullptr);
  Trigger(frame, "PMIInspector");
  EXPECT_EQ(frame.MouseAction, 2);
  double theta, phi;
  Drag(frame, QPoint(100, 100), QPoint(150, 100)); // the inspector turns nothing
  frame.GetRotationAngles(&theta, &phi);
  EXPECT_EQ(phi, 0);
  EXPECT_EQ(presses, 1);
}

TEST_F(CubeFrameTest, MenuSectionsCommands)
{
  Trigger(frame, "PMIadd");
  Trigger(frame, "PMIadd");
  EXPECT_EQ(frame.SectionCount, 3);
  EXPECT_EQ(frame.CurrentSection, 2);
  Trigger(frame, "PMIOrientVer");
  EXPECT_NEAR(frame.SectionPlanesLocal[2][0], 1, 1e-12);
  Trigger(frame, "PMIdelete");
  EXPECT_EQ(frame.CurrentSection, 1);

  frame.UpdatePopupState();
  QMenu* current = frame.findChild<QMenu*>(QStringLiteral("PMIselected"));
  ASSERT_NE(current, nullptr);
  const QList<QAction*> items = current->actions();
  ASSERT_EQ(items.size(), 3); // "все", "0", "1"
  EXPECT_EQ(items[0]->text(), QString::fromUtf8("все"));
  EXPECT_TRUE(items[2]->isChecked());
  items[0]->trigger();
  EXPECT_EQ(frame.CurrentSection, -1);

  CubeSectionPosition position;
  position.shift = 0.5;
  std::strcpy(position.name, "Середина");
  frame.SetSectionPositions(&position, 1);
  QMenu* positions = frame.findChild<QMenu*>(QStringLiteral("PMIOrientSection"));
  ASSERT_EQ(positions->actions().size(), 1);
  EXPECT_EQ(positions->actions()[0]->text(), QString::fromUtf8("Середина"));
  positions->actions()[0]->trigger(); // all sections selected: nothing
  EXPECT_EQ(frame.SectionPlanes[0][3], 0);
  frame.SetCurrentSection(0);
  positions->actions()[0]->trigger();
  EXPECT_EQ(frame.SectionPlanes[0][3], 0.5);
}

TEST_F(CubeFrameTest, MenuInputBoxesAndColours)
{
  calls.inputAnswers = {QString("150"), QString("250"), QString("abc"), std::nullopt, QString("25")};
  Trigger(frame, "PMIZoomManual");
  EXPECT_EQ(frame.Zoom, 1.5);
  EXPECT_EQ(calls.inputs[0].caption, QString::fromUtf8("Масштаб"));
  EXPECT_EQ(calls.inputs[0].prompt, QString::fromUtf8("значение, %"));
  EXPECT_EQ(calls.inputs[0].text, QString("100"));

  Trigger(frame, "PMISecAlpha"); // beyond fully clear
  EXPECT_EQ(frame.SectionOpacity[0], 0);
  Trigger(frame, "PMISecAlpha"); // not a number: an error box, nothing changes
  EXPECT_EQ(frame.SectionOpacity[0], 0);
  ASSERT_EQ(calls.messages.size(), 1u);
  Trigger(frame, "PMISecAlpha"); // cancelled: the shown value again
  EXPECT_EQ(calls.inputs[3].text, QString("100"));
  EXPECT_EQ(frame.SectionOpacity[0], 0);

  Trigger(frame, "PMIalpha");
  EXPECT_EQ(frame.FillOpacity, 0xC000);
  EXPECT_EQ(calls.inputs[4].text, QString("50"));

  calls.colourAnswers = {QColor(1, 2, 3), std::nullopt};
  Trigger(frame, "PMIcolor1");
  EXPECT_EQ(frame.ColourMin, 0x030201u);
  Trigger(frame, "PMIcolor2"); // cancelled
  EXPECT_EQ(frame.ColourMax, 0x0000FFu);
  EXPECT_EQ(calls.colourStarts[1], QColor(255, 0, 0));
}

TEST_F(CubeFrameTest, MenuCheckMarksFollowTheSettings)
{
  Trigger(frame, "PMIshift_sec");
  Trigger(frame, "PMIHSVR");
  Trigger(frame, "PMIgrid_hor_wire");
  Trigger(frame, "PMIcont");
  EXPECT_TRUE(frame.Continuous);
  frame.UpdatePopupState();
  for (const char* on : {"PMIshift_sec", "PMIHSVR", "PMIgrid_hor_wire", "PMIcont", "PMIsolid", "PMIipolType0"})
    EXPECT_TRUE(frame.MenuItem(QString::fromLatin1(on))->isChecked()) << on;
  for (const char* off : {"PMIrot_cube_secs", "PMIHSV", "PMIgrid_hor_surf", "PMIInspector"})
    EXPECT_FALSE(frame.MenuItem(QString::fromLatin1(off))->isChecked()) << off;
  Trigger(frame, "PMIcont");
  EXPECT_FALSE(frame.Continuous);
  EXPECT_FALSE(frame.MenuItem(QStringLiteral("PMIfillingDlg"))->isEnabled()); // offered only without OpenGL
  for (const char* dialog : {"PMIopenGL", "PMICubeStatement"})
    EXPECT_TRUE(frame.MenuItem(QString::fromLatin1(dialog))->isEnabled()) << dialog;

  Trigger(frame, "PMIZoomIn");
  EXPECT_EQ(frame.Zoom, 2);
  Trigger(frame, "PMIZoomOut");
  EXPECT_EQ(frame.Zoom, 1);
}

TEST_F(CubeFrameTest, LoadedSettingsTakeEffectAtTheNextRedraw)
{
  REQUIRE_GL(frame);
  TCubeView saved;
  saved.UseGL = false;
  TMemoryStream stream;
  saved.Save(&stream);
  stream.SetPosition(0);
  frame.Load(&stream);
  EXPECT_FALSE(frame.HasGLContext());
  frame.Redraw();
  EXPECT_FALSE(frame.HasGLContext());
  EXPECT_EQ(frame.Picture().bottomUp, 0);
}

} // namespace
