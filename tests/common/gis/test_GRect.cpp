#include <gtest/gtest.h>

#include <QImage>

#include "GisTestSupport.h"
#include "data/SLine.h"
#include "data/TagStream.h"

using namespace gistest;

namespace {

std::unique_ptr<TGRect> UnitRect(double x, double y, double dx, double dy)
{
  auto rect = std::make_unique<TGRect>(nullptr);
  rect->SetRelativeRect(x, y, x + dx, y + dy);
  return rect;
}

} // namespace

// --- hit tests ----------------------------------------------------------------------

TEST(RectHitTest, DistanceToTheRectangle)
{
  struct Case {
    const char* what;
    double x, y, dx, dy;
    double u, v;
    double distance, nearestU, nearestV;
  };
  const Case cases[] = {
      {"inside", 0, 0, 1, 1, 0.3, 0.6, 0, 0.3, 0.6},
      {"on the border", 0, 0, 1, 1, 1, 0.5, 0, 1, 0.5},
      {"on the border, negative extents", 1, 1, -1, -1, 0, 0.2, 0, 0, 0.2},
      {"inside, negative extents", 2, 0, -2, 1, 1, 0.5, 0, 1, 0.5},
      {"left of the rectangle", 0, 0, 1, 1, -0.5, 0.5, 0.5, 0, 0.5},
      {"below", 0, 0, 1, 1, 0.25, -2, 2, 0.25, 0},
      {"right", 0, 0, 1, 1, 1.5, 0.75, 0.5, 1, 0.75},
      {"above, negative extent", 0, 1, 1, -1, 0.5, 1.25, 0.25, 0.5, 1},
      {"off a corner", 0, 0, 1, 1, 4, 5, 5, 1, 1},
  };
  for (const Case& c : cases) {
    const auto rect = UnitRect(c.x, c.y, c.dx, c.dy);
    double nu = -9, nv = -9;
    EXPECT_DOUBLE_EQ(rect->RelativeDistanceTo(c.u, c.v, nu, nv), c.distance) << c.what;
    EXPECT_DOUBLE_EQ(nu, c.nearestU) << c.what;
    EXPECT_DOUBLE_EQ(nv, c.nearestV) << c.what;
    EXPECT_EQ(rect->ContainsPoint(c.u, c.v), c.distance == 0) << c.what;
  }
}

TEST(RectHitTest, NearestHandleWithTiesToTheEarlierInOrder0312)
{
  struct Case {
    const char* what;
    double u, v;
    int handle;
    double distance;
  };
  // Handles of the unit rectangle: 0 (0, 0), 1 (0, 1), 2 (1, 1), 3 (1, 0).
  const Case cases[] = {
      {"near the origin", 0.1, 0.1, 0, 0.14142135623730953},
      {"near the far corner", 0.9, 1.2, 2, 0.22360679774997896},
      {"between 0 and 3", 0.5, -0.1, 0, 0.50990195135927852},
      {"between 1 and 2", 0.5, 1.0, 1, 0.5},
      {"between 3 and 2", 1.5, 0.5, 3, 0.70710678118654757},
      {"between 0 and 1", -0.5, 0.5, 0, 0.70710678118654757},
      {"centre: all four", 0.5, 0.5, 0, 0.70710678118654757},
  };
  const auto rect = UnitRect(0, 0, 1, 1);
  for (const Case& c : cases) {
    double nu, nv;
    int handle = -1;
    EXPECT_DOUBLE_EQ(rect->RelativeHandleDistanceTo(c.u, c.v, nu, nv, handle), c.distance) << c.what;
    EXPECT_EQ(handle, c.handle) << c.what;
    double hu, hv;
    rect->GetHandle(c.handle, hu, hv);
    EXPECT_EQ(nu, hu) << c.what;
    EXPECT_EQ(nv, hv) << c.what;
  }
}

TEST(RectHitTest, WorldHitDistanceOfTheModelArea)
{
  TGIS gis;
  gis.SetTransform(0, 0, 100, 50);
  TGModelRect area(&gis);
  area.SetRelativeRect(0.2, 0.2, 0.4, 0.6);
  EXPECT_DOUBLE_EQ(area.HitDistance(30, 20, false), 0);
  EXPECT_DOUBLE_EQ(area.HitDistance(10, 20, false), 10) << "left of the area, in world units";
  EXPECT_DOUBLE_EQ(area.HitDistance(37, 34, true), 5) << "to handle 2 at (40, 30)";
  double nx, ny;
  int handle;
  area.HandleDistanceTo(21, 31, nx, ny, handle);
  EXPECT_EQ(handle, 1);
  EXPECT_DOUBLE_EQ(nx, 20);
  EXPECT_DOUBLE_EQ(ny, 30);
}

