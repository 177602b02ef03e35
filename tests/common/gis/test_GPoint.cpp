#include <gtest/gtest.h>

#include <functional>

#include <QColor>
#include <QImage>

#include "GisTestSupport.h"
#include "data/TagStream.h"
#include "gis/BitmapCanvas.h"

using namespace gistest;

namespace {

constexpr COLORREF kNavy = 0x800000;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

// A 100 x 80 view of the unit square; a point at (0.5, 0.5) anchors at (50, 40).
constexpr int kWidth = 100;
constexpr int kHeight = 80;
constexpr int kAnchorX = 50;
constexpr int kAnchorY = 40;

void DrawAtCentre(TGPoint& point, TTestBitmap& bitmap)
{
  point.SetXY(0.5, 0.5);
  point.Draw(0, 0, 1, 1, bitmap.get());
}

std::unique_ptr<TBitmap> Picture(int width, int height, const std::function<QRgb(int, int)>& colour)
{
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, colour(x, y));
  return TBitmap::FromImage(image);
}

} // namespace

TEST(PointDrawing, ANewMarkDrawsItsSignCentredAndItsNameBelow)
{
  TTestBitmap bitmap(kWidth, kHeight);
  TGMark mark(nullptr);
  mark.SetName("AB");
  DrawAtCentre(mark, bitmap);

  int left, top, right, bottom;
  ASSERT_TRUE(bitmap.BoundsOf(kNavy, left, top, right, bottom)) << "the sign is navy";
  EXPECT_NEAR((left + right) / 2.0, kAnchorX, 2.0);
  EXPECT_LT(top, kAnchorY);
  EXPECT_GT(bottom, kAnchorY - 3);

  int nameLeft, nameTop, nameRight, nameBottom;
  ASSERT_TRUE(bitmap.BoundsOf(kBlack, nameLeft, nameTop, nameRight, nameBottom))
      << "the label font's system colour draws black";
  EXPECT_GE(nameTop, kAnchorY + 3) << "below the sign's lower half";
  EXPECT_GT(nameTop, bottom);
  EXPECT_NEAR((nameLeft + nameRight) / 2.0, kAnchorX, 2.0);
}

TEST(PointDrawing, BottomAlignedSignSitsWhollyAboveTheAnchor)
{
  TTestBitmap bitmap(kWidth, kHeight);
  TGMark mark(nullptr);
  mark.SetName("AB");
  mark.SetVerticalAlignment(2);
  mark.SetHorizontalAlignment(0);
  DrawAtCentre(mark, bitmap);

  int left, top, right, bottom;
  ASSERT_TRUE(bitmap.BoundsOf(kNavy, left, top, right, bottom));
  EXPECT_LT(bottom, kAnchorY);
  EXPECT_GE(left, kAnchorX) << "left-aligned: the point is the sign's left edge";
  int nameLeft, nameTop, nameRight, nameBottom;
  ASSERT_TRUE(bitmap.BoundsOf(kBlack, nameLeft, nameTop, nameRight, nameBottom));
  EXPECT_GE(nameTop, kAnchorY + 3);
  EXPECT_LT(nameTop, kAnchorY + 8) << "no label offset: just below the anchor";
}

TEST(PointDrawing, WithoutSignOrIconOnlyTheNameShows)
{
  TTestBitmap bitmap(kWidth, kHeight);
  TGPoint point(nullptr);
  point.SetName("AB");
  DrawAtCentre(point, bitmap);
  int left, top, right, bottom;
  EXPECT_FALSE(bitmap.BoundsOf(kBlack, left, top, right, bottom)) << "the name is hidden by default";

  point.SetShowName(true);
  DrawAtCentre(point, bitmap);
  ASSERT_TRUE(bitmap.BoundsOf(kBlack, left, top, right, bottom));
  EXPECT_GE(top, kAnchorY + 3);
  EXPECT_LT(top, kAnchorY + 8);
  EXPECT_NEAR((left + right) / 2.0, kAnchorX, 2.0);
}

