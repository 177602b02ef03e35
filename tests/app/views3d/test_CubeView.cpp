#include "views3d/CubeView.h"

#include "data/Stream.h"
#include "data/TagStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A view that counts its redraws and the drops of its OpenGL context.
class TCountingView : public TCubeView {
public:
  int redraws = 0;
  int contextDrops = 0;
  bool timer = false;
  void Redraw() override { ++redraws; }
  void DoneGL() override { ++contextDrops; }
  void SetMotionTimer(bool running) override { timer = running; }
};

void SetArray(TCubeView& view, std::vector<double>& values, int nx, int ny, int nz, double ex, double ey,
              double ez, double* min, double* max, bool autoRange = true)
{
  view.SetData(values.data(), 0, nx, ny, nz, ex, ey, ez, autoRange, min, max, nullptr, nullptr);
}

TEST(CubeViewData, TakesTheRangeAndCodesOfAnArray)
{
  TCubeView view;
  double min = 0, max = 0;
  std::vector<double> values = {3, 1, 2};
  SetArray(view, values, 3, 1, 1, 2, 2, 2, &min, &max);
  EXPECT_EQ(min, 1);
  EXPECT_EQ(max, 3);
  EXPECT_EQ(view.ValueCodes, (std::vector<int32_t>{65534, 0, 32767}));

  std::vector<double> missing(4, 1e300);
  SetArray(view, missing, 2, 2, 1, 2, 2, 2, &min, &max);
  EXPECT_EQ(min, 1e300);
  EXPECT_EQ(max, -1e300);
  EXPECT_EQ(view.ValueCodes, std::vector<int32_t>(4, 65535));

  std::vector<double> flat(3, 5.0);
  min = max = 5;
  SetArray(view, flat, 3, 1, 1, 2, 2, 2, &min, &max, false);
  EXPECT_EQ(view.ValueCodes, std::vector<int32_t>(3, 0));
}

TEST(CubeViewData, BackwardsAxesAndProportions)
{
  TCubeView view;
  double min = 0, max = 0;
  std::vector<double> values(2 * 3 * 4);
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = static_cast<double>(i);
  SetArray(view, values, 2, 3, 4, 2, -4, -6, &min, &max);
  EXPECT_EQ(view.ValueCodes[(3 * 3 + 2) * 2 + 0], 0); // ix 0, iy ny - 1, iz nz - 1
  EXPECT_EQ(view.HalfExtentX, 1);
  EXPECT_EQ(view.HalfExtentY, 2);
  EXPECT_EQ(view.HalfExtentZ, 3);
  const struct {
    double factor;
    double scales[3];
  } cases[] = {{1, {1.0 / 3, 2.0 / 3, 1}}, {0, {1, 1, 1}}, {0.5, {std::sqrt(1.0 / 3), std::sqrt(2.0 / 3), 1}}};
  for (const auto& c : cases) {
    view.SetAxesProportion(c.factor);
    EXPECT_NEAR(view.AxisScaleX, c.scales[0], 1e-12) << c.factor;
    EXPECT_NEAR(view.AxisScaleY, c.scales[1], 1e-12) << c.factor;
    EXPECT_NEAR(view.AxisScaleZ, c.scales[2], 1e-12) << c.factor;
    EXPECT_NEAR(view.BoxCornersScaled[0][1], c.scales[1], 1e-12) << c.factor;
  }
  // A later data set keeps the proportions chosen.
  SetArray(view, values, 2, 3, 4, 2, -4, -6, &min, &max);
  EXPECT_NEAR(view.AxisScaleX, std::sqrt(1.0 / 3), 1e-12);
}

TEST(CubeViewData, SegmentsFollowTheScalesAndTheRotation)
{
  TCubeView view;
  CubeViewSegment segment;
  segment.width = 2;
  segment.x2 = 1, segment.y2 = 1, segment.z2 = 1;
  view.SetSegments(&segment, 1);
  view.SetAxesScale(0.5, 1, 0.25);
  view.SetRotationAngles(0, M_PI / 2);
  EXPECT_EQ(view.SegmentStyles[0].width2, 4);
  EXPECT_EQ(view.SegmentsScaled[3], 0.5);
  EXPECT_EQ(view.SegmentsScaled[5], 0.25);
  // Rz(90 degrees) takes (0.5, 1, 0.25) to (-1, 0.5, 0.25).
  EXPECT_NEAR(view.SegmentsView[3], -1, 1e-12);
  EXPECT_NEAR(view.SegmentsView[4], 0.5, 1e-12);
  EXPECT_NEAR(view.SegmentsView[5], 0.25, 1e-12);
  view.SetSegments(nullptr, 0);
  EXPECT_EQ(view.SegmentCount, 0);
  EXPECT_TRUE(view.SegmentsView.empty());
}