TEST(RectHitTest, OutlineIsTheClosedRingOfHandles)
{
  const auto rect = UnitRect(1, 2, 3, -1);
  TSLine outline;
  rect->GetOutline(outline);
  ASSERT_EQ(outline.Count(), 4);
  EXPECT_TRUE(outline.Closed());
  const double expected[4][2] = {{1, 2}, {1, 1}, {4, 1}, {4, 2}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(outline.Item(i)->x, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(outline.Item(i)->y, expected[i][1]) << i;
  }
}

// --- map picture ---------------------------------------------------------------------

namespace {

// Four columns of distinct colours, two rows high.
const QRgb kColumns[4] = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255), qRgb(200, 200, 0)};
COLORREF ColumnColour(int column)
{
  const QRgb c = kColumns[column];
  return static_cast<COLORREF>(qRed(c)) | (static_cast<COLORREF>(qGreen(c)) << 8) |
         (static_cast<COLORREF>(qBlue(c)) << 16);
}

std::unique_ptr<TBitmap> Columns()
{
  QImage image(4, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      image.setPixel(x, y, kColumns[x]);
  return TBitmap::FromImage(image);
}

constexpr COLORREF kWhite = 0xFFFFFF;

} // namespace

TEST(MapDrawing, StretchesTheBitmapOverItsRectangle)
{
  TTestBitmap bitmap(40, 40);
  TGMap map(nullptr, 0.25, 0.25, 0.5, 0.5, Columns());
  map.Draw(0, 0, 1, 1, bitmap.get());
  // Destination (10, 10) to (30, 30): five pixels per source column.
  EXPECT_EQ(bitmap.Pixel(9, 15), kWhite);
  EXPECT_EQ(bitmap.Pixel(10, 10), ColumnColour(0));
  EXPECT_EQ(bitmap.Pixel(17, 20), ColumnColour(1));
  EXPECT_EQ(bitmap.Pixel(22, 29), ColumnColour(2));
  EXPECT_EQ(bitmap.Pixel(29, 25), ColumnColour(3));
  EXPECT_EQ(bitmap.Pixel(30, 25), kWhite);
  EXPECT_EQ(bitmap.Pixel(20, 30), kWhite);
}

TEST(MapDrawing, HalfOutToTheLeftCutsTheSourceInWholePixels)
{
  // The view starts at x = 0.3 of a map spanning 0..1: 1.2 source columns are
  // off screen; the cut takes one whole column and shifts the rest to -2.
  TTestBitmap bitmap(40, 20);
  TGMap map(nullptr, 0, 0, 1, 1, Columns());
  map.Draw(0.3, 0, 1.3, 1, bitmap.get());
  EXPECT_EQ(bitmap.Pixel(0, 5), ColumnColour(1));
  EXPECT_EQ(bitmap.Pixel(7, 5), ColumnColour(1));
  EXPECT_EQ(bitmap.Pixel(8, 5), ColumnColour(2));
  EXPECT_EQ(bitmap.Pixel(17, 5), ColumnColour(2));
  EXPECT_EQ(bitmap.Pixel(18, 5), ColumnColour(3));
  EXPECT_EQ(bitmap.Pixel(27, 5), ColumnColour(3));
  EXPECT_EQ(bitmap.Pixel(28, 5), kWhite);
}

TEST(MapDrawing, OutToTheRightAndBelowKeepsThePixelScale)
{
  TTestBitmap bitmap(40, 40);
  TGMap map(nullptr, 0, 0, 1, 1, Columns());
  map.Draw(-0.7, -0.75, 0.3, 0.25, bitmap.get());
  // Starts at (28, 30), ten pixels per column, 20 per row.
  EXPECT_EQ(bitmap.Pixel(27, 35), kWhite);
  EXPECT_EQ(bitmap.Pixel(28, 30), ColumnColour(0));
  EXPECT_EQ(bitmap.Pixel(37, 39), ColumnColour(0));
  EXPECT_EQ(bitmap.Pixel(38, 39), ColumnColour(1));
  EXPECT_EQ(bitmap.Pixel(30, 29), kWhite);
}