TEST(PointDrawing, IconGoesThroughItsMask)
{
  constexpr COLORREF kGreen = 0x00FF00;
  TTestBitmap bitmap(kWidth, kHeight);
  bitmap.Fill(kGreen);
  TGPoint point(nullptr);
  // A 4 x 4 red icon whose top-left pixel is transparent: white in the mask
  // and in the icon there.
  const auto transparent = [](int x, int y) { return x == 0 && y == 0; };
  point.SetIcon(Picture(4, 4, [&](int x, int y) { return transparent(x, y) ? qRgb(255, 255, 255) : qRgb(255, 0, 0); }),
                Picture(4, 4, [&](int x, int y) { return transparent(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }));
  point.SetShowName(true);
  point.SetName("AB");
  DrawAtCentre(point, bitmap);

  // Centred: the icon covers (48..51, 38..41).
  EXPECT_EQ(bitmap.Pixel(48, 38), kGreen) << "transparent pixel keeps the background";
  EXPECT_EQ(bitmap.Pixel(49, 38), 0x0000FFu) << "red";
  EXPECT_EQ(bitmap.Pixel(51, 41), 0x0000FFu);
  EXPECT_EQ(bitmap.Pixel(52, 41), kGreen);
  EXPECT_EQ(bitmap.Pixel(47, 40), kGreen);
  int left, top, right, bottom;
  ASSERT_TRUE(bitmap.BoundsOf(kBlack, left, top, right, bottom));
  EXPECT_GE(top, kAnchorY + 2 + 3) << "the name starts below the icon's lower half";
}

TEST(PointDrawing, OrientationAndDepthOfTheBitmapDoNotMoveThePicture)
{
  TTestBitmap reference(kWidth, kHeight);
  TGReper reper(nullptr);
  reper.SetName("R1");
  DrawAtCentre(reper, reference);
  int left, top, right, bottom;
  ASSERT_TRUE(reference.BoundsOf(kNavy, left, top, right, bottom)) << "the reper's sign";

  const struct {
    bool bottomUp;
    int bitCount;
  } layouts[] = {{true, 24}, {false, 32}, {true, 32}};
  for (const auto& layout : layouts) {
    TTestBitmap bitmap(kWidth, kHeight, layout.bottomUp, layout.bitCount);
    DrawAtCentre(reper, bitmap);
    int differences = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        differences += bitmap.Pixel(x, y) != reference.Pixel(x, y);
    EXPECT_EQ(differences, 0) << "bottom-up " << layout.bottomUp << ", " << layout.bitCount << " bits";
  }
}

TEST(PointDrawing, ReperSignIsTheSymbolFontsDiamond)
{
  TGReper reper(nullptr);
  EXPECT_EQ(TBitmapCanvas::TextOf(reper.GetSymbolFont(), reper.GetSymbol()), QString(QChar(0x2666)));
  EXPECT_EQ(reper.GetSymbolFont().name, "Symbol");
  EXPECT_EQ(reper.GetSymbolFont().size, 8);
  EXPECT_EQ(reper.GetSymbolFont().color, 0x800000);
  TGPoint point(nullptr);
  EXPECT_EQ(point.GetSymbol(), "");
  EXPECT_EQ(point.GetSymbolFont().name, "Symbol");
  EXPECT_EQ(point.GetSymbolFont().size, 10);
  EXPECT_EQ(point.GetSymbolFont().color, 0);
  TGMark mark(nullptr);
  EXPECT_EQ(mark.GetSymbolFont().name, "Courier");
}

// Whatever family the machine gives the name "Symbol" (the URW fonts give one
// without U+2666), the sign is drawn with glyphs of its own.
TEST(PointDrawing, TheReperSignIsDrawnInAFontThatHasIt)
{
  TGReper reper(nullptr);
  const QString sign = TBitmapCanvas::TextOf(reper.GetSymbolFont(), reper.GetSymbol());
  const QFont font = TBitmapCanvas::CoveringFont(TBitmapCanvas::FontOf(reper.GetSymbolFont()), sign);
  EXPECT_TRUE(TBitmapCanvas::HasGlyphs(font, sign)) << font.family().toStdString();
  EXPECT_EQ(font.pixelSize(), TBitmapCanvas::FontOf(reper.GetSymbolFont()).pixelSize());
}

TEST(PointDrawing, ABitmapWithoutPixelsDrawsNothing)
{
  TMemBitmap empty{};
  InitBitmap(&empty);
  TGMark mark(nullptr);
  mark.Draw(0, 0, 1, 1, &empty);
  mark.Draw(0, 0, 1, 1, nullptr);
  SUCCEED();
}

// --- records ------------------------------------------------------------------------

using gistest::ImageOf;
using gistest::LoadFrom;

TEST(PointRecord, GroupHoldsSymbolFontIconsAndAlignment)
{
  TGMark mark(nullptr);
  mark.SetSymbol("@");
  mark.SetHorizontalAlignment(2);
  mark.SetVerticalAlignment(0);
  mark.SetIcon(std::make_unique<TBitmap>(std::vector<uint8_t>{1, 2}), std::make_unique<TBitmap>(std::vector<uint8_t>{3}));
  TMemoryStream stream(ImageOf(mark));
  TTagStream tags(&stream, TagStreamRead);
  tags.SetGroup(TagGroup::Point);
  EXPECT_EQ(tags.ReadString("", 0), "@");
  TFontRecord font;
  ASSERT_TRUE(tags.ReadFont(font, 1));
  EXPECT_EQ(font, mark.GetSymbolFont());
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(tags.ReadRawRecord(bytes, 2));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2}));
  ASSERT_TRUE(tags.ReadRawRecord(bytes, 3));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{3}));
  EXPECT_EQ(tags.ReadInt(-1, 4), 2);
  EXPECT_EQ(tags.ReadInt(-1, 5), 0);
}