TEST(CubeViewSections, CountCurrentAndSlotsThatComeBack)
{
  TCountingView view;
  view.SetSectionCount(3);
  view.SetSectionAngles(2, M_PI / 2, 0);
  view.SetCurrentSection(2);
  EXPECT_EQ(view.CurrentSection, 2);
  view.SetSectionCount(2);
  EXPECT_EQ(view.CurrentSection, 1);
  view.SetSectionCount(3); // the third section comes back turned as it was
  EXPECT_NEAR(view.SectionPlanes[2][1], -1, 1e-12);
  EXPECT_TRUE(view.SectionStale[2]);

  view.SetSectionCount(9);
  view.SetSectionCount(10);
  EXPECT_EQ(view.SectionCount, 9);
  view.SetSectionCount(-1);
  EXPECT_EQ(view.SectionCount, 9);
  view.SetSectionCount(0);
  EXPECT_EQ(view.CurrentSection, -1);
  view.SetCurrentSection(0);
  EXPECT_EQ(view.CurrentSection, -1);
}

TEST(CubeViewSections, AnglesOrientationsAndPositions)
{
  TCubeView view;
  view.SetSectionOrientation(0, M_PI / 2, M_PI / 2, 0.3);
  double theta, phi, shift;
  view.GetSectionAngles(0, &theta, &phi, &shift);
  EXPECT_NEAR(theta, M_PI / 2, 1e-12);
  EXPECT_NEAR(phi, M_PI / 2, 1e-12);
  EXPECT_EQ(shift, 0.3);
  // Vertical: the normal is Rz(90) Rx(90) (0, 0, 1) = (1, 0, 0).
  EXPECT_NEAR(view.SectionPlanesLocal[0][0], 1, 1e-12);
  view.GetSectionAngles(10, &theta, &phi, &shift);
  EXPECT_EQ(theta, 0);

  CubeSectionPosition position;
  CubeRotationX(M_PI / 2, position.matrix);
  position.shift = -0.4;
  std::strcpy(position.name, "front");
  view.SetSectionPositions(&position, 1);
  view.ApplySectionPosition(0);
  EXPECT_NEAR(view.SectionPlanes[0][1], -1, 1e-12);
  EXPECT_EQ(view.SectionPlanes[0][3], -0.4);
  view.SetCurrentSection(-1);
  view.SetSectionOrientation(0, 0, 0, 0);
  view.ApplySectionPosition(0); // nothing while all sections are selected
  EXPECT_EQ(view.SectionPlanes[0][3], 0);
}