TEST(MapDrawing, PicturesOutsideTheViewOrUnreadableDrawNothing)
{
  TTestBitmap bitmap(20, 20);
  TGMap far(nullptr, 5, 5, 1, 1, Columns());
  far.Draw(0, 0, 1, 1, bitmap.get());
  TGMap left(nullptr, -1e12, 0, 1, 1, Columns());
  left.Draw(0, 0, 1, 1, bitmap.get());
  TGMap broken(nullptr, 0, 0, 1, 1, std::make_unique<TBitmap>(std::vector<uint8_t>{'B', 'M', 0}));
  broken.Draw(0, 0, 1, 1, bitmap.get());
  TGMap none(nullptr, 0, 0, 1, 1, nullptr);
  none.Draw(0, 0, 1, 1, bitmap.get());
  int l, t, r, b;
  EXPECT_FALSE(bitmap.BoundsOf(ColumnColour(0), l, t, r, b));
  EXPECT_TRUE(bitmap.BoundsOf(kWhite, l, t, r, b));
  EXPECT_EQ(r - l + 1, 20);
  EXPECT_EQ(b - t + 1, 20);
}

TEST(ModelAreaDrawing, DrawsNothing)
{
  TTestBitmap bitmap(10, 10);
  TGModelRect area(nullptr);
  area.SetRelativeRect(0, 0, 1, 1);
  area.Draw(0, 0, 1, 1, bitmap.get());
  int l, t, r, b;
  ASSERT_TRUE(bitmap.BoundsOf(kWhite, l, t, r, b));
  EXPECT_EQ((r - l + 1) * (b - t + 1), 100);
}

// --- map records -------------------------------------------------------------------------

namespace {

using gistest::ImageOf;
using gistest::LoadFrom;

// A map image whose group 411 carries the given picture records.
std::vector<uint8_t> MapImage(const std::vector<uint8_t>& bitmapBytes, const std::vector<uint8_t>& metafileBytes)
{
  TGMap map(nullptr);
  TMemoryStream stream;
  TTagStream tags(&stream, TagStreamWrite);
  static_cast<const TGObj&>(map).TGObj::Save(tags);
  tags.SetGroup(TagGroup::MapPicture);
  tags.WriteBlock(bitmapBytes.data(), static_cast<int32_t>(bitmapBytes.size()));
  tags.WriteBlock(metafileBytes.data(), static_cast<int32_t>(metafileBytes.size()));
  tags.Commit();
  return stream.Bytes();
}

} // namespace

TEST(MapRecord, PicturesComeAndGoWithTheRecord)
{
  TGMap map(nullptr);
  LoadFrom(map, MapImage({1, 2, 3}, {4, 5}));
  ASSERT_NE(map.GetBitmap(), nullptr);
  ASSERT_NE(map.GetMetafile(), nullptr);
  EXPECT_EQ(map.GetMetafile()->Bytes(), (std::vector<uint8_t>{4, 5}));
  EXPECT_EQ(ImageOf(map), MapImage({1, 2, 3}, {4, 5}));

  LoadFrom(map, MapImage({1, 2, 3}, {}));
  EXPECT_EQ(map.GetMetafile(), nullptr) << "an empty record deletes the metafile";

  TGMap plain(nullptr, 0, 0, 1, 1, Columns());
  TGMap copy(nullptr);
  LoadFrom(copy, ImageOf(plain));
  EXPECT_EQ(copy.GetMetafile(), nullptr);
  ASSERT_NE(copy.GetBitmap(), nullptr);
  EXPECT_EQ(copy.GetBitmap()->Bytes(), plain.GetBitmap()->Bytes());
  EXPECT_EQ(ImageOf(copy), ImageOf(plain));
}

TEST(MapRecord, SettingABitmapDropsTheMetafile)
{
  TGMap map(nullptr);
  LoadFrom(map, MapImage({1}, {4, 5}));
  ASSERT_NE(map.GetMetafile(), nullptr);
  map.SetBitmap(Columns());
  EXPECT_EQ(map.GetMetafile(), nullptr);
  ASSERT_NE(map.GetBitmap(), nullptr);
  EXPECT_EQ(map.GetBitmap()->Width(), 4);
}
