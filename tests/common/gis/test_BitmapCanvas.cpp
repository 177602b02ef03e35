#include <gtest/gtest.h>

#include <QImage>

#include "GisTestSupport.h"
#include "gis/BitmapCanvas.h"
#include "gis/SymbolEncoding.h"

using namespace gistest;

TEST(BitmapCanvas, RasterOperationsOfBlockCopies)
{
  struct Case {
    const char* what;
    TRasterOp op;
    QRgb source;
    COLORREF target;
    COLORREF expected;
  };
  const Case cases[] = {
      {"copy", RopSrcCopy, qRgb(0x12, 0x34, 0x56), 0xFFFFFF, 0x563412},
      {"and", RopSrcAnd, qRgb(0xF0, 0x0F, 0xFF), 0x336699, 0x330690},
      {"merge paint of black", RopMergePaint, qRgb(0, 0, 0), 0x123456, 0xFFFFFF},
      {"merge paint of white", RopMergePaint, qRgb(0xFF, 0xFF, 0xFF), 0x123456, 0x123456},
      {"merge paint", RopMergePaint, qRgb(0xF0, 0xFF, 0x00), 0x000001, 0xFF0001 | 0x00000F},
  };
  for (const Case& c : cases) {
    TTestBitmap bitmap(3, 3);
    bitmap.Fill(c.target);
    QImage source(2, 2, QImage::Format_RGB32);
    source.fill(c.source);
    {
      TBitmapCanvas canvas(bitmap.get());
      canvas.BitBlt(2, -1, source, c.op);
    }
    EXPECT_EQ(bitmap.Pixel(2, 0), c.expected) << c.what;
    EXPECT_EQ(bitmap.Pixel(1, 0), c.target) << c.what << ": outside the copy";
    EXPECT_EQ(bitmap.Pixel(2, 1), c.target) << c.what << ": cut by the bitmap's edge";
  }
}

TEST(BitmapCanvas, BottomUpBitmapsGetTheirPixelsBackInPictureOrder)
{
  TTestBitmap bitmap(5, 4, true);
  QImage dot(1, 1, QImage::Format_RGB32);
  dot.fill(qRgb(255, 0, 0));
  {
    TBitmapCanvas canvas(bitmap.get());
    ASSERT_TRUE(canvas.IsValid());
    EXPECT_EQ(canvas.Width(), 5);
    EXPECT_EQ(canvas.Height(), 4);
    canvas.BitBlt(1, 0, dot, RopSrcCopy);
    canvas.StretchBlt(0, 3, 2, 1, dot, 0, 0, 1, 1);
  }
  EXPECT_EQ(bitmap.Pixel(1, 0), 0x0000FFu);
  EXPECT_EQ(bitmap.Pixel(0, 3), 0x0000FFu);
  EXPECT_EQ(bitmap.Pixel(1, 3), 0x0000FFu);
  EXPECT_EQ(bitmap.Pixel(2, 3), 0xFFFFFFu);
  // Picture row 0 of a bottom-up bitmap is the last row in memory.
  const auto* memory = static_cast<const uint8_t*>(bitmap.get()->bits);
  const int stride = 5 * 3 + bitmap.get()->rowPadding;
  EXPECT_EQ(memory[3 * stride + 3 + 2], 255) << "red of pixel (1, 0)";
}

TEST(BitmapCanvas, StretchWithNegativeSizesMirrors)
{
  TTestBitmap bitmap(4, 1);
  QImage pair(2, 1, QImage::Format_RGB32);
  pair.setPixel(0, 0, qRgb(255, 0, 0));
  pair.setPixel(1, 0, qRgb(0, 0, 255));
  {
    TBitmapCanvas canvas(bitmap.get());
    canvas.StretchBlt(4, 0, -4, 1, pair, 0, 0, 2, 1);
  }
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF0000u) << "blue on the left";
  EXPECT_EQ(bitmap.Pixel(3, 0), 0x0000FFu) << "red on the right";
}

TEST(BitmapCanvas, FontRecordsDraw)
{
  TFontRecord font;
  font.name = "Arial";
  font.size = 12;
  font.style = TFontRecord::Bold | TFontRecord::Underline;
  font.color = 0x00336699;
  EXPECT_EQ(TBitmapCanvas::ColorOf(font), QColor(0x99, 0x66, 0x33));
  font.color = static_cast<int32_t>(0x80000008);
  EXPECT_EQ(TBitmapCanvas::ColorOf(font), QColor(0, 0, 0)) << "system colours show black";
  EXPECT_EQ(font.color, static_cast<int32_t>(0x80000008)) << "and are kept raw";
  const QFont qfont = TBitmapCanvas::FontOf(font);
  EXPECT_EQ(qfont.pixelSize(), 16) << "12 points at 96 pixels per inch";
  EXPECT_TRUE(qfont.bold());
  EXPECT_TRUE(qfont.underline());
  EXPECT_FALSE(qfont.italic());

  EXPECT_EQ(TBitmapCanvas::TextOf(font, "Ёж"), QString::fromUtf8("Ёж"));
  font.charset = 2;
  EXPECT_EQ(TBitmapCanvas::TextOf(font, "abc"), QString::fromUtf8("αβχ")) << "symbol character set";
}

TEST(SymbolEncoding, MapsTheFontsOwnPositions)
{
  EXPECT_EQ(SymbolToUnicode('a'), U'α');
  EXPECT_EQ(SymbolToUnicode('W'), U'Ω');
  EXPECT_EQ(SymbolToUnicode('1'), U'1');
  EXPECT_EQ(SymbolToUnicode(0xA8), U'♦');
  EXPECT_EQ(SymbolToUnicode(0xB0), U'°');
  EXPECT_EQ(SymbolToUnicode(0xD6), U'√');
  EXPECT_EQ(SymbolToUnicode(0x10), U'\uFFFD');
  EXPECT_EQ(SymbolToUnicode(0xFF), U'\uFFFD');
  // Stored byte 0xA8 reads back as the code-page letter Ё; the symbol font shows
  // its diamond.
  EXPECT_EQ(SymbolTextToUtf8("Ё±"), "♦±");
}