TEST(CubeViewSettings, OpacitiesAreClampedFromPercentsAndFractions)
{
  TCubeView view;
  const struct {
    double percent;
    int32_t opacity;
  } cases[] = {{0, 0x10000}, {50, 0x8000}, {100, 0}, {-20, 0x10000}, {250, 0}};
  for (const auto& c : cases) {
    view.SetSectionTransparency(0, c.percent);
    EXPECT_EQ(view.SectionOpacity[0], c.opacity) << c.percent;
  }
  view.SetFillOpacity(1.5);
  EXPECT_EQ(view.FillOpacity, 0x10000);
  view.SetFillOpacity(-1);
  EXPECT_EQ(view.FillOpacity, 0);
  view.SetFillOpacity(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(view.FillOpacity, 0);
}

TEST(CubeViewMotion, DragsTurnZoomAndShift)
{
  TCountingView view;
  view.UpdateViewScale(400, 300);
  const double pixel = view.PixelSize;
  view.FrameMouseDown(100, 100);
  view.FrameMouseMove(true, 110, 100);
  double theta, phi;
  view.GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(phi, 10 * pixel, 1e-12);
  view.FrameMouseMove(false, 200, 200); // no button: nothing
  view.GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(theta, 0, 1e-12);
  view.FrameMouseUp();
  view.FrameMouseMove(true, 300, 300); // released: nothing
  view.GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(phi, 10 * pixel, 1e-12);

  view.KeyDown(TCubeKey::X, false); // zoom
  view.FrameMouseWheel(18);         // 0.1 cube units: a factor 1.05 per two pixels
  EXPECT_NEAR(view.Zoom, std::pow(1.05, 0.5 * 0.1 / pixel), 1e-9);
  view.FrameMouseWheel(3600);       // beyond the largest zoom: nothing
  EXPECT_NEAR(view.Zoom, std::pow(1.05, 0.5 * 0.1 / pixel), 1e-9);
  view.SetZoom(1);
  view.KeyDown(TCubeKey::W, false); // shift the picture
  view.KeyDown(TCubeKey::Right, true);
  EXPECT_NEAR(view.ShiftX, 10, 1e-9);

  view.KeyDown(TCubeKey::S, false); // shift the sections
  view.KeyDown(TCubeKey::Up, false);
  EXPECT_NEAR(view.SectionPlanes[0][3], -pixel, 1e-12);
}

TEST(CubeViewMotion, ContinuousModeRepeatsFromThePressPoint)
{
  TCountingView view;
  view.UpdateViewScale(400, 400);
  view.SetContinuous(true);
  view.FrameMouseDown(10, 10);
  EXPECT_TRUE(view.timer);
  view.FrameMouseMove(true, 14, 10);
  double theta, phi;
  view.GetRotationAngles(&theta, &phi);
  EXPECT_EQ(phi, 0); // only the timer turns
  view.MotionTimerStep();
  view.MotionTimerStep();
  view.GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(phi, 8 * view.PixelSize, 1e-12);
  view.FrameMouseUp();
  EXPECT_FALSE(view.timer);
}

TEST(CubeViewMotion, ZoomStaysWithinItsRange)
{
  TCountingView view;
  view.ShiftX = 10;
  view.SetZoom(2);
  EXPECT_EQ(view.ShiftX, 20);
  for (double z : {0.1, 25.0, std::numeric_limits<double>::quiet_NaN()}) {
    view.SetZoom(z);
    EXPECT_EQ(view.Zoom, 2) << z;
  }
}

TEST(CubeViewMotion, KeysChooseSectionsAndModes)
{
  TCubeView view;
  view.SetSectionCount(3);
  const struct {
    TCubeKey key;
    int section;
  } sections[] = {{TCubeKey::Digit3, 2}, {TCubeKey::Digit9, 2}, {TCubeKey::Digit0, -1}, {TCubeKey::Digit1, 0}};
  for (const auto& c : sections) {
    view.KeyDown(c.key, false);
    EXPECT_EQ(view.CurrentSection, c.section);
  }
  const struct {
    TCubeKey key;
    int action, mode;
  } modes[] = {{TCubeKey::A, 0, 1}, {TCubeKey::Q, 0, 0}, {TCubeKey::S, 1, 1},
               {TCubeKey::W, 1, 2}, {TCubeKey::X, 1, 0}, {TCubeKey::Z, 0, 2}};
  for (const auto& c : modes) {
    view.KeyDown(c.key, false);
    EXPECT_EQ(view.MouseAction, c.action);
    EXPECT_EQ(view.MotionMode, c.mode);
  }
}

TEST(CubeViewMotion, TurningTheBoxAloneKeepsTheSectionInTheView)
{
  TCubeView view;
  view.UpdateViewScale(400, 400);
  view.SetSectionAngles(0, 0.4, 0.3);
  const double before[3] = {view.SectionPlanes[0][0], view.SectionPlanes[0][1], view.SectionPlanes[0][2]};
  view.SetMotionMode(2);
  view.Rotate(0.2, -0.1);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(view.SectionPlanes[0][i], before[i], 1e-12);
}

TEST(CubeViewPicking, TheSoftwareRayRunsFromThePressPoint)
{
  TCubeView view;
  view.UpdateViewScale(200, 200); // 56 pixels per unit, centre (100, 100)
  CubeViewSegment segments[2];
  segments[0].x2 = 0.5, segments[0].z2 = 0.5;
  segments[1].x2 = -0.5, segments[1].z2 = -0.5;
  view.SetSegments(segments, 2);
  view.SetSectionAngles(0, M_PI / 2, 0); // the plane y = 0, facing the viewer
  view.FrameMouseDown(100 - 28, 100 + 28);
  EXPECT_EQ(view.PickSegment(), 1);
  const auto hit = view.PickSectionPoints();
  ASSERT_EQ(hit.size(), 1u);
  EXPECT_NEAR(hit[0][0], -0.5, 1e-12);
  EXPECT_NEAR(hit[0][2], -0.5, 1e-12);
  view.FrameMouseDown(100 - 3 * 28, 100); // beside the box
  EXPECT_TRUE(view.PickSectionPoints().empty());
}

// ---- The settings image ----

TEST(CubeViewSettingsImage, RoundTripRestoresTheSettings)
{
  TCountingView saved;
  saved.SetSectionCount(3);
  saved.SetSectionOrientation(1, 0.5, 0.25, -0.3);
  saved.SetCurrentSection(1);
  saved.SetRotationAngles(0.4, -0.7);
  saved.SetColours(0x123456, 0x654321);
  saved.ColourScale = 2;
  saved.FillMode = 2;
  saved.FillOpacity = 0x4000;
  saved.MouseAction = 1;
  saved.MotionMode = 2;
  saved.Continuous = true;
  saved.SetAxesScale(0.5, 0.75, 1);
  saved.Zoom = 3;
  saved.ShiftX = 12;
  saved.SectionOpacity[2] = 0x1000;
  saved.SectionColour[2] = 0xFF00FF;
  saved.UseGL = false;
  saved.GLIntoBitmap = false;
  saved.GridMode = 3;
  saved.Lighting = false;
  saved.CameraDistance = 7;
  saved.LightPosition[0] = -2;
  saved.AmbientLight = 0.5;
  saved.ProportionFactor = 0.75;
  saved.Smoothing = true;
  saved.ShowIsosurfaces = true;
  saved.IsoLevels = {{1.5, 0xFF, 0xFF00}, {2.5, 0xFF0000, 0xFFFF}};
  saved.LightMovesWithObject = false;
  saved.Shininess = 60;
  TMemoryStream stream;
  saved.Save(&stream);

  TCountingView loaded;
  CubeViewSegment segment;
  loaded.SetSegments(&segment, 1);
  stream.SetPosition(0);
  loaded.Load(&stream);
  EXPECT_EQ(loaded.contextDrops, 1);
  EXPECT_EQ(loaded.SegmentCount, 0);
  for (int i = 0; i < 9; ++i)
    EXPECT_NEAR(loaded.Rotation[i], saved.Rotation[i], 1e-12);
  for (int i = 0; i < 9; ++i)
    EXPECT_DOUBLE_EQ(loaded.SectionMatrices[1][i], saved.SectionMatrices[1][i]);
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(loaded.SectionPlanes[1][i], saved.SectionPlanes[1][i], 1e-12);
  EXPECT_EQ(loaded.SectionCount, 3);
  EXPECT_EQ(loaded.CurrentSection, 1);
  EXPECT_EQ(loaded.ColourMin, 0x123456u);
  EXPECT_EQ(loaded.ColourMax, 0x654321u);
  EXPECT_EQ(loaded.ColourScale, 2);
  EXPECT_EQ(loaded.FillMode, 2);
  EXPECT_EQ(loaded.FillOpacity, 0x4000);
  EXPECT_EQ(loaded.MouseAction, 1);
  EXPECT_EQ(loaded.MotionMode, 2);
  EXPECT_TRUE(loaded.Continuous);
  EXPECT_EQ(loaded.AxisScaleY, 0.75);
  EXPECT_EQ(loaded.BoxCornersScaled[0][0], 0.5);
  EXPECT_EQ(loaded.Zoom, 3);
  EXPECT_EQ(loaded.ShiftX, 12);
  EXPECT_EQ(loaded.SectionOpacity[2], 0x1000);
  EXPECT_EQ(loaded.SectionColour[2], 0xFF00FFu);
  EXPECT_FALSE(loaded.UseGL);
  EXPECT_FALSE(loaded.GLIntoBitmap);
  EXPECT_EQ(loaded.GridMode, 3);
  EXPECT_FALSE(loaded.Lighting);
  EXPECT_EQ(loaded.CameraDistance, 7);
  EXPECT_EQ(loaded.LightPosition[0], -2);
  EXPECT_EQ(loaded.AmbientLight, 0.5);
  EXPECT_EQ(loaded.ProportionFactor, 0.75);
  EXPECT_TRUE(loaded.Smoothing);
  EXPECT_TRUE(loaded.ShowIsosurfaces);
  ASSERT_EQ(loaded.IsoLevels.size(), 2u);
  EXPECT_EQ(loaded.IsoLevels[1].level, 2.5);
  EXPECT_EQ(loaded.IsoLevels[1].backColour, 0xFFFFu);
  EXPECT_FALSE(loaded.LightMovesWithObject);
  EXPECT_EQ(loaded.Shininess, 60);
  for (int s = 0; s < 3; ++s)
    EXPECT_TRUE(loaded.SectionStale[s]);
}

TEST(CubeViewSettingsImage, RecordIdsSkipOne)
{
  TCubeView view;
  TMemoryStream stream;
  view.Save(&stream);
  stream.SetPosition(0);
  TTagStream tags(&stream, TagStreamRead);
  ASSERT_EQ(tags.Records().size(), 50u);
  EXPECT_EQ(tags.Records()[0].id, 0);
  EXPECT_EQ(tags.Records()[1].id, 2);
  EXPECT_EQ(tags.Records()[1].data.size(), 320u);
  EXPECT_EQ(tags.Records().back().id, 50);
}

// An image of a few chosen records, the others missing.
template <class Writer> TMemoryStream Image(Writer write)
{
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(0);
    write(tags);
    tags.Commit();
  }
  stream.SetPosition(0);
  return stream;
}