TEST(PointRecord, IconsComeAndGoWithTheRecord)
{
  TGMark withIcon(nullptr);
  withIcon.SetIcon(Picture(3, 2, [](int x, int) { return qRgb(x * 80, 0, 0); }),
                   Picture(3, 2, [](int, int) { return qRgb(0, 0, 0); }));
  const std::vector<uint8_t> iconImage = ImageOf(withIcon);

  TGMark loaded(nullptr);
  LoadFrom(loaded, iconImage);
  ASSERT_NE(loaded.GetIcon(), nullptr);
  ASSERT_NE(loaded.GetIconMask(), nullptr);
  EXPECT_EQ(loaded.GetIcon()->Bytes(), withIcon.GetIcon()->Bytes());
  EXPECT_EQ(loaded.GetIconMask()->Bytes(), withIcon.GetIconMask()->Bytes());
  EXPECT_EQ(loaded.GetIcon()->Width(), 3);
  EXPECT_EQ(loaded.GetIcon()->Image().pixel(2, 1), qRgb(160, 0, 0));

  TGMark plain(nullptr);
  const std::vector<uint8_t> plainImage = ImageOf(plain);
  TGMark stillPlain(nullptr);
  LoadFrom(stillPlain, plainImage);
  EXPECT_EQ(stillPlain.GetIcon(), nullptr);

  LoadFrom(loaded, plainImage);
  EXPECT_EQ(loaded.GetIcon(), nullptr) << "an empty icon record deletes the icon";
  EXPECT_EQ(loaded.GetIconMask(), nullptr);
}

TEST(PointRecord, AMarkRoundTripsByteForByte)
{
  TGReper reper(nullptr);
  reper.SetName("Репер 2");
  reper.SetXY(0.25, 0.75);
  reper.SetReperValue(3.5, 10001, 0.1);
  reper.SetIcon(Picture(2, 2, [](int, int) { return qRgb(1, 2, 3); }), Picture(2, 2, [](int, int) { return 0; }));
  const std::vector<uint8_t> image = ImageOf(reper);
  TGReper copy(nullptr);
  LoadFrom(copy, image);
  EXPECT_EQ(ImageOf(copy), image);
  EXPECT_EQ(copy.GetSymbol(), reper.GetSymbol());
}