TEST(CubeViewSettingsImage, HostileRecordsLeaveTheFieldsSound)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TMemoryStream stream = Image([nan](TTagStream& tags) {
    tags.WriteInt(12, 4);        // section count beyond the slots
    tags.WriteInt(7, 5);         // current section not in use
    tags.WriteInt(-5, 11);       // colour scale
    tags.WriteInt(0x7FFFFFFF, 14); // fill opacity
    tags.WriteInt(9, 16);        // mouse action
    tags.WriteDouble(0, 17);     // axis scale 0
    tags.WriteDouble(nan, 18);   // axis scale NaN
    tags.WriteDouble(4, 19);     // axis scale above 1
    tags.WriteDouble(1e9, 21);   // zoom
    const int32_t opacities[10] = {-4, 0x7FFFFFFF};
    tags.WriteBuffer(opacities, sizeof opacities, 24);
    tags.WriteInt(17, 29);       // grid mode
    tags.WriteDouble(nan, 36);   // camera distance
    const uint8_t levels[40] = {};
    tags.WriteBlock(levels, sizeof levels, 47);
    tags.WriteInt(0, 48);        // a level record of 0 bytes
  });
  TCubeView view;
  view.Load(&stream);
  EXPECT_EQ(view.SectionCount, 1);
  EXPECT_EQ(view.CurrentSection, -1);
  EXPECT_EQ(view.ColourScale, 1);
  EXPECT_EQ(view.FillOpacity, 0x8000);
  EXPECT_EQ(view.MouseAction, 0);
  EXPECT_EQ(view.AxisScaleX, 1);
  EXPECT_EQ(view.AxisScaleY, 1);
  EXPECT_EQ(view.AxisScaleZ, 1);
  EXPECT_EQ(view.Zoom, 1);
  EXPECT_EQ(view.SectionOpacity[0], 0);
  EXPECT_EQ(view.SectionOpacity[1], 0x10000);
  EXPECT_EQ(view.GridMode, 4);
  EXPECT_EQ(view.CameraDistance, 5);
  EXPECT_TRUE(view.IsoLevels.empty());
}

TEST(CubeViewSettingsImage, LevelRecordSizes)
{
  const struct {
    int32_t recordSize;
    size_t levels;
  } cases[] = {{16, 3}, {8, 6}, {0, 0}, {17, 0}, {-16, 0}, {48, 0}};
  for (const auto& c : cases) {
    TMemoryStream stream = Image([&c](TTagStream& tags) {
      double block[6] = {1.5, 0, 2.5, 0, 3.5, 0};
      tags.WriteBlock(block, sizeof block, 47);
      tags.WriteInt(c.recordSize, 48);
    });
    TCubeView view;
    view.IsoLevels = {{9, 0, 0}};
    view.Load(&stream);
    ASSERT_EQ(view.IsoLevels.size(), c.levels) << c.recordSize;
    if (c.levels == 3) {
      EXPECT_EQ(view.IsoLevels[2].level, 3.5);
    }
  }
  // An image without levels leaves none.
  TMemoryStream empty = Image([](TTagStream&) {});
  TCubeView view;
  view.IsoLevels = {{9, 0, 0}};
  view.Load(&empty);
  EXPECT_TRUE(view.IsoLevels.empty());
}

} // namespace
